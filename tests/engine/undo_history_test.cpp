// Taking back the last operation: inserts, edits, deletions and moves, with
// their change-log entries.

#include <gtest/gtest.h>

#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kPassword;
using testing::kTitle;
using testing::kUserName;
using testing::TAccessFixture;

class Undo : public TAccessFixture {
 protected:
  Undo() {
    work = AddFolder(base, "Work");
    mail = AddRecord(*work, "Mail", "ann", "s3cret");
    base.UndoList->Clear();
    logBefore = LogCount();
  }

  TPwdItem* UndoOnce() { return base.UndoList->Undo(); }

  TPwdFolder* work;
  TPwdPassword* mail;
  int logBefore;
};

TEST_F(Undo, InsertIsTakenBackWithItsEntries) {
  TPwdPassword* bank = AddRecord(*work, "Bank", "bob", "pin");
  const TGuid id = bank->Guid;
  EXPECT_EQ(LogCount(), logBefore + 3);
  base.Modified = 0;
  EXPECT_EQ(UndoOnce(), work);
  EXPECT_EQ(base.FindItem(id), nullptr);
  EXPECT_EQ(work->Items->Count(), 1);
  EXPECT_EQ(LogCount(), logBefore);
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_TRUE(base.Modified);
  EXPECT_EQ(UndoOnce(), nullptr);  // nothing left
}

TEST_F(Undo, EditIsTakenBackEvenWithoutLogging) {
  for (std::uint8_t logging : {1, 0}) {
    base.LogChanges = logging;
    const int before = LogCount();
    EditText(*mail, kUserName, "carl");
    EXPECT_EQ(LogCount(), before + logging);
    EXPECT_EQ(UndoOnce(), mail);
    EXPECT_EQ(Text(*mail, kUserName), "ann");
    EXPECT_EQ(Text(*mail, kTitle), "Mail");
    EXPECT_EQ(LogCount(), before);
  }
}

TEST_F(Undo, UndoKeepsOtherOperationsEntries) {
  EditText(*mail, kTitle, "Webmail");
  const int afterFirst = LogCount();
  EditText(*mail, kPassword, "n3w");
  EXPECT_EQ(UndoOnce(), mail);
  EXPECT_EQ(Text(*mail, kPassword), "s3cret");
  EXPECT_EQ(Text(*mail, kTitle), "Webmail");
  EXPECT_EQ(LogCount(), afterFirst);
  UndoOnce();
  EXPECT_EQ(Text(*mail, kTitle), "Mail");
  EXPECT_EQ(LogCount(), logBefore);
}

TEST_F(Undo, PostWithoutChangeLeavesNoTrace) {
  mail->Edit();
  EXPECT_EQ(UndoCount(), 1);
  mail->Post();
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_EQ(LogCount(), logBefore);
}

TEST_F(Undo, CancelRestoresTheValuesAndDropsTheirEntries) {
  mail->Edit();
  SetText(*mail, kUserName, "carl");
  mail->Cancel();
  EXPECT_EQ(Text(*mail, kUserName), "ann");
  EXPECT_EQ(UndoCount(), 0);
  EXPECT_EQ(LogCount(), logBefore);
  EXPECT_EQ(mail->State, TItemState::Stored);
}

TEST_F(Undo, DeletedRecordComesBackWithItsIdAndValues) {
  const TGuid id = mail->Guid;
  mail->Delete();
  EXPECT_GT(LogCount(), logBefore);
  TPwdItem* back = UndoOnce();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Guid, id);
  EXPECT_EQ(base.FindItem(id), back);
  EXPECT_EQ(back->ParentFolder(), work);
  auto* record = static_cast<TPwdPassword*>(back);
  EXPECT_EQ(Text(*record, kTitle), "Mail");
  EXPECT_EQ(Text(*record, kPassword), "s3cret");
  EXPECT_EQ(record->State, TItemState::Stored);
  EXPECT_TRUE(record->OperationStamp.IsNull());
  EXPECT_EQ(base.AllRecords.IndexOf(record), 0);
  EXPECT_EQ(LogCount(), logBefore);
}

TEST_F(Undo, DeletedRecordOfAVanishedFolderIsNotRecreated) {
  const TGuid id = mail->Guid;
  mail->Delete();
  work->Delete();
  base.UndoList->Delete(UndoCount() - 1);  // the folder's own deletion can no longer be undone
  EXPECT_EQ(UndoOnce(), nullptr);
  EXPECT_EQ(base.FindItem(id), nullptr);
  EXPECT_EQ(UndoCount(), 0);
}

TEST_F(Undo, DeletedFolderComesBackWithEverythingBelow) {
  TPwdFolder* inner = AddFolder(*work, "Inner");
  TPwdPassword* bank = AddRecord(*inner, "Bank", "bob");
  const TGuid workId = work->Guid, innerId = inner->Guid, bankId = bank->Guid, mailId = mail->Guid;
  base.UndoList->Clear();
  const int before = LogCount();
  work->Delete();
  EXPECT_EQ(UndoCount(), 4);
  TPwdItem* back = UndoOnce();
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Guid, workId);
  EXPECT_EQ(static_cast<TPwdFolder*>(back)->Name, "Work");
  ASSERT_NE(base.FindItem(innerId), nullptr);
  EXPECT_EQ(base.FindItem(innerId)->ParentFolder(), back);
  ASSERT_NE(base.FindItem(bankId), nullptr);
  EXPECT_EQ(Text(*static_cast<TPwdPassword*>(base.FindItem(bankId)), kUserName), "bob");
  EXPECT_NE(base.FindItem(mailId), nullptr);
  EXPECT_EQ(LogCount(), before);
  EXPECT_EQ(UndoCount(), 0);
}

TEST_F(Undo, DeletedFolderComesBackWithItsOwnPermissions) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUDV");
  work->SetInheritRights(false);
  work->Permissions->SetEntry(clerk->Guid(), "", "V");
  const TGuid id = work->Guid;
  const int entries = work->Permissions->Count();
  work->Delete();
  UndoOnce();
  TPwdItem* back = base.FindItem(id);
  ASSERT_NE(back, nullptr);
  ASSERT_FALSE(back->InheritsPermissions());
  EXPECT_EQ(back->Permissions->Count(), entries);
  base.Logon(clerk->Guid());
  EXPECT_FALSE(back->HasRights("V"));  // the denial came back too
  EXPECT_TRUE(base.HasRights(nullptr, "V"));
}

TEST_F(Undo, MoveIsTakenBackAsOneOperation) {
  TPwdFolder* archive = AddFolder(base, "Archive");
  AddRecord(*work, "Bank", "bob");
  base.UndoList->Clear();
  const int before = LogCount();
  TPwdItem* moved = work->MoveTo(*archive);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(archive->Items->Count(), 1);
  TPwdItem* back = UndoOnce();
  ASSERT_NE(back, nullptr);
  EXPECT_TRUE(back->IsFolder());
  EXPECT_EQ(back->ParentFolder(), &base);
  EXPECT_EQ(static_cast<TPwdFolder*>(back)->Items->Count(), 2);
  EXPECT_EQ(archive->Items->Count(), 0);
  EXPECT_EQ(LogCount(), before);
  EXPECT_EQ(UndoCount(), 0);
}

TEST_F(Undo, UndoOfACopiedFolderShowsAnItemThatStillExists) {
  TPwdFolder* archive = AddFolder(base, "Archive");
  base.UndoList->Clear();
  work->CopyTo(*archive);
  EXPECT_EQ(UndoOnce(), archive);
  EXPECT_EQ(archive->Items->Count(), 0);
}

}  // namespace
}  // namespace corvane
