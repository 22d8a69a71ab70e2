// Passwords typed on a terminal: corvane-cli runs with a pseudo-terminal as
// its controlling terminal, and the test types the answers when the prompts
// show.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>

#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct TTerminalRun {
  int exitCode = -1;
  std::string screen;  // everything the terminal showed
  std::string err;
  bool echoBackOn = false;  // the terminal echoes again afterwards
};

class TerminalPrompt : public cli_testing::TCliTest {
 protected:
  // Runs corvane-cli; when the i-th prompt (its text ends with ": ") shows,
  // types answers[i] and Enter.
  TTerminalRun RunOnTerminal(const std::vector<std::string>& args, const std::vector<std::string>& answers) {
    TTerminalRun run;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
      ADD_FAILURE() << "no pseudo-terminal";
      return run;
    }
    const std::string slaveName = ::ptsname(master);
    const int observer = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);  // to look at its modes afterwards
    const std::string err = File(".stderr"), out = File(".stdout");
    std::vector<char*> argv = {const_cast<char*>(CORVANE_CLI)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setsid();
      const int slave = ::open(slaveName.c_str(), O_RDWR);  // becomes the controlling terminal
      const int nul = ::open("/dev/null", O_RDONLY);
      const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (slave < 0 || nul < 0 || o < 0 || e < 0 || ::dup2(nul, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
        ::_exit(126);
      ::setenv("LC_ALL", "C.UTF-8", 1);
      ::execv(CORVANE_CLI, argv.data());
      ::_exit(127);
    }
    std::size_t answered = 0, promptsSeen = 0;
    int status = 0;
    bool exited = false;
    for (int waited = 0; !exited; waited += 50) {
      if (waited > 10000) {
        ADD_FAILURE() << "the program did not finish; screen so far:\n" << run.screen;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        break;
      }
      exited = ::waitpid(pid, &status, WNOHANG) == pid;
      pollfd p = {master, POLLIN, 0};
      if (::poll(&p, 1, exited ? 0 : 50) <= 0) continue;
      char buffer[256];
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n <= 0) continue;
      run.screen.append(buffer, static_cast<std::size_t>(n));
      // A prompt is waiting when the screen ends with one.
      if (run.screen.size() >= 2 && run.screen.compare(run.screen.size() - 2, 2, ": ") == 0) ++promptsSeen;
      if (answered < answers.size() && promptsSeen > answered) {
        const std::string typed = answers[answered++] + "\n";
        EXPECT_EQ(::write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
      }
    }
    if (exited && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    termios modes{};
    run.echoBackOn = ::tcgetattr(observer, &modes) == 0 && (modes.c_lflag & ECHO);
    ::close(observer);
    ::close(master);
    run.err = cli_testing::ReadWhole(err);
    return run;
  }
};

TEST_F(TerminalPrompt, PasswordsAreTypedWithoutEcho) {
  const std::string db = File("typed.cvd");
  const TTerminalRun create = RunOnTerminal({"create", db, "--name", "Typed"}, {"s3cret", "s3cret"});
  ASSERT_EQ(create.exitCode, 0) << create.err << create.screen;
  EXPECT_THAT(create.screen, HasSubstr("New password for " + db + ": "));
  EXPECT_THAT(create.screen, HasSubstr("Repeat the new password: "));
  EXPECT_THAT(create.screen, Not(HasSubstr("s3cret")));
  EXPECT_TRUE(create.echoBackOn);

  const TTerminalRun ls = RunOnTerminal({"ls", db}, {"s3cret"});
  EXPECT_EQ(ls.exitCode, 0) << ls.err << ls.screen;
  EXPECT_THAT(ls.screen, HasSubstr("Password for " + db + ": "));
  EXPECT_THAT(ls.screen, Not(HasSubstr("s3cret")));
  EXPECT_TRUE(ls.echoBackOn);
}

TEST_F(TerminalPrompt, AWrongPasswordMayBeTypedAgainTwice) {
  const std::string db = File("retry.cvd");
  ASSERT_EQ(RunOnTerminal({"create", db, "--name", "Retry"}, {"s3cret", "s3cret"}).exitCode, 0);
  const TTerminalRun second = RunOnTerminal({"ls", db}, {"wrong", "s3cret"});
  EXPECT_EQ(second.exitCode, 0) << second.err;
  EXPECT_THAT(second.screen, HasSubstr("The password is incorrect."));
  const TTerminalRun none = RunOnTerminal({"ls", db}, {"wrong", "wrong", "wrong", "s3cret"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_THAT(none.err, HasSubstr("The password is incorrect."));
}

TEST_F(TerminalPrompt, ANewPasswordMustBeTypedTheSameTwice) {
  const TTerminalRun run = RunOnTerminal({"create", File("typo.cvd"), "--name", "Typo"}, {"s3cret", "s3cert"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("The passwords do not match."));
  EXPECT_FALSE(std::filesystem::exists(File("typo.cvd")));
}

}  // namespace
}  // namespace corvane
