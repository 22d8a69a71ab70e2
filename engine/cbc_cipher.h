#pragma once
// A block cipher in CBC mode as the database format uses it: the
// initialisation vector is the all-zero block encrypted once with the key,
// and the chaining value carries on from call to call. A call whose length is
// not a whole number of blocks treats its tail as a short final part: the
// chaining value is encrypted once more and the tail is XORed with its first
// bytes (only files of old formats contain such parts).

#include <cstdint>
#include <memory>
#include <span>

#include <cryptopp/modes.h>
#include <cryptopp/seckey.h>

#include "engine/cipher.h"

namespace corvane {

class TCbcCipher : public TCipher {
 public:
  // Takes two keyed instances of the same block cipher, one per direction.
  TCbcCipher(std::unique_ptr<CryptoPP::BlockCipher> encryptor,
             std::unique_ptr<CryptoPP::BlockCipher> decryptor);

  void Encrypt(std::span<std::uint8_t> data) override;
  void Decrypt(std::span<std::uint8_t> data) override;

 private:
  void CryptShortPart(std::span<std::uint8_t> tail);

  std::unique_ptr<CryptoPP::BlockCipher> encryptor_;
  std::unique_ptr<CryptoPP::BlockCipher> decryptor_;
  CryptoPP::CBC_Mode_ExternalCipher::Encryption encryptMode_;
  CryptoPP::CBC_Mode_ExternalCipher::Decryption decryptMode_;
  CryptoPP::SecByteBlock chaining_;
};

}  // namespace corvane
