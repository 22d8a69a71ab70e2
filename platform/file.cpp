#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix_file.h"

namespace corvane {

namespace {

constexpr mode_t kNewFileMode = 0600;
constexpr std::string_view kCannotOpen = "Cannot open file";

int OpenFlags(TFile::TMode mode) {
  switch (mode) {
    case TFile::TMode::kRead: return O_RDONLY;
    case TFile::TMode::kWrite: return O_RDWR;
    case TFile::TMode::kCreate: return O_RDWR | O_CREAT;
    case TFile::TMode::kCreateExclusive: return O_RDWR | O_CREAT | O_EXCL;
  }
  return O_RDONLY;
}

// Opens `path` and takes the writer lock on it. The lock is checked to sit on
// the file the path names now: a file deleted or replaced between our open and
// our lock would otherwise leave us holding the lock on a file nobody sees.
int OpenLocked(const std::string& path, TFile::TMode mode) {
  constexpr int kAttempts = 3;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    int fd = open(path.c_str(), OpenFlags(mode) | O_CLOEXEC, kNewFileMode);
    if (fd < 0) posix::ThrowSystemError(kCannotOpen, path, errno);
    if (!posix::TryLock(fd, F_WRLCK)) {
      int error = errno;
      posix::CloseQuietly(fd);
      if (posix::IsLockConflict(error)) posix::ThrowFileError(kCannotOpen, path, posix::kInUseByWriter);
      posix::ThrowSystemError(kCannotOpen, path, error);
    }
    if (posix::StillNamedBy(fd, path)) return fd;
    posix::CloseQuietly(fd);
    // A file we created ourselves has been taken away: someone else owns the name now.
    if (mode == TFile::TMode::kCreateExclusive) break;
  }
  posix::ThrowFileError(kCannotOpen, path, posix::kInUseByWriter);
}

}  // namespace

TFile::~TFile() {
  if (fd_ >= 0) close(fd_);
}

TFile::TFile(TFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

TFile& TFile::operator=(TFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    path_ = std::move(other.path_);
  }
  return *this;
}

TFile TFile::Open(std::string path, TMode mode) {
  if (mode == TMode::kRead) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) posix::ThrowSystemError(kCannotOpen, path, errno);
    return TFile(fd, std::move(path));
  }
  int fd = OpenLocked(path, mode);
  TFile file(fd, std::move(path));
  if (mode == TMode::kCreate) file.SetSize(0);
  return file;
}

TFile TFile::CreateTemp(const std::string& folder, std::string_view prefix, bool lock) {
  constexpr std::string_view kSuffix = ".tmp";
  std::string pattern = folder;
  if (pattern.empty() || pattern.back() != '/') pattern += '/';
  pattern += prefix;
  pattern += "XXXXXX";
  pattern += kSuffix;
  int fd = mkostemps(pattern.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
  if (fd < 0) posix::ThrowSystemError("Cannot create temporary file", pattern, errno);
  if (lock && !posix::TryLock(fd, F_WRLCK)) {
    int error = errno;
    posix::CloseQuietly(fd);
    unlink(pattern.c_str());
    posix::ThrowSystemError("Cannot create temporary file", pattern, error);
  }
  return TFile(fd, std::move(pattern));
}

void TFile::Fail(std::string_view action, int error) const { posix::ThrowSystemError(action, path_, error); }

std::size_t TFile::Read(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    ssize_t n = read(fd_, buffer.data() + done, buffer.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read file", errno);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void TFile::ReadExactly(std::span<std::uint8_t> buffer) {
  if (Read(buffer) != buffer.size()) posix::ThrowFileError("Unexpected end of file", path_, "The file is too short.");
}

void TFile::Write(std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd_, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write file", errno);
    }
    done += static_cast<std::size_t>(n);
  }
}

void TFile::Write(std::string_view data) {
  Write(std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
}

std::uint64_t TFile::Seek(std::int64_t offset, TOrigin origin) {
  int whence = origin == TOrigin::kBegin ? SEEK_SET : origin == TOrigin::kCurrent ? SEEK_CUR : SEEK_END;
  off_t position = lseek(fd_, static_cast<off_t>(offset), whence);
  if (position < 0) Fail("Cannot seek in file", errno);
  return static_cast<std::uint64_t>(position);
}

std::uint64_t TFile::Position() const {
  off_t position = lseek(fd_, 0, SEEK_CUR);
  if (position < 0) Fail("Cannot read file", errno);
  return static_cast<std::uint64_t>(position);
}

std::uint64_t TFile::Size() const {
  struct stat st{};
  if (fstat(fd_, &st) != 0) Fail("Cannot read file", errno);
  return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t TFile::Remaining() const {
  std::uint64_t size = Size();
  std::uint64_t position = Position();
  return position < size ? size - position : 0;
}

void TFile::SetSize(std::uint64_t size) {
  while (ftruncate(fd_, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) Fail("Cannot set the size of file", errno);
  }
}

void TFile::Flush() {
  if (fsync(fd_) != 0) Fail("Cannot flush file", errno);
}

TFileInfo TFile::Info() const {
  auto info = posix::StatInfo(fd_, "", posix::NameOf(path_));
  if (!info) Fail("Cannot read file", errno);
  return *info;
}

void TFile::Close() {
  if (fd_ < 0) return;
  // The descriptor is gone after close() whatever it returns; never retry it.
  int fd = std::exchange(fd_, -1);
  if (close(fd) != 0 && errno != EINTR) Fail("Cannot close file", errno);
}

}  // namespace corvane
