#include "engine/crypt_stream.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

#include "engine/cipher_chain.h"
#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "engine/wrong_password_delay.h"
#include "engine/zlib_stream.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::size_t kPiece = 65536;
// A one-part reader holds an encrypted part of up to this size whole.
constexpr std::uint32_t kWholeLimit = 65536;
constexpr std::uint64_t kPartLimit = std::numeric_limits<std::uint32_t>::max();

[[noreturn]] void Throw(std::string_view message) { throw TError(std::string(message)); }

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Little-endian bytes of an unsigned value.
template <std::size_t N>
std::array<std::uint8_t, N> ToBytes(std::uint64_t value) {
  std::array<std::uint8_t, N> bytes;
  for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

template <std::size_t N>
std::uint64_t FromBytes(const std::array<std::uint8_t, N>& bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < N; ++i) value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  return value;
}

// Reads up to `count` bytes from `stream` into the end of `target`, in
// pieces, so that memory grows only with data that really arrive.
std::uint64_t CopyInto(TStream& stream, TMemoryStream& target, std::uint64_t count) {
  TSecureBytes piece(kPiece);
  std::uint64_t done = 0;
  while (done < count) {
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, count - done));
    std::size_t got = stream.Read({piece.data(), want});
    if (got == 0) break;
    target.WriteBuffer({piece.data(), got});
    done += got;
  }
  return done;
}

}  // namespace

TCryptStream::TCryptStream(TStream& source, std::string_view password, std::string_view algorithms,
                           bool twoPart)
    : source_(source), password_(password), hasPassword_(!password.empty()), algorithms_(algorithms),
      twoPart_(twoPart) {}

TCryptStream::TCryptStream(std::unique_ptr<TStream> source, std::string_view password,
                           std::string_view algorithms, bool twoPart)
    : ownedSource_(std::move(source)), source_(*ownedSource_), password_(password),
      hasPassword_(!password.empty()), algorithms_(algorithms), twoPart_(twoPart) {}

TCryptStream::~TCryptStream() { WipeString(password_); }

void TCryptStream::SetWrongPasswordCells(std::uint32_t& tick, std::uint32_t& delay) {
  wrongPasswordTick_ = &tick;
  wrongPasswordDelay_ = &delay;
}

void TCryptStream::SetProgress(TCryptProgress callback, TCryptProgressMode mode) {
  progress_ = std::move(callback);
  progressMode_ = mode;
}

void TCryptStream::Report(TCryptProgressMode event, std::uint64_t bytes) {
  if (progress_ && progressMode_ == event && bytes > 0) progress_(bytes);
}

// ---- Writing ----

void TCryptStream::EnsureWriting() {
  if (state_ == TState::Idle) {
    state_ = TState::Failed;
    BeginWrite();
    state_ = TState::Writing;
  }
  if (state_ != TState::Writing) Throw(swriteerror);
}

void TCryptStream::BeginWrite() {
  if (!hasPassword_) Throw(serr_emptypassword);
  if (algorithms_.size() > 255) Throw(serr_streamtoolarge);
  if (twoPart_) {
    ownedSink_ = std::make_unique<TMemoryStream>();
    plainPart_ = std::make_unique<TMemoryStream>();
    sink_ = ownedSink_.get();
  } else {
    sink_ = &source_;
  }
  // The chain is built (and the ids checked) before anything is written.
  chain_ = CreateCipherChain(*sink_, algorithms_, password_, bufferMode_ == TBufferMode::Blocks, firstBlockMin_);
  WipeString(password_);
  compressor_ = std::make_unique<TCompressionStream>(*chain_);
  compressor_->SetProgress([this](std::uint64_t bytes) { Report(TCryptProgressMode::Compression, bytes); });

  std::uint8_t count = static_cast<std::uint8_t>(algorithms_.size());
  source_.WriteBuffer({&count, 1});
  source_.WriteBuffer(Bytes(algorithms_));
  countPosition_ = sink_->Position();
  sink_->WriteUInt32(0);
}

void TCryptStream::WriteBuffer(std::span<const std::uint8_t> data, bool plain) {
  EnsureWriting();
  if (HasPlainPart(plain)) {
    if (plainPart_->Size() + data.size() > kPartLimit) Throw(serr_streamtoolarge);
    plainPart_->WriteBuffer(data);
    return;
  }
  if (byteCount_ + data.size() > kPartLimit) Throw(serr_streamtoolarge);
  compressor_->WriteBuffer(data);
  byteCount_ += static_cast<std::uint32_t>(data.size());
  Report(TCryptProgressMode::AfterWrite, data.size());
}

std::size_t TCryptStream::Write(std::span<const std::uint8_t> data) {
  WriteBuffer(data, false);
  return data.size();
}

void TCryptStream::Finish() {
  if (state_ == TState::Reading || state_ == TState::Finished) return;
  EnsureWriting();
  state_ = TState::Failed;
  compressor_->Finish();
  compressor_.reset();
  chain_->Finish();
  chain_.reset();

  std::uint64_t end = sink_->Position();
  sink_->Seek(static_cast<std::int64_t>(countPosition_), TSeekOrigin::Begin);
  sink_->WriteUInt32(byteCount_);
  sink_->Seek(static_cast<std::int64_t>(end), TSeekOrigin::Begin);

  if (twoPart_) {
    source_.WriteUInt32(static_cast<std::uint32_t>(plainPart_->Size()));
    TCompressionStream plainCompressor(source_);
    plainCompressor.WriteBuffer(plainPart_->Data());
    plainCompressor.Finish();
    source_.WriteBuffer(ownedSink_->Data());
    plainPart_.reset();
    ownedSink_.reset();
    sink_ = nullptr;
  }
  state_ = TState::Finished;
}

// ---- Reading ----

void TCryptStream::EnsureReading() {
  if (state_ == TState::Idle) {
    state_ = TState::Failed;
    BeginRead();
    state_ = TState::Reading;
  }
  if (state_ != TState::Reading) Throw(sreaderror);
}

void TCryptStream::BeginRead() {
  std::uint8_t count;
  source_.ReadBuffer({&count, 1});
  algorithms_.assign(count, '\0');
  source_.ReadBuffer({reinterpret_cast<std::uint8_t*>(algorithms_.data()), count});
  if (twoPart_) ReadPlainPart();
  if (!hasPassword_) return;

  storedByteCount_ = source_.ReadUInt32();
  chain_ = CreateCipherChain(source_, algorithms_, password_, bufferMode_ == TBufferMode::Blocks, firstBlockMin_);
  WipeString(password_);
  decompressor_ = std::make_unique<TDecompressionStream>(*chain_);
  decompressor_->SetProgress([this](std::uint64_t bytes) { Report(TCryptProgressMode::Decompression, bytes); });
  // A streamed part is checked only once a reader has taken all of it, and a
  // reader that stops early (damage can shorten a length it reads) would get
  // changed values without an error. A small part is therefore checked whole,
  // checksum and end, before the first value is returned.
  if (twoPart_ || storedByteCount_ <= kWholeLimit) LoadEncryptedPart();
}

void TCryptStream::ReadPlainPart() {
  std::uint32_t size = source_.ReadUInt32();
  plainPart_ = std::make_unique<TMemoryStream>();
  TDecompressionStream decompressor(source_, /*returnUnusedInput=*/true);
  if (CopyInto(decompressor, *plainPart_, size) < size) Throw(sreaderror);
  // The zlib stream must end right after the stated size (also for size 0,
  // where nothing has been inflated yet): only then does the source stand at
  // the encrypted part.
  std::uint8_t extra;
  if (decompressor.Read({&extra, 1}) != 0 || !decompressor.AtStreamEnd()) Throw(sreaderror);
  plainPart_->Seek(0, TSeekOrigin::Begin);
}

// The whole encrypted part at once (two-part mode, or a small one-part
// container). A zlib data error here is what a wrong password looks like; for
// a database body (two-part) the database's cells make the answer wait.
void TCryptStream::LoadEncryptedPart() {
  encryptedPart_ = std::make_unique<TMemoryStream>();
  try {
    if (CopyInto(*decompressor_, *encryptedPart_, storedByteCount_) < storedByteCount_) Throw(sreaderror);
    VerifyEncryptedEnd();
  } catch (const TZlibDataError&) {
    encryptedPart_.reset();
    if (twoPart_ && wrongPasswordTick_ && wrongPasswordDelay_) {
      WaitAfterWrongPassword(*wrongPasswordTick_, *wrongPasswordDelay_);
    }
    Throw(serr_invalidpassword);
  }
  decompressor_.reset();
  chain_.reset();
  encryptedPart_->Seek(0, TSeekOrigin::Begin);
}

// Once all stored bytes have arrived, the zlib stream must end right there
// with a good checksum. Damaged data that inflate without a zlib error show
// up here, as a stream that goes on or never ends.
void TCryptStream::VerifyEncryptedEnd() {
  if (endVerified_) return;
  endVerified_ = true;
  std::uint8_t extra;
  if (decompressor_->Read({&extra, 1}) != 0 || !decompressor_->AtStreamEnd()) Throw(sreaderror);
}

// Streams a large encrypted part (one-part mode), never beyond the stored
// count.
std::size_t TCryptStream::Inflate(std::span<std::uint8_t> buffer) {
  try {
    std::size_t got = buffer.empty() ? 0 : decompressor_->Read(buffer);
    if (byteCount_ + got == storedByteCount_) VerifyEncryptedEnd();
    return got;
  } catch (const TZlibDataError&) {
    Throw(serr_invalidpassword);
  }
}

std::size_t TCryptStream::ReadEncrypted(std::span<std::uint8_t> buffer) {
  if (!hasPassword_) return 0;
  std::size_t got = encryptedPart_
                        ? encryptedPart_->Read(buffer)
                        : Inflate(buffer.first(std::min<std::size_t>(buffer.size(), storedByteCount_ - byteCount_)));
  byteCount_ += static_cast<std::uint32_t>(got);
  Report(TCryptProgressMode::AfterRead, got);
  return got;
}

std::size_t TCryptStream::Read(std::span<std::uint8_t> buffer) {
  EnsureReading();
  return ReadEncrypted(buffer);
}

void TCryptStream::ReadBuffer(std::span<std::uint8_t> data, bool plain) {
  EnsureReading();
  if (HasPlainPart(plain)) {
    plainPart_->ReadBuffer(data);
    return;
  }
  if (!hasPassword_) {
    std::fill(data.begin(), data.end(), 0);
    return;
  }
  std::size_t done = 0;
  while (done < data.size()) {
    std::size_t got = ReadEncrypted(data.subspan(done));
    if (got == 0) Throw(sreaderror);
    done += got;
  }
}

std::uint64_t TCryptStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  if (offset != 0 || origin != TSeekOrigin::Current) Throw(sseekerror);
  return byteCount_;
}

// ---- Typed values ----

void TCryptStream::WriteByte(std::uint8_t value, bool plain) { WriteBuffer({&value, 1}, plain); }
void TCryptStream::WriteInt16(std::int16_t value, bool plain) {
  WriteBuffer(ToBytes<2>(static_cast<std::uint16_t>(value)), plain);
}
void TCryptStream::WriteInt32(std::int32_t value, bool plain) {
  WriteBuffer(ToBytes<4>(static_cast<std::uint32_t>(value)), plain);
}
void TCryptStream::WriteUInt32(std::uint32_t value, bool plain) { WriteBuffer(ToBytes<4>(value), plain); }
void TCryptStream::WriteDouble(double value, bool plain) {
  WriteBuffer(ToBytes<8>(std::bit_cast<std::uint64_t>(value)), plain);
}
void TCryptStream::WriteGuid(const TGuid& value, bool plain) { WriteBuffer(value.bytes, plain); }

void TCryptStream::WriteString(std::string_view value, bool plain) {
  if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    Throw(serr_streamtoolarge);
  }
  WriteInt32(static_cast<std::int32_t>(value.size()), plain);
  WriteBuffer(Bytes(value), plain);
}

std::uint8_t TCryptStream::ReadByte(bool plain) {
  std::uint8_t value;
  ReadBuffer({&value, 1}, plain);
  return value;
}

std::int16_t TCryptStream::ReadInt16(bool plain) {
  std::array<std::uint8_t, 2> bytes;
  ReadBuffer(bytes, plain);
  return static_cast<std::int16_t>(FromBytes(bytes));
}

std::int32_t TCryptStream::ReadInt32(bool plain) { return static_cast<std::int32_t>(ReadUInt32(plain)); }

std::uint32_t TCryptStream::ReadUInt32(bool plain) {
  std::array<std::uint8_t, 4> bytes;
  ReadBuffer(bytes, plain);
  return static_cast<std::uint32_t>(FromBytes(bytes));
}

double TCryptStream::ReadDouble(bool plain) {
  std::array<std::uint8_t, 8> bytes;
  ReadBuffer(bytes, plain);
  return std::bit_cast<double>(FromBytes(bytes));
}

TGuid TCryptStream::ReadGuid(bool plain) {
  TGuid value;
  ReadBuffer(value.bytes, plain);
  return value;
}

// The length is checked against what the part can still hold. Parts held in
// memory know it exactly; a streamed part grows the text piece by piece, so
// a damaged length never allocates more than the data that arrive.
std::string TCryptStream::ReadString(bool plain) {
  std::int32_t length = ReadInt32(plain);
  if (length < 0) Throw(sreaderror);
  std::size_t wanted = static_cast<std::size_t>(length);
  TMemoryStream* held = HasPlainPart(plain) ? plainPart_.get() : encryptedPart_.get();
  std::size_t left = !HasPlainPart(plain) && !hasPassword_ ? 0
                     : held                                ? held->Size() - held->Position()
                                                           : storedByteCount_ - byteCount_;
  if (wanted > left) Throw(sreaderror);
  std::string value;
  if (held) value.reserve(wanted);
  while (value.size() < wanted) {
    std::size_t start = value.size();
    value.resize(start + std::min(kPiece, wanted - start));
    ReadBuffer({reinterpret_cast<std::uint8_t*>(value.data()) + start, value.size() - start}, plain);
  }
  return value;
}

}  // namespace corvane
