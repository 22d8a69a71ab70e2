// Deleting chosen folders and records: what is refused before anything
// happens, and how a refusal half-way stops the walk.

#include "app/delete_items.h"

#include <gtest/gtest.h>

#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

class DeleteItems : public testing::TAccessFixture {
 protected:
  DeleteItems() {
    clerk = AddUser("Clerk", "IUD");
    work = AddFolder(base, "Work");
    mail = AddRecord(*work, "Mail");
  }

  // `item` gets its own permissions, in which Clerk may not delete.
  void Protect(TPwdItem& item) {
    item.SetInheritRights(false);
    item.Permissions->Clear();
    item.Permissions->SetEntry(TGuid{}, "", "");
    item.Permissions->SetEntry(clerk->Guid(), "IU", "");
  }

  TPwdBaseUser* clerk;
  TPwdFolder* work;
  TPwdPassword* mail;
};

TEST_F(DeleteItems, RootAndFoldersWithContentAreRefusedUnlessAgreed) {
  TPwdFolder* empty = AddFolder(base, "Empty");
  struct TCase {
    const TPwdItem* item;
    bool withContent;
    TDeleteRefusal refusal;
  };
  const TCase cases[] = {
      {&base, true, TDeleteRefusal::Root},
      {work, false, TDeleteRefusal::NotEmpty},
      {work, true, TDeleteRefusal::None},
      {empty, false, TDeleteRefusal::None},
      {mail, false, TDeleteRefusal::None},
  };
  for (const TCase& c : cases) EXPECT_EQ(DeleteRefusal(*c.item, c.withContent), c.refusal);
}

TEST_F(DeleteItems, AProtectedRecordStopsTheWalkAndTheLaterOnesStay) {
  TPwdPassword* second = AddRecord(base, "Second");
  TPwdPassword* third = AddRecord(base, "Third");
  const TGuid firstId = mail->Guid;
  Protect(*second);
  base.Logon(clerk->Guid());

  const TDeleteOutcome outcome = corvane::DeleteItems(base, {mail, second, third});
  EXPECT_EQ(outcome.deleted, 1u);
  EXPECT_EQ(outcome.error, "Access denied.");
  EXPECT_EQ(base.FindItem(firstId), nullptr);
  EXPECT_EQ(base.FindItem(second->Guid), second);
  EXPECT_EQ(base.FindItem(third->Guid), third);
}

TEST_F(DeleteItems, AFolderWithAProtectedRecordIsRefusedWhole) {
  Protect(*mail);
  base.Logon(clerk->Guid());
  const TDeleteOutcome outcome = corvane::DeleteItems(base, {work});
  EXPECT_EQ(outcome.deleted, 0u);
  EXPECT_EQ(outcome.error, "Access denied.");
  EXPECT_EQ(work->Items->Count(), 1);
}

TEST_F(DeleteItems, AnItemDeletedWithItsFolderBeforeIsSkipped) {
  const TGuid workId = work->Guid, mailId = mail->Guid;
  const TDeleteOutcome outcome = corvane::DeleteItems(base, {work, mail, work});
  EXPECT_EQ(outcome.deleted, 1u);
  EXPECT_FALSE(outcome.error);
  EXPECT_EQ(base.FindItem(workId), nullptr);
  EXPECT_EQ(base.FindItem(mailId), nullptr);
  EXPECT_EQ(base.Items->Count(), 0);
}

}  // namespace
}  // namespace corvane
