#pragma once
// Byte streams: the common interface of files, memory and the encryption and
// compression layers, which are stacked one over the other.
//
// A stream is used from one thread at a time.

#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/secure_buffer.h"

namespace corvane {

enum class TSeekOrigin { Begin, Current, End };

class TStream {
 public:
  TStream() = default;
  virtual ~TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to buffer.size() bytes and returns how many were read; fewer only
  // at the end of the data (0 at the end). Throws TError on failure.
  virtual std::size_t Read(std::span<std::uint8_t> buffer) = 0;
  // Writes up to data.size() bytes and returns how many were taken.
  virtual std::size_t Write(std::span<const std::uint8_t> data) = 0;
  // Moves the position and returns the new one. Streams that cannot seek
  // document what they do instead.
  virtual std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  // Pushes out whatever a layer holds back and writes its end marks; further
  // writes are not allowed. Layers without buffers do nothing.
  virtual void Finish() {}

  std::uint64_t Position() { return Seek(0, TSeekOrigin::Current); }

  // Reads exactly buffer.size() bytes; a short read raises sreaderror.
  void ReadBuffer(std::span<std::uint8_t> buffer);
  // Writes all of data; a short write raises swriteerror.
  void WriteBuffer(std::span<const std::uint8_t> data);
  // Reads and drops `count` bytes; a short read raises sreaderror.
  void Skip(std::uint64_t count);

  // Little-endian integers, as every value is stored.
  void WriteUInt32(std::uint32_t value);
  std::uint32_t ReadUInt32();
};

// A stream in memory that grows as it is written and wipes what it held.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::span<const std::uint8_t> initial);

  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Seeking beyond the end is allowed; a later write fills the gap with zeros.
  // A position before the start raises sseekerror.
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

  std::span<const std::uint8_t> Data() const { return data_; }
  std::size_t Size() const { return data_.size(); }
  // Empties the stream and wipes what it held.
  void Clear();

 private:
  TSecureBytes data_;
  std::size_t position_ = 0;
};

}  // namespace corvane
