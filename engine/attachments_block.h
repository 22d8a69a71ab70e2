#pragma once
// The data block of attachments: one single-part encrypted stream (see
// crypt_stream.h) holding, for every file of the block in order,
//   4 bytes attributes, 8 bytes creation time, 8 bytes last-write time,
// and then for every file in the same order its content length (4 bytes)
// and its content. A block holds one file, or the members of a unit.
// Attachment blocks have no first-block minimum (only the padding to 16
// bytes), so that small files stay small and can be packed into units.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/crypt_stream.h"
#include "engine/stream.h"
#include "platform/file.h"

namespace corvane {


inline constexpr std::int32_t kFileInformationSize = 20;

// The file information of one attached file, as it was on disk.
struct TFileInformation {
  std::uint32_t Attributes = 0;
  std::uint64_t CreationTime = 0;   // file-time form; 0 = unknown
  std::uint64_t LastWriteTime = 0;  // file-time form; 0 = unknown
};

// The master password and cipher ids a block is encoded with. The password
// is wiped when the key goes.
struct TBlockKey {
  std::string Password;
  std::string Algorithms;
  TBlockKey() = default;
  TBlockKey(std::string password, std::string algorithms);
  TBlockKey(const TBlockKey& other);
  TBlockKey& operator=(const TBlockKey& other);
  ~TBlockKey();
  bool operator==(const TBlockKey& other) const = default;
};

// A read-only window [start, start + length) of a file (owned), cut to the
// file's real size: reads never go past the window or the file.
class TFileRangeStream : public TStream {
 public:
  TFileRangeStream(TFile file, std::uint64_t start, std::uint64_t length);
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  // Raises swriteerror.
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Positions relative to the window's start; beyond the window raises sseekerror.
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

 private:
  TFile file_;
  std::uint64_t start_;
  std::uint64_t length_;
  std::uint64_t position_ = 0;
};

// One file to be written into a block: its information, its length and
// what writes exactly `Size` content bytes into the block.
struct TBlockMember {
  TFileInformation Information;
  std::uint32_t Size = 0;
  std::function<void(TStream& block)> WriteContent;
};

// Writes one block of `members` to `out` (at its position) with `key`;
// returns the number of bytes written. Throws TError (a short source:
// sreaderror); the caller discards a partial block.
std::uint64_t WriteBlock(TStream& out, const TBlockKey& key, const std::vector<TBlockMember>& members);

// A block opened for reading: the decrypting stream and the information of
// the file asked for, standing at the first byte of its content.
struct TOpenBlock {
  std::unique_ptr<TStream> Stream;
  TFileInformation Information;
  std::uint32_t Size = 0;
};

// Opens the block in `source` (owned) with `password`, reads the header of
// `headerSize` bytes and skips to the content of member `position` (1-based;
// 0 = a stand-alone block). A header size that is not a whole number of
// entries or does not hold the member raises sreaderror; damaged or wrongly
// keyed data raise the stream's errors.
TOpenBlock OpenBlock(std::unique_ptr<TStream> source, const std::string& password, std::int32_t headerSize,
                     std::uint16_t position);

// Copies exactly `count` bytes from `from` to `to` through a fixed buffer,
// calling `copied` (when set) after each piece. A short source raises
// sreaderror.
void CopyBytes(TStream& from, TStream& to, std::uint64_t count,
               const std::function<void(std::uint64_t)>& copied = {});

}  // namespace corvane
