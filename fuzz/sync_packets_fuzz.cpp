// Drives the replication handler with sequences of exchanges read from the
// input: setups, packets of any size and content, resets and reads, against a
// private registry with one database record and a folder for received files.
//
// Input: a series of operations, each one byte (its value modulo 6 picks the
// operation) followed by its arguments:
//   0 write setup: flags, object, new object (one byte each)
//   1 read setup: object
//   2 packet: size (two bytes, little-endian, cut to what is left), bytes;
//     an operation byte of 0x80 or more sends no data pointer
//   3 reset    4 read packet: recommended size (two bytes)    5 delete

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/registry.h"
#include "syncprovider/repl_folder.h"
#include "syncprovider/repl_handler.h"

namespace {

using namespace corvane;

constexpr std::uint32_t kSeedOid = 7;

std::string& Folder() {
  static std::string folder;
  return folder;
}

void PrepareWorld() {
  char pattern[] = "/tmp/corvanesync-fuzz-XXXXXX";
  Folder() = ::mkdtemp(pattern);
  ::setenv("CORVANE_USER_REGISTRY", (Folder() + "/user.sqlite").c_str(), 1);
  ::setenv("CORVANE_MACHINE_REGISTRY", (Folder() + "/machine.sqlite").c_str(), 1);
  ::setenv("CORVANE_RUNTIME_DIR", (Folder() + "/run").c_str(), 1);
  std::filesystem::create_directory(Folder() + "/db");
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
  });
}

// The same record and files before every input, so that inputs do not build on
// each other.
void ResetWorld() {
  TRegKey::DeleteKey(THive::CurrentUser, kActiveSyncKey);
  for (const auto& entry : std::filesystem::directory_iterator(Folder() + "/db")) std::filesystem::remove(entry);
  const std::string seed = Folder() + "/db/Seed.dat";
  std::ofstream(seed, std::ios::binary) << std::string("\xCE\x85\x16\xAB\xC1\x75\xE6\x00\x00\x00", 10)
                                        << std::string(16, '\x01') << "body";
  TRegKey root = TRegKey::Create(THive::CurrentUser, kActiveSyncKey);
  root.SetString("NewDbFileName", Folder() + "/db/New%d.dat");
  TRegKey record = root.CreateSubKey("{01010101-0101-0101-0101-010101010101}");
  record.SetString("File", seed);
  record.SetDWord("OID", kSeedOid);
  record.SetDWord("Enabled", 1);
}

class TInput {
 public:
  TInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  std::uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | Byte() << 8); }
  // Up to `n` bytes from the input, fewer at its end.
  const std::uint8_t* Take(std::size_t& n) {
    n = std::min(n, size_ - std::min(pos_, size_));
    const std::uint8_t* at = data_ + pos_;
    pos_ += n;
    return at;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (Folder().empty()) PrepareWorld();
  ResetWorld();
  auto* handler = new TCvReplObjHandler(std::make_shared<TCvReplFolder>(1));
  TReplSetup readSetup{sizeof(TReplSetup), 1, 0, 0, 0};
  TReplSetup writeSetup{sizeof(TReplSetup), 0, 0, 0, 0};
  TInput input(data, size);
  while (!input.Empty()) {
    std::uint8_t op = input.Byte();
    switch (op % 6) {
      case 0:
        writeSetup.flags = input.Byte();
        writeSetup.oid = input.Byte();
        writeSetup.oidNew = input.Byte();
        handler->Setup(&writeSetup);
        break;
      case 1:
        readSetup.oid = input.Byte();
        handler->Setup(&readSetup);
        break;
      case 2: {
        std::size_t n = input.Word();
        const std::uint8_t* bytes = input.Take(n);
        handler->SetPacket(op >= 0x80 ? nullptr : bytes, static_cast<std::uint32_t>(n));
        break;
      }
      case 3:
        handler->Reset();
        break;
      case 4: {
        const std::uint8_t* packet = nullptr;
        std::uint32_t packetSize = 0;
        if (handler->GetPacket(&packet, &packetSize, input.Word()) == kSyncLastPacket) {
          // Every byte handed out must be readable.
          volatile std::uint8_t sum = 0;
          for (std::uint32_t i = 0; i < packetSize; ++i) sum = sum + packet[i];
        }
        break;
      }
      case 5:
        handler->DeleteObj(&writeSetup);
        break;
    }
  }
  handler->Reset();
  handler->Release();
  return 0;
}
