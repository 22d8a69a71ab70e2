#include "platform/session_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"

namespace corvane {

namespace {

std::string ConfiguredFolder() {
  if (const char* own = std::getenv("CORVANE_RUNTIME_DIR"); own && *own) return own;
  if (const char* session = std::getenv("XDG_RUNTIME_DIR"); session && *session)
    return std::string(session) + "/corvane";
  throw TError("The runtime folder is unknown: neither XDG_RUNTIME_DIR nor CORVANE_RUNTIME_DIR is set.");
}

}  // namespace

std::string SessionFolder() {
  std::string folder = ConfiguredFolder();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw TError("Cannot create the runtime folder " + folder + ": " + std::strerror(errno));
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0)
    throw TError("Cannot open the runtime folder " + folder + ": " + std::strerror(errno));
  if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0)
    throw TError("The runtime folder " + folder + " is not a folder private to this user.");
  return folder;
}

}  // namespace corvane
