#include "platform/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/atomic_writer.h"
#include "platform/file.h"
#include "platform/posix_file.h"

namespace corvane {

namespace {

constexpr std::string_view kCannotDelete = "Cannot delete file";

// Opens a regular file only to lock it, with write access when the file
// allows it, since only a write lock keeps out those who merely read-lock too.
int OpenForLockProbe(const std::string& path, short& lockType) {
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  lockType = F_WRLCK;
  int fd = open(path.c_str(), O_RDWR | kFlags);
  if (fd < 0) {
    lockType = F_RDLCK;
    fd = open(path.c_str(), O_RDONLY | kFlags);
  }
  return fd;
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0;
}

TFileInfo GetFileInfo(const std::string& path) {
  auto info = posix::StatInfo(AT_FDCWD, path.c_str(), posix::NameOf(path));
  if (!info) posix::ThrowSystemError("Cannot read file information", path, errno);
  return *info;
}

std::optional<TFileInfo> FindFile(const std::string& path) {
  return posix::StatInfo(AT_FDCWD, path.c_str(), posix::NameOf(path));
}

void SetLastWriteTime(const std::string& path, std::uint64_t fileTime) {
  std::array<timespec, 2> times{};
  times[0].tv_nsec = UTIME_OMIT;  // the access time stays
  times[1] = UnixFromFileTime(fileTime);
  if (utimensat(AT_FDCWD, path.c_str(), times.data(), 0) != 0) {
    posix::ThrowSystemError("Cannot set the time of file", path, errno);
  }
}

void SetLastWriteDate(const std::string& path, double date) { SetLastWriteTime(path, FileTimeFromDate(date)); }

void SetReadOnly(const std::string& path, bool readOnly) {
  struct stat st{};
  if (stat(path.c_str(), &st) != 0) posix::ThrowSystemError("Cannot set the attributes of file", path, errno);
  mode_t mode = st.st_mode & 07777;
  mode_t wanted = readOnly ? mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH) : mode | S_IWUSR;
  if (wanted != mode && chmod(path.c_str(), wanted) != 0) {
    posix::ThrowSystemError("Cannot set the attributes of file", path, errno);
  }
}

void SetAttributes(const std::string& path, std::uint32_t attributes) {
  SetReadOnly(path, (attributes & kAttributeReadOnly) != 0);
}

void DeleteFile(const std::string& path) {
  struct stat st{};
  if (lstat(path.c_str(), &st) != 0) posix::ThrowSystemError(kCannotDelete, path, errno);

  // A writer's lock says the file is open; holding our own lock until the
  // unlink is done keeps anyone from taking the file over in between.
  int probe = -1;
  if (S_ISREG(st.st_mode)) {
    short lockType = F_WRLCK;
    probe = OpenForLockProbe(path, lockType);
    if (probe >= 0 && !posix::TryLock(probe, lockType) && posix::IsLockConflict(errno)) {
      close(probe);
      posix::ThrowFileError(kCannotDelete, path, posix::kInUseByWriter);
    }
    if (probe >= 0 && !posix::StillNamedBy(probe, path)) {
      close(probe);
      posix::ThrowFileError(kCannotDelete, path, posix::kInUseByWriter);
    }
  }
  int removed = unlink(path.c_str());
  int error = errno;
  if (probe >= 0) close(probe);
  if (removed != 0) posix::ThrowSystemError(kCannotDelete, path, error);
}

void RenameFile(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
  int error = errno;
  // Some file systems cannot promise "no replace"; look first on those.
  if (error == EINVAL || error == ENOSYS) {
    struct stat st{};
    if (lstat(to.c_str(), &st) == 0) {
      error = EEXIST;
    } else if (rename(from.c_str(), to.c_str()) == 0) {
      return;
    } else {
      error = errno;
    }
  }
  posix::ThrowSystemError("Cannot rename file", from + " -> " + to, error);
}

void CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  TFile source = TFile::Open(from, TFile::TMode::kRead);
  if (failIfExists && FileExists(to)) posix::ThrowSystemError("Cannot copy file", to, EEXIST);

  struct stat st{};
  if (fstat(source.Descriptor(), &st) != 0) posix::ThrowSystemError("Cannot copy file", from, errno);
  TAtomicWriter writer(to);
  std::array<std::uint8_t, 64 * 1024> buffer{};
  for (;;) {
    std::size_t n = source.Read(buffer);
    if (n == 0) break;
    writer.File().Write(std::span(buffer.data(), n));
  }
  writer.SetMode(st.st_mode & 07777);
  std::array<timespec, 2> times{};
  times[0].tv_nsec = UTIME_OMIT;
  times[1] = st.st_mtim;
  if (futimens(writer.File().Descriptor(), times.data()) != 0) {
    posix::ThrowSystemError("Cannot copy file", to, errno);
  }
  writer.Commit();
}

std::string TempFileName(const std::string& folder, std::string_view prefix) {
  TFile file = TFile::CreateTemp(folder, prefix);
  std::string path = file.Path();
  file.Close();
  return path;
}

}  // namespace corvane
