#include "app/program_starter.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace corvane {

namespace {

// Only calls that are safe between fork and exec run in the children.
[[noreturn]] void ReportAndExit(int pipeFd, int error) {
  (void)!::write(pipeFd, &error, sizeof error);
  ::_exit(127);
}

}  // namespace

int StartDetachedProgram(const std::vector<std::string>& argv) {
  if (argv.empty() || argv.front().empty()) return ENOENT;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

  // Two forks: the middle process ends at once, so the program is nobody's
  // child here and leaves no zombie behind.
  const pid_t middle = ::fork();
  if (middle == 0) {
    const pid_t program = ::fork();
    if (program < 0) ReportAndExit(report[1], errno);
    if (program > 0) ::_exit(0);
    ::setsid();
    if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    ::execvp(args[0], args.data());
    ReportAndExit(report[1], errno);
  }
  const int forkError = middle < 0 ? errno : 0;
  ::close(report[1]);
  if (devNull >= 0) ::close(devNull);
  if (forkError != 0) {
    ::close(report[0]);
    return forkError;
  }
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  // The pipe closes without a word when exec succeeds.
  int error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

TProgramStarter& ProgramStarter() {
  static TProgramStarter starter = StartDetachedProgram;
  return starter;
}

void SetProgramStarterForTesting(TProgramStarter starter) {
  ProgramStarter() = starter ? std::move(starter) : TProgramStarter(StartDetachedProgram);
}

}  // namespace corvane
