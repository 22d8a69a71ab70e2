#include "syncprovider/new_db_path.h"

#include <sys/stat.h>

#include "platform/error.h"
#include "platform/registry.h"
#include "syncprovider/registry_values.h"
#include "syncprovider/repl_folder.h"

namespace corvane {

namespace {

constexpr std::string_view kPlaceholder = "%d";
// A folder with this many numbered databases is not a real one; give up.
constexpr int kMaxNumber = 100000;

bool NameTaken(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

std::string WithNumber(std::string_view name, int number) {
  std::string result;
  const std::string digits = std::to_string(number);
  std::size_t pos = 0;
  for (std::size_t found; (found = name.find(kPlaceholder, pos)) != std::string_view::npos;
       pos = found + kPlaceholder.size()) {
    result.append(name.substr(pos, found - pos)).append(digits);
  }
  return result.append(name.substr(pos));
}

}  // namespace

std::string FreeNumberedName(std::string_view pattern) {
  if (pattern.empty() || pattern.front() != '/') return {};
  std::size_t slash = pattern.rfind('/');
  std::string_view folder = pattern.substr(0, slash + 1);
  std::string_view name = pattern.substr(slash + 1);
  if (name.empty()) return {};
  if (name.find(kPlaceholder) == std::string_view::npos) {
    std::string path(pattern);
    return NameTaken(path) ? std::string() : path;
  }
  for (int n = 1; n <= kMaxNumber; ++n) {
    std::string path = std::string(folder) + WithNumber(name, n);
    if (!NameTaken(path)) return path;
  }
  return {};
}

std::string NewDbFilePath() {
  try {
    auto key = TRegKey::Open(THive::CurrentUser, kActiveSyncKey);
    return key ? FreeNumberedName(ReadStringOr(*key, "NewDbFileName")) : std::string();
  } catch (const TError&) {
    return {};
  }
}

}  // namespace corvane
