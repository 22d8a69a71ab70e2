#pragma once
// Sole owner of a file descriptor: closes it when destroyed. Movable, not copyable.

#include <unistd.h>

#include <utility>

namespace corvane {

class TUniqueFd {
 public:
  TUniqueFd() = default;
  explicit TUniqueFd(int fd) : fd_(fd) {}
  ~TUniqueFd() { Close(); }
  TUniqueFd(TUniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  TUniqueFd& operator=(TUniqueFd&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  TUniqueFd(const TUniqueFd&) = delete;
  TUniqueFd& operator=(const TUniqueFd&) = delete;

  // The descriptor, or -1 when none is held.
  int Get() const { return fd_; }
  bool IsValid() const { return fd_ >= 0; }

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  int fd_ = -1;
};

}  // namespace corvane
