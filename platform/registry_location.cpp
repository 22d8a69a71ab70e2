#include "platform/registry_location.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"

namespace corvane {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && *entry->pw_dir) return entry->pw_dir;
  throw TError("The home folder is not known, so the user's registry cannot be found.");
}

void CheckHive(THive hive) {
  if (hive != THive::CurrentUser && hive != THive::LocalMachine) throw TError("Unknown registry hive.");
}

// `failed` is the folder that could not be made, or empty for the file itself.
[[noreturn]] void FailCreate(const std::string& file, const std::string& failed, int error) {
  std::string where = failed.empty() ? "" : failed + ": ";
  throw TError("The registry store \"" + file + "\" cannot be created: " + where + std::strerror(error));
}

// Creates each missing folder of the file's folder path with the given mode.
void CreateFolders(const std::string& file, mode_t mode) {
  for (std::size_t slash = file.find('/', 1); slash != std::string::npos; slash = file.find('/', slash + 1)) {
    std::string folder = file.substr(0, slash);
    if (mkdir(folder.c_str(), mode) != 0 && errno != EEXIST) FailCreate(file, folder, errno);
  }
}

}  // namespace

std::string HiveFile(THive hive) {
  CheckHive(hive);
  if (hive == THive::LocalMachine) {
    std::string file = Environment("CORVANE_MACHINE_REGISTRY");
    return file.empty() ? "/etc/corvane/registry.sqlite" : file;
  }
  std::string file = Environment("CORVANE_USER_REGISTRY");
  if (!file.empty()) return file;
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = HomeFolder() + "/.config";
  return config + "/corvane/registry.sqlite";
}

const char* HiveName(THive hive) {
  CheckHive(hive);
  return hive == THive::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

void CreateHiveFile(THive hive, const std::string& file) {
  CheckHive(hive);
  bool shared = hive == THive::LocalMachine;
  CreateFolders(file, shared ? 0755 : 0700);
  int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, shared ? 0644 : 0600);
  if (fd < 0) FailCreate(file, "", errno);
  close(fd);
}

}  // namespace corvane
