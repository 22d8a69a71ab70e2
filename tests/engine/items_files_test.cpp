// Records with attached files: copies take the files the user may extract,
// and insertions and deletions log one entry per file.

#include <gtest/gtest.h>

#include "engine/changelog.h"
#include "engine/users.h"
#include "tests/engine/attach_test_support.h"

namespace corvane {
namespace {

using testing::TAttachTest;

class RecordFiles : public TAttachTest {
 protected:
  const TPwdBaseChangeRec& LastEntry() const { return (*base_->ChangesLog)[base_->ChangesLog->Count() - 1]; }
};

TEST_F(RecordFiles, ACopyTakesTheFilesAndLogsThemWithItsInsertion) {
  TPwdFileAttach& file = Attach(*record_, "notes.txt", "remember");
  TPwdFolder* work = static_cast<TPwdFolder*>(base_->Items->AddItem(kItemTypeFolder, false));
  work->SetName("Work");
  work->Post();

  auto* copy = static_cast<TPwdPassword*>(record_->CopyTo(*work));
  ASSERT_TRUE(copy->Files);
  ASSERT_EQ(copy->Files->Count(), 1);
  TPwdFileAttach& copied = *(*copy->Files)[0];
  EXPECT_EQ(copied.FileName, "notes.txt");
  EXPECT_NE(copied.Guid, file.Guid);
  EXPECT_EQ(Content(copied), "remember");
  EXPECT_EQ(LastEntry().FieldNumber, kLogAttachment);
  EXPECT_EQ(LastEntry().ChangeKind, TChangeKind::Insert);
  EXPECT_EQ(LastEntry().NewText, "notes.txt");
  EXPECT_EQ(LastEntry().ExtraGuid, copied.Guid);

  base_->FilterRecords(nullptr);
  EXPECT_TRUE(base_->VisibleRecordsHaveFiles);

  const TGuid copiedId = copied.Guid;
  copy->Delete();
  EXPECT_EQ(LastEntry().FieldNumber, kLogAttachment);
  EXPECT_EQ(LastEntry().ChangeKind, TChangeKind::Delete);
  EXPECT_EQ(LastEntry().OldText, "notes.txt");
  EXPECT_EQ(LastEntry().ExtraGuid, copiedId);
}

TEST_F(RecordFiles, FilesTheUserMayNotExtractStayBehind) {
  Attach(*record_, "notes.txt", "remember");
  auto clerk = std::make_unique<TPwdBaseUser>();
  clerk->SetGuid(TGuid::Create());
  clerk->SetRights("IUL");
  const TGuid clerkId = clerk->Guid();
  base_->Users->Add(std::move(clerk));
  TPwdFolder* open = static_cast<TPwdFolder*>(base_->Items->AddItem(kItemTypeFolder, false));
  open->SetName("Open");
  open->Post();
  open->SetInheritRights(false);
  open->Permissions->SetEntry(clerkId, "IULS", "");
  base_->Logon(clerkId);

  auto* copy = static_cast<TPwdPassword*>(record_->CopyTo(*open));
  EXPECT_TRUE(!copy->Files || copy->Files->Count() == 0);
}

}  // namespace
}  // namespace corvane
