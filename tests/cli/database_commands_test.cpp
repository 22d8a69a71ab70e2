// create, info and passwd, and how every command opens a database: master
// password, user logon, files that cannot be opened or must not be written.

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "engine/base.h"
#include "engine/users.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using cli_testing::TRun;

class DatabaseCommands : public cli_testing::TCliTest {
 protected:
  // Adds the user Clerk (rights `rights`, password "clerkpw") through the engine.
  void AddClerk(const std::string& path, const std::string& rights, bool requireLogon) {
    TPwdBase base;
    base.FileName = path;
    base.Open("secret");
    auto clerk = std::make_unique<TPwdBaseUser>();
    clerk->SetName("Clerk");
    clerk->SetPassword("clerkpw");
    clerk->SetRights(rights);
    clerk->SetGuid(TGuid::Create());
    base.Users->Add(std::move(clerk));
    base.RequireLogon = requireLogon;
    base.SetModified(true);
    base.Save();
    base.Close();
  }

  std::string DumpOf(const std::string& path, const std::string& password = "secret") {
    const TRun run = Run({"dump", path, "--password-stdin"}, password + "\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
  }
};

TEST_F(DatabaseCommands, CreateThenInfoWithoutPassword) {
  const std::string db = CreateDatabase("new.cvd", {"--description", "Caf\xC3\xA9 keys"});
  const TRun info = Run({"info", db});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_THAT(info.out, HasSubstr("Name: Test\n"));
  EXPECT_THAT(info.out, HasSubstr("Description: Caf\xC3\xA9 keys\n"));
  EXPECT_THAT(info.out, HasSubstr("Format version: 2.30\n"));
  EXPECT_THAT(info.out, HasSubstr("Save counter: 1\n"));
  EXPECT_THAT(info.out, HasSubstr("Records: 0\n"));
  // All eight ciphers in registration order by default.
  EXPECT_THAT(DumpOf(db), HasSubstr("\"ciphers\": \"Blowfish, Cast128, 3DES, RC4, Rijndael, Serpent, Tea, Twofish\""));
}

TEST_F(DatabaseCommands, InfoShowsANameEndingInBrackets) {
  const TRun create = Run({"create", File("old.cvd"), "--name", "Team (old)", "--password-stdin"}, "secret\n");
  ASSERT_EQ(create.exitCode, 0) << create.err;
  const TRun info = Run({"info", File("old.cvd")});
  EXPECT_EQ(info.exitCode, 0) << info.err;
  EXPECT_THAT(info.out, HasSubstr("Name: Team (old)\n"));
}

TEST_F(DatabaseCommands, InfoCountsTheTreeAndExpiredRecords) {
  const std::string db = CreateDatabase();
  ASSERT_EQ(RunOpen("mkdir", db, {"Work/Mail"}).exitCode, 0);
  ASSERT_EQ(RunOpen("add", db, {"Work/Mail", "--field", "Title=Old", "--field", "Expire on=1/2/2020"}).exitCode, 0);
  ASSERT_EQ(RunOpen("add", db, {"/", "--field", "Title=Later", "--field", "Expire on=1/2/2100"}).exitCode, 0);
  ASSERT_EQ(RunOpen("add", db, {"/", "--field", "Title=Never"}).exitCode, 0);
  const TRun info = Run({"info", db, "--json"});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_THAT(info.out, HasSubstr("\"folders\": 2"));
  EXPECT_THAT(info.out, HasSubstr("\"records\": 3"));
  EXPECT_THAT(info.out, HasSubstr("\"depth\": 2"));
  EXPECT_THAT(info.out, HasSubstr("\"expiredRecords\": 1"));
  EXPECT_THAT(info.out, HasSubstr("\"saveCounter\": 5"));
}

TEST_F(DatabaseCommands, CipherLists) {
  const std::pair<std::string, std::string> cases[] = {
      {"rijndael, 6", "[\n    9,\n    6\n  ]"},
      {"Tea", "[\n    25\n  ]"},
  };
  int n = 0;
  for (const auto& [list, ids] : cases) {
    SCOPED_TRACE(list);
    const std::string db = CreateDatabase("c" + std::to_string(n++) + ".cvd", {"--ciphers", list});
    EXPECT_THAT(DumpOf(db), HasSubstr("\"cipherIds\": " + ids));
  }
}

TEST_F(DatabaseCommands, CreateRefusals) {
  struct TCase {
    std::vector<std::string> options;
    std::string input;
    std::string message;
  };
  const TCase cases[] = {
      {{"--ciphers", "Rot13"}, "secret\n", "Unknown cipher 'Rot13'."},
      {{"--ciphers", "Tea,25"}, "secret\n", "The cipher 'Tea' is listed twice."},
      {{"--ciphers", "99"}, "secret\n", "Unknown cipher '99'."},
      {{"--ciphers", " , "}, "secret\n", "At least one cipher is needed"},
      {{}, "\n", "Empty password."},
      {{}, "", "No password was given."},
      {{"--name", "\xD0\x96"}, "secret\n", "cannot be stored in code page 1252"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args = {"create", File("refused.cvd"), "--password-stdin"};
    if (c.options.empty() || c.options[0] != "--name") args.insert(args.end(), {"--name", "N"});
    args.insert(args.end(), c.options.begin(), c.options.end());
    const TRun run = Run(args, c.input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_FALSE(std::filesystem::exists(File("refused.cvd")));
  }
  // An existing file is never replaced.
  std::ofstream(File("taken.cvd")) << "keep me";
  const TRun taken = Run({"create", File("taken.cvd"), "--name", "N", "--password-stdin"}, "secret\n");
  EXPECT_EQ(taken.exitCode, 1);
  EXPECT_THAT(taken.err, HasSubstr("already exists"));
  EXPECT_EQ(cli_testing::ReadWhole(File("taken.cvd")), "keep me");
}

TEST_F(DatabaseCommands, WithoutATerminalThePasswordMustComeFromStdin) {
  const TRun run = Run({"create", File("tty.cvd"), "--name", "N"}, "secret\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("no terminal to ask for the password; use --password-stdin"));
  EXPECT_FALSE(std::filesystem::exists(File("tty.cvd")));
}

TEST_F(DatabaseCommands, OpeningFailures) {
  const std::string db = CreateDatabase();
  std::ofstream(File("garbage.cvd"), std::ios::binary) << std::string(64, 'x');
  // A file of a newer format, which the engine would read as an empty
  // database: writing that back would destroy it.
  std::filesystem::copy_file(db, File("newer.cvd"));
  {
    std::fstream newer(File("newer.cvd"), std::ios::in | std::ios::out | std::ios::binary);
    newer.seekp(6);
    newer.put(static_cast<char>(240)).put(0);
  }
  const std::string newerBefore = cli_testing::ReadWhole(File("newer.cvd"));
  std::ofstream(File("short.cvd"), std::ios::binary) << cli_testing::ReadWhole(db).substr(0, 60);
  struct TCase {
    std::vector<std::string> args;
    std::string input;
    std::string message;
  };
  const TCase cases[] = {
      {{"ls", db, "--password-stdin"}, "wrong\n", "The password is incorrect."},
      {{"ls", db, "--password-stdin"}, "\n", "You cannot use empty password."},
      {{"ls", File("missing.cvd"), "--password-stdin"}, "secret\n", "does not exist"},
      {{"info", File("missing.cvd")}, "", "does not exist"},
      {{"ls", File("garbage.cvd"), "--password-stdin"}, "secret\n", "Invalid database signature."},
      {{"mkdir", File("newer.cvd"), "Lost", "--password-stdin"}, "secret\n", "Unsupported database version: 2.40"},
      {{"info", File("newer.cvd")}, "", "Unsupported database version: 2.40"},
      // Listing shows what went wrong after the name; here it is an error.
      {{"info", File("short.cvd")}, "", "short.cvd (Stream read error.)"},
      {{"info", File("short.cvd"), "--json"}, "", "short.cvd (Stream read error.)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.message);
    const TRun run = Run(c.args, c.input);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_THAT(run.err, Not(HasSubstr("\r")));
  }
  EXPECT_EQ(cli_testing::ReadWhole(File("newer.cvd")), newerBefore);
}

TEST_F(DatabaseCommands, ADatabaseHeldByAnotherWriterIsReadButNotWritten) {
  const std::string db = CreateDatabase();
  TPwdBase holder;
  holder.FileName = db;
  holder.Open("secret");
  const std::string before = cli_testing::ReadWhole(db);
  EXPECT_EQ(RunOpen("ls", db).exitCode, 0);
  const TRun mkdir = RunOpen("mkdir", db, {"Work"});
  EXPECT_EQ(mkdir.exitCode, 1);
  EXPECT_THAT(mkdir.err, HasSubstr("could only be opened read-only"));
  EXPECT_EQ(cli_testing::ReadWhole(db), before);
}

TEST_F(DatabaseCommands, UserLogon) {
  const std::string db = CreateDatabase();
  AddClerk(db, "IU", /*requireLogon=*/true);
  struct TCase {
    std::vector<std::string> args;
    std::string input;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {{"--user", "Clerk"}, "secret\nclerkpw\n", 0, ""},
      {{"--user", "clerk"}, "secret\nclerkpw\n", 0, ""},  // names compare without case
      {{}, "secret\n", 1, "requires a user logon; give --user NAME"},
      {{"--user", "Clerk"}, "secret\nwrong\n", 1, "The password is incorrect."},
      {{"--user", "Nobody"}, "secret\nclerkpw\n", 1, "The password is incorrect."},
      {{"--user", "Clerk"}, "secret\n", 1, "No password was given."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.input + c.message);
    std::vector<std::string> args = {"mkdir", db, "F" + std::to_string(&c - cases), "--password-stdin"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const TRun run = Run(args, c.input);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    if (!c.message.empty()) {
      EXPECT_THAT(run.err, HasSubstr(c.message));
    }
  }
  // Clerk may insert, but neither administer nor see passwords nor export.
  const std::string clerk = "secret\nclerkpw\n";
  EXPECT_THAT(Run({"passwd", db, "--password-stdin", "--user", "Clerk"}, clerk + "new\n").err, HasSubstr("Access denied."));
  EXPECT_THAT(Run({"dump", db, "--password-stdin", "--user", "Clerk"}, clerk).err, HasSubstr("Access denied."));
}

TEST_F(DatabaseCommands, UserOptionWithoutRequiredLogonAndUsersWhoMayChangeNothing) {
  const std::string db = CreateDatabase();
  AddClerk(db, "-", /*requireLogon=*/false);
  // Logged on as Clerk, who holds no right: reading works, writing is refused.
  const std::string clerk = "secret\nclerkpw\n";
  EXPECT_EQ(Run({"ls", db, "--password-stdin", "--user", "Clerk"}, clerk).exitCode, 0);
  const TRun write = Run({"mkdir", db, "Work", "--password-stdin", "--user", "Clerk"}, clerk);
  EXPECT_EQ(write.exitCode, 1);
  EXPECT_THAT(write.err, HasSubstr("Access denied."));
  EXPECT_THAT(Run({"ls", db, "--password-stdin", "--user", "Clerk"}, "secret\nwrong\n").err,
              HasSubstr("The password is incorrect."));
  // A database with only its default user has no user to log on as.
  const std::string single = CreateDatabase("single.cvd");
  EXPECT_THAT(Run({"ls", single, "--password-stdin", "--user", "Clerk"}, clerk).err,
              HasSubstr("The password is incorrect."));
}

TEST_F(DatabaseCommands, EngineMessagesQuotingNamesAreShownInUtf8) {
  const std::string db = CreateDatabase();
  const TRun add = Run({"useradd", db, "Cl\xC3\xA9rk", "--disabled", "--password-stdin"}, "secret\nclerkpw\n");
  ASSERT_EQ(add.exitCode, 0) << add.err;
  const TRun run = Run({"ls", db, "--password-stdin", "--user", "Cl\xC3\xA9rk"}, "secret\nclerkpw\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("User 'Cl\xC3\xA9rk' is disabled."));
}

TEST_F(DatabaseCommands, EverySaveFirstKeepsABackupOfTheFileAsItWas) {
  const std::string db = CreateDatabase();
  const std::string created = cli_testing::ReadWhole(db);
  ASSERT_EQ(RunOpen("mkdir", db, {"Work"}).exitCode, 0);
  const std::filesystem::path backups = File(".documents/My databases/Backup");
  std::vector<std::filesystem::path> copies;
  for (const auto& entry : std::filesystem::directory_iterator(backups)) copies.push_back(entry.path());
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_THAT(copies[0].filename().string(), ::testing::MatchesRegex("test_[0-9]{8}_[0-9]{6}\\.cvb"));
  EXPECT_EQ(cli_testing::ReadWhole(copies[0].string()), created);
}

TEST_F(DatabaseCommands, ARelativePathNamesTheFileInTheCurrentFolder) {
  CreateDatabase();
  const std::filesystem::path saved = std::filesystem::current_path();
  std::filesystem::current_path(File(""));
  const TRun mkdir = RunOpen("mkdir", "test.cvd", {"Work"});
  EXPECT_EQ(mkdir.exitCode, 0) << mkdir.err;
  EXPECT_EQ(RunOpen("ls", "./test.cvd").out, "Work/\n");
  std::filesystem::current_path(saved);
}

TEST_F(DatabaseCommands, PasswdChangesThePasswordAndKeepsTheData) {
  const std::string db = CreateDatabase();
  ASSERT_EQ(RunOpen("mkdir", db, {"Work"}).exitCode, 0);
  const TRun passwd = RunOpen("passwd", db, {}, "n\xC3\xA9w pass\n");
  ASSERT_EQ(passwd.exitCode, 0) << passwd.err;
  EXPECT_THAT(RunOpen("ls", db).err, HasSubstr("The password is incorrect."));
  const TRun ls = Run({"ls", db, "--password-stdin"}, "n\xC3\xA9w pass\n");
  EXPECT_EQ(ls.exitCode, 0) << ls.err;
  EXPECT_EQ(ls.out, "Work/\n");
}

TEST_F(DatabaseCommands, PasswdCiphersOnlyKeepsThePassword) {
  const std::string db = CreateDatabase();
  const TRun passwd = RunOpen("passwd", db, {"--ciphers", "Serpent,Blowfish"}, "\n");
  ASSERT_EQ(passwd.exitCode, 0) << passwd.err;
  EXPECT_THAT(DumpOf(db), HasSubstr("\"ciphers\": \"Serpent, Blowfish\""));
}

TEST_F(DatabaseCommands, PasswdRefusalsChangeNothing) {
  const std::string db = CreateDatabase();
  const std::string before = cli_testing::ReadWhole(db);
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "Empty password."},  // an empty new password without --ciphers
      {{"--ciphers", ","}, "At least one cipher is needed"},
      {{"--ciphers", "Enigma"}, "Unknown cipher 'Enigma'."},
  };
  for (const auto& [options, message] : cases) {
    SCOPED_TRACE(message);
    const TRun run = RunOpen("passwd", db, options, "\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr(message));
  }
  EXPECT_EQ(cli_testing::ReadWhole(db), before);
}

}  // namespace
}  // namespace corvane
