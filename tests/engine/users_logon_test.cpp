// Logging on as a database user, the default user, and who may change the
// users list.

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::TAccessFixture;

class Logon : public TAccessFixture {};

TEST_F(Logon, NewDatabaseHasTheDefaultUser) {
  ASSERT_EQ(base.Users->Count(), 1);
  const TPwdBaseUser& user = *(*base.Users)[0];
  EXPECT_EQ(user.Name(), "Default");
  EXPECT_EQ(user.Description(), "Default user rights");
  EXPECT_EQ(user.Rights(), "");
  EXPECT_TRUE(user.Guid().IsNull());
  EXPECT_EQ(user.UserType(), kUserDatabase);
  EXPECT_TRUE(user.PasswordDigest().empty());
  EXPECT_TRUE(user.Enabled());
  ASSERT_EQ(base.Permissions->Count(), 1);
  EXPECT_TRUE((*base.Permissions)[0].Guid.IsNull());
}

TEST_F(Logon, SetsTheSessionIdentity) {
  TPwdBaseUser* group = AddUser("Staff", "S", kGroupDomain);
  TPwdBaseUser* user = AddUser("Eve", "IU");
  user->Links().Add(group);
  base.Logon(user->Guid());
  EXPECT_EQ(base.CurrentUserName, "Eve");
  EXPECT_EQ(base.CurrentRights, "-IUS");
  EXPECT_EQ(base.CurrentIdentities, (std::vector<TGuid>{user->Guid(), group->Guid()}));
  EXPECT_FALSE(base.IsFirstUser);
  base.Logon(TGuid{});
  EXPECT_TRUE(base.IsFirstUser);
  EXPECT_EQ(base.CurrentIdentities, std::vector<TGuid>{TGuid{}});
}

TEST_F(Logon, DisabledUsersAreRefusedExceptTheFirst) {
  TPwdBaseUser* user = AddUser("Frank", "I");
  user->SetEnabled(false);
  (*base.Users)[0]->SetEnabled(false);
  base.Logon(TGuid{});  // the first user always logs on
  EXPECT_TRUE(base.IsFirstUser);
  try {
    base.Logon(user->Guid());
    FAIL() << "a disabled user logged on";
  } catch (const TError& e) {
    EXPECT_STREQ(e.what(), "User 'Frank' is disabled.");
  }
  EXPECT_EQ(base.CurrentIdentities, std::vector<TGuid>{TGuid{}});
  EXPECT_TRUE(base.IsFirstUser);
}

TEST_F(Logon, AnotherUserClearsTheUndoHistory) {
  TPwdBaseUser* user = AddUser("Gina", "");
  TPwdFolder* folder = AddFolder(base, "Work");
  ASSERT_EQ(UndoCount(), 1);
  base.Logon(TGuid{});  // the same user as before keeps it
  EXPECT_EQ(UndoCount(), 1);
  base.Reloading = 1;
  base.Logon(user->Guid());  // so does a reload
  EXPECT_EQ(UndoCount(), 1);
  base.Reloading = 0;
  base.Logon(TGuid{});
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_NE(base.FindItem(folder->Guid), nullptr);
}

TEST_F(Logon, UnknownUserFallsBackToTheDefaultUsersRights) {
  TPwdBaseUser* user = AddUser("Hank", "");
  TPwdFolder* folder = AddFolder(base, "Work");
  (*base.Users)[0]->SetRights("-");
  base.Logon(user->Guid());
  base.Logon(TGuid::Create());
  EXPECT_EQ(base.CurrentUserName, "");
  EXPECT_EQ(base.CurrentIdentities, std::vector<TGuid>{TGuid{}});
  EXPECT_EQ(base.CurrentRights, "-");
  EXPECT_FALSE(folder->HasRights("U"));
}

TEST_F(Logon, OnlyAnAdministratorChangesAListOfSeveralUsers) {
  // With one user, whoever is logged on may edit the list.
  TPwdBaseUser* first = (*base.Users)[0];
  first->SetRights("-");
  base.Logon(TGuid{});
  first->SetDescription("shared");
  auto newUser = std::make_unique<TPwdBaseUser>();
  newUser->SetGuid(TGuid::Create());
  newUser->SetName("Clerk");
  newUser->SetRights("I");
  newUser->SetPassword("old");
  TPwdBaseUser* clerk = base.Users->Add(std::move(newUser));

  // With two, the session without "A" changes nothing, itself included.
  EXPECT_THROW(first->SetRights(""), TError);
  {
    TPwdBase::TLoadingScope loading(base);
    first->SetRights("");
  }
  base.Logon(clerk->Guid());
  EXPECT_THROW(clerk->SetRights(""), TError);
  EXPECT_THROW(clerk->SetName("Boss"), TError);
  EXPECT_THROW(AddUser("Mole", ""), TError);
  EXPECT_THROW(clerk->Links().Add(first), TError);
  EXPECT_THROW(base.Users->Delete(0), TError);
  EXPECT_THROW(base.Users->Clear(), TError);
  EXPECT_EQ(base.Users->Count(), 2);
  EXPECT_EQ(clerk->Rights(), "I");
  EXPECT_EQ(clerk->Name(), "Clerk");

  clerk->SetPassword("new");  // his own password he may change
  EXPECT_TRUE(clerk->CheckPassword("new"));
  EXPECT_THROW(first->SetPassword("x"), TError);

  base.Logon(TGuid{});
  clerk->SetRights("IUD");
  EXPECT_EQ(clerk->Rights(), "IUD");
}

}  // namespace
}  // namespace corvane
