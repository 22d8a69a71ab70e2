// Undoing the move of a folder of many records, in databases of different
// sizes, with rights checks and change logging on. The time per moved
// record should not grow with the database or with the folder.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/base.h"
#include "engine/undo.h"

namespace corvane {
namespace {

void AddRecord(TPwdFolder& folder, int n) {
  auto* record = static_cast<TPwdPassword*>(folder.Items->AddItem(kItemTypeRecord, false));
  TPwdFieldsList& fields = *record->Bind();
  fields.FieldByNumber(0)->SetAsString("Record " + std::to_string(n));
  fields.FieldByNumber(1)->SetAsString("user" + std::to_string(n % 97));
  fields.FieldByNumber(8)->SetAsString("pw-" + std::to_string(n * 7919));
  record->Post();
}

TPwdFolder* AddFolder(TPwdFolder& parent, const std::string& name) {
  auto* folder = static_cast<TPwdFolder*>(parent.Items->AddItem(kItemTypeFolder, false));
  folder->SetName(name);
  folder->Post();
  return folder;
}

// `records` records spread over 1,000 folders, and a folder "Moving" of `moving` records.
std::unique_ptr<TPwdBase> BuildDatabase(int records, int moving, TPwdFolder*& source) {
  auto base = std::make_unique<TPwdBase>();
  base->Password = "master";
  constexpr int kFolders = 1000;
  std::vector<TPwdFolder*> folders;
  for (int i = 0; i < kFolders; ++i) folders.push_back(AddFolder(*base, "Folder " + std::to_string(i)));
  for (int i = 0; i < records; ++i) AddRecord(*folders[static_cast<std::size_t>(i % kFolders)], i);
  source = AddFolder(*base, "Moving");
  for (int i = 0; i < moving; ++i) AddRecord(*source, i);
  base->UndoList->Clear();
  return base;
}

void UndoMove(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const int moving = static_cast<int>(state.range(1));
  for (auto _ : state) {
    state.PauseTiming();
    TPwdFolder* source = nullptr;
    auto base = BuildDatabase(records, moving, source);
    TPwdFolder* target = static_cast<TPwdFolder*>((*base->Items)[0]);
    source->MoveTo(*target);
    state.ResumeTiming();

    benchmark::DoNotOptimize(base->UndoList->Undo());

    state.PauseTiming();
    base.reset();
    state.ResumeTiming();
  }
  // Shown as time per moved record (CPU time, so other processes do not count).
  state.counters["per_record"] = benchmark::Counter(static_cast<double>(moving), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(UndoMove)
    ->ArgNames({"records", "moved"})
    ->Args({10000, 10000})
    ->Args({100000, 10000})
    ->Args({100000, 1000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace corvane
