#pragma once
// Helpers for tests of the session's meeting points: a private runtime folder for
// the test, and child processes that run a piece of the test and report by exit code.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace corvane::testing {

// A fresh folder (mode 0700) that CORVANE_RUNTIME_DIR points at while it exists.
class TTempRuntimeFolder {
 public:
  TTempRuntimeFolder() {
    char pattern[] = "/tmp/corvane-ipc-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    if (!made) ADD_FAILURE() << "mkdtemp failed";
    path_ = made ? made : "";
    ::setenv("CORVANE_RUNTIME_DIR", path_.c_str(), 1);
  }
  ~TTempRuntimeFolder() {
    ::unsetenv("CORVANE_RUNTIME_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempRuntimeFolder(const TTempRuntimeFolder&) = delete;
  TTempRuntimeFolder& operator=(const TTempRuntimeFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A forked copy of the test process running `body`; its result becomes the exit code.
// An exception in the child counts as failure (exit code 99).
class TChildProcess {
 public:
  explicit TChildProcess(const std::function<int()>& body) {
    pid_ = ::fork();
    if (pid_ == 0) {
      int code = 99;
      try {
        code = body();
      } catch (...) {
      }
      ::_exit(code);  // skip the test framework's exit handlers
    }
    if (pid_ < 0) ADD_FAILURE() << "fork failed";
  }
  ~TChildProcess() {
    if (pid_ > 0) {
      Kill();
      ExitCode();
    }
  }
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // Waits for the child; its exit code, or -1 when a signal ended it.
  int ExitCode() {
    int status = 0;
    if (pid_ <= 0 || ::waitpid(pid_, &status, 0) != pid_) return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Kill() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
  }

 private:
  pid_t pid_ = -1;
};

}  // namespace corvane::testing
