// The user/group dialog: rights boxes, what a new entry starts with, the
// checks of OK in order, and how the values go into the entry.

#include <gtest/gtest.h>

#include <memory>

#include "app/session_properties.h"
#include "app/user_edit.h"
#include "engine/users.h"
#include "tests/app/users_test_support.h"

namespace corvane {
namespace {

// A working copy of a users list: the default user first.
class UserEditTest : public ::testing::Test {
 protected:
  UserEditTest() { Add("Default", "", kUserDatabase, TGuid{}); }

  TPwdBaseUser& Add(const std::string& name, const std::string& rights, std::uint8_t type = kUserDatabase,
                    const TGuid& guid = TGuid::Create()) {
    return testing::AddUserEntry(users, name, rights, type, guid);
  }

  static TUserEditValues NewUser(const std::string& name, const std::string& password) {
    TUserEditValues values;
    values.name = name;
    values.password = TSecretText(password);
    values.retypePassword = TSecretText(password);
    return values;
  }

  TPwdBaseUsersList users{nullptr};
};

TEST_F(UserEditTest, RightsBoxesAndTheRightsStringTheyGive) {
  struct TCase {
    std::string rights, checked;
  };
  const TCase shown[] = {{"", "AIUDVMPLSF"}, {"-", ""}, {"VI", "IV"}, {"OP", "IUDP"}, {"A", "A"}};
  for (const TCase& c : shown) EXPECT_EQ(CheckedRights(c.rights), c.checked) << c.rights;
  const TCase stored[] = {{"", "-"}, {"VI", "IV"}, {"AV", "AIUDVMPLSF"}, {"FLS", "LSF"}};
  for (const TCase& c : stored) EXPECT_EQ(RightsOfCheckedBoxes(c.rights), c.checked) << c.rights;
}

TEST_F(UserEditTest, NewEntryStartsFromTheDefaultUsersRights) {
  EXPECT_EQ(NewUserValues(users, false).checkedRights, "AIUDVMPLSF");
  users[0]->SetRights("IV");
  const TUserEditValues group = NewUserValues(users, true);
  EXPECT_TRUE(group.group);
  EXPECT_EQ(group.checkedRights, "IV");
  EXPECT_FALSE(group.disabled);
}

TEST_F(UserEditTest, OkChecksInOrder) {
  Add("Alice", "IU");
  struct TCase {
    std::string label;
    bool group;
    std::string name, password, retype;
    bool nt;
    std::string message;
  };
  const TCase cases[] = {
      {"blank name", false, "  ", "pw", "other", false, "Please enter user name."},
      {"blank group name", true, "", "", "", false, "Please enter group name."},
      {"NT account without a name", false, "", "", "", true, ""},
      {"retype differs", false, "Bob", "pw", "pW", false, "Passwords do not match. Please enter passwords again."},
      {"empty password", false, "Bob", "", "", false, "You cannot use empty password."},
      {"no minimum length", false, "Bob", "x", "x", false, ""},
      {"a group has no password", true, "Staff", "", "", false, ""},
      {"name taken, other case", false, " alice ", "pw", "pw", false, "A user or group named 'alice' exists already."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    TUserEditValues values = NewUser(c.name, c.password);
    values.retypePassword = TSecretText(c.retype);
    values.group = c.group;
    values.ntAuthentication = c.nt;
    EXPECT_EQ(CheckUserValues(users, nullptr, values, false), c.message);
  }
}

TEST_F(UserEditTest, DefaultUserKeepsItsIdentityAndUnderRequiredLogonItsRights) {
  TPwdBaseUser& defaultUser = *users[0];
  TUserEditValues values = ReadUserValues(defaultUser);
  EXPECT_EQ(values.password.Text(), kPasswordPlaceholder);
  EXPECT_TRUE(UserFieldLocks(users, &defaultUser, false).identity);
  EXPECT_FALSE(UserFieldLocks(users, &defaultUser, false).rights);
  EXPECT_TRUE(UserFieldLocks(users, &defaultUser, true).rights);

  values.checkedRights = "V";
  values.disabled = true;
  EXPECT_EQ(CheckUserValues(users, &defaultUser, values, false), "");
  EXPECT_EQ(CheckUserValues(users, &defaultUser, values, true),
            "The rights of the default user cannot be changed while a user logon is required.");
  for (auto change : {+[](TUserEditValues& v) { v.name = "Guest"; },
                      +[](TUserEditValues& v) {
                        v.password = TSecretText("pw");
                        v.retypePassword = TSecretText("pw");
                      },
                      +[](TUserEditValues& v) { v.description = "Everybody"; }}) {
    TUserEditValues changed = ReadUserValues(defaultUser);
    change(changed);
    EXPECT_EQ(CheckUserValues(users, &defaultUser, changed, false),
              "The name, password, description and authentication of the default user cannot be changed.");
  }
  ApplyUserValues(users, defaultUser, values, false);
  EXPECT_EQ(defaultUser.Rights(), "V");
  EXPECT_FALSE(defaultUser.Enabled());
  EXPECT_EQ(defaultUser.Name(), "Default");
}

TEST_F(UserEditTest, AppliedValuesReachTheEntryAndItsGroups) {
  TPwdBaseUser& staff = Add("Staff", "V", kGroupDatabase);
  TUserEditValues values = NewUser(" Bob ", "bobpw");
  values.checkedRights = "";
  values.description = "Night shift";
  values.links = {staff.Guid(), users[0]->Guid()};  // the default user is no group: skipped
  TPwdBaseUser& bob = AddUserEntry(users, values, false);
  EXPECT_EQ(bob.Name(), "Bob");
  EXPECT_EQ(bob.Rights(), "-") << "no box checked";
  EXPECT_TRUE(bob.CheckPassword("bobpw"));
  EXPECT_EQ(bob.Description(), "Night shift");
  EXPECT_FALSE(bob.Guid().IsNull());
  ASSERT_EQ(bob.Links().Count(), 1);
  EXPECT_EQ(staff.LinksIfAny()->Count(), 1) << "membership is kept on both sides";
  EXPECT_EQ(bob.EffectiveRights(), "-V");

  TUserEditValues edited = ReadUserValues(bob);
  edited.links.clear();
  ApplyUserValues(users, bob, edited, false);
  EXPECT_TRUE(bob.CheckPassword("bobpw")) << "the placeholder keeps the password";
  EXPECT_EQ(staff.LinksIfAny()->Count(), 0);

  edited.password = TSecretText("");
  ApplyUserValues(users, bob, edited, false);
  EXPECT_TRUE(bob.PasswordDigest().empty()) << "an empty password removes it";
}

}  // namespace
}  // namespace corvane
