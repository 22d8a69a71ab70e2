#include "engine/cbc_cipher.h"

#include <algorithm>

namespace corvane {

TCbcCipher::TCbcCipher(std::unique_ptr<CryptoPP::BlockCipher> encryptor,
                       std::unique_ptr<CryptoPP::BlockCipher> decryptor)
    : encryptor_(std::move(encryptor)), decryptor_(std::move(decryptor)),
      chaining_(encryptor_->BlockSize()) {
  std::fill(chaining_.begin(), chaining_.end(), 0);
  encryptor_->ProcessBlock(chaining_);
  encryptMode_.SetCipherWithIV(*encryptor_, chaining_);
  decryptMode_.SetCipherWithIV(*decryptor_, chaining_);
}

void TCbcCipher::Encrypt(std::span<std::uint8_t> data) {
  const std::size_t block = chaining_.size();
  const std::size_t whole = data.size() - data.size() % block;
  if (whole > 0) {
    encryptMode_.Resynchronize(chaining_);
    encryptMode_.ProcessData(data.data(), data.data(), whole);
    std::copy_n(data.data() + whole - block, block, chaining_.begin());
  }
  CryptShortPart(data.subspan(whole));
}

void TCbcCipher::Decrypt(std::span<std::uint8_t> data) {
  const std::size_t block = chaining_.size();
  const std::size_t whole = data.size() - data.size() % block;
  if (whole > 0) {
    CryptoPP::SecByteBlock lastCipherBlock(data.data() + whole - block, block);
    decryptMode_.Resynchronize(chaining_);
    decryptMode_.ProcessData(data.data(), data.data(), whole);
    chaining_ = lastCipherBlock;
  }
  CryptShortPart(data.subspan(whole));
}

void TCbcCipher::CryptShortPart(std::span<std::uint8_t> tail) {
  if (tail.empty()) return;
  encryptor_->ProcessBlock(chaining_);
  for (std::size_t i = 0; i < tail.size(); ++i) tail[i] ^= chaining_[i];
}

}  // namespace corvane
