#include "app/app_path.h"

#include "app/settings.h"

namespace corvane {

namespace {

std::string_view WithoutTrailingSlash(std::string_view folder) {
  while (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
  return folder;
}

}  // namespace

std::string ExpandAppPath(std::string_view path, std::string_view programFolder) {
  std::string result(path);
  const std::size_t at = result.find(kAppPathMacro);
  if (at == std::string::npos) return result;
  std::string folder(WithoutTrailingSlash(programFolder));
  const std::size_t after = at + kAppPathMacro.size();
  // The root folder: no "//" where the path goes on below it.
  if (folder.empty() && (after == result.size() || result[after] != '/')) folder = "/";
  result.replace(at, kAppPathMacro.size(), folder);
  return result;
}

std::string CompactAppPath(std::string_view path, std::string_view programFolder) {
  if (programFolder.empty()) return std::string(path);
  const std::string_view folder = WithoutTrailingSlash(programFolder);
  // Compared with a trailing "/" on both, so that "/opt/corvane2" is not below
  // "/opt/corvane".
  std::string withSlash(path);
  if (withSlash.empty() || withSlash.back() != '/') withSlash += '/';
  const std::string prefix = std::string(folder) + '/';
  if (!withSlash.starts_with(prefix)) return std::string(path);
  std::string result = std::string(kAppPathMacro) + '/' + withSlash.substr(prefix.size());
  result.pop_back();
  return result;
}

std::string ExpandAppPath(std::string_view path) { return ExpandAppPath(path, AppFolder()); }

std::string CompactAppPath(std::string_view path) { return CompactAppPath(path, AppFolder()); }

}  // namespace corvane
