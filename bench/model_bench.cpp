// The object model at scale, with rights checks and change logging on:
// creating and posting records, sorting a large folder, finding items by id,
// copying and moving a folder. Each figure is also shown per record
// ("per_record"), which should stay flat as the database grows (sorting may
// grow by its log factor).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/base.h"
#include "engine/undo.h"

namespace corvane {
namespace {

constexpr int kFolders = 1000;
constexpr std::int32_t kTitle = 0;
constexpr std::int32_t kUser = 1;
constexpr std::int32_t kPassword = 8;
constexpr std::int32_t kExpires = 7;

void AddRecord(TPwdFolder& folder, int n) {
  auto* record = static_cast<TPwdPassword*>(folder.Items->AddItem(kItemTypeRecord, false));
  TPwdFieldsList& fields = *record->Bind();
  // Titles and dates in an order unrelated to creation, so sorting has work to do.
  const int key = static_cast<int>((static_cast<long long>(n) * 7919) % 1000003);
  fields.FieldByNumber(kTitle)->SetAsString("Record " + std::to_string(key));
  fields.FieldByNumber(kUser)->SetAsString("user" + std::to_string(n % 97));
  fields.FieldByNumber(kPassword)->SetAsString("pw-" + std::to_string(n));
  fields.FieldByNumber(kExpires)->SetAsDate(40000 + key % 20000);
  record->Post();
}

TPwdFolder* AddFolder(TPwdFolder& parent, const std::string& name) {
  auto* folder = static_cast<TPwdFolder*>(parent.Items->AddItem(kItemTypeFolder, false));
  folder->SetName(name);
  folder->Post();
  return folder;
}

std::unique_ptr<TPwdBase> NewDatabase() {
  auto base = std::make_unique<TPwdBase>();
  base->Password = "master";
  return base;
}

// `records` records spread over 1,000 folders.
std::vector<TPwdFolder*> Fill(TPwdBase& base, int records) {
  std::vector<TPwdFolder*> folders;
  for (int i = 0; i < kFolders; ++i) folders.push_back(AddFolder(base, "Folder " + std::to_string(i)));
  for (int i = 0; i < records; ++i) AddRecord(*folders[static_cast<std::size_t>(i % kFolders)], i);
  return folders;
}

void PerRecord(benchmark::State& state, std::int64_t records) {
  state.counters["per_record"] = benchmark::Counter(
      static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void CreateAndPost(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto base = NewDatabase();
    Fill(*base, records);
    benchmark::DoNotOptimize(base->AllRecords.Count());
    state.PauseTiming();
    base.reset();
    state.ResumeTiming();
  }
  PerRecord(state, records);
}
BENCHMARK(CreateAndPost)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

// Sorting one folder of `records` records by the title (text) or the expiry date.
void SortFolder(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::int32_t column = state.range(1) == 0 ? kTitle : kExpires;
  auto base = NewDatabase();
  TPwdFolder* folder = AddFolder(*base, "Large");
  for (int i = 0; i < records; ++i) AddRecord(*folder, i);
  const std::vector<TPwdItem*> unsorted = folder->Items->Items();
  folder->SetSortColumn(column);
  for (auto _ : state) {
    state.PauseTiming();
    folder->Items->Reorder(unsorted);
    state.ResumeTiming();
    folder->SortItems(*folder->Items);
  }
  PerRecord(state, records);
}
BENCHMARK(SortFolder)
    ->ArgNames({"records", "by_date"})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// 100,000 lookups by id in a database of `records` records, in an order
// unrelated to creation (as a merge or the change log asks); ids are random,
// so every order meets the index at random places. The first pass also
// brings the index into the processor cache.
void FindById(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  auto base = NewDatabase();
  Fill(*base, records);
  std::vector<TGuid> ids;
  const std::vector<TPwdItem*>& all = base->AllRecords.Items();
  for (int i = 0; i < 100000; ++i) ids.push_back(all[static_cast<std::size_t>((i * 7919) % records)]->Guid);
  for (auto _ : state) {
    for (const TGuid& id : ids) benchmark::DoNotOptimize(base->FindItem(id));
  }
  PerRecord(state, static_cast<std::int64_t>(ids.size()));
}
BENCHMARK(FindById)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Copying (0) or moving (1) a folder of `moving` records in a database of `records`.
void CopyOrMoveFolder(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const int moving = static_cast<int>(state.range(1));
  const bool move = state.range(2) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto base = NewDatabase();
    std::vector<TPwdFolder*> folders = Fill(*base, records);
    TPwdFolder* source = AddFolder(*base, "Source");
    for (int i = 0; i < moving; ++i) AddRecord(*source, i);
    state.ResumeTiming();

    benchmark::DoNotOptimize(move ? source->MoveTo(*folders[0]) : source->CopyTo(*folders[0]));

    state.PauseTiming();
    base.reset();
    state.ResumeTiming();
  }
  PerRecord(state, moving);
}
BENCHMARK(CopyOrMoveFolder)
    ->ArgNames({"records", "folder", "move"})
    ->Args({10000, 1000, 0})
    ->Args({10000, 10000, 0})
    ->Args({100000, 10000, 0})
    ->Args({10000, 1000, 1})
    ->Args({10000, 10000, 1})
    ->Args({100000, 10000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace corvane
