// Creating items, the edit protocol (Edit, setters, Post, Cancel) and deletion.

#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kPassword;
using testing::kTitle;
using testing::kUserName;
using testing::TAccessFixture;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TError& e) {
    return e.what();
  }
  return {};
}

class ItemEditing : public TAccessFixture {};

TEST_F(ItemEditing, AddItemMakesFoldersAndRecordsAndRefusesOtherTypes) {
  TPwdItem* folder = base.Items->AddItem(kItemTypeFolder, false);
  const TGuid given = TGuid::Create();
  TPwdItem* record = base.Items->AddItem(kItemTypeRecord, false, given);
  EXPECT_NE(dynamic_cast<TPwdFolder*>(folder), nullptr);
  EXPECT_NE(dynamic_cast<TPwdPassword*>(record), nullptr);
  EXPECT_EQ(folder->State, TItemState::New);
  EXPECT_FALSE(folder->Guid.IsNull());
  EXPECT_EQ(record->Guid, given);
  EXPECT_EQ(record->IconIndex, 1);
  EXPECT_EQ(base.AllRecords.IndexOf(record), 0);
  EXPECT_EQ(base.VisibleRecords.IndexOf(record), 0);
  EXPECT_EQ(base.FindItem(given), record);

  EXPECT_EQ(ErrorOf([&] { base.Items->AddItem(3, false); }), "Unknown item type.");
  EXPECT_EQ(base.Items->Count(), 2);

  TPwdBase::TLoadingScope loading(base);
  const TGuid stored = TGuid::Create();
  TPwdItem* loaded = base.Items->AddItem(kItemTypeRecord, true, stored);
  EXPECT_EQ(loaded->State, TItemState::Stored);
  EXPECT_EQ(loaded->Guid, stored);
}

TEST_F(ItemEditing, SettersOutsideEditModeAreRefusedUnlessLoading) {
  TPwdPassword* record = AddRecord(base, "Mail");
  EXPECT_EQ(ErrorOf([&] { SetText(*record, kTitle, "Other"); }), "Not in edit mode.");
  TPwdFolder* folder = AddFolder(base, "Work");
  EXPECT_EQ(ErrorOf([&] { folder->SetName("Home"); }), "Not in edit mode.");
  EXPECT_EQ(Text(*record, kTitle), "Mail");
  EXPECT_EQ(folder->Name, "Work");

  TPwdBase::TLoadingScope loading(base);
  SetText(*record, kTitle, "Loaded");
  EXPECT_EQ(Text(*record, kTitle), "Loaded");
}

TEST_F(ItemEditing, PostWithoutChangeLeavesNoTrace) {
  TPwdPassword* record = AddRecord(base, "Mail", "joe");
  const int log = LogCount();
  const int undo = UndoCount();
  record->Edit();
  EXPECT_EQ(UndoCount(), undo + 1);
  SetText(*record, kUserName, "joe");  // the same value is no change
  record->Post();
  EXPECT_EQ(UndoCount(), undo);
  EXPECT_EQ(LogCount(), log);
  EXPECT_EQ(record->State, TItemState::Stored);
}

TEST_F(ItemEditing, PostedEditIsLoggedAndCanBeUndone) {
  TPwdPassword* record = AddRecord(base, "Mail", "joe");
  const int log = LogCount();
  base.Modified = 0;
  EditText(*record, kUserName, "ann");
  ASSERT_EQ(LogCount(), log + 1);
  const TPwdBaseChangeRec& entry = LogEntry(log);
  EXPECT_EQ(entry.ChangeKind, TChangeKind::Update);
  EXPECT_EQ(entry.FieldNumber, kUserName);
  EXPECT_EQ(entry.OldText, "joe");
  EXPECT_EQ(entry.NewText, "ann");
  EXPECT_FALSE(entry.OperationStamp.IsNull());
  EXPECT_TRUE(record->OperationStamp.IsNull());
  EXPECT_TRUE(base.Modified);

  base.UndoList->Undo();
  EXPECT_EQ(Text(*record, kUserName), "joe");
  EXPECT_EQ(LogCount(), log);
}

TEST_F(ItemEditing, PostStampsTheSystemFields) {
  base.Password.clear();
  clock.SetDate(46100.5);
  TPwdPassword* record = AddRecord(base, "Mail");
  TPwdFieldsList& fields = *record->Bind();
  EXPECT_EQ(fields.FieldByKind(kKindCreated)->AsDate(), 46100.5);
  EXPECT_EQ(fields.FieldByKind(kKindModified)->AsDate(), 46100.5);

  clock.SetDate(46200.5);
  record->Edit();
  record->Post();  // nothing changed: nothing stamped
  EXPECT_EQ(record->Bind()->FieldByKind(kKindModified)->AsDate(), 46100.5);
  EditText(*record, kTitle, "Mail 2");
  EXPECT_EQ(record->Bind()->FieldByKind(kKindCreated)->AsDate(), 46100.5);
  EXPECT_EQ(record->Bind()->FieldByKind(kKindModified)->AsDate(), 46200.5);
}

TEST_F(ItemEditing, CancelDiscardsANewItemAndRestoresAnEditedOne) {
  TPwdPassword* fresh = static_cast<TPwdPassword*>(base.Items->AddItem(kItemTypeRecord, false));
  const TGuid freshId = fresh->Guid;
  SetText(*fresh, kTitle, "Draft");
  const int log = LogCount();
  fresh->Cancel();
  EXPECT_EQ(base.Items->Count(), 0);
  EXPECT_EQ(base.AllRecords.Count(), 0);
  EXPECT_EQ(base.FindItem(freshId), nullptr);
  EXPECT_EQ(LogCount(), log);

  TPwdPassword* record = AddRecord(base, "Mail", "joe", "secret");
  const int undo = UndoCount();
  record->Edit();
  SetText(*record, kPassword, "changed");
  record->Cancel();
  EXPECT_EQ(record->State, TItemState::Stored);
  EXPECT_EQ(Text(*record, kPassword), "secret");
  EXPECT_EQ(UndoCount(), undo);
}

TEST_F(ItemEditing, DeletingAFolderLogsEveryItemUnderOneStampAndUnlinksThem) {
  TPwdFolder* work = AddFolder(base, "Work");
  TPwdFolder* mail = AddFolder(*work, "Mail");
  TPwdPassword* a = AddRecord(*work, "A");
  TPwdPassword* b = AddRecord(*mail, "B");
  const TGuid ids[] = {work->Guid, mail->Guid, a->Guid, b->Guid};
  const int log = LogCount();

  work->Delete();
  EXPECT_EQ(base.Items->Count(), 0);
  EXPECT_EQ(base.AllRecords.Count(), 0);
  EXPECT_EQ(base.VisibleRecords.Count(), 0);
  for (const TGuid& id : ids) EXPECT_EQ(base.FindItem(id), nullptr);

  // Children before their folder; one operation.
  ASSERT_EQ(LogCount(), log + 4);
  EXPECT_EQ(LogEntry(log).ItemGuid, ids[3]);
  EXPECT_EQ(LogEntry(log + 3).ItemGuid, ids[0]);
  for (int i = log; i < LogCount(); ++i) {
    EXPECT_EQ(LogEntry(i).ChangeKind, TChangeKind::Delete);
    EXPECT_EQ(LogEntry(i).OperationStamp, LogEntry(log).OperationStamp);
  }

  base.UndoList->Undo();
  for (const TGuid& id : ids) EXPECT_NE(base.FindItem(id), nullptr);
  EXPECT_EQ(base.AllRecords.Count(), 2);
}

TEST_F(ItemEditing, DeletionIsRefusedWholeWhenAnyItemBelowMayNotBeDeleted) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUD");
  TPwdFolder* work = AddFolder(base, "Work");
  AddRecord(*work, "A");
  TPwdPassword* kept = AddRecord(*work, "B");
  kept->SetInheritRights(false);
  kept->Permissions->SetEntry(clerk->Guid(), "IU", "D");
  base.Logon(clerk->Guid());

  const int log = LogCount();
  EXPECT_EQ(ErrorOf([&] { work->Delete(); }), "Access denied.");
  EXPECT_EQ(work->Items->Count(), 2);
  EXPECT_EQ(base.AllRecords.Count(), 2);
  EXPECT_EQ(LogCount(), log);
}

}  // namespace
}  // namespace corvane
