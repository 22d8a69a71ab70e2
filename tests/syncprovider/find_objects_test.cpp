#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "syncprovider/find_objects.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

TEST(FindObjects, NoRecordsGiveEmptyLists) {
  TSyncTestBed bed;
  TCvReplFolder folder(1);
  TObjectList list = ListObjects(folder);
  EXPECT_TRUE(list.oids.empty());
  EXPECT_EQ(list.unchangedCount, 0u);
  EXPECT_EQ(list.changedCount, 0u);
}

TEST(FindObjects, UnchangedComeFirstThenChanged) {
  TSyncTestBed bed;
  enum TTime { kNever, kFileTime, kOtherTime };
  struct {
    const char* what;
    bool fileExists;
    bool enabled;
    TTime modified;
    bool changed;
  } cases[] = {
      {"enabled, synchronised at this time", true, true, kFileTime, false},
      {"enabled, file written since", true, true, kOtherTime, true},
      {"enabled, never synchronised", true, true, kNever, true},
      {"enabled, file gone", false, true, kOtherTime, true},
      {"disabled, never synchronised", true, false, kNever, true},
      {"disabled, synchronised before", true, false, kOtherTime, false},
      {"disabled, never synchronised, file gone", false, false, kNever, false},
  };
  std::vector<std::uint32_t> unchanged, changed;
  std::uint32_t oid = 100;
  for (const auto& c : cases) {
    TGuid id = IdOf(static_cast<std::uint8_t>(oid));
    std::string file = bed.DbPath(std::to_string(oid) + ".dat");
    if (c.fileExists) bed.WriteDatabase(std::to_string(oid) + ".dat", id);
    TRegKey key = bed.AddRecord(id, file, oid);
    key.SetDWord("Enabled", c.enabled ? 1 : 0);
    if (c.modified == kFileTime) SetStoredTime(key, "Modified1", GetFileInfo(file).lastWriteTime);
    if (c.modified == kOtherTime) SetStoredTime(key, "Modified1", 123456789);
    // The other partner's time does not count.
    SetStoredTime(key, "Modified2", c.fileExists ? GetFileInfo(file).lastWriteTime : 1);
    (c.changed ? changed : unchanged).push_back(oid++);
  }
  TCvReplFolder folder(1);
  TObjectList list = ListObjects(folder);
  std::vector<std::uint32_t> expected = unchanged;
  expected.insert(expected.end(), changed.begin(), changed.end());
  EXPECT_EQ(list.oids, expected);
  EXPECT_EQ(list.unchangedCount, unchanged.size());
  EXPECT_EQ(list.changedCount, changed.size());
}

}  // namespace corvane
