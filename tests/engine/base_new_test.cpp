// A new database object and the loading counter.

#include <gtest/gtest.h>

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/undo.h"
#include "engine/users.h"

namespace corvane {
namespace {

TEST(NewDatabase, StartsUnmodifiedWithTheBuiltInStructureAndTheDefaultUser) {
  TPwdBase base;
  EXPECT_EQ(base.FormatVersion, 230);
  EXPECT_EQ(base.FormatBuild, 23000);
  EXPECT_EQ(base.ItemType, kItemTypeFolder);
  EXPECT_FALSE(base.Guid.IsNull());
  EXPECT_EQ(base.CurrentIdentities, std::vector<TGuid>{TGuid{}});
  EXPECT_EQ(base.LogChanges, 1);
  EXPECT_EQ(base.LoadingCount, 0);
  EXPECT_FALSE(base.Modified);
  ASSERT_NE(base.Structure, nullptr);
  EXPECT_EQ(base.Structure->Count(), 10);
  EXPECT_EQ(base.ChangesLog->Count(), 0);
  EXPECT_EQ(base.UndoList->Count(), 0);
  ASSERT_EQ(base.Users->Count(), 1);
  EXPECT_NE(base.Permissions, nullptr);
  EXPECT_EQ(base.GetBase(), &base);
  EXPECT_EQ(base.FindItem(base.Guid, true), &base);
}

TEST(NewDatabase, WhileLoadingNothingIsLoggedSnapshottedOrMarkedModified) {
  TPwdBase base;
  {
    TPwdBase::TLoadingScope loading(base);
    auto* folder = static_cast<TPwdFolder*>(base.Items->AddItem(kItemTypeFolder, true, TGuid::Create()));
    folder->SetName("Loaded");
    auto* record = static_cast<TPwdPassword*>(folder->Items->AddItem(kItemTypeRecord, true, TGuid::Create()));
    record->Bind()->FieldByNumber(0)->SetAsString("Mail");
    base.Structure->AddField("PIN", kFieldInteger, kKindRegular, 120);
    EXPECT_EQ(base.FindItem(record->Guid), record);
  }
  EXPECT_EQ(base.ChangesLog->Count(), 0);
  EXPECT_EQ(base.UndoList->Count(), 0);
  EXPECT_FALSE(base.Modified);
  EXPECT_EQ(base.LastFieldNumber, 120);
  EXPECT_TRUE(base.Structure->FieldByNumber(120)->Guid.IsNull());  // the stream supplies it

  base.SetModified(true);
  EXPECT_TRUE(base.Modified);
}

}  // namespace
}  // namespace corvane
