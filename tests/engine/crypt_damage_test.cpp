// Damaged containers: truncated at any length, bits flipped anywhere, and
// lengths that promise more than the data hold. Each gives an error or, when
// the damage hits only padding, the original values: never a crash, a hang,
// a huge allocation or silently changed values.

#include <gtest/gtest.h>

#include "engine/messages.h"
#include "engine/zlib_stream.h"
#include "platform/error.h"
#include "tests/engine/crypt_test_support.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::TContainerOptions;

struct TValues {
  std::string plainText, secretText;
  std::int32_t number = 0;
  bool operator==(const TValues&) const = default;
};

const TValues kValues{"listed name", "secret text", 4711};

Bytes Write(const TContainerOptions& options) {
  return testing::WriteContainer(options, [](TCryptStream& s) {
    s.WriteString(kValues.plainText, true);
    s.WriteString(kValues.secretText, false);
    s.WriteInt32(kValues.number, false);
  });
}

// Reads the values back; nullopt when the read raised a TError.
std::optional<TValues> Read(const Bytes& data, const TContainerOptions& options) {
  try {
    TValues values;
    testing::ReadContainer(data, options, [&](TCryptStream& s) {
      values.plainText = s.ReadString(true);
      values.secretText = s.ReadString(false);
      values.number = s.ReadInt32(false);
    });
    return values;
  } catch (const TError&) {
    return std::nullopt;
  }
}

void ExpectErrorOrOriginal(const Bytes& data, const TContainerOptions& options, const std::string& what) {
  std::optional<TValues> values = Read(data, options);
  if (values) {
    EXPECT_EQ(values->secretText, kValues.secretText) << what;
    EXPECT_EQ(*values, kValues) << what;
  }
}

// Small enough to damage every bit: no first-block minimum, two ciphers.
const TContainerOptions kSmall{.algorithms = "\x05\x13", .twoPart = false, .firstBlockMin = 0};
// A database body: two parts and a first block of 8192 bytes.
const TContainerOptions kBody{.algorithms = "\x09\x18"};

TEST(CryptDamage, EveryTruncationOfSmallDataIsAnError) {
  Bytes data = Write(kSmall);
  ASSERT_EQ(Read(data, kSmall), kValues);
  for (std::size_t length = 0; length < data.size(); ++length) {
    EXPECT_EQ(Read(Bytes(data.begin(), data.begin() + length), kSmall), std::nullopt) << length;
  }
}

std::string ErrorOf(const std::function<void(TCryptStream&)>& body, const Bytes& data,
                    const TContainerOptions& options) {
  try {
    testing::ReadContainer(data, options, body);
  } catch (const TError& e) {
    return e.what();
  }
  return "(no error)";
}

// Damage that inflates without a zlib error can shorten a length, so the
// reader stops before the end; the random padding decides whether that
// happens, so the sweep is repeated over several writes.
TEST(CryptDamage, EveryFlippedBitOfSmallDataIsAnErrorOrHarmless) {
  for (int write = 0; write < 10; ++write) {
    Bytes data = Write(kSmall);
    for (std::size_t at = 0; at < data.size(); ++at) {
      for (int bit = 0; bit < 8; ++bit) {
        Bytes damaged = data;
        damaged[at] ^= static_cast<std::uint8_t>(1 << bit);
        ExpectErrorOrOriginal(damaged, kSmall, "byte " + std::to_string(at) + " bit " + std::to_string(bit));
        if (::testing::Test::HasFailure()) return;
      }
    }
  }
}

// The fold is its own inverse.
void Fold(Bytes& block) {
  for (std::size_t i = 0; i < block.size() / 2; ++i) block[i] ^= block[block.size() - 1 - i];
}

TEST(CryptDamage, SmallDataAreCheckedWholeEvenWhenOnlyTheFirstValueIsRead) {
  // Without ciphers the block is the folded zlib stream and its padding, so
  // the checksum at the zlib stream's end can be damaged on purpose.
  const TContainerOptions plain{.algorithms = "", .twoPart = false, .firstBlockMin = 0};
  const Bytes data = testing::WriteContainer(plain, [](TCryptStream& s) {
    s.WriteString("first", false);
    s.WriteString("second", false);
  });
  const std::size_t blockAt = 1 + 4 + 4;  // N = 0, ByteCount, first-block size
  Bytes block(data.begin() + blockAt, data.end());
  Fold(block);
  TMemoryStream compressed(block);
  TDecompressionStream inflate(compressed, /*returnUnusedInput=*/true);
  std::array<std::uint8_t, 64> sink;
  while (inflate.Read(sink) > 0) {
  }
  ASSERT_TRUE(inflate.AtStreamEnd());
  block[compressed.Position() - 1] ^= 0x01;  // the checksum's last byte
  Fold(block);
  Bytes damaged(data.begin(), data.begin() + blockAt);
  damaged.insert(damaged.end(), block.begin(), block.end());

  auto readFirst = [](TCryptStream& s) { EXPECT_EQ(s.ReadString(false), "first"); };
  EXPECT_EQ(ErrorOf(readFirst, data, plain), "(no error)");
  EXPECT_EQ(ErrorOf(readFirst, damaged, plain), serr_invalidpassword);
}

TEST(CryptDamage, TruncatedOrFlippedBodyIsAnErrorOrHarmless) {
  Bytes data = Write(kBody);
  TContainerOptions listing = kBody;
  listing.password = "";
  for (std::size_t length = 0; length < data.size(); length += length < 64 ? 1 : 37) {
    Bytes cut(data.begin(), data.begin() + length);
    EXPECT_EQ(Read(cut, kBody), std::nullopt) << length;
    Read(cut, listing);  // listing without the password must not crash either
  }
  for (std::size_t at = 0; at < data.size(); at += at < 64 ? 1 : 53) {
    Bytes damaged = data;
    damaged[at] ^= 0x10;
    ExpectErrorOrOriginal(damaged, kBody, "byte " + std::to_string(at));
    Read(damaged, listing);
  }
}

TEST(CryptDamage, LengthsBeyondTheDataAreReadErrors) {
  for (bool twoPart : {true, false}) {
    TContainerOptions options{.algorithms = "\x06", .twoPart = twoPart};
    for (std::int32_t length : {0x7FFFFFFF, -1, 100}) {
      SCOPED_TRACE(::testing::Message() << twoPart << " " << length);
      Bytes data = testing::WriteContainer(options, [&](TCryptStream& s) {
        s.WriteInt32(length, true);
        s.WriteInt32(length, false);
        s.WriteString("0123456789", false);
      });
      EXPECT_EQ(ErrorOf([](TCryptStream& s) { s.ReadString(true); }, data, options), sreaderror);
      EXPECT_EQ(ErrorOf([](TCryptStream& s) { s.ReadString(false); }, data, options), sreaderror);
    }
  }
}

TEST(CryptDamage, StoredSizesBeyondTheDataAreReadErrors) {
  // No plain values: the plain part is the 8-byte zlib stream of nothing, so
  // the sizes stand at known offsets (one cipher id).
  Bytes data = testing::WriteContainer({.algorithms = "\x06"}, [](TCryptStream& s) { s.WriteInt32(7, false); });
  const std::size_t plainSizeAt = 2, byteCountAt = 2 + 4 + 8;
  for (std::size_t at : {plainSizeAt, byteCountAt}) {
    Bytes damaged = data;
    for (std::size_t i = 0; i < 4; ++i) damaged[at + i] = 0xFF;
    EXPECT_EQ(ErrorOf([](TCryptStream& s) { s.ReadInt32(false); }, damaged, {}), sreaderror) << at;
  }
}

}  // namespace
}  // namespace corvane
