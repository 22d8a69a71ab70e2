// The identifier index behind FindItem: growth, erasure and the first entry
// of an id winning.

#include <gtest/gtest.h>

#include <vector>

#include "engine/guid_index.h"

namespace corvane {
namespace {

TEST(GuidIndex, FindsWhatIsStoredThroughGrowthAndErasure) {
  TGuidIndex<int> index;
  std::vector<int> values(5000);
  std::vector<TGuid> ids;
  for (int i = 0; i < 5000; ++i) {
    ids.push_back(TGuid::Create());
    index.Insert(ids.back(), &values[static_cast<std::size_t>(i)]);
  }
  // Erase every other one, then insert them again: tombstones are reused.
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < ids.size(); i += 2) index.Erase(ids[i], &values[i]);
    EXPECT_EQ(index.Size(), 2500u);
    for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(index.Find(ids[i]), i % 2 ? &values[i] : nullptr);
    for (std::size_t i = 0; i < ids.size(); i += 2) index.Insert(ids[i], &values[i]);
  }
  EXPECT_EQ(index.Size(), 5000u);
  EXPECT_EQ(index.Find(TGuid::Create()), nullptr);
}

TEST(GuidIndex, TheFirstEntryOfAnIdStaysUntilItIsErased) {
  TGuidIndex<int> index;
  int first = 1, second = 2;
  const TGuid id = TGuid::Create();
  index.Insert(id, &first);
  index.Insert(id, &second);
  EXPECT_EQ(index.Find(id), &first);
  index.Erase(id, &second);  // not the stored one: nothing happens
  EXPECT_EQ(index.Find(id), &first);
  index.Erase(id, &first);
  EXPECT_EQ(index.Find(id), nullptr);
}

}  // namespace
}  // namespace corvane
