// Merging two copies of a database: what travels, what is kept, and how
// conflicts with the target's own later changes end.

#include <gtest/gtest.h>

#include "engine/undo.h"
#include "engine/users.h"
#include "platform/error.h"
#include "tests/engine/merge_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class Merging : public TMergeFixture {};

TEST_F(Merging, IdenticalCopiesReportFourZeros) {
  EXPECT_EQ(Merge(*target, *source),
            "Items inserted:\t0\r\nItems updated:\t0\r\nItems deleted:\t0\r\nAccess denied:\t0\r\n");
  EXPECT_EQ(target->Modified, 0);
}

TEST_F(Merging, SourceChangesArriveAndASecondMergeFindsThemApplied) {
  TPwdFolder* sourceWork = Same(*source, work);
  TPwdPassword* added = AddRecord(*sourceWork, "Bank", "owner", "pin");
  EditText(*Same(*source, mail), kUserField, "someone");
  Rename(*sourceWork, "Office");
  TPwdFolder* spare = AddFolder(*source, "Spare");
  Remove(*spare);
  const int sourceEntries = source->ChangesLog->Count();
  const auto sourceTree = TreeOf(*source);

  // "Spare" no longer exists in the source: it is neither made nor deleted,
  // and only its insertion is logged in the target.
  EXPECT_EQ(MergeChanges(*target, *source), (TMergeCounts{1, 2, 0, 0}));
  EXPECT_EQ(TreeOf(*target), sourceTree);
  EXPECT_EQ(Text(*Same(*target, added), kPasswordField), "pin");
  EXPECT_EQ(target->ChangesLog->Count(), sourceEntries - 1);
  EXPECT_EQ(target->Modified, 1);

  EXPECT_EQ(MergeChanges(*target, *source), TMergeCounts{});
  EXPECT_EQ(target->ChangesLog->Count(), sourceEntries - 1);
  // The source is read only.
  EXPECT_EQ(source->ChangesLog->Count(), sourceEntries);
  EXPECT_EQ(TreeOf(*source), sourceTree);
}

TEST_F(Merging, ACopyOfAnotherDatabaseIsRefusedBeforeAnythingChanges) {
  TPwdBase other;
  other.Password = "master";
  AddRecord(other, "Elsewhere");
  const auto before = TreeOf(*target);
  try {
    Merge(*target, other);
    FAIL() << "merged a foreign database";
  } catch (const TError& error) {
    EXPECT_EQ(error.what(), std::string(smergenotacopy));
  }
  EXPECT_EQ(TreeOf(*target), before);
  EXPECT_EQ(target->Modified, 0);
}

TEST_F(Merging, RecordDeletedInTheSourceButEditedLaterInTheTargetIsKept) {
  Remove(*Same(*source, mail));
  EditText(*mail, kUserField, "still used");

  EXPECT_EQ(MergeChanges(*target, *source), TMergeCounts{});
  ASSERT_EQ(Same(*target, mail), mail);
  EXPECT_EQ(Text(*mail, kUserField), "still used");
}

TEST_F(Merging, RecordDeletedInTheSourceAfterTheTargetsEditGoes) {
  EditText(*mail, kUserField, "edited first");
  Remove(*Same(*source, mail));

  const TGuid id = mail->Guid;
  EXPECT_EQ(MergeChanges(*target, *source).Deleted, 1);
  EXPECT_EQ(target->FindItem(id), nullptr);
}

TEST_F(Merging, FolderDeletedInTheSourceThatStillHoldsRecordsInTheTargetIsKept) {
  Remove(*Same(*source, work));  // the source deletes "Mail", then "Work"
  AddRecord(*work, "New here");

  const TMergeCounts counts = MergeChanges(*target, *source);
  EXPECT_EQ(counts.Deleted, 1);
  ASSERT_EQ(Same(*target, work), work);
  ASSERT_EQ(work->Items->Count(), 1);
  EXPECT_EQ(static_cast<TPwdPassword*>((*work->Items)[0])->Title(), "New here");
}

// The later of two changes of one field wins, whichever copy made it; the
// loser's value becomes the old text of the winner's log entry.
TEST_F(Merging, SameFieldChangedOnBothSidesKeepsTheLaterValue) {
  struct TCase {
    bool targetLater;
    std::string kept;
  };
  for (const TCase& c : {TCase{true, "target's"}, TCase{false, "source's"}}) {
    SCOPED_TRACE(c.kept);
    auto t = CopyOf(*target);
    auto s = CopyOf(*target);
    TPwdPassword* inTarget = Same(*t, mail);
    TPwdPassword* inSource = Same(*s, mail);
    if (c.targetLater) {
      EditText(*inSource, kUserField, "source's");
      EditText(*inTarget, kUserField, "target's");
    } else {
      EditText(*inTarget, kUserField, "target's");
      EditText(*inSource, kUserField, "source's");
    }
    const int before = t->ChangesLog->Count();
    MergeChanges(*t, *s);
    EXPECT_EQ(Text(*inTarget, kUserField), c.kept);
    ASSERT_EQ(t->ChangesLog->Count(), before + 1);
    if (c.targetLater) {
      const TPwdBaseChangeRec& own = (*t->ChangesLog)[before];
      EXPECT_EQ(own.NewText, "target's");
      EXPECT_EQ(own.OldText, "source's");
    }
    // The other way round the copies agree.
    MergeChanges(*s, *t);
    EXPECT_EQ(Text(*inSource, kUserField), c.kept);
    EXPECT_EQ(TreeOf(*s), TreeOf(*t));
  }
}

TEST_F(Merging, InsertIntoAFolderOnlyTheSourceHasRecreatesTheParentChain) {
  TPwdFolder* outer = nullptr;
  TPwdFolder* inner = nullptr;
  {
    // Folders made without logging: the target never hears of them.
    source->LogChanges = 0;
    outer = AddFolder(*source, "Outer");
    inner = AddFolder(*outer, "Inner");
    source->LogChanges = 1;
  }
  TPwdPassword* record = AddRecord(*inner, "Deep");

  EXPECT_EQ(MergeChanges(*target, *source), (TMergeCounts{1, 0, 0, 0}));
  TPwdFolder* newInner = Same(*target, inner);
  ASSERT_NE(newInner, nullptr);
  EXPECT_EQ(newInner->Name, "Inner");
  ASSERT_NE(Same(*target, outer), nullptr);
  EXPECT_EQ(newInner->ParentFolder(), Same(*target, outer));
  EXPECT_EQ(Same(*target, outer)->ParentFolder(), target.get());
  ASSERT_NE(Same(*target, record), nullptr);
  EXPECT_EQ(Same(*target, record)->ParentFolder(), newInner);
}

TEST_F(Merging, WithLoggingOffInTheTargetChangesApplyButLeaveNoEntries) {
  EditText(*Same(*source, mail), kUserField, "new user");
  AddRecord(*Same(*source, work), "Extra");
  target->LogChanges = 0;
  const int entries = target->ChangesLog->Count();

  MergeChanges(*target, *source);
  EXPECT_EQ(Text(*mail, kUserField), "new user");
  EXPECT_EQ(target->ChangesLog->Count(), entries);
  EXPECT_EQ(target->LogChanges, 0);
  const auto merged = TreeOf(*target);

  // The next merge replays the same operations and changes nothing.
  MergeChanges(*target, *source);
  EXPECT_EQ(TreeOf(*target), merged);
  EXPECT_EQ(target->ChangesLog->Count(), entries);
}

TEST_F(Merging, ChangesTheTargetUserMayNotMakeAreCountedAsDenied) {
  // The source user adds records; the target's logged-on user may only modify.
  auto user = std::make_unique<TPwdBaseUser>();
  user->SetGuid(TGuid::Create());
  user->SetName("Clerk");
  user->SetRights("U");
  const TGuid clerk = user->Guid();
  target->Users->Add(std::move(user));
  source = CopyOf(*target);
  target->Logon(clerk);

  AddRecord(*Same(*source, work), "Not allowed");
  EditText(*Same(*source, mail), kUserField, "allowed");
  const int entries = target->ChangesLog->Count();

  EXPECT_EQ(MergeChanges(*target, *source), (TMergeCounts{0, 1, 0, 1}));
  EXPECT_EQ(work->Items->Count(), 1);
  EXPECT_EQ(Text(*mail, kUserField), "allowed");
  // Only the applied operation's entry is copied.
  EXPECT_EQ(target->ChangesLog->Count(), entries + 1);
}

TEST_F(Merging, StructureChangesOfAFolderArrive) {
  TPwdFolder* sourceWork = Same(*source, work);
  Tick();
  sourceWork->Edit();
  sourceWork->CreateStructure(2);
  for (int i = 0; i < sourceWork->Structure->Count(); ++i)
    (*sourceWork->Structure)[i]->Number = -2 - (*sourceWork->Structure)[i]->Number;
  TPwdField* server = sourceWork->Structure->AddField("Server", kFieldString, kKindRegular);
  sourceWork->Structure->SetSectionName(0, "Main");
  sourceWork->Post();
  EditText(*Same(*source, mail), server->Number, "imap.example");

  MergeChanges(*target, *source);
  ASSERT_TRUE(work->HasOwnStructure());
  TPwdField* field = work->Structure->FieldByGuid(server->Guid);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->Name, "Server");
  EXPECT_EQ(work->Structure->Sections.front(), "Main");
  EXPECT_EQ(Text(*mail, field->Number), "imap.example");
}

TEST_F(Merging, ACustomIconTravelsWithTheItem) {
  const int icon = source->Icons.AddIcon("BMone", "BMtwo");
  Tick();
  TPwdPassword* record = Same(*source, mail);
  record->Edit();
  record->SetIcon(kBuiltinImageCount + icon);
  record->Post();

  MergeChanges(*target, *source);
  ASSERT_EQ(target->Icons.Count(), 1);
  EXPECT_EQ(target->Icons.Id(0), source->Icons.Id(icon));
  EXPECT_EQ(mail->IconIndex, kBuiltinImageCount);
}

TEST_F(Merging, AMergedRecordKeepsTheSourcesModificationStamp) {
  TPwdPassword* record = Same(*source, mail);
  EditText(*record, kUserField, "changed");
  const double modified = record->Bind()->FieldByKind(kKindModified)->AsDate();
  Tick();

  MergeChanges(*target, *source);
  EXPECT_EQ(mail->Bind()->FieldByKind(kKindModified)->AsDate(), modified);
  // The merge is one undo step that restores the old value.
  target->UndoList->Undo();
  EXPECT_EQ(Text(*mail, kUserField), "me");
}

TEST_F(Merging, ADuplicateFolderNameEndsTheMergeWithTheLogComplete) {
  AddFolder(*target, "Home");
  Rename(*Same(*source, work), "Home");
  const int entries = target->ChangesLog->Count();

  EXPECT_THROW(MergeChanges(*target, *source), TError);
  EXPECT_EQ(work->Name, "Work");
  EXPECT_EQ(work->State, TItemState::Stored);
  EXPECT_EQ(target->LogChanges, 1);
  EXPECT_EQ(target->ChangesLog->Count(), entries);
}

}  // namespace
}  // namespace corvane
