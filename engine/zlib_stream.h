#pragma once
// zlib streams (zlib header and Adler-32 trailer): TCompressionStream
// deflates what is written to it into a destination stream;
// TDecompressionStream inflates what it reads from a source stream. zlib's
// working memory is wiped when it is freed, since it holds plain data.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include <zlib.h>

#include "engine/secure_buffer.h"
#include "engine/stream.h"
#include "platform/error.h"

namespace corvane {

// Damaged compressed data (zlib's Z_DATA_ERROR, or a dictionary request,
// which no stored stream makes). The message is zlib's own text.
class TZlibDataError : public TError {
 public:
  using TError::TError;
};

// Told how many bytes a zlib stream has just moved through its other side.
using TZlibProgress = std::function<void(std::uint64_t bytes)>;

class TCompressionStream : public TStream {
 public:
  // Deflates into `destination` (borrowed) at `level` (-1 is zlib's default, 6).
  explicit TCompressionStream(TStream& destination, int level = Z_DEFAULT_COMPRESSION);
  ~TCompressionStream() override;

  // Takes all of `data`; compressed output goes to the destination whenever
  // the 65536-byte output buffer is full. Write errors raise swriteerror.
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Not readable: raises sreaderror.
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  // Only the current position (bytes taken so far) can be asked for.
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  // Ends the zlib stream and writes the rest of it.
  void Finish() override;

  // Called after each write to the destination with the bytes written.
  void SetProgress(TZlibProgress progress) { progress_ = std::move(progress); }

 private:
  void Deflate(int flush);

  TStream& destination_;
  z_stream zstream_{};
  TSecureBytes output_;
  std::uint64_t totalIn_ = 0;
  bool finished_ = false;
  TZlibProgress progress_;
};

class TDecompressionStream : public TStream {
 public:
  // Inflates from `source` (borrowed), reading it 65536 bytes at a time. With
  // `returnUnusedInput`, the source is moved back at the end of the zlib
  // stream by the bytes read beyond it, so it stands right after the stream.
  explicit TDecompressionStream(TStream& source, bool returnUnusedInput = false);
  ~TDecompressionStream() override;

  // Returns inflated bytes; fewer than asked only at the end of the zlib
  // stream or of the source (a truncated stream). Damaged data raise
  // TZlibDataError; zlib running out of memory raises TError.
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  // Not writable: raises swriteerror.
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Only the current position (bytes delivered so far) can be asked for.
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

  // True once the zlib stream's end (and its checksum) has been read.
  bool AtStreamEnd() const { return ended_; }
  // Called after each read from the source with the bytes read.
  void SetProgress(TZlibProgress progress) { progress_ = std::move(progress); }

 private:
  TStream& source_;
  z_stream zstream_{};
  TSecureBytes input_;
  bool returnUnusedInput_;
  bool ended_ = false;
  bool sourceEmpty_ = false;
  std::uint64_t totalOut_ = 0;
  TZlibProgress progress_;
};

}  // namespace corvane
