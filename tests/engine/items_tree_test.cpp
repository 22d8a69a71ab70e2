// Folder names, copying and moving, lookup by id, record filtering and the
// database-wide "may change anything" answer.

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "platform/error.h"
#include "tests/engine/access_fixture.h"

namespace corvane {
namespace {

using testing::kTitle;
using testing::TAccessFixture;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TError& e) {
    return e.what();
  }
  return {};
}

class FolderTree : public TAccessFixture {
 protected:
  FolderTree() {
    work = AddFolder(base, "Work");
    home = AddFolder(base, "Home");
    mail = AddRecord(*work, "Mail");
  }

  static void Rename(TPwdFolder& folder, const std::string& name) {
    folder.Edit();
    folder.SetName(name);
    folder.Post();
  }

  TPwdFolder* work;
  TPwdFolder* home;
  TPwdPassword* mail;
};

TEST_F(FolderTree, RenameRules) {
  AddRecord(base, "Bank");
  struct Case {
    const char* name;
    const char* error;
    const char* result;
  } cases[] = {
      {"Bank", "", "Bank"},                                    // a sibling record's name
      {"Home", "Duplicate folder name 'Home'.", "Bank"},       // a sibling folder's name
      {"home", "", "home"},                                    // the check is exact
  };
  for (const Case& c : cases) {
    work->Edit();
    EXPECT_EQ(ErrorOf([&] { work->SetName(c.name); }), c.error) << c.name;
    work->Post();
    EXPECT_EQ(work->Name, c.result) << c.name;
  }

  const int log = LogCount();
  Rename(*work, "home");  // its own name: nothing happens
  EXPECT_EQ(LogCount(), log);
  Rename(*work, "Office");
  ASSERT_EQ(LogCount(), log + 1);
  EXPECT_EQ(LogEntry(log).FieldNumber, -1);
  EXPECT_EQ(LogEntry(log).OldText, "home");
  EXPECT_EQ(LogEntry(log).NewText, "Office");
}

TEST_F(FolderTree, RenamingTheDatabaseNeedsAdministratorRights) {
  TPwdBaseUser* clerk = AddUser("Clerk", "IUD");
  base.Logon(clerk->Guid());
  EXPECT_EQ(ErrorOf([&] { base.SetName("Mine"); }), "Access denied.");
  base.Logon(TGuid{});
  base.SetName("Mine");
  EXPECT_EQ(base.Name, "Mine");
}

TEST_F(FolderTree, UniqueNamesNumberFromTwo) {
  EXPECT_EQ(home->MakeUniqueName("Away"), "Away");
  EXPECT_EQ(home->MakeUniqueName("Home"), "Home");  // its own name is no clash
  EXPECT_EQ(home->MakeUniqueName("Work"), "Work (2)");
  AddFolder(base, "Work (2)");
  EXPECT_EQ(home->MakeUniqueName("Work"), "Work (3)");

  TPwdFolder* inner = AddFolder(*home, "Work");
  TPwdItem* copy = inner->CopyTo(base);
  EXPECT_EQ(static_cast<TPwdFolder*>(copy)->Name, "Work (3)");
}

TEST_F(FolderTree, MoveLogsOneDeletionAndOneInsertionPerItemUnderOneStamp) {
  TPwdFolder* sub = AddFolder(*work, "Sub");
  TPwdPassword* deep = AddRecord(*sub, "Deep");
  const TGuid oldIds[] = {work->Guid, sub->Guid, mail->Guid, deep->Guid};
  const int log = LogCount();

  TPwdItem* moved = work->MoveTo(*home);
  ASSERT_EQ(home->Items->Count(), 1);
  EXPECT_EQ((*home->Items)[0], moved);
  EXPECT_EQ(base.Items->IndexOf(work), -1);  // `work` is gone (freed)
  for (const TGuid& id : oldIds) EXPECT_EQ(base.FindItem(id), nullptr);
  EXPECT_EQ(base.AllRecords.Count(), 2);

  std::set<TGuid> stamps;
  int inserts = 0, deletes = 0;
  std::set<TGuid> deleted;
  for (int i = log; i < LogCount(); ++i) {
    stamps.insert(LogEntry(i).OperationStamp);
    if (LogEntry(i).FieldNumber >= 0 && LogEntry(i).FieldNumber != kTitle) continue;
    if (LogEntry(i).ChangeKind == TChangeKind::Insert) ++inserts;
    if (LogEntry(i).ChangeKind == TChangeKind::Delete) {
      ++deletes;
      deleted.insert(LogEntry(i).ItemGuid);
    }
  }
  EXPECT_EQ(stamps.size(), 1u);
  EXPECT_EQ(inserts, 4);  // two folders by name, two records by title
  EXPECT_EQ(deletes, 4);
  EXPECT_EQ(deleted, std::set<TGuid>(std::begin(oldIds), std::end(oldIds)));

  base.UndoList->Undo();
  for (const TGuid& id : oldIds) EXPECT_NE(base.FindItem(id), nullptr);
  EXPECT_EQ(home->Items->Count(), 0);
  EXPECT_EQ(LogCount(), log);
}

TEST_F(FolderTree, AFolderCannotMoveIntoItselfOrBelow) {
  TPwdFolder* sub = AddFolder(*work, "Sub");
  const std::string error = "A folder cannot be moved into itself or one of its subfolders.";
  EXPECT_EQ(ErrorOf([&] { work->MoveTo(*work); }), error);
  EXPECT_EQ(ErrorOf([&] { work->MoveTo(*sub); }), error);
  EXPECT_EQ(work->Items->Count(), 2);

  // A copy into itself takes the children as they were before it.
  work->CopyTo(*work);
  EXPECT_EQ(work->Items->Count(), 3);
  auto* copy = static_cast<TPwdFolder*>((*work->Items)[2]);
  EXPECT_EQ(copy->Name, "Work");
  EXPECT_EQ(copy->Items->Count(), 2);
}

TEST_F(FolderTree, CopiedTopFolderOwnsAStructureOnlyWhereItMustDiffer) {
  // A folder using the root's structure copied below a folder with another one.
  home->CreateStructure(1);
  home->Structure->AddField("PIN", kFieldInteger, kKindRegular);
  auto* intoOther = static_cast<TPwdFolder*>(work->CopyTo(*home));
  ASSERT_TRUE(intoOther->HasOwnStructure());
  EXPECT_TRUE(intoOther->Structure->SameStructure(*base.Structure));
  EXPECT_EQ(Text(*static_cast<TPwdPassword*>((*intoOther->Items)[0]), kTitle), "Mail");

  // Copied back beside the root's structure, the own copy is dropped.
  auto* back = static_cast<TPwdFolder*>(intoOther->CopyTo(base));
  EXPECT_FALSE(back->HasOwnStructure());
}

TEST_F(FolderTree, FindItemAnswersAsTheTreeWalk) {
  TPwdFolder* sub = AddFolder(*work, "Sub");
  TPwdPassword* deep = AddRecord(*sub, "Deep");
  EXPECT_EQ(base.FindItem(deep->Guid), deep);
  EXPECT_EQ(base.FindItem(base.Guid), &base);
  EXPECT_EQ(work->FindItem(work->Guid, false), work);
  EXPECT_EQ(work->FindItem(mail->Guid, false), mail);
  EXPECT_EQ(work->FindItem(deep->Guid, false), nullptr);  // below a subfolder
  EXPECT_EQ(work->FindItem(deep->Guid, true), deep);
  EXPECT_EQ(home->FindItem(deep->Guid, true), nullptr);  // elsewhere in the tree
  EXPECT_EQ(base.FindItem(TGuid::Create()), nullptr);
}

TEST_F(FolderTree, FilterKeepsTheRecordsTheUserMaySeeAndTheCallbackAccepts) {
  TPwdPassword* bank = AddRecord(*home, "Bank");
  base.FilterRecords([](const TPwdPassword& record) { return record.ParentFolder()->Name == "Home"; });
  ASSERT_EQ(base.VisibleRecords.Count(), 1);
  EXPECT_EQ(base.VisibleRecords[0], bank);

  TPwdBaseUser* clerk = AddUser("Clerk", "IU");
  mail->SetInheritRights(false);
  mail->Permissions->Clear();  // nobody holds an entry on `mail`
  base.Logon(clerk->Guid());
  base.FilterRecords(nullptr);
  ASSERT_EQ(base.VisibleRecords.Count(), 1);
  EXPECT_EQ(base.VisibleRecords[0], bank);
}

TEST_F(FolderTree, CanModifyFollowsTheRightsAndReadOnly) {
  TPwdBaseUser* reader = AddUser("Reader", "V");
  base.Logon(reader->Guid());
  EXPECT_FALSE(base.CanModify());
  base.Logon(TGuid{});
  work->SetInheritRights(false);
  work->Permissions->SetEntry(reader->Guid(), "U", "");
  base.Logon(reader->Guid());
  EXPECT_TRUE(base.CanModify());  // an own permission list somewhere allows it
  base.ReadOnly = 1;
  EXPECT_FALSE(base.CanModify());
}

}  // namespace
}  // namespace corvane
