#pragma once
// TCryptStream: the encrypted container that a database body or an
// attachment's data block is written to and read from.
//
// It carries two byte sequences. The encrypted part is compressed with zlib
// and passed through the cipher chain (see cipher_chain.h). The plain part
// (two-part mode only) is compressed but not encrypted, so it can be read
// without the password. Values must be read from the part they were written
// to, each part in its own order. In one-part mode both parts are the
// encrypted part.
//
// Layout written to the source (integers little-endian):
//   1 byte N, N cipher ids;
//   two-part only: 4 bytes plain size, the plain part as one zlib stream;
//   4 bytes ByteCount (bytes of the encrypted part before compression);
//   4 bytes first-block size XOR TCipherBufferStream::kSizeMask;
//   the encrypted blocks.
//
// A TCryptStream is either a writer or a reader, fixed by its first
// operation; it is used from one thread at a time.
//
// Memory: a two-part writer holds the plain part and the encrypted result in
// memory; a two-part reader holds both decompressed parts. In one-part mode
// only fixed buffers are used, so data of any size stream through; a reader
// holds an encrypted part of at most 64 KiB whole, to check it before the
// first value is returned. Every buffer that held plain data is wiped when
// freed.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/stream.h"
#include "platform/guid.h"

namespace corvane {

class TCompressionStream;
class TDecompressionStream;
class TMemoryStream;

// Whether the block buffer stands in front of the cipher chain.
enum class TBufferMode : std::uint8_t { Direct = 1, Blocks = 2 };

// Which event calls the progress callback of a TCryptStream.
enum class TCryptProgressMode {
  AfterRead = 0,      // each read from the encrypted part: bytes read
  AfterWrite = 1,     // each write to it: bytes written
  Decompression = 2,  // each read of compressed input: compressed bytes
  Compression = 3,    // each write of compressed output: compressed bytes
};

using TCryptProgress = std::function<void(std::uint64_t bytes)>;

class TCryptStream : public TStream {
 public:
  // A container over `source`, which is borrowed and must outlive it (or,
  // in the second form, owned). `password` empty means "not known": a reader
  // then returns the plain part and zeros for everything encrypted; a writer
  // refuses with serr_emptypassword. `algorithms` (cipher ids, one byte each)
  // is what a writer uses; a reader takes them from the data instead.
  TCryptStream(TStream& source, std::string_view password, std::string_view algorithms, bool twoPart);
  TCryptStream(std::unique_ptr<TStream> source, std::string_view password, std::string_view algorithms,
               bool twoPart);
  // Wipes everything. An unfinished writer writes nothing more: only
  // Finish() completes a container.
  ~TCryptStream() override;

  // Settings, to be made before the first read or write.
  // Direct: without the block buffer (data of formats before 2.11).
  void SetBufferMode(TBufferMode mode) { bufferMode_ = mode; }
  // Smallest first block: 8192 (the default) for a database body, 0 for
  // attachments. Readers accept any size.
  void SetFirstBlockMin(std::size_t bytes) { firstBlockMin_ = bytes; }
  // The database's two cells of the wrong-password delay (borrowed). With
  // them, a two-part reader pauses (see wrong_password_delay.h) before it
  // reports serr_invalidpassword.
  void SetWrongPasswordCells(std::uint32_t& tick, std::uint32_t& delay);
  // Calls `callback` for the events of `mode` with the bytes moved since the
  // previous call. An exception from it (a cancel) ends the operation.
  void SetProgress(TCryptProgress callback, TCryptProgressMode mode);

  // Writes `data` to the plain part (`plain`, two-part mode) or the
  // encrypted part. The first write checks the cipher ids
  // (serr_algorithmnotfound) and the password (serr_emptypassword) before
  // anything reaches the source. A part of 4 GiB or more raises
  // serr_streamtoolarge.
  void WriteBuffer(std::span<const std::uint8_t> data, bool plain);
  // Reads exactly data.size() bytes from a part. A short read raises
  // sreaderror. The first read reads the header and the plain part; when the
  // password is known it also deciphers the encrypted part (two-part mode,
  // or one of at most 64 KiB: all of it at once, checked to its end). A
  // larger one-part container is checked when its last byte is read.
  // Failures: serr_algorithmnotfound for an unknown id,
  // serr_invalidpassword for any zlib data error in the encrypted part (a
  // wrong password shows as such; a bad checksum too), sreaderror for
  // truncated data or a part that does not end at its stored size, and a
  // zlib message (serr_compressionerror) for a damaged plain part. Without
  // the password, reads of the encrypted part give zeros and never fail.
  void ReadBuffer(std::span<std::uint8_t> data, bool plain);
  using TStream::ReadBuffer;
  using TStream::WriteBuffer;

  // Typed values, little-endian, each wholly in one part. A string is an
  // i32 length and its bytes; a negative length or one beyond the data
  // raises sreaderror.
  void WriteByte(std::uint8_t value, bool plain);
  void WriteInt16(std::int16_t value, bool plain);
  void WriteInt32(std::int32_t value, bool plain);
  void WriteUInt32(std::uint32_t value, bool plain);
  void WriteDouble(double value, bool plain);
  void WriteGuid(const TGuid& value, bool plain);
  void WriteString(std::string_view value, bool plain);
  std::uint8_t ReadByte(bool plain);
  std::int16_t ReadInt16(bool plain);
  std::int32_t ReadInt32(bool plain);
  std::uint32_t ReadUInt32(bool plain);
  double ReadDouble(bool plain);
  TGuid ReadGuid(bool plain);
  std::string ReadString(bool plain);
  using TStream::ReadUInt32;
  using TStream::WriteUInt32;

  // TStream over the encrypted part, for streaming data blocks: Read returns
  // fewer bytes only at the end of the part (0 without the password).
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t Write(std::span<const std::uint8_t> data) override;
  // Only asks for the position in the encrypted part (ByteCount); any other
  // seek raises sseekerror.
  std::uint64_t Seek(std::int64_t offset, TSeekOrigin origin) override;

  // Completes a writer: ends the compression, writes the last block, the byte
  // count and (two-part) both parts to the source. A writer that was never
  // written to produces a valid empty container. After a failed write it
  // raises swriteerror. Does nothing for a reader.
  void Finish() override;

  // The cipher ids: as given to a writer, or as read by the first read.
  const std::string& Algorithms() const { return algorithms_; }
  // Bytes written to or read from the encrypted part so far.
  std::uint32_t ByteCount() const { return byteCount_; }

 private:
  enum class TState { Idle, Writing, Reading, Finished, Failed };

  void BeginWrite();
  void BeginRead();
  void ReadPlainPart();
  void LoadEncryptedPart();
  std::size_t ReadEncrypted(std::span<std::uint8_t> buffer);
  std::size_t Inflate(std::span<std::uint8_t> buffer);
  void VerifyEncryptedEnd();
  void EnsureWriting();
  void EnsureReading();
  bool HasPlainPart(bool plain) const { return plain && twoPart_; }
  void Report(TCryptProgressMode event, std::uint64_t bytes);

  std::unique_ptr<TStream> ownedSource_;
  TStream& source_;
  std::string password_;
  bool hasPassword_;
  std::string algorithms_;
  bool twoPart_;
  TBufferMode bufferMode_ = TBufferMode::Blocks;
  std::size_t firstBlockMin_ = 8192;
  std::uint32_t* wrongPasswordTick_ = nullptr;
  std::uint32_t* wrongPasswordDelay_ = nullptr;
  TCryptProgress progress_;
  TCryptProgressMode progressMode_ = TCryptProgressMode::AfterRead;

  TState state_ = TState::Idle;
  std::unique_ptr<TMemoryStream> ownedSink_;  // the encrypted part, two-part writer
  TStream* sink_ = nullptr;
  std::unique_ptr<TMemoryStream> plainPart_;
  std::unique_ptr<TMemoryStream> encryptedPart_;  // decompressed, when held whole
  std::unique_ptr<TStream> chain_;
  std::unique_ptr<TCompressionStream> compressor_;
  std::unique_ptr<TDecompressionStream> decompressor_;
  std::uint64_t countPosition_ = 0;
  std::uint32_t byteCount_ = 0;
  std::uint32_t storedByteCount_ = 0;  // reader: ByteCount as stored
  bool endVerified_ = false;
};

}  // namespace corvane
