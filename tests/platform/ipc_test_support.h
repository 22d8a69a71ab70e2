#pragma once
// Helpers for tests of the session's meeting points: temporary folders (one of them
// the test's runtime folder), and child processes that run a piece of a test and
// report by exit code.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "tests/platform/file_test_support.h"

namespace corvane::testing {

// A fresh folder, removed with its content at the end.
using TTempFolder = file_testing::TTempFolder;

// A temporary folder that CORVANE_RUNTIME_DIR points at while it exists.
class TTempRuntimeFolder : public TTempFolder {
 public:
  TTempRuntimeFolder() { ::setenv("CORVANE_RUNTIME_DIR", Path().c_str(), 1); }
  ~TTempRuntimeFolder() { ::unsetenv("CORVANE_RUNTIME_DIR"); }
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
