#pragma once
// Runs the built corvane-cli on files in a private temporary folder. The
// program runs in a new session without a controlling terminal, so that a
// password prompt can never wait for a person; standard input is a file
// holding the lines given.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace corvane::cli_testing {

struct TRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class TCliTest : public ::testing::Test {
 protected:
  TCliTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-cli-XXXXXX").string();
    const char* made = ::mkdtemp(pattern.data());
    if (!made) ADD_FAILURE() << "mkdtemp failed";
    folder_ = made ? made : "";
  }
  ~TCliTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // A path inside the test's folder.
  std::string File(const std::string& name) const { return folder_ + "/" + name; }

  // Runs corvane-cli with `args`; `input` is its standard input. Standard
  // output goes to `outPath` when given (run.out then stays empty).
  TRun Run(const std::vector<std::string>& args, const std::string& input = {}, const std::string& outPath = {}) {
    const std::string in = File(".stdin"), err = File(".stderr");
    const std::string out = outPath.empty() ? File(".stdout") : outPath;
    std::ofstream(in, std::ios::binary | std::ios::trunc) << input;
    std::vector<char*> argv = {const_cast<char*>(CORVANE_CLI)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const std::string registry = File(".registry.sqlite"), runtime = File(".runtime"), documents = File(".documents");
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setsid();
      const int i = ::open(in.c_str(), O_RDONLY);
      const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
      ::setenv("CORVANE_USER_REGISTRY", registry.c_str(), 1);
      ::setenv("CORVANE_MACHINE_REGISTRY", registry.c_str(), 1);
      ::setenv("CORVANE_RUNTIME_DIR", runtime.c_str(), 1);
      // The database folders and the automatic backups stay inside the test's
      // folder, unless the test chose a documents folder itself.
      ::setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 0);
      ::setenv("LC_ALL", "C.UTF-8", 1);  // dates as "1/2/2020"
      ::execv(CORVANE_CLI, argv.data());
      ::_exit(127);
    }
    TRun run;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    if (outPath.empty()) run.out = ReadWhole(out);
    run.err = ReadWhole(err);
    return run;
  }

  // Creates `name` with the master password "secret"; fails the test otherwise.
  std::string CreateDatabase(const std::string& name = "test.cvd", const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"create", File(name), "--name", "Test", "--password-stdin"};
    args.insert(args.end(), extra.begin(), extra.end());
    const TRun run = Run(args, "secret\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return File(name);
  }

  // Runs a command on `database` with "secret" as the first line of input.
  TRun RunOpen(const std::string& command, const std::string& database, std::vector<std::string> args = {},
               const std::string& moreInput = {}) {
    args.insert(args.begin(), {command, database});
    args.push_back("--password-stdin");
    return Run(args, "secret\n" + moreInput);
  }

 private:
  std::string folder_;
};

}  // namespace corvane::cli_testing
