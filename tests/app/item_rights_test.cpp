// The rights of a folder or record as a person edits them: the entries that
// apply, grants, denials and removals of one user's entry, inheritance.

#include <gtest/gtest.h>

#include "app/item_rights.h"
#include "engine/messages.h"
#include "tests/engine/access_fixture.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using testing_support::ErrorOf;
using TKind = TItemRightsChange::TKind;

class ItemRightsTest : public testing::TAccessFixture {
 protected:
  ItemRightsTest() {
    admin = AddUser("Admin", "");
    clerk = AddUser("Clerk", "IU");
    work = AddFolder(base, "Work");
    mail = AddRecord(*work, "Mail");
    base.SetModified(false);
  }

  // "name granted/denied" per entry that applies to `item`.
  static std::vector<std::string> Entries(TPwdItem& item) {
    std::vector<std::string> entries;
    for (const TItemRightsEntry& entry : ReadItemRights(item).entries)
      entries.push_back((entry.user ? entry.user->Name() : "?") + " " + entry.granted + "/" + entry.denied);
    return entries;
  }

  TPwdBaseUser* admin;
  TPwdBaseUser* clerk;
  TPwdFolder* work;
  TPwdPassword* mail;
};

TEST_F(ItemRightsTest, AnInheritingItemShowsTheListItInherits) {
  const TItemRights rights = ReadItemRights(*mail);
  EXPECT_FALSE(rights.own);
  EXPECT_EQ(rights.source, &base);
  EXPECT_EQ(Entries(*mail), (std::vector<std::string>{"Default /", "Admin /", "Clerk IU/"}));

  SetItemInherits(*work, false);
  EXPECT_TRUE(base.Modified);
  EXPECT_EQ(ReadItemRights(*mail).source, work);
  EXPECT_TRUE(ReadItemRights(*work).own);
  SetItemInherits(*work, true);
  EXPECT_EQ(ReadItemRights(*mail).source, &base);
}

TEST_F(ItemRightsTest, GrantedInsertDeniedModifyAllowsAddingButNotEditing) {
  const TItemRightsChange changes[] = {{TKind::Grant, clerk, "I"}, {TKind::Deny, clerk, "U"}};
  ChangeItemRights(*work, changes);
  EXPECT_TRUE(base.Modified);
  EXPECT_EQ(Entries(*work), (std::vector<std::string>{"Default /", "Admin /", "Clerk I/U"}))
      << "one entry per user, the others copied from the root";

  base.Logon(clerk->Guid());
  EXPECT_NO_THROW(AddRecord(*work, "Bank"));
  EXPECT_EQ(ErrorOf([&] { mail->Edit(); }), "Access denied.");
  EXPECT_NO_THROW(AddRecord(base, "Elsewhere")) << "outside the folder his own rights apply";
}

TEST_F(ItemRightsTest, AUserWithoutAnEntryStartsFromHisOwnRights) {
  SetItemInherits(*work, false);
  TPwdBaseUser* guest = AddUser("Guest", "IUDV");  // after the folder got its list
  const TItemRightsChange deny[] = {{TKind::Deny, guest, "D"}};
  ChangeItemRights(*work, deny);
  EXPECT_EQ(Entries(*work).back(), "Guest IUDV/D");
  const TItemRightsChange none[] = {{TKind::Deny, guest, "-"}, {TKind::Grant, guest, "-"}};
  ChangeItemRights(*work, none);
  EXPECT_EQ(Entries(*work).back(), "Guest -/");
}

TEST_F(ItemRightsTest, ClearRemovesEveryEntryOfTheUserAndAGrantKeepsOne) {
  SetItemInherits(*work, false);
  work->Permissions->SetEntry(clerk->Guid(), "V", "");
  ASSERT_EQ(Entries(*work).size(), 4u);
  const TItemRightsChange grant[] = {{TKind::Grant, clerk, "IUD"}};
  ChangeItemRights(*work, grant);
  EXPECT_EQ(Entries(*work), (std::vector<std::string>{"Default /", "Admin /", "Clerk IUD/"}));
  const TItemRightsChange clear[] = {{TKind::Clear, clerk, {}}};
  ChangeItemRights(*work, clear);
  EXPECT_EQ(Entries(*work), (std::vector<std::string>{"Default /", "Admin /"}));
  base.Logon(clerk->Guid());
  EXPECT_FALSE(work->HasRights("")) << "no entry: nothing there";
}

TEST_F(ItemRightsTest, RefusedChangesLeaveEverythingAsItWas) {
  base.Logon(clerk->Guid());
  const TItemRightsChange grant[] = {{TKind::Grant, clerk, "AIUD"}};
  EXPECT_EQ(ErrorOf([&] { ChangeItemRights(*work, grant); }), "Access denied.");
  EXPECT_EQ(ErrorOf([&] { SetItemInherits(*work, false); }), "Access denied.");
  EXPECT_FALSE(ReadItemRights(*work).own);
  EXPECT_FALSE(base.Modified);

  base.Logon(admin->Guid());
  const std::string root = "The rights on the root folder are the users' own rights; they change with the users.";
  EXPECT_EQ(ErrorOf([&] { ChangeItemRights(base, grant); }), root);
  EXPECT_EQ(ErrorOf([&] { SetItemInherits(base, true); }), root);
  EXPECT_EQ(Entries(base).back(), "Clerk IU/");
}

}  // namespace
}  // namespace corvane
