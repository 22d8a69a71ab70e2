#include "engine/cipher_registry.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/blowfish.h>
#include <cryptopp/cast.h>
#include <cryptopp/des.h>
#include <cryptopp/md5.h>
#include <cryptopp/rijndael.h>
#include <cryptopp/serpent.h>
#include <cryptopp/sha.h>
#include <cryptopp/tea.h>
#include <cryptopp/twofish.h>

#include <algorithm>
#include <array>

#include "engine/cbc_cipher.h"
#include "engine/messages.h"
#include "engine/rc4_cipher.h"
#include "platform/error.h"

namespace corvane {

namespace {

template <class TAlgorithm>
std::unique_ptr<TCipher> MakeCbc(std::span<const std::uint8_t> key) {
  return std::make_unique<TCbcCipher>(
      std::make_unique<typename TAlgorithm::Encryption>(key.data(), key.size()),
      std::make_unique<typename TAlgorithm::Decryption>(key.data(), key.size()));
}

// Triple DES takes three 8-byte DES keys from a zeroed 24-byte buffer that the
// derived key fills from its start (a 160-bit key leaves the last 4 bytes 0).
std::unique_ptr<TCipher> MakeTripleDes(std::span<const std::uint8_t> key) {
  TSecureBytes keys(CryptoPP::DES_EDE3::KEYLENGTH, 0);
  std::copy_n(key.begin(), std::min(key.size(), keys.size()), keys.begin());
  return MakeCbc<CryptoPP::DES_EDE3>(keys);
}

std::unique_ptr<TCipher> MakeRc4(std::span<const std::uint8_t> key) {
  return std::make_unique<TRc4Cipher>(key);
}

constexpr std::array<TCipherInfo, 8> kCiphers{{
    {"Blowfish", 5, 64, 448, &MakeCbc<CryptoPP::Blowfish>},
    {"Cast128", 7, 64, 128, &MakeCbc<CryptoPP::CAST128>},
    {"3DES", 24, 64, 192, &MakeTripleDes},
    {"RC4", 19, 0, 2048, &MakeRc4},
    {"Rijndael", 9, 128, 256, &MakeCbc<CryptoPP::Rijndael>},
    {"Serpent", 26, 128, 256, &MakeCbc<CryptoPP::Serpent>},
    {"Tea", 25, 64, 128, &MakeCbc<CryptoPP::TEA>},
    {"Twofish", 6, 128, 256, &MakeCbc<CryptoPP::Twofish>},
}};

template <class THash>
TSecureBytes Digest(std::string_view password) {
  TSecureBytes digest(THash::DIGESTSIZE);
  THash().CalculateDigest(digest.data(), reinterpret_cast<const CryptoPP::byte*>(password.data()),
                          password.size());
  return digest;
}

}  // namespace

std::span<const TCipherInfo> RegisteredCiphers() { return kCiphers; }

const TCipherInfo* FindCipher(std::uint8_t id) {
  auto it = std::find_if(kCiphers.begin(), kCiphers.end(), [id](const TCipherInfo& c) { return c.id == id; });
  return it == kCiphers.end() ? nullptr : &*it;
}

const TCipherInfo& CipherById(std::uint8_t id) {
  const TCipherInfo* info = FindCipher(id);
  if (!info) throw TError(std::string(serr_algorithmnotfound));
  return *info;
}

void CheckAlgorithms(std::string_view algorithms) {
  for (char id : algorithms) CipherById(static_cast<std::uint8_t>(id));
}

std::string AllAlgorithms() {
  std::string ids;
  for (const TCipherInfo& c : kCiphers) ids.push_back(static_cast<char>(c.id));
  return ids;
}

unsigned KeyDigestBits(unsigned maxKeyBits) {
  if (maxKeyBits < 160) return 128;
  if (maxKeyBits < 256) return 160;
  if (maxKeyBits < 384) return 256;
  if (maxKeyBits < 512) return 384;
  return 512;
}

TSecureBytes DeriveKey(std::string_view password, unsigned maxKeyBits) {
  TSecureBytes key;
  switch (KeyDigestBits(maxKeyBits)) {
    case 128: key = Digest<CryptoPP::Weak::MD5>(password); break;
    case 160: key = Digest<CryptoPP::SHA1>(password); break;
    case 256: key = Digest<CryptoPP::SHA256>(password); break;
    case 384: key = Digest<CryptoPP::SHA384>(password); break;
    default: key = Digest<CryptoPP::SHA512>(password); break;
  }
  // Only an algorithm whose largest key is not a whole digest has its key cut.
  std::size_t keyBytes = std::max<std::size_t>(maxKeyBits / 8, 1);
  if (key.size() > keyBytes) {
    WipeBytes(std::span(key).subspan(keyBytes));
    key.resize(keyBytes);
  }
  return key;
}

std::unique_ptr<TCipher> CreateCipher(std::uint8_t id, std::string_view password) {
  const TCipherInfo& info = CipherById(id);
  TSecureBytes key = DeriveKey(password, info.maxKeyBits);
  std::unique_ptr<TCipher> cipher = info.create(key);
  WipeBytes(key, 0xFF);
  return cipher;
}

}  // namespace corvane
