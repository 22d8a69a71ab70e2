// generate, sync and expired as a person runs them.

#include <gmock/gmock.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/dbfile.h"
#include "engine/fields.h"
#include "engine/password.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "tests/cli/cli_test_support.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using cli_testing::ReadWhole;
using cli_testing::TRun;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

using GenerateCommand = cli_testing::TCliTest;

TEST_F(GenerateCommand, PrintsCountPasswordsOfTheLengthFromTheChosenClasses) {
  const TRun run = Run({"generate", "--length", "40", "--digits", "--count", "3"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  for (const std::string& line : lines) {
    EXPECT_EQ(line.size(), 40u);
    EXPECT_EQ(line.find_first_not_of("0123456789"), std::string::npos) << line;
  }
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), 3u);
}

TEST_F(GenerateCommand, TemplateAndExcludedCharactersAreHonoured) {
  const TRun run = Run({"generate", "--length", "6", "--lower", "--template", "\"PW\"99", "--exclude", "abc"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  ASSERT_EQ(run.out.size(), 7u) << run.out;
  EXPECT_EQ(run.out.substr(0, 2), "PW");
  EXPECT_EQ(run.out.substr(2, 2).find_first_not_of("0123456789"), std::string::npos);
  EXPECT_EQ(run.out.substr(4, 2).find_first_of("abc"), std::string::npos);
}

TEST_F(GenerateCommand, WithoutOptionsUsesTheStoredSettings) {
  const TRun run = Run({"generate"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.size(), 9u) << run.out;  // eight characters by default
}

TEST_F(GenerateCommand, RefusesALengthOrCountOutOfRange) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--length", "0"}, {"--length", "1000"}, {"--length", "99999999999"}, {"--length", "8x"},
           {"--count", "0"}, {"--count", "1001"}}) {
    std::vector<std::string> line = {"generate"};
    line.insert(line.end(), args.begin(), args.end());
    const TRun run = Run(line);
    EXPECT_EQ(run.exitCode, 2) << args[0] << " " << args[1];
    EXPECT_THAT(run.err, HasSubstr("must be a number from 1 to")) << args[1];
    EXPECT_TRUE(run.out.empty());
  }
}

class SyncCommand : public cli_testing::TCliTest {
 protected:
  SyncCommand() : local(CreateDatabase("local.cvd")) {
    EXPECT_EQ(RunOpen("mkdir", local, {"Work"}).exitCode, 0);
    std::filesystem::copy_file(local, File("remote.cvd"));
    remote = File("remote.cvd");
    EXPECT_EQ(RunOpen("mkdir", local, {"Home"}).exitCode, 0);
    EXPECT_EQ(RunOpen("add", remote, {"Work", "--field", "Title=Bank"}).exitCode, 0);
  }
  std::string Ls(const std::string& db) { return RunOpen("ls", db, {"-R"}).out; }

  std::string local;
  std::string remote;
};

TEST_F(SyncCommand, TwoWayGivesBothCopiesBothChangesAndPrintsTheReport) {
  const TRun run = RunOpen("sync", local, {remote});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "Local database 'Test' has been synchronized.\nItems inserted:\t1\nItems updated:\t0\n"
            "Items deleted:\t0\nAccess denied:\t0\n\n\nRemote database 'Test' has been synchronized.\n"
            "Items inserted:\t1\nItems updated:\t0\nItems deleted:\t0\nAccess denied:\t0\n");
  EXPECT_EQ(Ls(local), Ls(remote));
  EXPECT_THAT(Ls(remote), HasSubstr("Home/"));
}

TEST_F(SyncCommand, OneWayLeavesTheRemoteFileAsItWas) {
  const std::string remoteBytes = ReadWhole(remote);
  const TRun run = RunOpen("sync", local, {remote, "--one-way"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, ::testing::Not(HasSubstr("Remote database")));
  EXPECT_THAT(Ls(local), HasSubstr("Work/Bank"));
  EXPECT_EQ(ReadWhole(remote), remoteBytes);
}

TEST_F(SyncCommand, ARemoteWithAnotherPasswordTakesTheNextLineAndAForeignDatabaseFails) {
  ASSERT_EQ(Run({"passwd", remote, "--password-stdin"}, "secret\nother\n").exitCode, 0);
  TRun run = RunOpen("sync", local, {remote, "--one-way"}, "other\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(Ls(local), HasSubstr("Work/Bank"));

  const std::string foreign = CreateDatabase("foreign.cvd");
  run = RunOpen("sync", local, {foreign});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("not copies of the same database"));
}

class ExpiredCommand : public cli_testing::TCliTest {
 protected:
  ExpiredCommand() {
    CreateFolder(folder);
    TRegKey folders = TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\DBFolders");
    folders.SetString("Folder1", folder);
    folders.SetDWord("Count", 1);
  }

  // A database whose records expire on the given days (date serials).
  void MakeDatabase(const std::string& file, const std::string& name, const std::vector<double>& expiries) {
    auto base = CreateDatabaseFile(folder + "/" + file, name, "", "secret", std::string(1, AllAlgorithms()[0]));
    for (double expires : expiries) {
      auto* record = static_cast<TPwdPassword*>(base->Items->AddItem(kItemTypeRecord, false));
      record->Bind()->FieldByKind(kKindExpires)->SetAsDate(expires);
      record->Post();
    }
    base->Save();
    base->Close();
  }

  std::string folder = File("bases");
  file_testing::TScopedEnv userRegistry{"CORVANE_USER_REGISTRY", File(".registry.sqlite")};
  file_testing::TScopedEnv machineRegistry{"CORVANE_MACHINE_REGISTRY", File(".registry.sqlite")};
};

TEST_F(ExpiredCommand, ListsTheDatabasesWithExpiredRecordsAndSaysWhenThereAreNone) {
  MakeDatabase("CVBase1.dat", "Fresh", {});
  TRun run = Run({"expired"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "No database has expired records.\n");

  // 40000 is in 2009; 80000 in 2119.
  MakeDatabase("CVBase2.dat", "Old", {40000, 40001, 80000});
  run = Run({"expired"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("Old (expired records: 2)"));
  EXPECT_THAT(run.out, Not(HasSubstr("Fresh")));
}

}  // namespace
}  // namespace corvane
