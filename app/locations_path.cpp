#include "app/locations_path.h"

#include <algorithm>

namespace corvane {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string FolderOfFile(std::string_view fileName) {
  const std::size_t slash = fileName.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(fileName.substr(0, slash));
}

std::string_view NameOfFile(std::string_view fileName) {
  const std::size_t slash = fileName.rfind('/');
  return slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string NormalFolder(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
  if (folder.empty()) return "/";
  return std::string(folder);
}

bool SameFileName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string FileNameKey(std::string_view fileName) {
  std::string key(fileName);
  std::ranges::transform(key, key.begin(), LowerAscii);
  return key;
}

}  // namespace corvane
