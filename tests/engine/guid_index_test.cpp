// The id index against a plain map: long runs of insertions and erasures,
// with random ids and with ids that differ in a few bytes.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "engine/guid_index.h"

namespace corvane {
namespace {

// Ids that differ only in the first or last two bytes, as a crafted file might hold.
std::vector<TGuid> SimilarIds(int count) {
  std::vector<TGuid> ids(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    TGuid& id = ids[static_cast<std::size_t>(i)];
    const int n = i / 2 + 1;  // the low or the high half holds n
    id.bytes[i % 2 ? 15 : 0] = static_cast<std::uint8_t>(n);
    id.bytes[i % 2 ? 14 : 1] = static_cast<std::uint8_t>(n >> 8);
  }
  return ids;
}

TEST(GuidIndex, AgreesWithAPlainMapThroughLongChurn) {
  std::vector<TGuid> ids = SimilarIds(1000);
  for (int i = 0; i < 2000; ++i) ids.push_back(TGuid::Create());
  std::vector<int> values(ids.size());
  TGuidIndex<int> index;
  std::map<TGuid, int*> expected;
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, ids.size() - 1);
  for (int step = 0; step < 200000; ++step) {
    const std::size_t i = pick(random);
    if (random() % 2) {
      index.Insert(ids[i], &values[i]);
      expected.emplace(ids[i], &values[i]);
    } else {
      index.Erase(ids[i], &values[i]);
      expected.erase(ids[i]);
    }
    const std::size_t probe = pick(random);
    auto found = expected.find(ids[probe]);
    ASSERT_EQ(index.Find(ids[probe]), found == expected.end() ? nullptr : found->second) << step;
  }
  ASSERT_EQ(index.Size(), expected.size());
  for (std::size_t i = 0; i < ids.size(); ++i)
    EXPECT_EQ(index.Find(ids[i]), expected.count(ids[i]) ? &values[i] : nullptr) << i;
}

TEST(GuidIndex, EmptiedAndClearedIndexesFindNothing) {
  TGuidIndex<int> index;
  EXPECT_EQ(index.Find(TGuid{}), nullptr);
  index.Erase(TGuid{}, nullptr);
  std::vector<TGuid> ids = SimilarIds(300);
  int value = 0;
  for (const TGuid& id : ids) index.Insert(id, &value);
  for (const TGuid& id : ids) index.Erase(id, &value);
  EXPECT_EQ(index.Size(), 0u);
  for (const TGuid& id : ids) EXPECT_EQ(index.Find(id), nullptr);
  EXPECT_EQ(index.Find(TGuid{}), nullptr);  // erased slots hold no stale entry
  index.Insert(ids[0], &value);
  index.Clear();
  EXPECT_EQ(index.Find(ids[0]), nullptr);
  index.Insert(ids[0], &value);
  EXPECT_EQ(index.Find(ids[0]), &value);
}

}  // namespace
}  // namespace corvane
