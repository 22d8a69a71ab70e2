// The users page: deleting entries, and what OK makes of the list (the
// default user's rights and state, someone left to administer the database).

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/message_box.h"
#include "app/users_list_edit.h"
#include "engine/users.h"
#include "tests/app/scripted_front_end.h"
#include "tests/app/users_test_support.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

class UsersListEditTest : public ::testing::Test {
 public:  // the case tables' preparations use Add
  UsersListEditTest() { Add("Default", "", kUserDatabase, TGuid{}); }

  TPwdBaseUser& Add(const std::string& name, const std::string& rights, std::uint8_t type = kUserDatabase,
                    const TGuid& guid = TGuid::Create()) {
    return testing::AddUserEntry(users, name, rights, type, guid);
  }

  TPwdBaseUsersList users{nullptr};
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
};

TEST_F(UsersListEditTest, TheDefaultUserIsNeverDeleted) {
  Add("Alice", "A");
  EXPECT_FALSE(MayDeleteUser(users, 0));
  EXPECT_TRUE(MayDeleteUser(users, 1));
  EXPECT_EQ(testing_support::ErrorOf([&] { DeleteUserEntry(users, 0); }), "The default user cannot be deleted.");
  DeleteUserEntry(users, 1);
  EXPECT_EQ(users.Count(), 1);
}

TEST_F(UsersListEditTest, DeleteQuestionDefaultsToNo) {
  const TPwdBaseUser& alice = Add("Alice", "A");
  EXPECT_FALSE(ConfirmDeleteUser(alice));
  frontEnd.messageAnswers.push_back(kIdYes);
  EXPECT_TRUE(ConfirmDeleteUser(alice));
  ASSERT_EQ(frontEnd.messages.size(), 2u);
  EXPECT_EQ(frontEnd.messages[0].text, "Do you want to delete Alice ?");
}

TEST_F(UsersListEditTest, ALoneDefaultUserGetsAllRightsAgain) {
  users[0]->SetRights("V");
  EXPECT_EQ(CheckUsersList(users, true), TUsersListCheck::Accepted);
  EXPECT_EQ(users[0]->Rights(), "");
  EXPECT_TRUE(users[0]->Enabled());
}

TEST_F(UsersListEditTest, RequiredLogonTakesEverythingFromTheDefaultUser) {
  Add("Alice", "A");
  EXPECT_EQ(CheckUsersList(users, false), TUsersListCheck::Accepted);
  EXPECT_EQ(users[0]->Rights(), "") << "untouched without a required logon";
  EXPECT_EQ(CheckUsersList(users, true), TUsersListCheck::Accepted);
  EXPECT_EQ(users[0]->Rights(), "-");
  EXPECT_FALSE(users[0]->Enabled());
}

TEST_F(UsersListEditTest, SomeoneWhoCanLogOnMustAdminister) {
  struct TCase {
    std::string label;
    std::function<void(UsersListEditTest&)> prepare;
    TUsersListCheck expected;
  };
  const TCase cases[] = {
      {"two users, neither an administrator", [](UsersListEditTest& t) { t.Add("Alice", "IU"); },
       TUsersListCheck::NoAdministrator},
      {"a disabled administrator",
       [](UsersListEditTest& t) { t.Add("Alice", "A").SetEnabled(false); },
       TUsersListCheck::NoAdministrator},
      {"only a group administers",
       [](UsersListEditTest& t) {
         t.Add("Alice", "IU");
         t.Add("Admins", "A", kGroupDatabase);
       },
       TUsersListCheck::NoAdministrator},
      {"a member of an administrators' group",
       [](UsersListEditTest& t) {
         TPwdBaseUser& alice = t.Add("Alice", "IU");
         alice.Links().Add(&t.Add("Admins", "A", kGroupDatabase));
       },
       TUsersListCheck::Accepted},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.label);
    while (users.Count() > 1) users.Delete(users.Count() - 1);
    c.prepare(*this);
    EXPECT_EQ(CheckUsersList(users, true), c.expected);
  }
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(UsersListEditTest, OnlyADomainAdministratorAsksWhetherToGoOn) {
  Add("CORP\\alice", "A", kUserDomain);
  EXPECT_EQ(CheckUsersList(users, true), TUsersListCheck::Declined) << "No is the default";
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  const TMessageRequest& question = frontEnd.messages[0];
  EXPECT_EQ(question.text.substr(0, 65), "There is no built-in database user with Administrator privilege.\n");
  EXPECT_EQ(question.icon, TMsgIcon::Warning);
  EXPECT_EQ(question.buttons.at(question.defaultButton).result, kIdNo);
  frontEnd.messageAnswers.push_back(kIdYes);
  EXPECT_EQ(CheckUsersList(users, true), TUsersListCheck::Accepted);
}

}  // namespace
}  // namespace corvane
