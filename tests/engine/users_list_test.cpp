// Users and groups without a database: membership on both sides, effective
// rights, digests, lookup and ordering.

#include <gtest/gtest.h>

#include "engine/permissions.h"
#include "engine/users.h"

namespace corvane {
namespace {

TPwdBaseUser* AddUser(TPwdBaseUsersList& list, const std::string& name, const std::string& rights,
                      std::uint8_t type = kUserDatabase) {
  auto user = std::make_unique<TPwdBaseUser>();
  user->SetGuid(TGuid::Create());
  user->SetName(name);
  user->SetRights(rights);
  user->SetUserType(type);
  return list.Add(std::move(user));
}

TEST(MergeRights, AppendsMissingLettersAndReadsEmptyAsAdministrator) {
  struct Case {
    const char* first;
    const char* second;
    const char* merged;
  } cases[] = {
      {"-", "I", "-I"}, {"-I", "V", "-IV"}, {"IU", "UDI", "IUD"}, {"-", "", "-A"},
      {"", "IU", "AIU"}, {"", "", "A"},      {"-", "-", "-"},
  };
  for (const Case& c : cases) EXPECT_EQ(MergeRights(c.first, c.second), c.merged) << c.first << " + " << c.second;
}

TEST(UsersList, StoredRightsOfOlderFormatsGainTheLettersTheyImplied) {
  struct Case {
    std::uint16_t version;
    const char* stored;
    const char* upgraded;
  } cases[] = {
      {190, "OP", "IUDPVMLSF"}, {194, "IO", "IUDVMLSF"}, {194, "P", "PVMLSF"},  {195, "OP", "OPMLSF"},
      {216, "IU", "IUMLSF"},    {216, "IUM", "IUMLSF"}, {217, "IU", "IU"},      {230, "OP", "OP"},
      {190, "", ""},            {190, "-", "-"},        {216, "-", "-"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpgradeStoredRights(c.stored, c.version), c.upgraded) << c.version << " '" << c.stored << "'";
  }
}

TEST(UsersList, WithoutAnAdministratorTheFirstUserBecomesOne) {
  TPwdBaseUsersList users(nullptr);
  AddUser(users, "Default", "-");
  AddUser(users, "Kim", "IUD");
  users.EnsureAdministrator();
  EXPECT_EQ(users[0]->Rights(), "");
  users[0]->SetRights("-");
  users[1]->SetRights("AV");
  users.EnsureAdministrator();
  EXPECT_EQ(users[0]->Rights(), "-");
}

TEST(UsersList, MembershipIsKeptOnBothSides) {
  TPwdBaseUsersList users(nullptr);
  TPwdBaseUser* group = AddUser(users, "Staff", "V", kGroupDatabase);
  TPwdBaseUser* alice = AddUser(users, "Alice", "I");
  alice->Links().Add(group);
  ASSERT_EQ(group->Links().Count(), 1);
  EXPECT_EQ(group->Links()[0], alice);
  alice->Links().Add(group);  // linking twice changes nothing
  EXPECT_EQ(alice->Links().Count(), 1);

  group->Links().Delete(0);
  EXPECT_EQ(alice->Links().Count(), 0);

  group->Links().Add(alice);
  ASSERT_EQ(alice->Links().Count(), 1);
  users.Delete(users.IndexOf(group));  // freeing one side leaves the other clean
  EXPECT_EQ(alice->Links().Count(), 0);
  EXPECT_FALSE(alice->HasLinks());
}

TEST(UsersList, EffectiveRightsMergeOwnThenGroupsAndFollowChanges) {
  TPwdBaseUsersList users(nullptr);
  TPwdBaseUser* group = AddUser(users, "Readers", "V", kGroupDomain);
  TPwdBaseUser* user = AddUser(users, "Bob", "I");
  EXPECT_EQ(user->EffectiveRights(), "-I");
  user->Links().Add(group);
  EXPECT_EQ(user->EffectiveRights(), "-IV");
  group->SetRights("VS");  // a group's change reaches its members' cached rights
  EXPECT_EQ(user->EffectiveRights(), "-IVS");

  users.SetCheckGroups(false);
  EXPECT_FALSE(user->HasLinks());
  EXPECT_EQ(user->EffectiveRights(), "-I");
  users.SetCheckGroups(true);

  // A database group takes nothing from its members.
  TPwdBaseUser* dbGroup = AddUser(users, "Team", "P", kGroupDatabase);
  dbGroup->Links().Add(user);
  EXPECT_FALSE(dbGroup->HasLinks());
  EXPECT_EQ(dbGroup->EffectiveRights(), "-P");
  EXPECT_EQ(user->EffectiveRights(), "-IVSP");
}

TEST(UsersList, HasRightsOfAUser) {
  TPwdBaseUsersList users(nullptr);
  struct Case {
    const char* rights;
    const char* letters;
    bool holds;
  } cases[] = {
      {"", "A", true},   {"", "IUD", true},  {"A", "V", true}, {"IU", "IU", true}, {"IU", "UI", true},
      {"IU", "D", false}, {"IU", "ID", false}, {"-", "I", false}, {"-", "A", false}, {"-", "", true},
  };
  for (const Case& c : cases) {
    TPwdBaseUser* user = AddUser(users, "u", c.rights);
    EXPECT_EQ(user->HasRights(c.letters), c.holds) << "'" << c.rights << "' holds '" << c.letters << "'";
  }
}

TEST(UsersList, PasswordDigestIsSha1OfTheBytes) {
  TPwdBaseUser user;
  EXPECT_FALSE(user.CheckPassword(""));  // no digest matches nothing, not even an empty text
  user.SetPassword("abc");
  const unsigned char expected[] = {0xa9, 0x99, 0x3e, 0x36, 0x47, 0x06, 0x81, 0x6a, 0xba, 0x3e,
                                    0x25, 0x71, 0x78, 0x50, 0xc2, 0x6c, 0x9c, 0xd0, 0xd8, 0x9d};
  EXPECT_EQ(user.PasswordDigest(), std::string(reinterpret_cast<const char*>(expected), sizeof expected));
  EXPECT_TRUE(user.CheckPassword("abc"));
  EXPECT_FALSE(user.CheckPassword("abd"));
  EXPECT_FALSE(user.CheckPassword("ABC"));
  user.SetPassword("");
  EXPECT_TRUE(user.PasswordDigest().empty());
}

TEST(UsersList, LookupAndTypes) {
  TPwdBaseUsersList users(nullptr);
  TPwdBaseUser* first = AddUser(users, "Default", "", kUserDomain);
  TPwdBaseUser* carol = AddUser(users, "Carol", "IU");
  EXPECT_EQ(users.FindByName("carol"), carol);
  EXPECT_EQ(users.FindByName("CAROL"), carol);
  EXPECT_EQ(users.FindByName("Caro"), nullptr);
  TPwdBaseUser* elise = AddUser(users, "\xC9lise", "I");  // code page 1252: capital E acute
  EXPECT_EQ(users.FindByName("\xE9LISE"), elise);
  EXPECT_EQ(users.FindByGuid(first->Guid()), first);
  EXPECT_EQ(users.FindByGuid(TGuid::Create()), nullptr);

  // The first entry does not count for HasUserOfType.
  EXPECT_FALSE(users.HasUserOfType(kUserDomain));
  EXPECT_FALSE(users.HasUserOfType(kAnyDomainType));
  AddUser(users, "Domain group", "V", kGroupDomain);
  EXPECT_TRUE(users.HasUserOfType(kAnyDomainType));
  EXPECT_TRUE(users.HasUserOfType(kGroupDomain));
  EXPECT_FALSE(users.HasUserOfType(kGroupDatabase));
}

TEST(UsersList, SortPutsDefaultUserThenDatabaseGroupsThenNames) {
  TPwdBaseUsersList users(nullptr);
  AddUser(users, "zed", "I");
  AddUser(users, "Writers", "IU", kGroupDatabase);
  AddUser(users, "Adam", "I");
  AddUser(users, "Domain", "V", kGroupDomain);
  AddUser(users, "Default", "")->SetGuid(TGuid{});
  AddUser(users, "Admins", "", kGroupDatabase);
  users.Sort();
  std::vector<std::string> names;
  for (const TPwdBaseUser* user : users) names.push_back(user->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Default", "Admins", "Writers", "Adam", "Domain", "zed"}));
}

TEST(UsersList, AssignFromCopiesUsersWithTheirMemberships) {
  TPwdBaseUsersList source(nullptr);
  TPwdBaseUser* group = AddUser(source, "Staff", "V", kGroupDatabase);
  TPwdBaseUser* dave = AddUser(source, "Dave", "IU");
  dave->SetPassword("secret");
  dave->SetEnabled(false);
  dave->SetDescription("night shift");
  dave->Links().Add(group);

  TPwdBaseUsersList copy(nullptr);
  AddUser(copy, "old", "-");
  copy.AssignFrom(source);
  ASSERT_EQ(copy.Count(), 2);
  TPwdBaseUser* copied = copy.FindByGuid(dave->Guid());
  ASSERT_NE(copied, nullptr);
  EXPECT_EQ(copied->Name(), "Dave");
  EXPECT_TRUE(copied->CheckPassword("secret"));
  EXPECT_FALSE(copied->Enabled());
  EXPECT_EQ(copied->Description(), "night shift");
  ASSERT_EQ(copied->Links().Count(), 1);
  TPwdBaseUser* copiedGroup = copied->Links()[0];
  EXPECT_EQ(copiedGroup, copy.FindByGuid(group->Guid()));  // linked inside the copy, not to the source
  ASSERT_EQ(copiedGroup->Links().Count(), 1);
  EXPECT_EQ(copiedGroup->Links()[0], copied);
  EXPECT_EQ(copied->EffectiveRights(), "-IUV");
}

}  // namespace
}  // namespace corvane
