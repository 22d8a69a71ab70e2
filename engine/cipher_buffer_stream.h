#pragma once
// TCipherBufferStream: the block buffer in front of the cipher chain. Writing
// cuts the data into blocks of 65536 bytes, pads each block with random bytes
// to a multiple of 16 (so every block is whole for 64- and 128-bit ciphers)
// and gives the first block a minimum size. The first block's size goes to a
// separate header stream as a 4-byte word XORed with kSizeMask, and the first
// block is folded onto itself before encryption, so its random padding
// changes every byte of the encrypted result.
//
// Reading undoes this and delivers the padding as data; the compressed stream
// above knows where its data end.

#include <cstdint>
#include <memory>
#include <span>

#include <cryptopp/osrng.h>

#include "engine/secure_buffer.h"
#include "engine/stream.h"

namespace corvane {

class TCipherBufferStream : public TStream {
 public:
  static constexpr std::size_t kBlockSize = 65536;
  static constexpr std::uint32_t kSizeMask = 0x5D2E7C94;
  // The database body's first-block minimum; attachments use 0.
  static constexpr std::size_t kDatabaseFirstBlockMin = 8192;

  // `inner` is the outermost cipher layer, `header` the stream beneath the
  // chain that carries the first block's size. Both are borrowed (or `inner`
  // owned) and must outlive this stream. `firstBlockMin` is rounded up to a
  // multiple of 16 and limited to kBlockSize.
  TCipherBufferStream(TStream& inner, TStream& header, std::size_t firstBlockMin);
  TCipherBufferStream(std::unique_ptr<TStream> inner, TStream& header, std::size_t firstBlockMin);
  ~TCipherBufferStream() override;

  // Takes all of `data`; a full buffer is flushed before more is added.
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Returns the data, padding included, until the blocks end: a missing or
  // out-of-range first-block size, a first block that comes short, or a later
  // block of 0 bytes.
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  // Passes to the header stream.
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  // Writes the last block (for a stream that was never given data: an empty
  // first block of the minimum size). Write errors raise swriteerror.
  void Finish() override;

 private:
  enum class TMode { Idle, Writing, Reading, Done };

  void FlushBlock();
  void LoadBlock();
  std::size_t ReadFromChain(std::size_t count);
  void Fold(std::size_t size);

  std::unique_ptr<TStream> ownedInner_;
  TStream& inner_;
  TStream& header_;
  std::size_t firstBlockMin_;
  bool firstBlock_ = true;
  TMode mode_ = TMode::Idle;
  TSecureBytes buffer_;
  std::size_t fill_ = 0;
  std::size_t readPosition_ = 0;
  CryptoPP::AutoSeededRandomPool random_;
};

}  // namespace corvane
