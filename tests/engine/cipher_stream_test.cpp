// Cipher layers and the chain: chunking, the order in which the ciphers of a
// chain are applied, and streams that take less than they are given.

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/blowfish.h>
#include <cryptopp/modes.h>
#include <cryptopp/rijndael.h>
#include <cryptopp/sha.h>
#include <gtest/gtest.h>

#include "engine/cipher_chain.h"
#include "engine/cipher_registry.h"
#include "engine/cipher_stream.h"
#include "platform/error.h"
#include "tests/engine/crypt_test_support.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::NoiseBytes;

const std::string kPassword = "chain";

// Encrypts `data` through one layer, one Write per entry of `calls`.
Bytes EncryptInCalls(std::uint8_t id, const Bytes& data, std::initializer_list<std::size_t> calls) {
  TMemoryStream sink;
  TCipherStream layer(sink, CreateCipher(id, kPassword));
  std::size_t at = 0;
  for (std::size_t n : calls) {
    layer.WriteBuffer({data.data() + at, n});
    at += n;
  }
  return testing::ToBytes(sink.Data());
}

TEST(CipherStream, CipherSeesChunksOf8192FromTheStartOfEachCall) {
  Bytes data = NoiseBytes(20000);
  // RC4's counters restart with every chunk: chunks of 8192 counted from the
  // start of the call are the format, whatever the calls look like beyond that.
  EXPECT_EQ(EncryptInCalls(19, data, {20000}), EncryptInCalls(19, data, {8192, 11808}));
  EXPECT_NE(EncryptInCalls(19, data, {20000}), EncryptInCalls(19, data, {5000, 15000}));
  // CBC on whole blocks does not depend on the calls at all.
  EXPECT_EQ(EncryptInCalls(9, data, {20000}), EncryptInCalls(9, data, {5008, 14992}));

  // A reader that reads with the writer's lengths gets the data back.
  TMemoryStream sink(EncryptInCalls(19, data, {5000, 15000}));
  TCipherStream reader(sink, CreateCipher(19, kPassword));
  Bytes back(20000);
  reader.ReadBuffer({back.data(), 5000});
  reader.ReadBuffer({back.data() + 5000, 15000});
  EXPECT_EQ(back, data);
  EXPECT_EQ(reader.Read(back), 0u);
}

TEST(CipherStream, ChainAppliesTheFirstIdFirst) {
  Bytes data = NoiseBytes(64);
  TMemoryStream sink;
  CreateCipherChain(sink, "\x09\x05", kPassword, /*blockBuffer=*/false, 0)->WriteBuffer(data);

  // Rijndael (id 9) first, then Blowfish (id 5), each in CBC with IV E_K(0).
  auto cbc = [](auto ecb, auto mode, const Bytes& key, Bytes in) {
    ecb.SetKey(key.data(), key.size());
    Bytes iv(ecb.BlockSize(), 0);
    ecb.ProcessBlock(iv.data());
    mode.SetKeyWithIV(key.data(), key.size(), iv.data());
    mode.ProcessData(in.data(), in.data(), in.size());
    return in;
  };
  Bytes sha256(32), sha384(48);
  CryptoPP::SHA256().CalculateDigest(sha256.data(), reinterpret_cast<const CryptoPP::byte*>(kPassword.data()),
                                     kPassword.size());
  CryptoPP::SHA384().CalculateDigest(sha384.data(), reinterpret_cast<const CryptoPP::byte*>(kPassword.data()),
                                     kPassword.size());
  Bytes expected = cbc(CryptoPP::Rijndael::Encryption(), CryptoPP::CBC_Mode<CryptoPP::Rijndael>::Encryption(),
                       sha256, data);
  expected = cbc(CryptoPP::Blowfish::Encryption(), CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption(), sha384,
                 expected);
  EXPECT_EQ(testing::ToBytes(sink.Data()), expected);

  TMemoryStream source(expected);
  Bytes back(64);
  CreateCipherChain(source, "\x09\x05", kPassword, false, 0)->ReadBuffer(back);
  EXPECT_EQ(back, data);
}

TEST(CipherStream, UnknownIdInAChainKeysNothing) {
  TMemoryStream sink;
  EXPECT_THROW(CreateCipherChain(sink, std::string("\x05\x00", 2), kPassword, true, 8192), TError);
  EXPECT_EQ(sink.Size(), 0u);
}

// A sink that takes at most `limit` bytes in all.
class TShortSink : public TStream {
 public:
  explicit TShortSink(std::size_t limit) : limit_(limit) {}
  std::size_t Read(std::span<std::uint8_t>) override { return 0; }
  std::size_t Write(std::span<const std::uint8_t> data) override {
    std::size_t n = std::min(data.size(), limit_ - taken_);
    taken_ += n;
    return n;
  }
  std::uint64_t Seek(std::int64_t, TSeekOrigin) override { return taken_; }

 private:
  std::size_t limit_, taken_ = 0;
};

TEST(CipherStream, WriteStopsWhenTheInnerStreamTakesLess) {
  TShortSink sink(10000);
  TCipherStream layer(sink, CreateCipher(5, kPassword));
  Bytes data = NoiseBytes(30000);
  EXPECT_EQ(layer.Write(data), 10000u);
  EXPECT_THROW(layer.WriteBuffer(data), TError);
}

}  // namespace
}  // namespace corvane
