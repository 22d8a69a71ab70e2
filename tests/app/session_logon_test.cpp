// Logging on as a database user: the names offered, the remembered name, the
// pauses after a wrong answer, three tries, and logging off.

#include <gtest/gtest.h>

#include "app/message_box.h"
#include "app/session_logon.h"
#include "app/session_open.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using testing::TSessionTest;
using testing::TTestUser;

const std::vector<TTestUser> kTeam = {{"carol", "carolpw", "A"},
                                       {"Staff", "", "V", kGroupDatabase},
                                       {"dave", "davepw", "V"},
                                       {"Domain users", "", "V", kGroupDomain},
                                       {"erin", "", "V", kUserDomain}};

class LogonTest : public TSessionTest {
 protected:
  LogonTest() : base(AddDatabase("CVBase1.dat", "Team", kTeam)) {
    frontEnd.passwords = {"pw"};
    EXPECT_TRUE(OpenDatabase(base));
  }
  void Remember(bool on, const std::string& name = {}) {
    TSettingsAccess access(true);
    WriteSetting(setting::RememberLastDbUser, on);
    if (!name.empty()) Settings().WriteString(setting::kRecentLogins, base.FileName, name);
    access.Close();
  }
  std::string Remembered() {
    TSettingsAccess access(false);
    return Settings().ReadString(setting::kRecentLogins, base.FileName, "");
  }

  TPwdBase& base;
};

TEST_F(LogonTest, ListsPersonalUsersAfterTheDefaultOneAndRemembersTheLastName) {
  frontEnd.logons = {{{"dave", "davepw"}}};
  ASSERT_TRUE(Logon(base, /*logAction=*/true));
  const TLogonPrompt& prompt = frontEnd.logonPrompts.at(0);
  EXPECT_EQ(prompt.userNames, (std::vector<std::string>{"carol", "dave", "erin"}));
  EXPECT_EQ(prompt.selectedName, "carol") << "nothing remembered yet: the first name";
  EXPECT_FALSE(prompt.nameEditable);
  EXPECT_EQ(prompt.caption, "User logon");
  EXPECT_EQ(base.CurrentUserName, "dave");
  EXPECT_EQ(Remembered(), "dave");
  EXPECT_EQ(LogoffCaption(base), "Logoff dave...");

  frontEnd.logons = {std::nullopt};
  EXPECT_FALSE(Logon(base, true));
  EXPECT_EQ(frontEnd.logonPrompts.at(1).selectedName, "dave");
}

TEST_F(LogonTest, WithoutRememberingNothingIsSelectedOrStored) {
  Remember(false, "carol");
  frontEnd.logons = {{{"dave", "davepw"}}};
  ASSERT_TRUE(Logon(base, true));
  EXPECT_EQ(frontEnd.logonPrompts.at(0).selectedName, "");
  EXPECT_EQ(Remembered(), "carol");
}

TEST_F(LogonTest, MissesPauseASecondExceptForEntriesThatCannotBeVerified) {
  struct TMiss {
    std::string name, password;
    std::vector<std::uint32_t> pauses;
  };
  for (const TMiss& miss : {TMiss{"nobody", "x", {1000}}, TMiss{"dave", "carolpw", {1000}},
                            TMiss{"erin", "x", {}}, TMiss{"Staff", "x", {}}}) {
    clock.pauses.clear();
    frontEnd.messages.clear();
    frontEnd.logons = {{{miss.name, miss.password}}, std::nullopt};
    EXPECT_FALSE(Logon(base, true)) << miss.name;
    EXPECT_EQ(clock.LongPauses(), miss.pauses) << miss.name;
    EXPECT_EQ(frontEnd.MessageTexts(), std::vector<std::string>{"The password is incorrect."}) << miss.name;
  }
  EXPECT_EQ(base.CurrentUserName, "Default");
}

TEST_F(LogonTest, ThirdMissFailsWithoutAFourthPrompt) {
  frontEnd.logons = {{{"dave", "1"}}, {{"dave", "2"}}, {{"dave", "3"}}, {{"dave", "davepw"}}};
  EXPECT_FALSE(Logon(base, true));
  EXPECT_EQ(frontEnd.logonPrompts.size(), 3u);
  EXPECT_EQ(clock.LongPauses(), (std::vector<std::uint32_t>{1000, 1000, 1000}));
}

TEST_F(LogonTest, NameMatchesWithoutRegardToCase) {
  frontEnd.logons = {{{"CAROL", "carolpw"}}};
  EXPECT_TRUE(Logon(base, true));
  EXPECT_EQ(base.CurrentUserName, "carol");
}

TEST_F(LogonTest, LogoffReturnsToTheDefaultUserAndDecidesAccessAgain) {
  frontEnd.logons = {{{"carol", "carolpw"}}};
  ASSERT_TRUE(Logon(base, true));
  frontEnd.messageAnswers = {kIdNo};
  EXPECT_FALSE(Logoff(base));
  EXPECT_EQ(base.CurrentUserName, "carol");
  EXPECT_EQ(frontEnd.messages.at(0).text, "Do you really want to logoff ?");

  frontEnd.messageAnswers = {kIdYes};
  EXPECT_TRUE(Logoff(base));
  EXPECT_EQ(base.CurrentUserName, "Default");
  EXPECT_FALSE(base.ReadOnly) << "the default user has all rights";
  EXPECT_TRUE(base.FileStream.IsOpen());
}

}  // namespace
}  // namespace corvane
