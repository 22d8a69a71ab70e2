// Saving and loading whole databases of 10,000 and 100,000 realistic records
// with the eight ciphers, beside the floor: one zlib pass at level 6 and the
// eight-cipher chain over the same body bytes (save), inflate and decryption
// (load). The target is save and load within 1.3 times the floor.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/base.h"
#include "engine/body_stream.h"
#include "engine/cipher_chain.h"
#include "engine/cipher_registry.h"
#include "engine/crypt_stream.h"
#include "engine/dbfile.h"
#include "engine/zlib_stream.h"

namespace corvane {
namespace {

const std::string kPassword = "benchmark password";

// A database of `records` records in folders of 100, with titles, user
// names, random passwords, URLs, descriptions and dates.
std::unique_ptr<TPwdBase> MakeDatabase(int records) {
  auto base = std::make_unique<TPwdBase>();
  base->Password = kPassword;
  base->Algorithms = AllAlgorithms();
  TPwdBase::TLoadingScope loading(*base);
  std::uint32_t x = 12345;
  char text[200];
  TPwdFolder* folder = nullptr;
  for (int n = 0; n < records; ++n) {
    if (n % 100 == 0) {
      folder = static_cast<TPwdFolder*>(base->Items->AddItem(kItemTypeFolder, true, TGuid::Create()));
      folder->Name = "Folder " + std::to_string(n / 100);
    }
    auto& record = static_cast<TPwdPassword&>(*folder->Items->AddItem(kItemTypeRecord, true, TGuid::Create()));
    TPwdFieldsList& fields = *record.Bind();
    x = x * 1103515245u + 12345u;
    fields.FieldByNumber(0)->SetAsString("Account " + std::to_string(n));
    fields.FieldByNumber(1)->SetAsString("user" + std::to_string(n % 977) + "@example.com");
    std::snprintf(text, sizeof text, "%08x%08x", x, x * 2654435761u);
    fields.FieldByNumber(8)->SetAsString(text);
    std::snprintf(text, sizeof text, "https://site%d.example/login", n % 313);
    fields.FieldByNumber(3)->SetAsString(text);
    fields.FieldByNumber(4)->SetAsString("Shared account of the team; renew every spring. Ticket " + std::to_string(x % 100000));
    fields.FieldByNumber(5)->SetAsDate(45000 + n % 1000);
    fields.FieldByNumber(6)->SetAsDate(45500 + n % 700);
  }
  return base;
}

struct TSample {
  std::unique_ptr<TPwdBase> base;
  std::vector<std::uint8_t> file;  // the saved database
  TSecureBytes body;               // the encrypted part's bytes before compression
};

TSample& Sample(int records) {
  static std::map<int, TSample> samples;
  TSample& sample = samples[records];
  if (sample.base) return sample;
  sample.base = MakeDatabase(records);
  TMemoryStream file;
  sample.base->SaveToStream(file);
  sample.file.assign(file.Data().begin(), file.Data().end());
  // The body bytes: read back the encrypted part of a container without ciphers.
  TMemoryStream plain;
  {
    TCryptStream out(plain, kPassword, "", true);
    WriteDatabaseBody(*sample.base, out);
    out.Finish();
  }
  plain.Seek(0, TSeekOrigin::Begin);
  TCryptStream in(plain, kPassword, "", true);
  std::uint8_t piece[65536];
  for (std::size_t got; (got = in.Read(piece)) > 0;) sample.body.insert(sample.body.end(), piece, piece + got);
  return sample;
}

void BM_Save(benchmark::State& state) {
  TSample& sample = Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TMemoryStream out;
    sample.base->SaveToStream(out);
    benchmark::DoNotOptimize(out.Size());
  }
  state.counters["body_MB"] = static_cast<double>(sample.body.size()) / 1e6;
}

void BM_Load(benchmark::State& state) {
  TSample& sample = Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TPwdBase base;
    base.Password = kPassword;
    TMemoryStream in(sample.file);
    base.LoadFromStream(in);
    if (base.AllRecords.Count() != state.range(0)) state.SkipWithError("records lost");
  }
}

void BM_FloorSave(benchmark::State& state) {
  TSample& sample = Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TMemoryStream out;
    auto chain = CreateCipherChain(out, AllAlgorithms(), kPassword, true, 8192);
    TCompressionStream zip(*chain, 6);
    zip.WriteBuffer(sample.body);
    zip.Finish();
    chain->Finish();
    benchmark::DoNotOptimize(out.Size());
  }
}

void BM_FloorLoad(benchmark::State& state) {
  TSample& sample = Sample(static_cast<int>(state.range(0)));
  TMemoryStream stored;
  {
    auto chain = CreateCipherChain(stored, AllAlgorithms(), kPassword, true, 8192);
    TCompressionStream zip(*chain, 6);
    zip.WriteBuffer(sample.body);
    zip.Finish();
    chain->Finish();
  }
  for (auto _ : state) {
    stored.Seek(0, TSeekOrigin::Begin);
    auto chain = CreateCipherChain(stored, AllAlgorithms(), kPassword, true, 8192);
    TDecompressionStream unzip(*chain);
    TSecureBytes body(sample.body.size());
    unzip.ReadBuffer(body);
    benchmark::DoNotOptimize(body.data());
  }
}

BENCHMARK(BM_FloorSave)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Save)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloorLoad)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Load)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace corvane
