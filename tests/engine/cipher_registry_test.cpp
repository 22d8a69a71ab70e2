// The cipher table and key derivation, and known-answer checks that each
// cipher is its standard algorithm in CBC mode with the IV E_K(0).

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/arc4.h>
#include <cryptopp/blowfish.h>
#include <cryptopp/cast.h>
#include <cryptopp/des.h>
#include <cryptopp/md5.h>
#include <cryptopp/rijndael.h>
#include <cryptopp/serpent.h>
#include <cryptopp/sha.h>
#include <cryptopp/tea.h>
#include <cryptopp/twofish.h>
#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kPassword = "correct horse";

template <class THash>
Bytes Digest(std::string_view text) {
  Bytes out(THash::DIGESTSIZE);
  THash().CalculateDigest(out.data(), reinterpret_cast<const CryptoPP::byte*>(text.data()), text.size());
  return out;
}

Bytes Pattern(std::size_t n) {
  Bytes data(n);
  for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return data;
}

TEST(CipherRegistry, TableInRegistrationOrder) {
  struct TRow {
    const char* name;
    std::uint8_t id;
    unsigned blockBits, maxKeyBits, digestBits;
  };
  const TRow expected[] = {
      {"Blowfish", 5, 64, 448, 384}, {"Cast128", 7, 64, 128, 128}, {"3DES", 24, 64, 192, 160},
      {"RC4", 19, 0, 2048, 512},     {"Rijndael", 9, 128, 256, 256}, {"Serpent", 26, 128, 256, 256},
      {"Tea", 25, 64, 128, 128},     {"Twofish", 6, 128, 256, 256},
  };
  auto ciphers = RegisteredCiphers();
  ASSERT_EQ(ciphers.size(), std::size(expected));
  std::string ids;
  for (std::size_t i = 0; i < ciphers.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(ciphers[i].name, expected[i].name);
    EXPECT_EQ(ciphers[i].id, expected[i].id);
    EXPECT_EQ(ciphers[i].blockBits, expected[i].blockBits);
    EXPECT_EQ(ciphers[i].maxKeyBits, expected[i].maxKeyBits);
    EXPECT_EQ(KeyDigestBits(ciphers[i].maxKeyBits), expected[i].digestBits);
    EXPECT_EQ(DeriveKey(kPassword, ciphers[i].maxKeyBits).size() * 8, expected[i].digestBits);
    EXPECT_EQ(&CipherById(expected[i].id), &ciphers[i]);
    ids.push_back(static_cast<char>(expected[i].id));
  }
  EXPECT_EQ(AllAlgorithms(), ids);
}

TEST(CipherRegistry, DigestChosenByKeySizeBoundaries) {
  const std::pair<unsigned, unsigned> cases[] = {{40, 128},  {159, 128}, {160, 160}, {255, 160}, {256, 256},
                                                 {383, 256}, {384, 384}, {511, 384}, {512, 512}, {4096, 512}};
  for (auto [keyBits, digestBits] : cases) EXPECT_EQ(KeyDigestBits(keyBits), digestBits) << keyBits;
  // A key smaller than its digest is the digest's first bytes.
  Bytes md5 = Digest<CryptoPP::Weak::MD5>(kPassword);
  TSecureBytes cut = DeriveKey(kPassword, 80);
  EXPECT_EQ(Bytes(cut.begin(), cut.end()), Bytes(md5.begin(), md5.begin() + 10));
  TSecureBytes sha384 = DeriveKey(kPassword, 448);
  EXPECT_EQ(Bytes(sha384.begin(), sha384.end()), Digest<CryptoPP::SHA384>(kPassword));
}

TEST(CipherRegistry, UnknownIdIsRefused) {
  EXPECT_EQ(FindCipher(0), nullptr);
  for (std::uint8_t id : {0, 1, 8, 255}) {
    try {
      CreateCipher(id, kPassword);
      ADD_FAILURE() << int(id);
    } catch (const TError& e) {
      EXPECT_EQ(e.what(), serr_algorithmnotfound);
    }
  }
  EXPECT_THROW(CheckAlgorithms(std::string("\x05\x63", 2)), TError);
  EXPECT_NO_THROW(CheckAlgorithms(""));
}

// Encrypts `plain` (whole blocks) in CBC with the IV E_K(0), built block by
// block from a raw ECB transformation.
Bytes ReferenceCbc(CryptoPP::BlockTransformation& ecb, const Bytes& plain) {
  const std::size_t block = ecb.BlockSize();
  Bytes chain(block, 0), out(plain.size());
  ecb.ProcessBlock(chain.data());
  for (std::size_t at = 0; at < plain.size(); at += block) {
    for (std::size_t i = 0; i < block; ++i) out[at + i] = plain[at + i] ^ chain[i];
    ecb.ProcessBlock(out.data() + at);
    std::copy_n(out.begin() + at, block, chain.begin());
  }
  return out;
}

template <class TAlgorithm>
std::unique_ptr<CryptoPP::BlockTransformation> Ecb(const Bytes& key) {
  return std::make_unique<typename TAlgorithm::Encryption>(key.data(), key.size());
}

TEST(CipherRegistry, BlockCiphersAreStandardAlgorithmsInCbcWithEncryptedZeroIv) {
  Bytes sha1Key = Digest<CryptoPP::SHA1>(kPassword);
  Bytes desKeys = sha1Key;
  desKeys.resize(24, 0);
  struct TCase {
    std::uint8_t id;
    std::unique_ptr<CryptoPP::BlockTransformation> ecb;
  } cases[] = {
      {5, Ecb<CryptoPP::Blowfish>(Digest<CryptoPP::SHA384>(kPassword))},
      {7, Ecb<CryptoPP::CAST128>(Digest<CryptoPP::Weak::MD5>(kPassword))},
      {24, Ecb<CryptoPP::DES_EDE3>(desKeys)},
      {9, Ecb<CryptoPP::Rijndael>(Digest<CryptoPP::SHA256>(kPassword))},
      {26, Ecb<CryptoPP::Serpent>(Digest<CryptoPP::SHA256>(kPassword))},
      {25, Ecb<CryptoPP::TEA>(Digest<CryptoPP::Weak::MD5>(kPassword))},
      {6, Ecb<CryptoPP::Twofish>(Digest<CryptoPP::SHA256>(kPassword))},
  };
  const Bytes plain = Pattern(96);
  for (auto& c : cases) {
    SCOPED_TRACE(int(c.id));
    Bytes expected = ReferenceCbc(*c.ecb, plain);
    // The chaining value carries on across calls of any whole-block length.
    auto cipher = CreateCipher(c.id, kPassword);
    Bytes data = plain;
    cipher->Encrypt({data.data(), 16});
    cipher->Encrypt({data.data() + 16, 80});
    EXPECT_EQ(data, expected);
    auto decipher = CreateCipher(c.id, kPassword);
    decipher->Decrypt({data.data(), 48});
    decipher->Decrypt({data.data() + 48, 48});
    EXPECT_EQ(data, plain);
  }
}

TEST(CipherRegistry, TripleDesIsEncryptDecryptEncryptWithThirdKeyZeroPadded) {
  Bytes key = Digest<CryptoPP::SHA1>(kPassword);
  Bytes k1(key.begin(), key.begin() + 8), k2(key.begin() + 8, key.begin() + 16);
  Bytes k3(key.begin() + 16, key.end());
  k3.resize(8, 0);
  CryptoPP::DES::Encryption e1(k1.data(), 8), e3(k3.data(), 8);
  CryptoPP::DES::Decryption d2(k2.data(), 8);
  Bytes block(8, 0);  // the IV is E(0): this is the first block of CBC on zeros
  e1.ProcessBlock(block.data());
  d2.ProcessBlock(block.data());
  e3.ProcessBlock(block.data());

  Bytes zeros(8, 0);
  CreateCipher(24, kPassword)->Encrypt(zeros);
  // CBC of a zero block is E(0 xor IV) = E(IV).
  e1.ProcessBlock(block.data());
  d2.ProcessBlock(block.data());
  e3.ProcessBlock(block.data());
  EXPECT_EQ(zeros, block);
}

TEST(CipherRegistry, ShortFinalPartIsXoredWithTheEncryptedChainingValue) {
  CryptoPP::Rijndael::Encryption aes(Digest<CryptoPP::SHA256>(kPassword).data(), 32);
  Bytes plain = Pattern(16 + 5);
  Bytes expected = ReferenceCbc(aes, Bytes(plain.begin(), plain.begin() + 16));
  Bytes pad(expected.begin(), expected.end());  // chaining value after one block
  aes.ProcessBlock(pad.data());
  for (std::size_t i = 0; i < 5; ++i) expected.push_back(plain[16 + i] ^ pad[i]);

  Bytes data = plain;
  CreateCipher(9, kPassword)->Encrypt(data);
  EXPECT_EQ(data, expected);
  CreateCipher(9, kPassword)->Decrypt(data);
  EXPECT_EQ(data, plain);
}

TEST(CipherRegistry, Rc4RestartsItsCountersOnEveryCallButKeepsThePermutation) {
  Bytes key = Digest<CryptoPP::SHA512>(kPassword);
  const Bytes plain(1000, 0);  // so that what comes out is the keystream
  Bytes standard = plain;
  CryptoPP::Weak::ARC4(key.data(), key.size()).ProcessData(standard.data(), standard.data(), standard.size());

  // One call is standard RC4 with the SHA-512 key.
  Bytes oneCall = plain;
  CreateCipher(19, kPassword)->Encrypt(oneCall);
  EXPECT_EQ(oneCall, standard);

  // A second call continues the permutation with fresh counters: neither a
  // continued keystream nor a restarted one.
  Bytes twoCalls = plain;
  auto rc4 = CreateCipher(19, kPassword);
  rc4->Encrypt({twoCalls.data(), 500});
  rc4->Encrypt({twoCalls.data() + 500, 500});
  EXPECT_TRUE(std::equal(twoCalls.begin(), twoCalls.begin() + 500, standard.begin()));
  EXPECT_FALSE(std::equal(twoCalls.begin() + 500, twoCalls.end(), standard.begin() + 500));
  EXPECT_FALSE(std::equal(twoCalls.begin() + 500, twoCalls.end(), standard.begin()));
  auto back = CreateCipher(19, kPassword);
  back->Decrypt({twoCalls.data(), 500});
  back->Decrypt({twoCalls.data() + 500, 500});
  EXPECT_EQ(twoCalls, plain);
}

}  // namespace
}  // namespace corvane
