#pragma once
// TCipherStream: one layer of the encryption chain. Bytes written to it are
// encrypted and passed on to the inner stream; bytes read from it are read
// from the inner stream and decrypted. The cipher sees the data in chunks of
// at most 8192 bytes, counted from the start of each Write or Read call; for
// RC4 those boundaries are part of the stored format, so a reader must call
// Read with the same lengths that the writer passed to Write.

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "engine/cipher.h"
#include "engine/stream.h"

namespace corvane {

class TCipherStream : public TStream {
 public:
  static constexpr std::size_t kChunkSize = 8192;

  // Over `inner`, which the caller keeps alive for the life of this stream.
  TCipherStream(TStream& inner, std::unique_ptr<TCipher> cipher);
  // Over `inner`, which this stream owns.
  TCipherStream(std::unique_ptr<TStream> inner, std::unique_ptr<TCipher> cipher);
  ~TCipherStream() override;

  // Encrypts chunk by chunk; stops early, returning what was taken, when the
  // inner stream takes less than a whole chunk.
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Fills each chunk from the inner stream as far as it can, decrypts it and
  // stops at the first chunk that comes short (the end of the data).
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  // Positions inside the chain are unknown: does nothing and returns 0.
  std::uint64_t Seek(std::int64_t, TSeekOrigin) override { return 0; }

 private:
  std::unique_ptr<TStream> ownedInner_;
  TStream& inner_;
  std::unique_ptr<TCipher> cipher_;
  std::array<std::uint8_t, kChunkSize> work_;
};

}  // namespace corvane
