// What OK of the database-properties dialog checks, in its order, and how
// it tidies the values.

#include <gtest/gtest.h>

#include "app/message_box.h"
#include "app/properties_check.h"
#include "engine/users.h"
#include "tests/app/scripted_front_end.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

class PropertiesCheckTest : public ::testing::Test {
 protected:
  PropertiesCheckTest() {
    values.name = "Home";
    values.fileName = folder / "Home.dat";
    values.password = TSecretText(kPasswordPlaceholder);
    values.users = std::make_unique<TPwdBaseUsersList>(nullptr);
    AddUser("Default", "", kUserDatabase, TGuid{});
  }

  void AddUser(const std::string& name, const std::string& rights, std::uint8_t type = kUserDatabase,
               const TGuid& guid = TGuid::Create()) {
    auto entry = std::make_unique<TPwdBaseUser>();
    entry->SetGuid(guid);
    entry->SetName(name);
    entry->SetRights(rights);
    entry->SetUserType(type);
    values.users->Add(std::move(entry));
  }

  TPropertiesCheck Check(const std::string& retype = std::string(kPasswordPlaceholder)) {
    return CheckDatabaseProperties(values, TSecretText(retype), values.fileName, false);
  }

  file_testing::TTempFolder folder;
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
  TDatabaseProperties values;
};

TEST_F(PropertiesCheckTest, FirstFailureInTheDialogsOrder) {
  struct TCase {
    std::string label;
    std::string name, password, retype;
    bool logActions;
    std::string users;  // "admin" keeps the default user an administrator, "none" takes it away
    TPropertiesPage page;
    std::string message;
  };
  const TCase cases[] = {
      {"blank name before anything", " ", "x", "y", true, "none", TPropertiesPage::General,
       "Please enter database name."},
      {"retype differs", "Home", "new password", "new passw0rd", true, "none", TPropertiesPage::General,
       "Passwords do not match. Please enter passwords again."},
      {"empty password", "Home", "", "", true, "none", TPropertiesPage::General, "You cannot use empty password."},
      {"seven characters", "Home", "seven77", "seven77", true, "none", TPropertiesPage::General,
       "Password must be at least 8 characters in length."},
      {"characters, not bytes", "Home", "\xC3\xA4\xC3\xB6\xC3\xBC" "abcd", "\xC3\xA4\xC3\xB6\xC3\xBC" "abcd", false,
       "admin", TPropertiesPage::General, "Password must be at least 8 characters in length."},
      {"no log server", "Home", "****", "****", true, "none", TPropertiesPage::Parameters,
       "Please enter log server name or IP address."},
      {"no administrator", "Home", "long enough", "long enough", false, "none", TPropertiesPage::Users,
       "You defined no user with Administrator privilege."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    values.name = c.name;
    values.password = TSecretText(c.password);
    values.logActions = c.logActions;
    values.logServer = " ";
    while (values.users->Count() > 1) values.users->Delete(1);
    AddUser("Alice", c.users == "admin" ? "A" : "IU");
    (*values.users)[0]->SetRights("-");
    const TPropertiesCheck check = Check(c.retype);
    EXPECT_FALSE(check.accepted);
    EXPECT_EQ(check.page, c.page);
    EXPECT_EQ(check.message, c.message);
  }
}

TEST_F(PropertiesCheckTest, ThePlaceholderKeepsThePasswordWithoutALengthCheck) {
  values.name = "  Home  ";
  EXPECT_TRUE(Check().accepted);
  EXPECT_EQ(values.name, "Home");
}

TEST_F(PropertiesCheckTest, DeclinedDomainQuestionKeepsTheDialogOpenWithoutAMessage) {
  AddUser("CORP\\alice", "A", kUserDomain);
  values.requireLogon = true;  // the default user administers no more
  const TPropertiesCheck check = Check();
  EXPECT_FALSE(check.accepted);
  EXPECT_EQ(check.page, TPropertiesPage::Users);
  EXPECT_EQ(check.message, "");
  EXPECT_EQ(frontEnd.messages.size(), 1u);
}

TEST_F(PropertiesCheckTest, ChangedFileNameAsksAboutTheMove) {
  const std::string opened = folder / "Home.dat";
  file_testing::WriteText(opened, "");
  values.fileName = folder / "Elsewhere/Home.dat";
  frontEnd.messageAnswers = {kIdCancel, kIdNo, kIdYes};
  EXPECT_FALSE(CheckDatabaseProperties(values, TSecretText(kPasswordPlaceholder), opened, false).accepted);
  EXPECT_EQ(frontEnd.messages.at(0).text, "You are about to change location of database 'Home'.\n\n"
                                          "The database file will be moved from old location to the new one.\n\n"
                                          "Old file name: " + opened + "\nNew file name: " + values.fileName +
                                              "\n\nDo you want to change location of this database ?");
  EXPECT_TRUE(CheckDatabaseProperties(values, TSecretText(kPasswordPlaceholder), opened, false).accepted);
  EXPECT_FALSE(values.moveConfirmed);
  EXPECT_TRUE(CheckDatabaseProperties(values, TSecretText(kPasswordPlaceholder), opened, false).accepted);
  EXPECT_TRUE(values.moveConfirmed);

  values.fileName = folder / "HOME.DAT";
  EXPECT_TRUE(CheckDatabaseProperties(values, TSecretText(kPasswordPlaceholder), opened, false).accepted);
  EXPECT_TRUE(CheckDatabaseProperties(values, TSecretText(kPasswordPlaceholder), opened, true).accepted);
  EXPECT_EQ(frontEnd.messages.size(), 3u) << "same name without regard to case, or a new database: no question";
}

TEST_F(PropertiesCheckTest, OptionsThatCannotApplyAreSwitchedOff) {
  values.requireLogon = true;
  values.autoLogonSystemUser = true;
  values.optionFlags = 0x7;
  values.backupCount = 0;
  ASSERT_TRUE(Check().accepted);
  EXPECT_FALSE(values.requireLogon) << "one user";
  EXPECT_FALSE(values.autoLogonSystemUser) << "no operating-system account";
  EXPECT_EQ(values.optionFlags, 0x3u) << "no backup copies with a count of 0";

  AddUser("Alice", "A");
  AddUser("CORP\\bob", "V", kUserDomain);
  values.requireLogon = true;
  values.autoLogonSystemUser = true;
  ASSERT_TRUE(Check().accepted);
  EXPECT_TRUE(values.requireLogon);
  EXPECT_TRUE(values.autoLogonSystemUser);
}

}  // namespace
}  // namespace corvane
