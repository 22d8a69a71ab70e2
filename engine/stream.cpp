#include "engine/stream.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

void TStream::ReadBuffer(std::span<std::uint8_t> buffer) {
  std::size_t done = 0;
  while (done < buffer.size()) {
    std::size_t got = Read(buffer.subspan(done));
    if (got == 0) throw TError(std::string(sreaderror));
    done += got;
  }
}

void TStream::WriteBuffer(std::span<const std::uint8_t> data) {
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t taken = Write(data.subspan(done));
    if (taken == 0) throw TError(std::string(swriteerror));
    done += taken;
  }
}

void TStream::Skip(std::uint64_t count) {
  std::array<std::uint8_t, 4096> scratch;
  while (count > 0) {
    std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(count, scratch.size()));
    ReadBuffer({scratch.data(), part});
    count -= part;
  }
  WipeBytes(scratch);
}

void TStream::WriteUInt32(std::uint32_t value) {
  std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                    static_cast<std::uint8_t>(value >> 16),
                                    static_cast<std::uint8_t>(value >> 24)};
  WriteBuffer(bytes);
}

std::uint32_t TStream::ReadUInt32() {
  std::array<std::uint8_t, 4> b;
  ReadBuffer(b);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

TMemoryStream::TMemoryStream(std::span<const std::uint8_t> initial) : data_(initial.begin(), initial.end()) {}

std::size_t TMemoryStream::Read(std::span<std::uint8_t> buffer) {
  if (position_ >= data_.size()) return 0;
  std::size_t count = std::min(buffer.size(), data_.size() - position_);
  std::memcpy(buffer.data(), data_.data() + position_, count);
  position_ += count;
  return count;
}

std::size_t TMemoryStream::Write(std::span<const std::uint8_t> data) {
  if (data.empty()) return 0;
  std::size_t end = position_ + data.size();
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + position_, data.data(), data.size());
  position_ = end;
  return data.size();
}

std::uint64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == TSeekOrigin::Begin     ? 0
                      : origin == TSeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                       : static_cast<std::int64_t>(data_.size());
  std::int64_t target = base + offset;
  if (target < 0) throw TError(std::string(sseekerror));
  position_ = static_cast<std::size_t>(target);
  return position_;
}

void TMemoryStream::Clear() {
  WipeBytes(data_);
  data_.clear();
  position_ = 0;
}

}  // namespace corvane
