#include "platform/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/error.h"
#include "platform/file.h"
#include "platform/posix_file.h"

namespace corvane {

namespace {

constexpr std::string_view kCannotCreateFolder = "Cannot create folder";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return WithoutTrailingSlash(home);
  std::array<char, 4096> buffer{};
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr) {
    return WithoutTrailingSlash(found->pw_dir);
  }
  return {};
}

// The value of XDG_DOCUMENTS_DIR in a user-dirs.dirs text: a quoted absolute
// path or one starting with "$HOME", backslash escaping the next character.
std::optional<std::string> DocumentsEntry(std::string_view text, const std::string& home) {
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR";
  std::optional<std::string> result;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos || line.substr(i, kKey.size()) != kKey) continue;
    i = line.find_first_not_of(" \t", i + kKey.size());
    if (i == std::string_view::npos || line[i] != '=') continue;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string_view::npos || line[i] != '"') continue;

    std::string value;
    bool closed = false;
    for (++i; i < line.size(); ++i) {
      if (line[i] == '"') {
        closed = true;
        break;
      }
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      value += line[i];
    }
    if (!closed) continue;
    constexpr std::string_view kHome = "$HOME";
    if (value.starts_with(kHome) && (value.size() == kHome.size() || value[kHome.size()] == '/')) {
      if (home.empty()) continue;
      result = WithoutTrailingSlash(home + value.substr(kHome.size()));
    } else if (value.starts_with('/')) {
      result = WithoutTrailingSlash(value);
    }
  }
  return result;
}

std::optional<std::string> DocumentsFromUserDirs(const std::string& home) {
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty()) {
    if (home.empty()) return std::nullopt;
    config = home + "/.config";
  }
  // The file is a few lines long; anything beyond a generous bound is not one.
  constexpr std::size_t kMaxSize = 64 * 1024;
  std::string text(kMaxSize, '\0');
  try {
    TFile file = TFile::Open(config + "/user-dirs.dirs", TFile::TMode::kRead);
    text.resize(file.Read(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size())));
  } catch (const TError&) {
    return std::nullopt;
  }
  return DocumentsEntry(text, home);
}

// Makes `path` and its missing parents; 0 or the errno of the failure.
int MakeFolders(const std::string& path, mode_t mode) {
  if (mkdir(path.c_str(), mode) == 0) return 0;
  if (errno == EEXIST) return FolderExists(path) ? 0 : ENOTDIR;
  if (errno != ENOENT) return errno;
  std::string parent = posix::FolderOf(path);
  if (parent == path || parent == ".") return ENOENT;
  if (int error = MakeFolders(parent, 0777); error != 0) return error;
  if (mkdir(path.c_str(), mode) == 0 || (errno == EEXIST && FolderExists(path))) return 0;
  return errno;
}

// Creates the runtime folder when missing and checks that it is the user's own
// folder: sockets and event files in a folder someone else controls could be
// replaced under our feet. `followLink` allows the folder itself to be a link.
void EnsurePrivateFolder(const std::string& path, bool followLink) {
  if (mkdir(path.c_str(), 0700) == 0) {
    chmod(path.c_str(), 0700);  // exact, whatever the umask
  } else if (errno != EEXIST) {
    if (int error = MakeFolders(path, 0700); error != 0) posix::ThrowSystemError(kCannotCreateFolder, path, error);
    chmod(path.c_str(), 0700);
  }
  struct stat st{};
  if ((followLink ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) {
    posix::ThrowSystemError(kCannotCreateFolder, path, errno);
  }
  if (!S_ISDIR(st.st_mode)) posix::ThrowSystemError(kCannotCreateFolder, path, ENOTDIR);
  if (st.st_uid != geteuid()) posix::ThrowFileError("Cannot use folder", path, "The folder belongs to another user.");
}

bool SameLetter(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::string ProgramFolder() {
  std::array<char, PATH_MAX> buffer{};
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) == buffer.size()) return {};
  return posix::FolderOf(std::string(buffer.data(), static_cast<std::size_t>(n)));
}

std::string DocumentsFolder() {
  std::string documents = Environment("XDG_DOCUMENTS_DIR");
  if (!documents.empty()) return WithoutTrailingSlash(documents);
  std::string home = HomeFolder();
  if (auto fromUserDirs = DocumentsFromUserDirs(home)) return *fromUserDirs;
  return home.empty() ? std::string() : home + "/Documents";
}

std::string TempFolder() {
  std::string temp = Environment("TMPDIR");
  return temp.empty() ? std::string("/tmp") : WithoutTrailingSlash(temp);
}

std::string RuntimeFolder() {
  std::string chosen = Environment("CORVANE_RUNTIME_DIR");
  if (!chosen.empty()) {
    chosen = WithoutTrailingSlash(chosen);
    EnsurePrivateFolder(chosen, true);
    return chosen;
  }
  std::string xdg = Environment("XDG_RUNTIME_DIR");
  std::string path = !xdg.empty() ? WithoutTrailingSlash(xdg) + "/corvane"
                                  : TempFolder() + "/corvane-" + std::to_string(geteuid());
  EnsurePrivateFolder(path, false);
  return path;
}

bool FolderExists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void CreateFolder(const std::string& path) {
  std::string folder = WithoutTrailingSlash(path);
  if (int error = MakeFolders(folder, 0777); error != 0) posix::ThrowSystemError(kCannotCreateFolder, path, error);
}

std::vector<TFileInfo> ListFiles(const std::string& folder, std::string_view pattern) {
  std::vector<TFileInfo> files;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) {
    if (errno == ENOENT || errno == ENOTDIR) return files;
    posix::ThrowSystemError("Cannot read folder", folder, errno);
  }
  for (;;) {
    errno = 0;
    dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) posix::ThrowSystemError("Cannot read folder", folder, errno);
      break;
    }
    std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !MatchesPattern(pattern, name)) continue;
    // A file deleted since the folder was read, or a dangling link, is skipped.
    auto info = posix::StatInfo(dirfd(dir.get()), entry->d_name, std::string(name));
    if (info && !info->IsDirectory()) files.push_back(std::move(*info));
  }
  std::sort(files.begin(), files.end(), [](const TFileInfo& a, const TFileInfo& b) { return a.name < b.name; });
  return files;
}

bool MatchesPattern(std::string_view pattern, std::string_view name) {
  // Greedy matching that goes back to the last "*" on a mismatch: linear in
  // practice, never exponential.
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace corvane
