// The scan of a database folder holding 2,000 database files of 50 records
// each: the first scan (every file's plain part read for its name), and the
// rescan of the timer's refresh when nothing has changed.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/known_databases.h"
#include "app/locations.h"
#include "app/settings.h"
#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/dbfile.h"
#include "engine/item.h"
#include "platform/file_system.h"

namespace corvane {
namespace {

constexpr int kDatabases = 2000;
constexpr int kRecordsEach = 50;

// A private folder with the program folder, registry and documents inside,
// and the database folder filled with copies of one database.
class TScanFolder {
 public:
  TScanFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvane-scan-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    const std::string program = root_ + "/program", databases = root_ + "/databases";
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(databases);
    ::setenv("CORVANE_USER_REGISTRY", (root_ + "/user.sqlite").c_str(), 1);
    ::setenv("CORVANE_MACHINE_REGISTRY", (root_ + "/machine.sqlite").c_str(), 1);
    ::setenv("XDG_DOCUMENTS_DIR", (root_ + "/documents").c_str(), 1);
    StartSettings(program);
    LoadDatabaseFolders();
    SetUserFolders({databases});

    const std::string first = databases + "/CVBase1.dat";
    std::unique_ptr<TPwdBase> base = CreateDatabaseFile(first, "Scanned", "", "benchmark", AllAlgorithms());
    for (int n = 0; n < kRecordsEach; ++n) base->Items->AddItem(kItemTypeRecord, true, TGuid::Create());
    base->SetModified(true);
    base->Save();
    base->Close();
    for (int n = 2; n <= kDatabases; ++n) CopyFile(first, databases + "/CVBase" + std::to_string(n) + ".dat");
  }
  ~TScanFolder() {
    KnownDatabases().clear();
    StopSettings();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

 private:
  std::string root_;
};

TScanFolder& Folder() {
  static TScanFolder folder;
  return folder;
}

void BM_FirstScan(benchmark::State& state) {
  Folder();
  for (auto _ : state) {
    RefreshDatabases(false, false);
    benchmark::DoNotOptimize(KnownDatabases().size());
  }
  state.counters["databases"] = static_cast<double>(KnownDatabases().size());
}
BENCHMARK(BM_FirstScan)->Unit(benchmark::kMillisecond);

void BM_RescanUnchanged(benchmark::State& state) {
  Folder();
  RefreshDatabases(false, false);
  for (auto _ : state) benchmark::DoNotOptimize(RefreshDatabases(true, true));
  state.counters["databases"] = static_cast<double>(KnownDatabases().size());
}
BENCHMARK(BM_RescanUnchanged)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane
