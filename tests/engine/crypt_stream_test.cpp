// The two-part and one-part container: round trips through every kind of
// chain, the byte layout, reading without the password, typed values,
// progress reports and streaming of large data.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>

#include "engine/cipher_buffer_stream.h"
#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "tests/engine/crypt_test_support.h"
#include "tests/support/error_of.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::NoiseBytes;
using testing::ReadContainer;
using testing::TContainerOptions;
using testing::WriteContainer;

TGuid SampleGuid() {
  TGuid id;
  for (std::uint8_t i = 0; i < 16; ++i) id.bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
  return id;
}

const Bytes kLarge = NoiseBytes(150000);  // compressed, it spans three blocks

// A body that uses both parts and every kind of value, interleaved.
void WriteSampleBody(TCryptStream& s) {
  s.WriteString("Database name", true);
  s.WriteByte(1, false);
  s.WriteString("", true);
  s.WriteString("encrypted \x01\xff text", false);
  s.WriteInt32(-123456, true);
  s.WriteInt16(-2, false);
  s.WriteUInt32(0xDEADBEEF, false);
  s.WriteDouble(46000.75, true);
  s.WriteDouble(-0.5, false);
  s.WriteGuid(SampleGuid(), false);
  s.WriteBuffer(kLarge, false);
  s.WriteByte(0x7F, true);
}

void ExpectSampleBody(TCryptStream& s) {
  EXPECT_EQ(s.ReadString(true), "Database name");
  EXPECT_EQ(s.ReadString(true), "");
  EXPECT_EQ(s.ReadInt32(true), -123456);
  EXPECT_EQ(s.ReadByte(false), 1);
  EXPECT_EQ(s.ReadString(false), "encrypted \x01\xff text");
  EXPECT_EQ(s.ReadInt16(false), -2);
  EXPECT_EQ(s.ReadUInt32(false), 0xDEADBEEFu);
  EXPECT_EQ(s.ReadDouble(true), 46000.75);
  EXPECT_EQ(s.ReadDouble(false), -0.5);
  EXPECT_EQ(s.ReadGuid(false), SampleGuid());
  Bytes large(kLarge.size());
  s.ReadBuffer(large, false);
  EXPECT_EQ(large, kLarge);
  EXPECT_EQ(s.ReadByte(true), 0x7F);
}

// Chains of 0, 1, 2 and up to 8 ciphers: none, each alone, every ordered
// pair, all eight forwards and backwards, and random orders of 3 to 8.
std::vector<std::string> SampleChains() {
  std::string all = AllAlgorithms();
  std::vector<std::string> chains{"", all, std::string(all.rbegin(), all.rend())};
  for (char a : all) {
    chains.push_back(std::string(1, a));
    for (char b : all)
      if (a != b) chains.push_back({a, b});
  }
  std::mt19937 random(7);
  for (int i = 0; i < 24; ++i) {
    std::string order = all;
    std::shuffle(order.begin(), order.end(), random);
    chains.push_back(order.substr(0, 3 + i % 6));
  }
  return chains;
}

TEST(CryptStream, RoundTripThroughEveryKindOfChain) {
  for (const std::string& chain : SampleChains()) {
    SCOPED_TRACE(::testing::PrintToString(Bytes(chain.begin(), chain.end())));
    TContainerOptions options{.algorithms = chain};
    Bytes data = WriteContainer(options, WriteSampleBody);
    ReadContainer(data, options, [&](TCryptStream& s) {
      ExpectSampleBody(s);
      EXPECT_EQ(s.Algorithms(), chain);
    });
  }
}

TEST(CryptStream, OldLayoutWithoutBlockBufferRoundTrips) {
  // Files of old formats pass the compressed data straight to the ciphers,
  // so CBC meets parts shorter than a block.
  TContainerOptions options{.algorithms = AllAlgorithms(), .bufferMode = TBufferMode::Direct};
  ReadContainer(WriteContainer(options, WriteSampleBody), options, ExpectSampleBody);
}

TEST(CryptStream, OnePartStreamsLargeDataInAnyPieces) {
  TContainerOptions options{.algorithms = AllAlgorithms(), .twoPart = false, .firstBlockMin = 0};
  Bytes payload = NoiseBytes(3'000'000, 5);
  Bytes data = WriteContainer(options, [&](TCryptStream& s) {
    s.WriteString("header", true);  // one-part: "plain" values are encrypted too
    for (std::size_t at = 0; at < payload.size(); at += 10007)
      s.WriteBuffer({payload.data() + at, std::min<std::size_t>(10007, payload.size() - at)}, false);
  });
  ReadContainer(data, options, [&](TCryptStream& s) {
    EXPECT_EQ(s.ReadString(false), "header");
    Bytes back(payload.size() + 100);
    std::size_t got = 0;
    while (std::size_t n = s.Read(std::span(back).subspan(got, std::min<std::size_t>(7777, back.size() - got))))
      got += n;
    EXPECT_EQ(got, payload.size());  // never beyond the stored byte count
    back.resize(got);
    EXPECT_EQ(back, payload);
  });
}

std::uint32_t Word(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

Bytes Inflate(const Bytes& compressed, std::size_t size, std::size_t* used = nullptr) {
  Bytes out(size);
  z_stream z{};
  inflateInit(&z);
  z.next_in = const_cast<Bytef*>(compressed.data());
  z.avail_in = static_cast<uInt>(compressed.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(size);
  EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
  if (used) *used = compressed.size() - z.avail_in;
  inflateEnd(&z);
  return out;
}

TEST(CryptStream, TwoPartLayoutWithoutCiphersIsCompressedPaddedAndFolded) {
  Bytes data = WriteContainer({.algorithms = ""}, [](TCryptStream& s) {
    s.WriteString("plain", true);
    s.WriteString("hidden", false);
  });
  ASSERT_EQ(data[0], 0);  // N = 0, no ids
  ASSERT_EQ(Word(data, 1), 9u);
  std::size_t used = 0;
  Bytes plain = Inflate(Bytes(data.begin() + 5, data.end()), 9, &used);
  EXPECT_EQ(plain, (Bytes{5, 0, 0, 0, 'p', 'l', 'a', 'i', 'n'}));
  std::size_t at = 5 + used;
  EXPECT_EQ(Word(data, at), 10u);  // ByteCount
  EXPECT_EQ(Word(data, at + 4) ^ TCipherBufferStream::kSizeMask, 8192u);
  ASSERT_EQ(data.size(), at + 8 + 8192);  // one first block of exactly 8192 bytes
  Bytes block(data.begin() + at + 8, data.end());
  for (std::size_t i = 0; i < 4096; ++i) block[i] ^= block[8191 - i];
  EXPECT_EQ(Inflate(block, 10), (Bytes{6, 0, 0, 0, 'h', 'i', 'd', 'd', 'e', 'n'}));
}

TEST(CryptStream, LayoutHeaderNamesTheCiphersInApplicationOrder) {
  std::string chain = "\x19\x05\x09";
  Bytes data = WriteContainer({.algorithms = chain}, WriteSampleBody);
  EXPECT_EQ(Bytes(data.begin(), data.begin() + 4), (Bytes{3, 0x19, 0x05, 0x09}));
}

TEST(CryptStream, SavingTwiceGivesDifferentEncryptedBytes) {
  TContainerOptions options{.algorithms = AllAlgorithms()};
  auto body = [](TCryptStream& s) { s.WriteString("same", false); };
  Bytes a = WriteContainer(options, body), b = WriteContainer(options, body);
  ASSERT_EQ(a.size(), b.size());
  std::size_t blockStart = a.size() - 8192;
  EXPECT_EQ(Bytes(a.begin(), a.begin() + blockStart), Bytes(b.begin(), b.begin() + blockStart));
  std::size_t same = 0;
  for (std::size_t i = blockStart; i < a.size(); ++i) same += a[i] == b[i];
  EXPECT_LT(same, 100u);  // about 32 of 8192 by chance
}

TEST(CryptStream, WithoutPasswordThePlainPartReadsAndTheRestIsZero) {
  Bytes data = WriteContainer({.algorithms = AllAlgorithms()}, WriteSampleBody);
  ReadContainer(data, {.password = "", .algorithms = ""}, [](TCryptStream& s) {
    EXPECT_EQ(s.ReadString(true), "Database name");
    EXPECT_EQ(s.ReadByte(false), 0);
    EXPECT_EQ(s.ReadString(false), "");
    EXPECT_EQ(s.ReadString(true), "");
    EXPECT_EQ(s.ReadInt32(true), -123456);
    EXPECT_EQ(s.ReadUInt32(false), 0u);
    EXPECT_TRUE(s.ReadGuid(false).IsNull());
    EXPECT_EQ(s.ReadDouble(true), 46000.75);
    Bytes none(10, 0xEE);
    EXPECT_EQ(s.Read(none), 0u);
    EXPECT_EQ(s.Algorithms(), AllAlgorithms());
  });
}

using testing_support::ErrorOf;

TEST(CryptStream, UnknownCipherIdInTheData) {
  Bytes data = WriteContainer({.algorithms = "\x05\x09"}, WriteSampleBody);
  data[2] = 0x63;
  EXPECT_EQ(ErrorOf([&] { ReadContainer(data, {}, [](TCryptStream& s) { s.ReadString(true); }); }),
            serr_algorithmnotfound);
  // Without the password no cipher is made: the plain part can still be listed.
  ReadContainer(data, {.password = "", .algorithms = ""}, [](TCryptStream& s) { EXPECT_EQ(s.ReadString(true), "Database name"); });
}

TEST(CryptStream, WriterRefusesBeforeWritingAnything) {
  struct TCase {
    std::string password, algorithms;
    std::string_view message;
  } cases[] = {
      {"pw", std::string("\x05\x00", 2), serr_algorithmnotfound},
      {"", "\x05", serr_emptypassword},
  };
  for (const auto& c : cases) {
    TMemoryStream out;
    TCryptStream s(out, c.password, c.algorithms, true);
    EXPECT_EQ(ErrorOf([&] { s.WriteString("x", true); }), c.message);
    EXPECT_EQ(out.Size(), 0u);
    EXPECT_THROW(s.Finish(), TError);
  }
}

TEST(CryptStream, NothingWrittenStillGivesAValidContainer) {
  Bytes data = WriteContainer({.algorithms = "\x06"}, [](TCryptStream&) {});
  ReadContainer(data, {}, [](TCryptStream& s) {
    std::uint8_t byte;
    EXPECT_EQ(s.Read({&byte, 1}), 0u);
    EXPECT_EQ(s.Algorithms(), "\x06");
    EXPECT_THROW(s.ReadByte(true), TError);
  });
}

TEST(CryptStream, ReaderOrWriterIsFixedByTheFirstOperation) {
  TMemoryStream out;
  TCryptStream s(out, "pw", "", true);
  s.WriteByte(1, false);
  EXPECT_EQ(ErrorOf([&] { s.ReadByte(false); }), sreaderror);
  s.Finish();
  EXPECT_EQ(ErrorOf([&] { s.WriteByte(1, false); }), swriteerror);
}

TEST(CryptStream, ProgressIsReportedForTheChosenEvent) {
  TContainerOptions options{.algorithms = "\x09", .twoPart = false, .firstBlockMin = 0};
  Bytes payload = NoiseBytes(200000);
  auto write = [&](TCryptProgressMode mode) {
    std::uint64_t total = 0;
    int calls = 0;
    Bytes data = WriteContainer(options, [&](TCryptStream& s) {
      s.SetProgress([&](std::uint64_t n) { total += n, ++calls; }, mode);
      s.WriteBuffer({payload.data(), 100000}, false);
      s.WriteBuffer({payload.data() + 100000, 100000}, false);
    });
    return std::tuple(total, calls, data);
  };
  auto [written, writeCalls, data] = write(TCryptProgressMode::AfterWrite);
  EXPECT_EQ(written, payload.size());
  EXPECT_EQ(writeCalls, 2);
  auto [compressed, compressCalls, _] = write(TCryptProgressMode::Compression);
  EXPECT_GT(compressed, payload.size());  // noise grows a little when compressed
  EXPECT_GE(compressCalls, 3);            // output leaves in 64 KiB pieces

  for (auto mode : {TCryptProgressMode::AfterRead, TCryptProgressMode::Decompression}) {
    std::uint64_t total = 0;
    ReadContainer(data, options, [&](TCryptStream& s) {
      s.SetProgress([&](std::uint64_t n) { total += n; }, mode);
      Bytes back(payload.size());
      s.ReadBuffer(back, false);
    });
    EXPECT_GE(total, mode == TCryptProgressMode::AfterRead ? payload.size() : compressed);
  }
}

}  // namespace
}  // namespace corvane
