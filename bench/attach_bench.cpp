// Attachments through the eight-cipher chain, measured as a whole process:
//   1. attaching and extracting one large file (CORVANE_ATTACH_BENCH_MIB,
//      1024 by default) beside the chain's own speed over the same bytes,
//      with the growth of the peak resident memory;
//   2. saving a database with 10,000 small attachments beside the floor of
//      encrypting the same content bytes once, with the units formed.
// Targets: attach and extract within 1.3 times the chain, memory growth
// under 64 MiB; the save within 1.5 times its floor.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "engine/attachments_archive.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/crypt_stream.h"
#include "engine/file_stream.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {
namespace {

const std::string kPassword = "benchmark password";
constexpr std::size_t kChunk = 1 << 20;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A stream that drops what it is given.
class TDiscard : public TStream {
 public:
  std::size_t Read(std::span<std::uint8_t>) override { return 0; }
  std::size_t Write(std::span<const std::uint8_t> data) override {
    position_ += data.size();
    return data.size();
  }
  std::uint64_t Seek(std::int64_t, TSeekOrigin) override { return position_; }

 private:
  std::uint64_t position_ = 0;
};

std::string Noise(std::size_t size, std::uint32_t seed) {
  std::string text(size, '\0');
  for (char& c : text) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 24);
  }
  return text;
}

TPwdBase& NewBase(std::unique_ptr<TPwdBase>& holder) {
  holder = std::make_unique<TPwdBase>();
  holder->Password = kPassword;
  holder->Algorithms = AllAlgorithms();
  return *holder;
}

TPwdPassword& NewRecord(TPwdBase& base) {
  auto& record = static_cast<TPwdPassword&>(*base.Items->AddItem(kItemTypeRecord, false));
  record.Post();
  return record;
}

void LargeFile(const std::string& folder, std::uint64_t mib) {
  const std::string input = folder + "/input.bin", output = folder + "/output.bin";
  const std::string chunk = Noise(kChunk, 7);
  {
    TFile file = TFile::Open(input, TFile::TMode::kCreate);
    for (std::uint64_t i = 0; i < mib; ++i) file.Write(chunk);
  }
  const double bytes = static_cast<double>(mib) * kChunk;
  const long before = PeakKiB();

  std::unique_ptr<TPwdBase> holder;
  TPwdBase& base = NewBase(holder);
  TPwdFileAttach& attachment = *FilesOf(NewRecord(base)).Add();
  auto start = std::chrono::steady_clock::now();
  attachment.LoadFromFile(input);
  const double attach = Seconds(start);
  start = std::chrono::steady_clock::now();
  attachment.SaveToFile(output);
  const double extract = Seconds(start);
  const long grown = PeakKiB() - before;

  // The chain alone over the same bytes: encoding from memory, decoding the
  // block the attachment wrote.
  start = std::chrono::steady_clock::now();
  {
    TDiscard sink;
    TCryptStream block(sink, kPassword, AllAlgorithms(), false);
    block.SetFirstBlockMin(0);
    const auto* data = reinterpret_cast<const std::uint8_t*>(chunk.data());
    for (std::uint64_t i = 0; i < mib; ++i) block.WriteBuffer({data, chunk.size()}, false);
    block.Finish();
  }
  const double encode = Seconds(start);
  start = std::chrono::steady_clock::now();
  {
    TFile file = TFile::Open(attachment.TempFile->Path(), TFile::TMode::kRead);
    TFileStream source(file);
    TCryptStream block(source, kPassword, {}, false);
    std::string buffer(kChunk, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(buffer.data());
    while (block.Read({data, buffer.size()}) > 0) {
    }
  }
  const double decode = Seconds(start);

  std::printf("large file, %llu MiB, eight ciphers\n", static_cast<unsigned long long>(mib));
  std::printf("  attach  %7.2f s  %7.1f MiB/s   chain encode %7.2f s   ratio %.2f\n", attach, bytes / attach / kChunk,
              encode, attach / encode);
  std::printf("  extract %7.2f s  %7.1f MiB/s   chain decode %7.2f s   ratio %.2f\n", extract,
              bytes / extract / kChunk, decode, extract / decode);
  std::printf("  peak memory growth %.1f MiB\n", grown / 1024.0);
  DeleteFile(input);
  DeleteFile(output);
}

void SmallAttachments(const std::string& folder) {
  constexpr int kFiles = 10000, kRecords = 100;
  std::unique_ptr<TPwdBase> holder;
  TPwdBase& base = NewBase(holder);
  std::string all;
  {
    std::vector<TPwdPassword*> records;
    for (int i = 0; i < kRecords; ++i) records.push_back(&NewRecord(base));
    for (int i = 0; i < kFiles; ++i) {
      const std::string content = Noise(200 + static_cast<std::size_t>(i % 37) * 50, static_cast<std::uint32_t>(i));
      all += content;
      TMemoryStream source({reinterpret_cast<const std::uint8_t*>(content.data()), content.size()});
      TPwdFileAttach& attachment = *FilesOf(*records[static_cast<std::size_t>(i % kRecords)]).Add();
      attachment.FileName = "file" + std::to_string(i);
      attachment.SetData(source, content.size());
    }
  }
  auto start = std::chrono::steady_clock::now();
  base.SaveToFile(folder + "/small.cvd");
  const double save = Seconds(start);

  start = std::chrono::steady_clock::now();
  {
    TDiscard sink;
    TCryptStream block(sink, kPassword, AllAlgorithms(), false);
    block.SetFirstBlockMin(0);
    block.WriteBuffer({reinterpret_cast<const std::uint8_t*>(all.data()), all.size()}, false);
    block.Finish();
  }
  const double floor = Seconds(start);

  std::set<const TPwdFilesUnit*> units;
  int alone = 0;
  for (const TPwdFileAttach* attachment : FilesArchiveOf(base).Attachments()) {
    if (attachment->Unit)
      units.insert(attachment->Unit.get());
    else
      ++alone;
  }
  // The format's own floor: the same bytes encoded as that many blocks.
  const std::size_t blocks = units.size() + static_cast<std::size_t>(alone);
  const std::size_t share = all.size() / blocks;
  start = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < blocks; ++i) {
    TDiscard sink;
    TCryptStream block(sink, kPassword, AllAlgorithms(), false);
    block.SetFirstBlockMin(0);
    block.WriteBuffer({reinterpret_cast<const std::uint8_t*>(all.data()) + i * share, share}, false);
    block.Finish();
  }
  const double blockFloor = Seconds(start);
  std::printf("save of %d small attachments (%.1f MiB), eight ciphers: units %zu, stand-alone %d\n", kFiles,
              all.size() / 1048576.0, units.size(), alone);
  std::printf("  save %.2f s   one-stream floor %.2f s (ratio %.2f)   same-blocks floor %.2f s (ratio %.2f)\n", save,
              floor, save / floor, blockFloor, save / blockFloor);
  base.Close();
  DeleteFile(folder + "/small.cvd");
}

}  // namespace
}  // namespace corvane

int main() {
  using namespace corvane;
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const char* mib = std::getenv("CORVANE_ATTACH_BENCH_MIB");
  const std::string folder = TempFolder();
  LargeFile(folder, mib ? std::strtoull(mib, nullptr, 10) : 1024);
  SmallAttachments(folder);
  return 0;
}
