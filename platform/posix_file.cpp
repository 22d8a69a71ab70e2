#include "platform/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/error.h"

namespace corvane::posix {

void ThrowSystemError(std::string_view action, const std::string& path, int error) {
  ThrowFileError(action, path, std::strerror(error));
}

void ThrowFileError(std::string_view action, const std::string& path, std::string_view reason) {
  std::string message(action);
  message += ": ";
  message += path;
  message += '\r';
  message += reason;
  throw TError(message);
}

bool TryLock(int fd, short type) {
  struct flock lock{};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // the whole file, however long it grows
  while (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    if (errno != EINTR) {
      if (errno == EACCES) errno = EAGAIN;
      return false;
    }
  }
  return true;
}

bool IsLockConflict(int error) { return error == EAGAIN || error == EACCES; }

bool StillNamedBy(int fd, const std::string& path) {
  struct stat opened{};
  struct stat named{};
  if (fstat(fd, &opened) != 0 || stat(path.c_str(), &named) != 0) return false;
  return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void CloseQuietly(int fd) {
  int saved = errno;
  close(fd);
  errno = saved;
}

std::optional<TFileInfo> StatInfo(int dirFd, const char* path, std::string name) {
  struct statx sx{};
  int flags = AT_STATX_SYNC_AS_STAT | (*path == '\0' ? AT_EMPTY_PATH : 0);
  if (statx(dirFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) return std::nullopt;

  auto toFileTime = [](const statx_timestamp& t) {
    timespec moment{};
    moment.tv_sec = static_cast<time_t>(t.tv_sec);
    moment.tv_nsec = static_cast<long>(t.tv_nsec);
    return FileTimeFromUnix(moment);
  };
  TFileInfo info;
  info.name = std::move(name);
  info.size = sx.stx_size;
  info.lastWriteTime = toFileTime(sx.stx_mtime);
  info.creationTime = (sx.stx_mask & STATX_BTIME) ? toFileTime(sx.stx_btime) : info.lastWriteTime;
  info.attributes = S_ISDIR(sx.stx_mode) ? kAttributeDirectory : kAttributeArchive;
  if ((sx.stx_mode & S_IWUSR) == 0) info.attributes |= kAttributeReadOnly;
  info.objectId = static_cast<std::uint32_t>(sx.stx_ino);
  return info;
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace corvane::posix
