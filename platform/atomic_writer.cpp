#include "platform/atomic_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/posix_file.h"

namespace corvane {

namespace {

constexpr std::string_view kCannotReplace = "Cannot replace file";
// Temporary files of a save carry the same prefix as on the original device.
constexpr std::string_view kTempPrefix = "CVTF";

// Follows a chain of symbolic links at `path` to the name of the file it ends
// at, which need not exist yet.
std::string ResolveLinks(std::string path) {
  constexpr int kMaxLinks = 40;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char link[PATH_MAX];
    ssize_t n = readlink(path.c_str(), link, sizeof link);
    if (n < 0) posix::ThrowSystemError(kCannotReplace, path, errno);
    if (static_cast<std::size_t>(n) == sizeof link) posix::ThrowSystemError(kCannotReplace, path, ENAMETOOLONG);
    std::string destination(link, static_cast<std::size_t>(n));
    path = destination.front() == '/' ? destination : posix::FolderOf(path) + "/" + destination;
  }
  posix::ThrowSystemError(kCannotReplace, path, ELOOP);
}

// Flushes a folder's entries, so that a rename in it survives a power cut.
// File systems that cannot flush a folder say EINVAL; their renames are as
// durable as they get.
void FlushFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) posix::ThrowSystemError("Cannot flush folder", folder, errno);
  if (fsync(fd) != 0 && errno != EINVAL) {
    int error = errno;
    close(fd);
    posix::ThrowSystemError("Cannot flush folder", folder, error);
  }
  close(fd);
}

}  // namespace

TAtomicWriter::TAtomicWriter(const std::string& target, bool lock) : target_(ResolveLinks(target)) {
  file_ = TFile::CreateTemp(posix::FolderOf(target_), kTempPrefix, lock);
  temp_ = file_.Path();
  struct stat st{};
  if (stat(target_.c_str(), &st) != 0) return;
  // The group matters for databases shared in a group's folder. A group the
  // user is not a member of cannot be given; the file then keeps the user's.
  [[maybe_unused]] int grouped = fchown(file_.Descriptor(), static_cast<uid_t>(-1), st.st_gid);
  try {
    SetMode(st.st_mode & 07777);
  } catch (...) {
    // No destructor runs for a half-made writer: remove the file here.
    file_ = TFile();
    unlink(temp_.c_str());
    throw;
  }
}

TAtomicWriter::~TAtomicWriter() {
  if (committed_) return;
  file_ = TFile();
  unlink(temp_.c_str());
}

void TAtomicWriter::SetMode(std::uint32_t mode) {
  if (fchmod(file_.Descriptor(), static_cast<mode_t>(mode & 07777)) != 0) {
    posix::ThrowSystemError(kCannotReplace, target_, errno);
  }
}

TFile TAtomicWriter::Commit(TFile* heldTarget) {
  if (committed_) posix::ThrowSystemError(kCannotReplace, target_, EALREADY);
  file_.Flush();

  // A read lock on the old file shuts out any writer until the rename is done;
  // it fails when a writer holds the file now.
  int guard = -1;
  if (heldTarget == nullptr) {
    guard = open(target_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (guard >= 0 && !posix::TryLock(guard, F_RDLCK)) {
      int error = errno;
      close(guard);
      if (posix::IsLockConflict(error)) posix::ThrowFileError(kCannotReplace, target_, posix::kInUseByWriter);
      posix::ThrowSystemError(kCannotReplace, target_, error);
    }
  }
  int renamed = rename(temp_.c_str(), target_.c_str());
  int error = errno;
  if (guard >= 0) close(guard);
  if (renamed != 0) posix::ThrowSystemError(kCannotReplace, target_, error);

  committed_ = true;
  file_.path_ = target_;
  if (heldTarget != nullptr) *heldTarget = TFile();
  TFile result = std::move(file_);
  FlushFolder(posix::FolderOf(target_));
  return result;
}

}  // namespace corvane
