// props, users, useradd, usermod, userdel and perm on a real database file.

#include <gmock/gmock.h>

#include "engine/base.h"
#include "engine/users.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using cli_testing::TRun;

class UserCommands : public cli_testing::TCliTest {
 protected:
  UserCommands() : db(CreateDatabase()) {}

  // Runs a command that must succeed and returns its output.
  std::string Ok(const std::string& command, std::vector<std::string> args = {}, const std::string& more = {}) {
    const TRun run = RunOpen(command, db, std::move(args), more);
    EXPECT_EQ(run.exitCode, 0) << command << ": " << run.err;
    return run.out;
  }

  // Runs a command as the database user `user` (password "<user>pw").
  TRun As(const std::string& user, const std::string& command, std::vector<std::string> args,
          const std::string& more = {}) {
    args.insert(args.begin(), {command, db});
    args.insert(args.end(), {"--password-stdin", "--user", user});
    return Run(args, "secret\n" + user + "pw\n" + more);
  }

  void AddClerk() { Ok("useradd", {"Clerk", "--rights", "iu"}, "Clerkpw\n"); }

  std::string db;
};

TEST_F(UserCommands, UsersAndGroupsAreAddedChangedAndRemoved) {
  Ok("useradd", {"Alice", "--description", "Night shift"}, "Alicepw\n");
  Ok("useradd", {"Staff", "--group", "--rights", "V", "--member", "Alice"});
  AddClerk();
  EXPECT_EQ(Ok("users"),
            "Default\tuser\tall\n"
            "Staff\tgroup\tV\tmembers: Alice\n"
            "Alice\tuser\tAIUDVMPLSF\tgroups: Staff\n"  // a new user starts from the default user's rights
            "Clerk\tuser\tIU\n");

  Ok("usermod", {"Clerk", "--rights", "-", "--member-of", "Staff", "--disabled"});
  Ok("usermod", {"Alice", "--not-member-of", "Staff", "--name", "Alicia"});
  const std::string json = Ok("users", {"--json"});
  EXPECT_THAT(json, HasSubstr("\"name\": \"Alicia\",\n    \"kind\": \"user\",\n    \"description\": \"Night shift\""));
  EXPECT_THAT(json, HasSubstr("\"rights\": \"-\",\n    \"disabled\": true,\n    \"hasPassword\": true,\n"
                              "    \"groups\": [\n      \"Staff\"\n    ]"));
  EXPECT_THAT(json, Not(HasSubstr("pw")));
  EXPECT_THAT(As("Clerk", "ls", {}).err, HasSubstr("User 'Clerk' is disabled."));

  Ok("usermod", {"Clerk", "--enabled", "--password"}, "newpw\n");
  EXPECT_EQ(Run({"ls", db, "--password-stdin", "--user", "Clerk"}, "secret\nnewpw\n").exitCode, 0);
  Ok("userdel", {"Staff"});
  EXPECT_EQ(Ok("users"), "Default\tuser\tall\nAlicia\tuser\tAIUDVMPLSF\nClerk\tuser\t-\n");
}

TEST_F(UserCommands, TheUserDialogsRulesRefuse) {
  AddClerk();
  struct TCase {
    std::vector<std::string> args;
    std::string input;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {{"useradd", db, "clerk"}, "pw\n", 1, "A user or group named 'clerk' exists already."},
      {{"useradd", db, "Bob"}, "\n", 1, "You cannot use empty password."},
      {{"useradd", db, " "}, "pw\n", 1, "Please enter user name."},
      {{"useradd", db, "Bob", "--rights", "IZ"}, "", 2, "Rights are given as letters of AIUDVMPLSF"},
      {{"useradd", db, "Bob", "--member-of", "Clerk"}, "pw\n", 1, "'Clerk' is not a group."},
      {{"useradd", db, "Team", "--group", "--member-of", "Clerk"}, "", 2, "A group has members (--member)"},
      {{"usermod", db, "Nobody", "--rights", "V"}, "", 1, "The user or group 'Nobody' does not exist."},
      {{"usermod", db, "Default", "--name", "Guest"}, "", 1,
       "The name, password, description and authentication of the default user cannot be changed."},
      {{"usermod", db, "Default", "--rights", "IU"}, "", 1, "You defined no user with Administrator privilege."},
      {{"usermod", db, "Clerk", "--disabled", "--enabled"}, "", 2, "exclude each other"},
      {{"userdel", db, "Default"}, "", 1, "The default user cannot be deleted."},
  };
  const std::string before = cli_testing::ReadWhole(db);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args[2] + " " + c.message);
    std::vector<std::string> args = c.args;
    args.push_back("--password-stdin");
    const TRun run = Run(args, "secret\n" + c.input);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  EXPECT_EQ(cli_testing::ReadWhole(db), before) << "nothing was saved";
}

TEST_F(UserCommands, ChangesNeedAnAdministratorAndAWritableDatabase) {
  AddClerk();
  Ok("mkdir", {"Work"});
  const std::string before = cli_testing::ReadWhole(db);
  const std::vector<std::vector<std::string>> commands = {
      {"useradd", "Bob", "--group"}, {"usermod", "Clerk", "--rights", "IUD"}, {"userdel", "Clerk"},
      {"props", "--set", "description=Mine"}, {"perm", "Work", "--grant", "Clerk=IUD"}, {"perm", "Work", "--own"}};
  for (const auto& command : commands) {
    SCOPED_TRACE(command[0] + " " + command[1]);
    const std::vector<std::string> args(command.begin() + 1, command.end());
    const TRun clerk = As("Clerk", command[0], args);
    EXPECT_EQ(clerk.exitCode, 1);
    EXPECT_THAT(clerk.err, HasSubstr("Access denied."));
  }
  const TRun wrong = Run({"useradd", db, "Bob", "--password-stdin", "--user", "Clerk"}, "secret\nwrongpw\nBobpw\n");
  EXPECT_THAT(wrong.err, HasSubstr("The password is incorrect."));
  EXPECT_EQ(As("Clerk", "users", {}).exitCode, 0) << "anybody may look";
  EXPECT_EQ(As("Clerk", "props", {}).exitCode, 0);
  EXPECT_EQ(cli_testing::ReadWhole(db), before);

  TPwdBase holder;  // another program writing the database
  holder.FileName = db;
  holder.Open("secret");
  for (const auto& command : commands) {
    std::vector<std::string> args(command.begin() + 1, command.end());
    const TRun run = RunOpen(command[0], db, args);
    EXPECT_EQ(run.exitCode, 1) << command[0];
    EXPECT_THAT(run.err, HasSubstr("could only be opened read-only")) << command[0];
  }
  EXPECT_EQ(Ok("users"), "Default\tuser\tall\nClerk\tuser\tIU\n") << "reading still works";
}

TEST_F(UserCommands, PropertiesAreShownAndChangedWithTheDialogsChecks) {
  Ok("props", {"--set", "description=Family accounts", "--set", "backup-count=3", "--set", "backup-override=true",
               "--set", "auto-close-override=true", "--set", "close-when-inactive=on", "--set",
               "auto-close-seconds=60", "--set", "ciphers=Serpent, twofish", "--set", "remember-sort=yes"});
  const std::string shown = Ok("props");
  EXPECT_THAT(shown, HasSubstr("name = Test\ndescription = Family accounts\nciphers = Serpent, Twofish\n"
                               "require-logon = false\nconcurrent-write = false\nlog-changes = true\n"
                               "remember-sort = true\nauto-close-override = true\nclose-when-inactive = true\n"
                               "auto-close-seconds = 60\nbackup-override = true\nbackup-on-save = false\n"
                               "backup-count = 3\n"));
  const std::string json = Ok("props", {"--json"});
  EXPECT_THAT(json, HasSubstr("\"autoCloseSeconds\": 60,"));
  EXPECT_THAT(json, HasSubstr("\"rememberSort\": true,"));

  struct TCase {
    std::string set;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {"name= ", 1, "Please enter database name."},
      {"require-logon=true", 1, "A user logon can only be required when the database has more than one user."},
      {"colour=blue", 2, "Unknown property 'colour'."},
      {"log-changes=maybe", 2, "The property log-changes takes true or false, not 'maybe'."},
      {"auto-close-seconds=2", 2, "takes a whole number from 3 to 9999, not '2'."},
      {"ciphers=", 1, "At least one cipher is needed"},
      {"description", 2, "A property is given as KEY=VALUE"},
  };
  const std::string before = cli_testing::ReadWhole(db);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.set);
    const TRun run = RunOpen("props", db, {"--set", c.set});
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  EXPECT_EQ(cli_testing::ReadWhole(db), before);
}

TEST_F(UserCommands, RequiredLogonTakesTheDefaultUsersRights) {
  AddClerk();
  EXPECT_THAT(RunOpen("props", db, {"--set", "require-logon=true"}).err,
              HasSubstr("You defined no user with Administrator privilege."));
  Ok("useradd", {"Boss", "--rights", "A"}, "Bosspw\n");
  Ok("props", {"--set", "require-logon=true"});
  EXPECT_THAT(RunOpen("users", db).err, HasSubstr("requires a user logon"));
  const TRun users = As("Boss", "users", {});
  EXPECT_EQ(users.out, "Default\tuser\t-\tdisabled\nBoss\tuser\tAIUDVMPLSF\nClerk\tuser\tIU\n");
  EXPECT_THAT(As("Boss", "usermod", {"Default", "--rights", "V"}).err,
              HasSubstr("The rights of the default user cannot be changed while a user logon is required."));
}

TEST_F(UserCommands, LeavingOnlyADomainAdministratorIsAnsweredNo) {
  {
    TPwdBase base;  // a database that came with an operating-system account
    base.FileName = db;
    base.Open("secret");
    auto account = std::make_unique<TPwdBaseUser>();
    account->SetGuid(TGuid::Create());
    account->SetName("CORP\\admin");
    account->SetUserType(kUserDomain);
    account->SetRights("A");
    base.Users->Add(std::move(account));
    base.SetModified(true);
    base.Save();
  }
  Ok("useradd", {"Boss", "--rights", "A"}, "Bosspw\n");
  Ok("props", {"--set", "require-logon=true"});
  const TRun run = As("Boss", "usermod", {"Boss", "--rights", "V"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.out + run.err, HasSubstr("There is no built-in database user with Administrator privilege."));
  EXPECT_THAT(run.err, HasSubstr("User canceled."));
  EXPECT_THAT(As("Boss", "users", {}).out, HasSubstr("Boss\tuser\tAIUDVMPLSF\n"));
}

TEST_F(UserCommands, GrantedInsertAndDeniedModifyInAFolder) {
  AddClerk();
  Ok("mkdir", {"Work"});
  Ok("add", {"Work", "--field", "Title=Mail"});
  Ok("perm", {"Work", "--grant", "Clerk=I", "--deny", "Clerk=U"});
  EXPECT_EQ(Ok("perm", {"Work"}),
            "own\nDefault\tuser\tgranted all\tdenied -\nClerk\tuser\tgranted I\tdenied U\n");
  EXPECT_EQ(Ok("perm", {"Work/Mail"}).substr(0, 21), "inherited from /Work\n");

  EXPECT_EQ(As("Clerk", "add", {"Work", "--field", "Title=Bank"}).exitCode, 0) << "inserting is allowed";
  const TRun edit = As("Clerk", "edit", {"Work/Mail", "--field", "Title=Post"});
  EXPECT_EQ(edit.exitCode, 1);
  EXPECT_THAT(edit.err, HasSubstr("Access denied."));
  EXPECT_EQ(As("Clerk", "add", {"/", "--field", "Title=Home"}).exitCode, 0);
  EXPECT_EQ(As("Clerk", "edit", {"/Home", "--field", "Title=House"}).exitCode, 0)
      << "outside the folder his own rights apply";

  Ok("perm", {"Work", "--clear", "Clerk"});
  EXPECT_EQ(Ok("perm", {"Work", "--json"}).find("Clerk"), std::string::npos);
  Ok("perm", {"Work", "--inherit"});
  EXPECT_EQ(Ok("perm", {"Work"}), "inherited from /\nDefault\tuser\tgranted all\tdenied -\nClerk\tuser\tgranted IU\tdenied -\n");
}

TEST_F(UserCommands, PermRefuses) {
  AddClerk();
  Ok("mkdir", {"Work"});
  struct TCase {
    std::vector<std::string> args;
    int exitCode;
    std::string message;
  };
  const TCase cases[] = {
      {{"/", "--grant", "Clerk=I"}, 1, "The rights on the root folder are the users' own rights"},
      {{"Nope"}, 1, "does not exist."},
      {{"Work", "--grant", "Nobody=I"}, 1, "The user or group 'Nobody' does not exist."},
      {{"Work", "--grant", "Clerk=Q"}, 2, "Rights are given as letters of AIUDVMPLSF"},
      {{"Work", "--grant", "Clerk"}, 2, "A right is given as USER=LETTERS"},
      {{"Work", "--own", "--inherit"}, 2, "exclude each other"},
      {{"Work", "--inherit", "--clear", "Clerk"}, 2, "inherits its rights has no entries to change"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message);
    const TRun run = RunOpen("perm", db, c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
}

}  // namespace
}  // namespace corvane
