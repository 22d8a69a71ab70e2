// Merging two copies of a database that drifted apart by N operations on
// each side (edits of shared records, conflicting edits, new, deleted and
// moved records, folder renames), about four change-log entries per
// operation. The time per operation should not grow with N.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/merge.h"
#include "engine/stream.h"
#include "engine/undo.h"
#include "platform/clock.h"

namespace corvane {
namespace {

constexpr std::int32_t kFieldsPerOperation[] = {0, 1, 3, 8};

std::unique_ptr<TPwdBase> CopyOf(TPwdBase& base) {
  TMemoryStream bytes;
  base.SaveToStream(bytes);
  bytes.Seek(0, TSeekOrigin::Begin);
  auto copy = std::make_unique<TPwdBase>();
  copy->Password = base.Password;
  copy->LoadFromStream(bytes);
  return copy;
}

class TDrift {
 public:
  TDrift(TPwdBase& db, TFakeClock& clock, std::uint32_t seed, const std::string& name)
      : db_(db), clock_(clock), random_(seed), name_(name) {
    for (TPwdItem* item : db.Items->Items()) {
      auto* folder = static_cast<TPwdFolder*>(item);
      folders_.push_back(folder);
      for (TPwdItem* record : folder->Items->Items()) shared_.push_back(static_cast<TPwdPassword*>(record));
    }
  }

  void Step(int n) {
    clock_.SetDate(clock_.Now() + 1.0 / 86400);
    const std::string tag = name_ + std::to_string(n);
    switch (Pick(5)) {
      case 0:
        own_.push_back(AddRecord(*folders_[Pick(folders_.size())], tag));
        break;
      case 1:
      case 2:  // shared records: both sides edit them, so many edits conflict
        EditAll(*shared_[Pick(shared_.size())], tag);
        break;
      case 3:
        if (own_.empty()) break;
        if (Pick(2) == 0) {
          own_.back()->Delete();
          own_.pop_back();
        } else {
          own_.back() = static_cast<TPwdPassword*>(own_.back()->MoveTo(*folders_[Pick(folders_.size())]));
        }
        break;
      case 4: {
        TPwdFolder& folder = *folders_[Pick(folders_.size())];
        folder.Edit();
        folder.SetName("Folder " + tag);
        folder.Post();
        break;
      }
    }
  }

 private:
  std::size_t Pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

  TPwdPassword* AddRecord(TPwdFolder& folder, const std::string& tag) {
    auto* record = static_cast<TPwdPassword*>(folder.Items->AddItem(kItemTypeRecord, false));
    for (std::int32_t number : kFieldsPerOperation) record->Bind()->FieldByNumber(number)->SetAsString(tag);
    record->Post();
    return record;
  }

  void EditAll(TPwdPassword& record, const std::string& tag) {
    record.Edit();
    for (std::int32_t number : kFieldsPerOperation) record.Bind()->FieldByNumber(number)->SetAsString(tag);
    record.Post();
  }

  TPwdBase& db_;
  TFakeClock& clock_;
  std::mt19937 random_;
  std::string name_;
  std::vector<TPwdFolder*> folders_;
  std::vector<TPwdPassword*> shared_;
  std::vector<TPwdPassword*> own_;
};

void MergeDiverged(benchmark::State& state) {
  const int operations = static_cast<int>(state.range(0));
  TFakeClock clock(0, 46000.0);
  for (auto _ : state) {
    state.PauseTiming();
    auto target = std::make_unique<TPwdBase>();
    target->Password = "master";
    for (int f = 0; f < 50; ++f) {
      auto* folder = static_cast<TPwdFolder*>(target->Items->AddItem(kItemTypeFolder, false));
      folder->SetName("Folder " + std::to_string(f));
      folder->Post();
      for (int r = 0; r < 40; ++r) {
        auto* record = static_cast<TPwdPassword*>(folder->Items->AddItem(kItemTypeRecord, false));
        record->Bind()->FieldByNumber(0)->SetAsString("Record " + std::to_string(r));
        record->Post();
      }
    }
    target->ChangesLog->Clear();
    auto source = CopyOf(*target);
    TDrift targetDrift(*target, clock, 1, "T");
    TDrift sourceDrift(*source, clock, 2, "S");
    for (int n = 0; n < operations; ++n) {
      targetDrift.Step(n);
      sourceDrift.Step(n);
    }
    target->UndoList->Clear();
    state.counters["source_entries"] = source->ChangesLog->Count();
    state.counters["target_entries"] = target->ChangesLog->Count();
    state.ResumeTiming();

    benchmark::DoNotOptimize(MergeChanges(*target, *source));

    state.PauseTiming();
    target.reset();
    source.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * operations);
}

BENCHMARK(MergeDiverged)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
