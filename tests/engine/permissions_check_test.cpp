// The rights check of the current user on items, folder permission lists,
// and how the root list follows the users.

#include <gtest/gtest.h>

#include "platform/error.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::TAccessFixture;

class RightsCheck : public TAccessFixture {
 protected:
  RightsCheck() {
    admin = AddUser("Admin", "");
    clerk = AddUser("Clerk", "IU");
    work = AddFolder(base, "Work");
  }

  // Gives `work` its own list, starting as a copy of the root's.
  void OwnListOnWork() { work->SetInheritRights(false); }

  TPwdBaseUser* admin;
  TPwdBaseUser* clerk;
  TPwdFolder* work;
};

TEST_F(RightsCheck, ADatabaseWithoutPasswordAllowsEverything) {
  TPwdBaseUser* nobody = AddUser("Nobody", "-");
  base.Password.clear();
  base.Logon(nobody->Guid());
  for (const char* letters : {"A", "I", "U", "D", "V", "AIUDVMPLSF", ""}) {
    EXPECT_TRUE(base.HasRights(work, letters)) << letters;
  }
  EXPECT_NO_THROW(work->Edit());
}

TEST_F(RightsCheck, GrantsLimitUsersAndDenialsLimitEveryone) {
  OwnListOnWork();
  work->Permissions->SetEntry(clerk->Guid(), "I", "U");
  TPwdPassword* record = AddRecord(*work, "Mail");

  base.Logon(clerk->Guid());
  EXPECT_TRUE(work->HasRights("I"));
  EXPECT_FALSE(work->HasRights("U"));
  EXPECT_NO_THROW(AddRecord(*work, "Bank"));  // inserting is allowed
  try {
    record->Edit();
    FAIL() << "editing without \"U\" must be refused";
  } catch (const TError& e) {
    EXPECT_STREQ(e.what(), "Access denied.");
  }
  EXPECT_EQ(record->State, TItemState::Stored);
  EXPECT_TRUE(base.HasRights(nullptr, "U"));  // elsewhere his own rights apply

  base.Logon(admin->Guid());
  EXPECT_TRUE(work->HasRights("U"));  // an administrator is not limited by grants...
  base.Logon(TGuid{});
  work->Permissions->SetEntry(admin->Guid(), "", "U");
  base.Logon(admin->Guid());
  EXPECT_FALSE(work->HasRights("U"));  // ...but by a denial,
  EXPECT_FALSE(work->HasRights("A"));  // which also takes "A" away in that folder
  EXPECT_TRUE(work->HasRights("D"));
}

TEST_F(RightsCheck, AnyOrAllLetters) {
  base.Logon(clerk->Guid());
  struct Case {
    const char* letters;
    bool requireAll;
    bool result;
  } cases[] = {
      {"IU", true, true}, {"ID", true, false}, {"DI", true, false}, {"DI", false, true},
      {"DP", false, false}, {"", true, true},  {"A", true, false},  {"", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base.HasRights(work, c.letters, c.requireAll), c.result)
        << c.letters << (c.requireAll ? " all" : " any");
  }
}

TEST_F(RightsCheck, AUserWithoutAnEntryHasNoRightsAtAll) {
  OwnListOnWork();
  TPwdBaseUser* guest = AddUser("Guest", "IUDV");  // added after the copy was made
  base.Logon(guest->Guid());
  EXPECT_TRUE(base.HasRights(nullptr, ""));
  EXPECT_FALSE(work->HasRights(""));
  EXPECT_FALSE(work->HasRights("V"));
  EXPECT_EQ(base.EffectiveRights(work), "-");
}

TEST_F(RightsCheck, ReadOnlyDatabaseRefusesChangesOnly) {
  base.ReadOnly = 1;
  base.Logon(admin->Guid());
  for (char letter : std::string("AIUD")) EXPECT_FALSE(work->HasRights(std::string(1, letter))) << letter;
  for (char letter : std::string("VMPLSF")) EXPECT_TRUE(work->HasRights(std::string(1, letter))) << letter;
  EXPECT_EQ(base.EffectiveRights(work), "VMPLSF");
}

TEST_F(RightsCheck, GroupRightsCountWhileGroupsAreChecked) {
  TPwdBaseUser* readers = AddUser("Readers", "V", kGroupDatabase);
  TPwdBaseUser* member = AddUser("Member", "I");
  member->Links().Add(readers);

  base.Logon(member->Guid());
  EXPECT_EQ(base.CurrentRights, "-IV");
  EXPECT_EQ(base.CurrentIdentities, (std::vector<TGuid>{member->Guid(), readers->Guid()}));
  EXPECT_TRUE(work->HasRights("IV"));

  base.Users->SetCheckGroups(false);
  base.Logon(member->Guid());
  EXPECT_EQ(base.CurrentRights, "-I");
  EXPECT_FALSE(work->HasRights("V"));
}

TEST_F(RightsCheck, InheritingPermissionsIsAnAdministratorsChoice) {
  TPwdFolder* inner = AddFolder(*work, "Inner");
  OwnListOnWork();
  work->Permissions->SetEntry(clerk->Guid(), "V", "");
  EXPECT_TRUE(inner->InheritsPermissions());
  base.Modified = 0;
  inner->SetInheritRights(false);
  EXPECT_FALSE(inner->InheritsPermissions());
  EXPECT_TRUE(base.Modified);
  ASSERT_EQ(inner->Permissions->Count(), work->Permissions->Count());  // a copy of the nearest own list
  EXPECT_EQ((*inner->Permissions)[inner->Permissions->Count() - 1].Granted, "V");

  base.Logon(clerk->Guid());
  EXPECT_THROW(inner->SetInheritRights(true), TError);
  EXPECT_THROW(work->Permissions->SetEntry(clerk->Guid(), "", ""), TError);
  EXPECT_FALSE(inner->InheritsPermissions());

  base.Logon(admin->Guid());
  inner->SetInheritRights(true);
  EXPECT_TRUE(inner->InheritsPermissions());
}

TEST_F(RightsCheck, RootListFollowsTheUsers) {
  auto rootEntries = [&] {
    std::vector<std::pair<TGuid, std::string>> entries;
    for (const auto& entry : *base.Permissions) entries.emplace_back(entry->Guid, entry->Granted);
    return entries;
  };
  using Entries = std::vector<std::pair<TGuid, std::string>>;
  EXPECT_EQ(rootEntries(), (Entries{{TGuid{}, ""}, {admin->Guid(), ""}, {clerk->Guid(), "IU"}}));
  clerk->SetRights("V");
  EXPECT_EQ(rootEntries(), (Entries{{TGuid{}, ""}, {admin->Guid(), ""}, {clerk->Guid(), "V"}}));
  base.Users->Delete(1);
  EXPECT_EQ(rootEntries(), (Entries{{TGuid{}, ""}, {clerk->Guid(), "V"}}));
  base.CreateDefaultUser();
  EXPECT_EQ(rootEntries(), (Entries{{TGuid{}, ""}}));
}

}  // namespace
}  // namespace corvane
