// Opening a database in the program: password attempts, the prompt's texts,
// logon after opening, the re-logon of a user who may not change anything,
// read only when another writer holds the file, and the demand to log actions.

#include <gtest/gtest.h>

#include "app/known_databases.h"
#include "app/message_box.h"
#include "app/session_close.h"
#include "app/session_open.h"
#include "app/session_properties.h"
#include "app/session_state.h"
#include "platform/file.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using testing::TSessionTest;
using testing::TTestUser;

const std::vector<TTestUser> kUsers = {{"alice", "alicepw", "A"}, {"bob", "bobpw", "V"}};

TOpenOptions Given(const TSecretText& password) {
  TOpenOptions options;
  options.password = &password;
  return options;
}
TOpenOptions ExtraLine(const std::string& line) {
  TOpenOptions options;
  options.extraLine = line;
  return options;
}
TOpenOptions ReLogon() {
  TOpenOptions options;
  options.relogon = true;
  return options;
}

class OpenDatabaseTest : public TSessionTest {};

TEST_F(OpenDatabaseTest, ThreeWrongPasswordsWaitOneTwoAndThreeSecondsAndGiveUp) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  frontEnd.passwords = {"bad1", "bad2", "bad3", "pw"};
  EXPECT_FALSE(OpenDatabase(base));
  EXPECT_FALSE(IsDatabaseOpen(base));
  EXPECT_EQ(frontEnd.passwordPrompts.size(), 3u);
  EXPECT_EQ(clock.LongPauses(), (std::vector<std::uint32_t>{1000, 2000, 3000}));
  EXPECT_EQ(frontEnd.MessageTexts(), std::vector<std::string>(3, "The password is incorrect."));
  EXPECT_EQ(frontEnd.messages.at(0).icon, TMsgIcon::Error);
  EXPECT_EQ(ModalCount(), 0);
}

TEST_F(OpenDatabaseTest, RightPasswordAfterAWrongOneOpensForWriting) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  frontEnd.passwords = {"bad", "pw"};
  ASSERT_TRUE(OpenDatabase(base));
  EXPECT_TRUE(IsDatabaseOpen(base));
  EXPECT_FALSE(base.ReadOnly);
  EXPECT_TRUE(base.FileStream.IsOpen());
  EXPECT_EQ(DatabaseCaption(base), "Home");
  EXPECT_EQ(frontEnd.hooks.back(), "RefreshDatabase");
  EXPECT_TRUE(OpenDatabase(base)) << "an open database stays open without a prompt";
  EXPECT_EQ(frontEnd.passwordPrompts.size(), 2u);
}

TEST_F(OpenDatabaseTest, GivenPasswordIsTriedOnceWithoutPrompt) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  for (const char* given : {"wrong", ""}) {
    const TSecretText password(given);
    EXPECT_FALSE(OpenDatabase(base, Given(password))) << given;
    EXPECT_TRUE(frontEnd.passwordPrompts.empty());
  }
  EXPECT_EQ(frontEnd.MessageTexts(), std::vector<std::string>(2, "The password is incorrect."));
  const TSecretText right("pw");
  EXPECT_TRUE(OpenDatabase(base, Given(right)));
}

TEST_F(OpenDatabaseTest, PromptNamesTheDatabaseAndTheProgramWhenTheWindowIsHidden) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  frontEnd.mainWindowVisible = false;
  EXPECT_FALSE(OpenDatabase(base, ExtraLine("Synchronisation needs the password.")));
  ASSERT_EQ(frontEnd.passwordPrompts.size(), 1u) << "Cancel ends the attempts";
  EXPECT_EQ(frontEnd.passwordPrompts[0].caption, "Corvane: Enter password");
  EXPECT_EQ(frontEnd.passwordPrompts[0].text,
            "Synchronisation needs the password.\nPlease, enter password to open 'Home' database.");
}

TEST_F(OpenDatabaseTest, AnotherWriterLeavesTheDatabaseReadOnlyWithAWarning) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  TFile otherWriter = TFile::Open(base.FileName, TFile::TMode::kWrite);
  frontEnd.passwords = {"pw"};
  ASSERT_TRUE(OpenDatabase(base));
  EXPECT_TRUE(base.ReadOnly);
  EXPECT_FALSE(base.FileStream.IsOpen());
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].text,
            "Database 'Home' is opened by someone else in write mode.\nYou can use this database in read only mode.");
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Warning);
  EXPECT_EQ(DatabaseCaption(base), "Home - [Read only]");

  // Once the other writer has gone, a re-check takes the file.
  otherWriter.Close();
  UpdateDatabaseState(base, /*showMessage=*/true, /*recheck=*/true);
  EXPECT_FALSE(base.ReadOnly);
  EXPECT_TRUE(base.FileStream.IsOpen());
  EXPECT_EQ(frontEnd.messages.size(), 1u);
}

TEST_F(OpenDatabaseTest, OneUserDatabaseNeedsNoLogonEvenWhenRequired) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home", {}, [](TPwdBase& b) { b.RequireLogon = 1; });
  frontEnd.passwords = {"pw"};
  EXPECT_TRUE(OpenDatabase(base));
  EXPECT_TRUE(frontEnd.logonPrompts.empty());
}

TEST_F(OpenDatabaseTest, RequiredLogonThatFailsClosesTheDatabase) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Team", kUsers, [](TPwdBase& b) { b.RequireLogon = 1; });
  frontEnd.passwords = {"pw"};
  EXPECT_FALSE(OpenDatabase(base));  // the logon prompt is cancelled
  EXPECT_EQ(frontEnd.logonPrompts.size(), 1u);
  EXPECT_FALSE(IsDatabaseOpen(base));
  EXPECT_FALSE(base.FileStream.IsOpen());

  frontEnd.passwords = {"pw"};
  frontEnd.logons = {{{"alice", "alicepw"}}};
  EXPECT_TRUE(OpenDatabase(base));
  EXPECT_EQ(base.CurrentUserName, "alice");
}

// The default user of kUsers' database is given view rights only, so a
// person who opens it must log on to change anything.
void ViewOnlyDefault(TPwdBase& base) { (*base.Users)[0]->SetRights("V"); }

TEST_F(OpenDatabaseTest, UserWhoMayNotChangeKeepsItReadOnlyWithoutReLogon) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Team", kUsers, ViewOnlyDefault);
  frontEnd.passwords = {"pw"};
  ASSERT_TRUE(OpenDatabase(base));
  EXPECT_TRUE(frontEnd.logonPrompts.empty());
  EXPECT_TRUE(base.ReadOnly);
  EXPECT_FALSE(base.FileStream.IsOpen()) << "no write access is needed";
  EXPECT_TRUE(frontEnd.messages.empty()) << "read only by rights is not a busy file";
}

TEST_F(OpenDatabaseTest, ReLogonFlagAsksForAUserWhoMayChange) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Team", kUsers, ViewOnlyDefault);
  frontEnd.passwords = {"pw"};
  frontEnd.logons = {{{"alice", "alicepw"}}};
  ASSERT_TRUE(OpenDatabase(base, ReLogon()));
  EXPECT_EQ(frontEnd.logonPrompts.size(), 1u);
  EXPECT_EQ(base.CurrentUserName, "alice");
  EXPECT_FALSE(base.ReadOnly);
  EXPECT_TRUE(base.FileStream.IsOpen());
  ASSERT_TRUE(CloseDatabase(base));

  frontEnd.passwords = {"pw"};  // and the logon is cancelled
  EXPECT_FALSE(OpenDatabase(base, ReLogon()));
  EXPECT_FALSE(IsDatabaseOpen(base));
}

class ActionLoggingTest : public TSessionTest {
 protected:
  TPwdBase& LoggedDatabase(std::uint32_t optionFlags = 0) {
    return AddDatabase("CVBase1.dat", "Audited", kUsers, [=](TPwdBase& b) {
      b.LogActions = 1;
      b.OptionFlags = optionFlags;
    });
  }
};

TEST_F(ActionLoggingTest, CancelKeepsTheDatabaseClosed) {
  TPwdBase& base = LoggedDatabase();
  frontEnd.passwords = {"pw"};
  frontEnd.messageAnswers = {kIdRetry, kIdCancel};
  EXPECT_FALSE(OpenDatabase(base));
  EXPECT_FALSE(IsDatabaseOpen(base));
  ASSERT_EQ(frontEnd.messages.size(), 2u) << "Retry cannot reach a log server either";
  const TMessageRequest& message = frontEnd.messages[0];
  EXPECT_EQ(message.text,
            "Cannot log user action.\nCannot connect to log server.\n\nThis feature is available in desktop version only.");
  EXPECT_EQ(message.icon, TMsgIcon::Error);
  ASSERT_EQ(message.buttons.size(), 3u);
  EXPECT_EQ(message.buttons[1].caption, "Setup...");
  EXPECT_EQ(message.buttons[message.defaultButton].result, kIdCancel);
}

TEST_F(ActionLoggingTest, SkippedOnThisDeviceWhenTheDatabaseSaysSo) {
  TPwdBase& base = LoggedDatabase(/*skip action logging on devices*/ 1u << 5);
  frontEnd.passwords = {"pw"};
  EXPECT_TRUE(OpenDatabase(base));
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(ActionLoggingTest, SetupGivesAnAdministratorThePropertiesWhoseResultDecides) {
  std::vector<std::string> edited;
  SetDatabasePropertiesEditor([&](TPwdBase& b, bool fromLogging) {
    edited.push_back(b.CurrentUserName + (fromLogging ? " from logging" : ""));
    b.LogActions = 0;
    return true;
  });
  TPwdBase& base = LoggedDatabase();
  frontEnd.passwords = {"pw"};
  frontEnd.messageAnswers = {8 /* Setup... */};
  EXPECT_TRUE(OpenDatabase(base));
  EXPECT_EQ(edited, std::vector<std::string>{"Default from logging"});
  SetDatabasePropertiesEditor({});
}

TEST_F(ActionLoggingTest, SetupRefusesAUserWhoIsNoAdministrator) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Audited", kUsers, [](TPwdBase& b) {
    b.LogActions = 1;
    ViewOnlyDefault(b);
  });
  frontEnd.passwords = {"pw"};
  frontEnd.messageAnswers = {8 /* Setup... */};
  frontEnd.logons = {{{"bob", "bobpw"}}};
  EXPECT_FALSE(OpenDatabase(base));
  EXPECT_EQ(frontEnd.MessageTexts().back(), "Access denied.");
  EXPECT_FALSE(IsDatabaseOpen(base));
}

}  // namespace
}  // namespace corvane
