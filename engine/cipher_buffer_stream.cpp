#include "engine/cipher_buffer_stream.h"

#include <algorithm>
#include <cstring>

#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

std::size_t RoundUpTo16(std::size_t n) { return (n + 15) & ~static_cast<std::size_t>(15); }

// Fills `buffer` as far as the stream has data; returns the bytes read.
std::size_t ReadAll(TStream& stream, std::span<std::uint8_t> buffer) {
  std::size_t got = 0;
  while (got < buffer.size()) {
    std::size_t part = stream.Read(buffer.subspan(got));
    if (part == 0) break;
    got += part;
  }
  return got;
}

}  // namespace

TCipherBufferStream::TCipherBufferStream(TStream& inner, TStream& header, std::size_t firstBlockMin)
    : inner_(inner), header_(header),
      firstBlockMin_(std::min(RoundUpTo16(firstBlockMin), kBlockSize)), buffer_(kBlockSize) {}

TCipherBufferStream::TCipherBufferStream(std::unique_ptr<TStream> inner, TStream& header,
                                         std::size_t firstBlockMin)
    : ownedInner_(std::move(inner)), inner_(*ownedInner_), header_(header),
      firstBlockMin_(std::min(RoundUpTo16(firstBlockMin), kBlockSize)), buffer_(kBlockSize) {}

TCipherBufferStream::~TCipherBufferStream() = default;

std::size_t TCipherBufferStream::Write(std::span<const std::uint8_t> data) {
  if (mode_ != TMode::Idle && mode_ != TMode::Writing) throw TError(std::string(swriteerror));
  mode_ = TMode::Writing;
  std::size_t done = 0;
  while (done < data.size()) {
    if (fill_ == kBlockSize) FlushBlock();
    std::size_t part = std::min(kBlockSize - fill_, data.size() - done);
    std::memcpy(buffer_.data() + fill_, data.data() + done, part);
    fill_ += part;
    done += part;
  }
  return done;
}

void TCipherBufferStream::Finish() {
  if (mode_ == TMode::Reading || mode_ == TMode::Done) return;
  if (fill_ > 0 || firstBlock_) FlushBlock();
  mode_ = TMode::Done;
}

void TCipherBufferStream::FlushBlock() {
  std::size_t padded = RoundUpTo16(fill_);
  if (firstBlock_) padded = std::max(padded, firstBlockMin_);
  random_.GenerateBlock(buffer_.data() + fill_, padded - fill_);
  if (firstBlock_) {
    header_.WriteUInt32(static_cast<std::uint32_t>(padded) ^ kSizeMask);
    Fold(padded);
    firstBlock_ = false;
  }
  if (padded > 0) inner_.WriteBuffer({buffer_.data(), padded});
  fill_ = 0;
}

// The fold is its own inverse: only the first half changes, from the second.
void TCipherBufferStream::Fold(std::size_t size) {
  for (std::size_t i = 0; i < size / 2; ++i) buffer_[i] ^= buffer_[size - 1 - i];
}

std::size_t TCipherBufferStream::Read(std::span<std::uint8_t> buffer) {
  if (mode_ == TMode::Writing) throw TError(std::string(sreaderror));
  if (mode_ == TMode::Idle) mode_ = TMode::Reading;
  std::size_t done = 0;
  while (done < buffer.size() && mode_ == TMode::Reading) {
    if (readPosition_ == fill_) {
      LoadBlock();
      continue;
    }
    std::size_t part = std::min(fill_ - readPosition_, buffer.size() - done);
    std::memcpy(buffer.data() + done, buffer_.data() + readPosition_, part);
    readPosition_ += part;
    done += part;
  }
  return done;
}

void TCipherBufferStream::LoadBlock() {
  fill_ = readPosition_ = 0;
  if (!firstBlock_) {
    fill_ = ReadFromChain(kBlockSize);
    if (fill_ == 0) mode_ = TMode::Done;
    return;
  }
  firstBlock_ = false;
  std::uint8_t word[4];
  if (ReadAll(header_, word) != sizeof word) {
    mode_ = TMode::Done;
    return;
  }
  std::int32_t size = static_cast<std::int32_t>(
      (word[0] | (word[1] << 8) | (word[2] << 16) | (static_cast<std::uint32_t>(word[3]) << 24)) ^ kSizeMask);
  if (size < 0 || static_cast<std::size_t>(size) > kBlockSize ||
      ReadFromChain(static_cast<std::size_t>(size)) < static_cast<std::size_t>(size)) {
    mode_ = TMode::Done;
    return;
  }
  Fold(static_cast<std::size_t>(size));
  fill_ = static_cast<std::size_t>(size);
}

std::size_t TCipherBufferStream::ReadFromChain(std::size_t count) {
  return ReadAll(inner_, {buffer_.data(), count});
}

std::uint64_t TCipherBufferStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  return header_.Seek(offset, origin);
}

}  // namespace corvane
