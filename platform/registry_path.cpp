#include "platform/registry_path.h"

#include "platform/error.h"

namespace corvane {

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
  std::vector<std::string_view> names;
  if (path.empty()) return names;
  if (path.find('\0') != std::string_view::npos) {
    throw TError("The registry key path contains a NUL character.");
  }
  std::size_t start = 0;
  while (true) {
    std::size_t end = path.find('\\', start);
    std::string_view name = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
    if (name.empty()) throw TError("The registry key path \"" + std::string(path) + "\" is not valid.");
    names.push_back(name);
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

std::string JoinKeyPath(std::string_view base, std::string_view relative) {
  if (base.empty()) return std::string(relative);
  if (relative.empty()) return std::string(base);
  std::string joined(base);
  joined += '\\';
  joined += relative;
  return joined;
}

void CheckValueName(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) {
    throw TError("The registry value name contains a NUL character.");
  }
}

}  // namespace corvane
