// The block buffer: block sizes, the first-block minimum, the masked size
// word, the fold and reading it all back.

#include <gtest/gtest.h>


#include "engine/cipher_buffer_stream.h"
#include "tests/engine/crypt_test_support.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::NoiseBytes;

constexpr std::uint32_t kMask = TCipherBufferStream::kSizeMask;

// Writes `data` through a buffer with no cipher into one sink, which then holds
// the size word followed by the blocks.
Bytes Buffered(const Bytes& data, std::size_t firstBlockMin) {
  TMemoryStream sink;
  TCipherBufferStream buffer(sink, sink, firstBlockMin);
  buffer.WriteBuffer(data);
  buffer.Finish();
  return testing::ToBytes(sink.Data());
}

std::uint32_t Word(const Bytes& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

TEST(CipherBufferStream, BlockSizes) {
  struct TCase {
    std::size_t written, firstBlockMin, firstBlock, total;
  } cases[] = {
      {0, 8192, 8192, 8192},             // an empty stream still has a full first block
      {100, 8192, 8192, 8192},           // short data: first block of exactly the minimum
      {8192, 8192, 8192, 8192},
      {8193, 8192, 8208, 8208},          // above the minimum: rounded up to 16
      {65536, 8192, 65536, 65536},       // exactly one full block, nothing after it
      {65537, 8192, 65536, 65536 + 16},  // the last block padded to 16
      {3 * 65536 + 5, 8192, 65536, 3 * 65536 + 16},
      {100, 0, 112, 112},                // no minimum: only padded to 16
      {0, 0, 0, 0},
      {100, 100, 112, 112},              // a minimum is itself a multiple of 16
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.written << " bytes, minimum " << c.firstBlockMin);
    Bytes out = Buffered(NoiseBytes(c.written), c.firstBlockMin);
    ASSERT_EQ(out.size(), 4 + c.total);
    EXPECT_EQ(Word(out, 0) ^ kMask, c.firstBlock);
  }
}

TEST(CipherBufferStream, FirstBlockIsFoldedAndLaterBlocksAreNot) {
  Bytes data = NoiseBytes(65536 + 40);
  Bytes out = Buffered(data, 8192);
  const std::size_t n = 65536;
  for (std::size_t i = 0; i < n / 2; ++i) ASSERT_EQ(out[4 + i], data[i] ^ data[n - 1 - i]) << i;
  EXPECT_TRUE(std::equal(data.begin() + n / 2, data.end(), out.begin() + 4 + n / 2));

  // With short data the random padding is folded into the data bytes.
  Bytes small = NoiseBytes(10);
  Bytes first = Buffered(small, 8192), second = Buffered(small, 8192);
  EXPECT_NE(Bytes(first.begin() + 4, first.begin() + 14), Bytes(second.begin() + 4, second.begin() + 14));
}

TEST(CipherBufferStream, ReadsBackDataFollowedByPadding) {
  for (std::size_t size : {0u, 1u, 8192u, 65536u, 65537u, 200000u}) {
    SCOPED_TRACE(size);
    Bytes data = NoiseBytes(size);
    for (std::size_t minimum : {0u, 8192u}) {
      TMemoryStream sink(Buffered(data, minimum));
      TCipherBufferStream reader(sink, sink, minimum);
      Bytes back(size + 70000);
      std::size_t got = 0;
      while (std::size_t n = reader.Read(std::span(back).subspan(got, std::min<std::size_t>(777, back.size() - got))))
        got += n;
      ASSERT_GE(got, size);
      EXPECT_LT(got, std::max<std::size_t>(size + 16, 8192 + 1));
      EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin()));
    }
  }
}

TEST(CipherBufferStream, DamagedSizeWordEndsTheData) {
  Bytes out = Buffered(NoiseBytes(100), 8192);
  for (std::uint32_t size : {65537u, 0x80000000u, 0xFFFFFFFFu, 9000u /* beyond the data */}) {
    SCOPED_TRACE(size);
    Bytes damaged = out;
    std::uint32_t word = size ^ kMask;
    for (int i = 0; i < 4; ++i) damaged[i] = static_cast<std::uint8_t>(word >> (8 * i));
    TMemoryStream sink(damaged);
    TCipherBufferStream reader(sink, sink, 8192);
    Bytes back(100);
    EXPECT_EQ(reader.Read(back), 0u);
  }
  TMemoryStream empty;
  TCipherBufferStream reader(empty, empty, 8192);
  Bytes back(10);
  EXPECT_EQ(reader.Read(back), 0u);
}

}  // namespace
}  // namespace corvane
