#include "syncprovider/program_start.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/error.h"
#include "platform/named_event.h"
#include "platform/registry.h"
#include "syncprovider/registry_values.h"

namespace corvane {

namespace {

constexpr std::string_view kProgramKey = "Software\\Corvane";
constexpr char kProgramFile[] = "corvane";

std::string InstallDir(THive hive) {
  auto key = TRegKey::Open(hive, kProgramKey);
  return key ? ReadStringOr(*key, "Install_Dir") : std::string();
}

// Starts `argv[0]` as a grandchild, so that the init process reaps it and no
// zombie stays behind in the service. A pipe closed by the successful exec
// carries the error back when the program could not be run. Between fork and
// exec only async-signal-safe calls are made.
bool Launch(std::vector<char*> argv) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return false;
  }
  if (child == 0) {
    close(pipeFds[0]);
    pid_t grandchild = fork();
    if (grandchild != 0) _exit(grandchild < 0 ? 1 : 0);
    // The service's own descriptors do not belong to the program.
    syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC);
    execv(argv[0], argv.data());
    int error = errno;
    [[maybe_unused]] auto written = write(pipeFds[1], &error, sizeof error);
    _exit(127);
  }
  close(pipeFds[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = read(pipeFds[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  close(pipeFds[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && got == 0;
}

}  // namespace

std::optional<std::string> FindProgram() {
  std::string dir = InstallDir(THive::CurrentUser);
  if (dir.empty()) dir = InstallDir(THive::LocalMachine);
  if (dir.empty()) return std::nullopt;
  if (dir.back() != '/') dir += '/';
  std::string program = dir + kProgramFile;
  struct stat info {};
  if (stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return program;
}

bool StartProgram(const std::vector<std::string>& args, bool wait, std::uint32_t timeoutMs) {
  try {
    auto program = FindProgram();
    if (!program) return false;
    std::optional<TNamedEvent> acknowledged;
    std::optional<TNamedEvent> errorEvent;
    if (wait) {
      acknowledged = TNamedEvent::CreateOrOpen(kActiveSyncEvent);
      errorEvent = TNamedEvent::CreateOrOpen(kActiveSyncErrorEvent);
      acknowledged->Reset();
      errorEvent->Reset();
    }
    std::vector<std::string> strings{*program};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings) argv.push_back(s.data());
    argv.push_back(nullptr);
    if (!Launch(std::move(argv))) return false;
    if (!wait) return true;
    // The program sets the error event just before the acknowledgement; an
    // acknowledgement alone means the hand-off failed.
    return acknowledged->Wait(timeoutMs) && errorEvent->IsSet();
  } catch (const TError&) {
    return false;
  }
}

}  // namespace corvane
