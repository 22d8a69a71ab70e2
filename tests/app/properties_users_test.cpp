// Users edited in the properties' working copy and applied to an open
// database: every change of an entry arrives, whoever of the administrators
// makes it, and nothing is left unsaveable.

#include <gtest/gtest.h>

#include "app/properties_check.h"
#include "app/session_open.h"
#include "app/session_properties.h"
#include "app/user_edit.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using testing::TSessionTest;
using testing::TTestUser;

class PropertiesUsersTest : public TSessionTest {
 protected:
  TPwdBase& OpenWith(const std::vector<TTestUser>& users) {
    TPwdBase& base = AddDatabase("CVBase1.dat", "Home", users);
    frontEnd.passwords.push_back("pw");
    EXPECT_TRUE(OpenDatabase(base));
    return base;
  }
  static std::unique_ptr<TPwdBase> Reread(const std::string& fileName) {
    auto reader = std::make_unique<TPwdBase>();
    reader->FileName = fileName;
    reader->Open("pw");
    return reader;
  }
  // Checks and applies `values` as OK of the dialog does.
  static void Confirm(TPwdBase& base, TDatabaseProperties& values) {
    ASSERT_TRUE(CheckDatabaseProperties(values, TSecretText(values.password.Text()), base.FileName, false).accepted);
    ApplyDatabaseProperties(base, values);
  }
};

TEST_F(PropertiesUsersTest, ADescriptionAloneIsAChange) {
  TPwdBase& base = OpenWith({{"alice", "alicepw", "A"}});
  TDatabaseProperties values = ReadDatabaseProperties(base);
  (*values.users)[1]->SetDescription("Night shift");
  Confirm(base, values);
  EXPECT_TRUE(base.Modified);
  EXPECT_EQ((*base.Users)[1]->Description(), "Night shift");
}

TEST_F(PropertiesUsersTest, AGroupAddedAfterItsMemberKeepsHim) {
  TPwdBase& base = OpenWith({{"alice", "alicepw", "A"}});
  TDatabaseProperties values = ReadDatabaseProperties(base);
  TUserEditValues staff;
  staff.group = true;
  staff.name = "Staff";
  staff.links = {values.users->FindByName("alice")->Guid()};
  AddUserEntry(*values.users, staff, false);
  Confirm(base, values);
  base.Save();
  const auto saved = Reread(base.FileName);
  const TPwdBaseUser* alice = saved->Users->FindByName("alice");
  ASSERT_NE(alice->LinksIfAny(), nullptr);
  ASSERT_EQ(alice->LinksIfAny()->Count(), 1);
  EXPECT_EQ((*alice->LinksIfAny())[0]->Name(), "Staff");
}

TEST_F(PropertiesUsersTest, AnAdministratorLateInTheListReplacesTheUsers) {
  TPwdBase& base = OpenWith({{"alice", "alicepw", "V"}, {"bob", "bobpw", "V"}, {"carol", "carolpw", "A"}});
  base.Logon(base.Users->FindByName("carol")->Guid());
  TDatabaseProperties values = ReadDatabaseProperties(base);
  AddUserEntry(*values.users, [] {
    TUserEditValues dave;
    dave.name = "dave";
    dave.password = TSecretText("davepw");
    dave.checkedRights = "V";
    return dave;
  }(), false);
  Confirm(base, values);
  EXPECT_EQ(base.Users->Count(), 5);
  EXPECT_EQ(base.CurrentUserName, "carol");
}

TEST_F(PropertiesUsersTest, GivingUpOnesOwnRightsSavesTheChangeFirst) {
  TPwdBase& base = OpenWith({{"alice", "alicepw", "A"}, {"bob", "bobpw", "A"}});
  base.Logon(base.Users->FindByName("alice")->Guid());
  TDatabaseProperties values = ReadDatabaseProperties(base);
  values.users->FindByName("alice")->SetRights("V");
  Confirm(base, values);
  EXPECT_TRUE(base.ReadOnly) << "alice may no longer change the database";
  EXPECT_FALSE(base.Modified);
  EXPECT_EQ(Reread(base.FileName)->Users->FindByName("alice")->Rights(), "V");
}

}  // namespace
}  // namespace corvane
