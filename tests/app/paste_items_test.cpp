// Pasting copied and cut folders and records into a folder.

#include "app/paste_items.h"

#include <gtest/gtest.h>

#include "tests/engine/access_fixture.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using testing_support::ErrorOf;

class PasteItems : public testing::TAccessFixture {
 protected:
  PasteItems() {
    work = AddFolder(base, "Work");
    mail = AddFolder(*work, "Mail");
    gmail = AddRecord(*mail, "Gmail", "me", "hunter2");
    archive = AddFolder(base, "Archive");
    shop = AddRecord(base, "Shop");
  }

  static std::string Name(TPwdItem& item) {
    return item.IsFolder() ? static_cast<TPwdFolder&>(item).Name : static_cast<TPwdPassword&>(item).Title();
  }

  TPwdFolder* work;
  TPwdFolder* mail;
  TPwdPassword* gmail;
  TPwdFolder* archive;
  TPwdPassword* shop;
};

TEST_F(PasteItems, AFolderIntoItselfOrItsSubfolderIsRefusedBeforeAnythingMoves) {
  for (const bool cut : {true, false}) {
    for (TPwdFolder* target : {work, mail}) {
      SCOPED_TRACE(Name(*target) + (cut ? " cut" : " copy"));
      EXPECT_EQ(ErrorOf([&] { (void)corvane::PasteItems({shop, work}, *target, cut); }),
                "Cannot paste parent folder into the child folder.");
      EXPECT_EQ(shop->ParentFolder(), &base);
      EXPECT_EQ(work->ParentFolder(), &base);
      EXPECT_EQ(mail->Items->Count(), 1);
    }
  }
  EXPECT_EQ(ErrorOf([&] { (void)corvane::PasteItems({&base}, *archive, false); }),
            std::string(spaste_rootfolder));
}

TEST_F(PasteItems, CutMovesItemsAndLeavesThoseAlreadyInTheTarget) {
  const TPasteOutcome outcome = corvane::PasteItems({shop, work}, base, true);
  ASSERT_EQ(outcome.pasted.size(), 2u);
  EXPECT_EQ(outcome.pasted[0], shop);  // already there: the same item
  EXPECT_EQ(outcome.pasted[1], work);

  const TGuid mailId = mail->Guid;
  const TPasteOutcome moved = corvane::PasteItems({mail, gmail}, *archive, true);
  EXPECT_FALSE(moved.error);
  // The record went with its folder, so it was not found again on its own.
  ASSERT_EQ(moved.pasted.size(), 1u);
  EXPECT_EQ(base.FindItem(mailId), nullptr);
  EXPECT_EQ(work->Items->Count(), 0);
  ASSERT_EQ(archive->Items->Count(), 1);
  auto* copy = static_cast<TPwdFolder*>((*archive->Items)[0]);
  EXPECT_EQ(copy, moved.pasted[0]);
  EXPECT_EQ(copy->Name, "Mail");
  ASSERT_EQ(copy->Items->Count(), 1);
  EXPECT_EQ(Text(*static_cast<TPwdPassword*>((*copy->Items)[0]), testing::kPassword), "hunter2");
}

TEST_F(PasteItems, AMoveTheUserMayNotDeleteWholeStopsTheWalk) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUD");
  gmail->SetInheritRights(false);
  gmail->Permissions->Clear();
  gmail->Permissions->SetEntry(TGuid{}, "", "");
  gmail->Permissions->SetEntry(clerk->Guid(), "IU", "");
  base.Logon(clerk->Guid());

  TPwdPassword* later = AddRecord(base, "Later");
  const TPasteOutcome outcome = corvane::PasteItems({shop, work, later}, *archive, true);
  EXPECT_EQ(outcome.error, "Access denied.");
  ASSERT_EQ(outcome.pasted.size(), 1u);  // Shop moved before the refusal
  EXPECT_EQ(Name(*outcome.pasted[0]), "Shop");
  EXPECT_EQ(outcome.pasted[0]->ParentFolder(), archive);
  // Nothing of Work moved, not even the parts Clerk may delete.
  EXPECT_EQ(work->ParentFolder(), &base);
  EXPECT_EQ(mail->Items->Count(), 1);
  EXPECT_EQ(archive->Items->Count(), 1);
  EXPECT_EQ(later->ParentFolder(), &base);
}

TEST_F(PasteItems, AFolderWithARecordTheUserMayNotSeeIsNotCopied) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUD");
  gmail->SetInheritRights(false);
  gmail->Permissions->Clear();
  gmail->Permissions->SetEntry(TGuid{}, "", "");
  base.Logon(clerk->Guid());

  const TPasteOutcome outcome = corvane::PasteItems({shop, work}, *archive, false);
  EXPECT_EQ(outcome.error, "Access denied.");
  ASSERT_EQ(outcome.pasted.size(), 1u);
  EXPECT_EQ(archive->Items->Count(), 1);  // the copy of Shop only
}

TEST_F(PasteItems, CopiesGetNewItemsAndUniqueFolderNames) {
  AddFolder(*archive, "Work");
  const TPasteOutcome outcome = corvane::PasteItems({work, shop}, *archive, false);
  ASSERT_EQ(outcome.pasted.size(), 2u);
  EXPECT_EQ(Name(*outcome.pasted[0]), "Work (2)");
  EXPECT_NE(outcome.pasted[1], shop);
  EXPECT_NE(outcome.pasted[1]->Guid, shop->Guid);
  EXPECT_EQ(shop->ParentFolder(), &base);
  EXPECT_EQ(work->Items->Count(), 1);
}

TEST_F(PasteItems, CopiesGoIntoAnotherDatabase) {
  TPwdBase other;
  const TPasteOutcome outcome = corvane::PasteItems({work}, other, false);
  ASSERT_EQ(outcome.pasted.size(), 1u);
  EXPECT_EQ(outcome.pasted[0]->GetBase(), &other);
  auto* copy = static_cast<TPwdFolder*>(outcome.pasted[0]);
  ASSERT_EQ(copy->Items->Count(), 1);
  EXPECT_EQ(static_cast<TPwdFolder*>((*copy->Items)[0])->Items->Count(), 1);
  EXPECT_EQ(work->ParentFolder(), &base);
}

}  // namespace
}  // namespace corvane
