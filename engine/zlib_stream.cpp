#include "engine/zlib_stream.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

#include "engine/messages.h"

namespace corvane {

namespace {

constexpr std::size_t kBufferSize = 65536;
// Largest piece handed to zlib at once (its counters are 32-bit).
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;
// Each allocation keeps its size in front of it so that it can be wiped.
constexpr std::size_t kHeader = alignof(std::max_align_t);

voidpf WipingAlloc(voidpf, uInt items, uInt size) {
  std::size_t bytes = static_cast<std::size_t>(items) * size;
  auto* raw = static_cast<std::uint8_t*>(::operator new(bytes + kHeader, std::nothrow));
  if (!raw) return Z_NULL;
  std::memcpy(raw, &bytes, sizeof bytes);
  return raw + kHeader;
}

void WipingFree(voidpf, voidpf address) {
  auto* raw = static_cast<std::uint8_t*>(address) - kHeader;
  std::size_t bytes;
  std::memcpy(&bytes, raw, sizeof bytes);
  WipeBytes({raw, bytes + kHeader});
  ::operator delete(raw);
}

void PrepareAllocator(z_stream& z) {
  z.zalloc = WipingAlloc;
  z.zfree = WipingFree;
  z.opaque = Z_NULL;
}

[[noreturn]] void ThrowZlibError(const z_stream& z, int code) {
  std::string detail = z.msg ? z.msg : zError(code);
  std::string message = FormatMessage(serr_compressionerror, detail);
  if (code == Z_DATA_ERROR || code == Z_NEED_DICT) throw TZlibDataError(message);
  throw TError(message);
}

}  // namespace

TCompressionStream::TCompressionStream(TStream& destination, int level)
    : destination_(destination), output_(kBufferSize) {
  PrepareAllocator(zstream_);
  int code = deflateInit(&zstream_, level);
  if (code != Z_OK) ThrowZlibError(zstream_, code);
  zstream_.next_out = output_.data();
  zstream_.avail_out = static_cast<uInt>(output_.size());
}

TCompressionStream::~TCompressionStream() { deflateEnd(&zstream_); }

std::size_t TCompressionStream::Write(std::span<const std::uint8_t> data) {
  if (finished_) throw TError(std::string(swriteerror));
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t piece = std::min(kMaxPiece, data.size() - done);
    zstream_.next_in = const_cast<Bytef*>(data.data() + done);
    zstream_.avail_in = static_cast<uInt>(piece);
    Deflate(Z_NO_FLUSH);
    done += piece;
  }
  totalIn_ += done;
  return done;
}

void TCompressionStream::Finish() {
  if (finished_) return;
  zstream_.avail_in = 0;
  Deflate(Z_FINISH);
  finished_ = true;
}

void TCompressionStream::Deflate(int flush) {
  for (;;) {
    int code = deflate(&zstream_, flush);
    if (code == Z_STREAM_ERROR) ThrowZlibError(zstream_, code);
    std::size_t pending = output_.size() - zstream_.avail_out;
    bool full = zstream_.avail_out == 0;
    bool finishing = flush == Z_FINISH;
    bool done = finishing ? code == Z_STREAM_END : zstream_.avail_in == 0 && !full;
    // Output leaves only in whole buffers, the last one when the stream ends.
    if (full || (finishing && done && pending > 0)) {
      destination_.WriteBuffer({output_.data(), pending});
      if (progress_) progress_(pending);
      zstream_.next_out = output_.data();
      zstream_.avail_out = static_cast<uInt>(output_.size());
    }
    if (done) return;
  }
}

std::size_t TCompressionStream::Read(std::span<std::uint8_t>) { throw TError(std::string(sreaderror)); }

std::uint64_t TCompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (offset != 0 || origin != TSeekOrigin::Current) throw TError(std::string(sseekerror));
  return totalIn_;
}

TDecompressionStream::TDecompressionStream(TStream& source, bool returnUnusedInput)
    : source_(source), input_(kBufferSize), returnUnusedInput_(returnUnusedInput) {
  PrepareAllocator(zstream_);
  int code = inflateInit(&zstream_);
  if (code != Z_OK) ThrowZlibError(zstream_, code);
}

TDecompressionStream::~TDecompressionStream() { inflateEnd(&zstream_); }

std::size_t TDecompressionStream::Read(std::span<std::uint8_t> buffer) {
  if (ended_ || buffer.empty()) return 0;
  std::size_t wanted = std::min(kMaxPiece, buffer.size());
  zstream_.next_out = buffer.data();
  zstream_.avail_out = static_cast<uInt>(wanted);
  while (zstream_.avail_out > 0) {
    if (zstream_.avail_in == 0) {
      if (sourceEmpty_) break;
      std::size_t got = source_.Read(input_);
      if (got == 0) {
        sourceEmpty_ = true;
        break;
      }
      if (progress_) progress_(got);
      zstream_.next_in = input_.data();
      zstream_.avail_in = static_cast<uInt>(got);
    }
    int code = inflate(&zstream_, Z_NO_FLUSH);
    if (code == Z_STREAM_END) {
      ended_ = true;
      if (returnUnusedInput_ && zstream_.avail_in > 0) {
        source_.Seek(-static_cast<std::int64_t>(zstream_.avail_in), TSeekOrigin::Current);
      }
      zstream_.avail_in = 0;
      break;
    }
    // Z_BUF_ERROR means no progress was possible; with input and room left
    // that cannot happen, so it ends the loop rather than spin.
    if (code == Z_BUF_ERROR) break;
    if (code != Z_OK) ThrowZlibError(zstream_, code);
  }
  std::size_t produced = wanted - zstream_.avail_out;
  totalOut_ += produced;
  return produced;
}

std::size_t TDecompressionStream::Write(std::span<const std::uint8_t>) {
  throw TError(std::string(swriteerror));
}

std::uint64_t TDecompressionStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (offset != 0 || origin != TSeekOrigin::Current) throw TError(std::string(sseekerror));
  return totalOut_;
}

}  // namespace corvane
