// The indexed tail of a change log answers as a scan of the same entries
// would, also for times out of order and entries inserted in the middle.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/changelog.h"
#include "engine/merge_log_tail.h"

namespace corvane {
namespace {

std::unique_ptr<TPwdBaseChangeRec> Entry(double time, const TGuid& item, std::int32_t field, const TGuid& stamp) {
  auto entry = std::make_unique<TPwdBaseChangeRec>();
  entry->Timestamp = time;
  entry->ItemGuid = item;
  entry->FieldNumber = field;
  entry->OperationStamp = stamp;
  return entry;
}

TEST(MergeLogTail, AnswersAsAScanWouldAndRestoresTheOrder) {
  std::mt19937 random(7);
  const std::vector<TGuid> items = {TGuid::Create(), TGuid::Create(), TGuid::Create()};
  TPwdBaseChangesLog log(nullptr);
  // Two entries stay before the tail; times repeat and go backwards.
  for (int i = 0; i < 40; ++i) {
    TPwdBaseChangeRec& rec = log.Add();
    rec.Timestamp = static_cast<double>(random() % 20);
    rec.ItemGuid = items[random() % 3];
    rec.FieldNumber = static_cast<std::int32_t>(random() % 2);
    rec.OperationStamp = TGuid::Create();
  }
  std::vector<const TPwdBaseChangeRec*> scan;  // the tail as a plain list, mirrored
  std::vector<std::unique_ptr<TPwdBaseChangeRec>> kept;
  for (int i = 2; i < log.Count(); ++i) {
    kept.push_back(Entry(log[i].Timestamp, log[i].ItemGuid, log[i].FieldNumber, log[i].OperationStamp));
    scan.push_back(kept.back().get());
  }
  TMergeLogTail tail(log, 2);
  ASSERT_EQ(log.Count(), 2);

  auto same = [](const TPwdBaseChangeRec& a, const TPwdBaseChangeRec& b) {
    return a.Timestamp == b.Timestamp && a.ItemGuid == b.ItemGuid && a.FieldNumber == b.FieldNumber &&
           a.OperationStamp == b.OperationStamp;
  };
  for (int round = 0; round < 300; ++round) {
    const double time = static_cast<double>(random() % 22) - 1;
    int position = 0;
    for (std::size_t k = 0; k < scan.size(); ++k)
      if (scan[k]->Timestamp <= time) position = static_cast<int>(k) + 1;
    ASSERT_EQ(tail.PositionAfter(time), position) << "round " << round;

    const TGuid& item = items[random() % 3];
    const int from = static_cast<int>(random() % (scan.size() + 1));
    TPwdBaseChangeRec probe;
    probe.ItemGuid = item;
    probe.FieldNumber = static_cast<std::int32_t>(random() % 2);
    const TPwdBaseChangeRec* first = nullptr;
    bool itemLater = false;
    for (std::size_t k = static_cast<std::size_t>(from); k < scan.size(); ++k) {
      itemLater |= scan[k]->ItemGuid == item;
      if (!first && scan[k]->ItemGuid == item && scan[k]->FieldNumber == probe.FieldNumber) first = scan[k];
    }
    const TPwdBaseChangeRec* found = tail.FirstChangeFrom(from, probe);
    ASSERT_EQ(found == nullptr, first == nullptr) << "round " << round;
    if (found) {
      EXPECT_TRUE(same(*found, *first));
    }
    ASSERT_EQ(tail.ItemChangedFrom(from, item), itemLater) << "round " << round;

    auto added = Entry(static_cast<double>(random() % 20), item, probe.FieldNumber, TGuid::Create());
    const int at = static_cast<int>(random() % (scan.size() + 1));
    kept.push_back(Entry(added->Timestamp, added->ItemGuid, added->FieldNumber, added->OperationStamp));
    scan.insert(scan.begin() + at, kept.back().get());
    EXPECT_FALSE(tail.HasStamp(added->OperationStamp));
    const TGuid stamp = added->OperationStamp;
    tail.Insert(at, std::move(added));
    EXPECT_TRUE(tail.HasStamp(stamp));
  }

  tail.Restore();
  ASSERT_EQ(log.Count(), static_cast<int>(2 + scan.size()));
  for (std::size_t k = 0; k < scan.size(); ++k) ASSERT_TRUE(same(log[static_cast<int>(k) + 2], *scan[k])) << k;
}

}  // namespace
}  // namespace corvane
