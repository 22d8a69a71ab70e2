// Runs the built corvane-reg program against a private pair of hives.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "tests/platform/registry_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;

struct TToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class RegToolTest : public ::testing::Test {
 protected:
  TToolRun Run(const std::vector<std::string>& args) {
    const std::string outFile = registry_.Folder() + "/stdout";
    const std::string errFile = registry_.Folder() + "/stderr";
    std::vector<char*> argv = {const_cast<char*>(CORVANE_REG_TOOL)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
      int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(126);
      ::execv(CORVANE_REG_TOOL, argv.data());
      ::_exit(127);
    }
    TToolRun run;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = ReadFile(outFile);
    run.err = ReadFile(errFile);
    return run;
  }

  testing::TTempRegistry registry_;
};

TEST_F(RegToolTest, GetPrintsValuesInTheFormSetReads) {
  struct TCase {
    const char* type;
    const char* input;
    const char* printed;
  };
  const TCase cases[] = {
      {"sz", "C:\\Bases\\CVBase*.dat", "C:\\Bases\\CVBase*.dat"},
      {"sz", "", ""},
      {"dword", "300", "300"},
      {"dword", "0x2A", "42"},
      {"dword", "0xffffffff", "4294967295"},
      {"binary", "00FFab", "00ffab"},
      {"binary", "", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.input);
    TToolRun set = Run({"set", "Software\\Corvane", "Value", c.type, c.input});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    TToolRun get = Run({"get", "software\\CORVANE", "VALUE"});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, std::string(c.printed) + "\n");
  }
  auto key = TRegKey::Open(THive::CurrentUser, "Software\\Corvane");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->QueryBinary("Value"), std::vector<std::uint8_t>{});
}

TEST_F(RegToolTest, ListAndExportShowTheTree) {
  TRegKey corvane = TRegKey::Create(THive::CurrentUser, "Software\\Corvane");
  corvane.SetDWord("AutoClose", 1);
  corvane.SetString("BackupPath", "%APP%\\Backup \"old\"\n");
  TRegKey record = corvane.CreateSubKey("ActiveSync\\{0001}");
  record.SetBinary("Modified1", std::vector<std::uint8_t>{0x01, 0xAB});
  corvane.CreateSubKey("Policies");

  TToolRun list = Run({"list", "Software\\Corvane"});
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out,
            "ActiveSync\\\n"
            "Policies\\\n"
            "\"AutoClose\" = dword 1 (0x00000001)\n"
            "\"BackupPath\" = sz \"%APP%\\\\Backup \\\"old\\\"\\n\"\n");

  TToolRun all = Run({"export"});
  EXPECT_EQ(all.exitCode, 0) << all.err;
  EXPECT_EQ(all.out,
            "[HKEY_CURRENT_USER]\n\n"
            "[HKEY_CURRENT_USER\\Software]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Corvane]\n"
            "\"AutoClose\" = dword 1 (0x00000001)\n"
            "\"BackupPath\" = sz \"%APP%\\\\Backup \\\"old\\\"\\n\"\n\n"
            "[HKEY_CURRENT_USER\\Software\\Corvane\\ActiveSync]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Corvane\\ActiveSync\\{0001}]\n"
            "\"Modified1\" = binary 01ab\n\n"
            "[HKEY_CURRENT_USER\\Software\\Corvane\\Policies]\n");

  TToolRun part = Run({"export", "Software\\Corvane\\ActiveSync"});
  EXPECT_EQ(part.out,
            "[HKEY_CURRENT_USER\\Software\\Corvane\\ActiveSync]\n\n"
            "[HKEY_CURRENT_USER\\Software\\Corvane\\ActiveSync\\{0001}]\n"
            "\"Modified1\" = binary 01ab\n");

  // A hive that has no store yet lists as empty.
  TToolRun machine = Run({"--machine", "export"});
  EXPECT_EQ(machine.exitCode, 0) << machine.err;
  EXPECT_EQ(machine.out, "[HKEY_LOCAL_MACHINE]\n");
  EXPECT_FALSE(std::filesystem::exists(registry_.MachineFile()));
}

TEST_F(RegToolTest, MachineOptionSelectsTheMachineHive) {
  TToolRun set = Run({"--machine", "set", "Software\\Policies\\Corvane", "DisableAutoBackup", "dword", "1"});
  EXPECT_EQ(set.exitCode, 0) << set.err;
  auto key = TRegKey::Open(THive::LocalMachine, "Software\\Policies\\Corvane");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->QueryDWord("DisableAutoBackup"), 1u);
  EXPECT_FALSE(std::filesystem::exists(registry_.UserFile()));
  EXPECT_EQ(Run({"get", "Software\\Policies\\Corvane", "DisableAutoBackup"}).exitCode, 1);
}

TEST_F(RegToolTest, DeleteRemovesAValueOrAWholeKey) {
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\ActiveSync\\{1}").SetString("File", "/a.dat");
  TRegKey::Create(THive::CurrentUser, "Software\\Corvane").SetDWord("AutoClose", 0);

  EXPECT_EQ(Run({"delete", "Software\\Corvane", "autoclose"}).exitCode, 0);
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane")->Query("AutoClose"), std::nullopt);
  EXPECT_EQ(Run({"delete", "Software\\Corvane\\ActiveSync"}).exitCode, 0);
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane\\ActiveSync\\{1}"), std::nullopt);
  EXPECT_TRUE(TRegKey::Open(THive::CurrentUser, "Software\\Corvane"));
}

TEST_F(RegToolTest, ErrorsAndWrongUsageGiveTheirExitCodesAndChangeNothing) {
  std::filesystem::create_directories(std::filesystem::path(registry_.MachineFile()).parent_path());
  std::ofstream(registry_.MachineFile()) << std::string(2000, '#');
  struct TCase {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  };
  const TCase cases[] = {
      {{}, 2, "no command given"},
      {{"frobnicate"}, 2, "unknown command \"frobnicate\""},
      {{"--verbose", "list", "A"}, 2, "unknown option \"--verbose\""},
      {{"get", "A"}, 2, "usage: corvane-reg [--machine] get KEY NAME"},
      {{"list", "A", "B"}, 2, "usage: corvane-reg [--machine] list KEY"},
      {{"set", "A", "x", "dword", "12x"}, 2, "\"12x\" is not a decimal or 0x hexadecimal 32-bit number"},
      {{"set", "A", "x", "dword", "4294967296"}, 2, "32-bit number"},
      {{"set", "A", "x", "dword", "-1"}, 2, "32-bit number"},
      {{"set", "A", "x", "binary", "abc"}, 2, "is not an even number of hex digits"},
      {{"set", "A", "x", "qword", "1"}, 2, "unknown value type \"qword\""},
      {{"set", "A\\", "x", "sz", "1"}, 1, "The registry key path \"A\\\" is not valid."},
      {{"get", "Missing", "x"}, 1, "The registry key \"Missing\" does not exist."},
      {{"delete", "Missing"}, 1, "The registry key \"Missing\" does not exist."},
      {{"delete", ""}, 1, "root key"},
      {{"--machine", "list", ""}, 1, "is damaged or is not a registry store"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    TToolRun run = Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_EQ(run.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(registry_.UserFile()));

  TRegKey::Create(THive::CurrentUser, "Software").SetString("Name", "x");
  EXPECT_THAT(Run({"delete", "Software", "Other"}).err, HasSubstr("The registry value \"Other\" does not exist in \"Software\"."));

  TToolRun help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("Usage: corvane-reg [--machine] COMMAND"));
  EXPECT_THAT(help.out, HasSubstr("export [KEY]"));
}

}  // namespace
}  // namespace corvane
