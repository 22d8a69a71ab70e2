#include "engine/attachments_block.h"

#include <algorithm>
#include <array>

#include "engine/crypt_stream.h"
#include "engine/messages.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"

namespace corvane {
namespace {

constexpr std::size_t kCopyBuffer = 65536;

[[noreturn]] void ThrowReadError() { throw TError(std::string(sreaderror)); }

void PutUInt32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutUInt64(std::uint8_t* at, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(const std::uint8_t* at, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | at[i];
  return value;
}

}  // namespace

// --- Keys ---

TBlockKey::TBlockKey(std::string password, std::string algorithms)
    : Password(std::move(password)), Algorithms(std::move(algorithms)) {}
TBlockKey::TBlockKey(const TBlockKey& other) = default;
TBlockKey& TBlockKey::operator=(const TBlockKey& other) {
  if (this != &other) {
    WipeString(Password);
    Password = other.Password;
    Algorithms = other.Algorithms;
  }
  return *this;
}
TBlockKey::~TBlockKey() { WipeString(Password); }

// --- File windows ---

TFileRangeStream::TFileRangeStream(TFile file, std::uint64_t start, std::uint64_t length)
    : file_(std::move(file)), start_(start), length_(length) {
  const std::uint64_t size = file_.Size();
  start_ = std::min(start_, size);
  length_ = std::min(length_, size - start_);
  file_.Seek(static_cast<std::int64_t>(start_));
}

std::size_t TFileRangeStream::Read(std::span<std::uint8_t> buffer) {
  const std::uint64_t left = length_ - position_;
  if (left == 0) return 0;
  const std::size_t got = file_.Read(buffer.first(static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()))));
  position_ += got;
  return got;
}

std::size_t TFileRangeStream::Write(std::span<const std::uint8_t>) { throw TError(std::string(swriteerror)); }

std::uint64_t TFileRangeStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t base = origin == TSeekOrigin::Begin     ? 0
                            : origin == TSeekOrigin::Current ? static_cast<std::int64_t>(position_)
                                                             : static_cast<std::int64_t>(length_);
  const std::int64_t to = base + offset;
  if (to < 0 || static_cast<std::uint64_t>(to) > length_) throw TError(std::string(sseekerror));
  position_ = static_cast<std::uint64_t>(to);
  file_.Seek(static_cast<std::int64_t>(start_ + position_));
  return position_;
}

// --- Blocks ---

std::uint64_t WriteBlock(TStream& out, const TBlockKey& key, const std::vector<TBlockMember>& members) {
  const std::uint64_t start = out.Position();
  TCryptStream block(out, key.Password, key.Algorithms, /*twoPart=*/false);
  block.SetFirstBlockMin(0);
  for (const TBlockMember& member : members) {
    std::array<std::uint8_t, kFileInformationSize> entry;
    PutUInt32(entry.data(), member.Information.Attributes);
    PutUInt64(entry.data() + 4, member.Information.CreationTime);
    PutUInt64(entry.data() + 12, member.Information.LastWriteTime);
    block.WriteBuffer(entry, false);
  }
  for (const TBlockMember& member : members) {
    block.WriteInt32(static_cast<std::int32_t>(member.Size), false);
    const std::uint32_t before = block.ByteCount();
    member.WriteContent(block);
    if (block.ByteCount() - before != member.Size) throw TError(std::string(swriteerror));
  }
  block.Finish();
  return out.Position() - start;
}

TOpenBlock OpenBlock(std::unique_ptr<TStream> source, const std::string& password, std::int32_t headerSize,
                     std::uint16_t position) {
  const std::int32_t entries = headerSize / kFileInformationSize;
  const std::int32_t index = position == 0 ? 0 : position - 1;
  if (headerSize <= 0 || headerSize % kFileInformationSize != 0 || index >= entries) ThrowReadError();
  TOpenBlock open;
  auto stream = std::make_unique<TCryptStream>(std::move(source), password, std::string_view{}, /*twoPart=*/false);
  TCryptStream& block = *stream;
  open.Stream = std::move(stream);
  std::array<std::uint8_t, kFileInformationSize> entry;
  for (std::int32_t i = 0; i < entries; ++i) {
    block.ReadBuffer(entry, false);
    if (i != index) continue;
    open.Information.Attributes = static_cast<std::uint32_t>(GetLittleEndian(entry.data(), 4));
    open.Information.CreationTime = GetLittleEndian(entry.data() + 4, 8);
    open.Information.LastWriteTime = GetLittleEndian(entry.data() + 12, 8);
  }
  for (std::int32_t i = 0; i < index; ++i) {
    const std::int32_t length = block.ReadInt32(false);
    if (length < 0) ThrowReadError();
    block.Skip(static_cast<std::uint64_t>(length));
  }
  const std::int32_t length = block.ReadInt32(false);
  if (length < 0) ThrowReadError();
  open.Size = static_cast<std::uint32_t>(length);
  return open;
}

void CopyBytes(TStream& from, TStream& to, std::uint64_t count, const std::function<void(std::uint64_t)>& copied) {
  TSecureBytes buffer(static_cast<std::size_t>(std::min<std::uint64_t>(count, kCopyBuffer)));
  while (count > 0) {
    const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(count, buffer.size()));
    from.ReadBuffer({buffer.data(), part});
    to.WriteBuffer({buffer.data(), part});
    count -= part;
    if (copied) copied(part);
  }
}

}  // namespace corvane
