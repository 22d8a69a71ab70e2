// Two copies edited independently in many random ways, then merged in both
// directions, end up holding the same tree and values. The edits avoid the
// one conflict the merge leaves to people (an item deleted on one side and
// changed on the other), and the clock moves on with every edit, so that
// "later" always has an answer.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/engine/merge_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

// One copy's editing session. Records and folders of the common starting
// point are shared; what a side creates itself it may also delete or move.
class TSide {
 public:
  TSide(TMergeFixture& fixture, TPwdBase& db, const std::string& name, std::uint32_t seed)
      : fixture_(fixture), db_(db), name_(name), random_(seed) {}

  std::vector<TPwdPassword*> shared;
  std::vector<TPwdFolder*> folders;

  void Step(int n) {
    const std::string tag = name_ + std::to_string(n);
    switch (Pick(6)) {
      case 0: {  // a new record in any folder
        TPwdFolder& folder = *folders[Pick(folders.size())];
        own_.push_back(AddRecord(folder, "Rec " + tag));
        break;
      }
      case 1:
      case 2: {  // an edit of a shared or own record
        TPwdPassword* record = Pick(2) == 0 && !own_.empty() ? own_[Pick(own_.size())] : shared[Pick(shared.size())];
        const std::int32_t fields[] = {kTitleField, kUserField, kPasswordField, 3};
        Edit(*record, fields[Pick(4)], "v " + tag);
        break;
      }
      case 3: {  // an own record deleted or moved
        if (own_.empty()) break;
        const std::size_t at = Pick(own_.size());
        TPwdPassword* record = own_[at];
        own_.erase(own_.begin() + static_cast<std::ptrdiff_t>(at));
        fixture_.Tick();
        if (Pick(2) == 0)
          record->Delete();
        else
          own_.push_back(static_cast<TPwdPassword*>(record->MoveTo(*folders[Pick(folders.size())])));
        break;
      }
      case 4: {  // a folder renamed (names unique across both sides)
        TPwdFolder& folder = *folders[Pick(folders.size())];
        if (&folder == &db_) break;
        fixture_.Tick();
        folder.Edit();
        folder.SetName("Folder " + tag);
        folder.Post();
        break;
      }
      case 5: {  // a new folder, or an empty own one deleted
        if (!ownFolders_.empty() && ownFolders_.back()->Items->Count() == 0 && Pick(2) == 0) {
          TPwdFolder* folder = ownFolders_.back();
          ownFolders_.pop_back();
          std::erase(folders, folder);
          fixture_.Tick();
          folder->Delete();
          break;
        }
        TPwdFolder* parent = folders[Pick(folders.size())];
        fixture_.Tick();
        auto* folder = static_cast<TPwdFolder*>(parent->Items->AddItem(kItemTypeFolder, false));
        folder->SetName("New " + tag);
        folder->Post();
        ownFolders_.push_back(folder);
        break;
      }
    }
  }

 private:
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

  TPwdPassword* AddRecord(TPwdFolder& folder, const std::string& title) {
    fixture_.Tick();
    auto* record = static_cast<TPwdPassword*>(folder.Items->AddItem(kItemTypeRecord, false));
    record->Bind()->FieldByNumber(kTitleField)->SetAsString(title);
    record->Bind()->FieldByNumber(kPasswordField)->SetAsString("pw " + title);
    record->Post();
    return record;
  }

  void Edit(TPwdPassword& record, std::int32_t number, const std::string& text) {
    fixture_.Tick();
    record.Edit();
    record.Bind()->FieldByNumber(number)->SetAsString(text);
    record.Post();
  }

  TMergeFixture& fixture_;
  TPwdBase& db_;
  std::string name_;
  std::mt19937 random_;
  std::vector<TPwdPassword*> own_;
  std::vector<TPwdFolder*> ownFolders_;
};

class TwoWayMerge : public TMergeFixture {
 public:
  void TestBody() override {}
};

TEST(TwoWayMerge, CopiesEditedIndependentlyAgreeAfterMergingBothWays) {
  for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    SCOPED_TRACE(seed);
    TwoWayMerge fixture;
    TPwdBase& a = *fixture.target;
    // A common starting point of a few folders and records.
    std::vector<TPwdFolder*> startFolders{&a, fixture.work};
    for (int i = 0; i < 3; ++i) startFolders.push_back(fixture.AddFolder(a, "Start " + std::to_string(i)));
    std::vector<TPwdPassword*> startRecords{fixture.mail};
    for (int i = 0; i < 12; ++i)
      startRecords.push_back(fixture.AddRecord(*startFolders[static_cast<std::size_t>(i) % startFolders.size()],
                                               "Start " + std::to_string(i)));
    auto b = CopyOf(a);

    TSide sideA(fixture, a, "A", seed);
    TSide sideB(fixture, *b, "B", seed * 7919);
    for (TPwdFolder* folder : startFolders) {
      sideA.folders.push_back(folder);
      sideB.folders.push_back(TMergeFixture::Same(*b, folder));
    }
    for (TPwdPassword* record : startRecords) {
      sideA.shared.push_back(record);
      sideB.shared.push_back(TMergeFixture::Same(*b, record));
    }
    // The two sides' edits interleave in time.
    std::mt19937 turns(seed);
    for (int n = 0; n < 150; ++n) (turns() % 2 ? sideA : sideB).Step(n);

    MergeChanges(a, *b);
    MergeChanges(*b, a);
    EXPECT_EQ(TreeOf(a), TreeOf(*b));
    // Both directions are now in each copy.
    EXPECT_EQ(MergeChanges(a, *b), TMergeCounts{});
    EXPECT_EQ(MergeChanges(*b, a), TMergeCounts{});
  }
}

}  // namespace
}  // namespace corvane
