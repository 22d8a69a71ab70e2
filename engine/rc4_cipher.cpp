#include "engine/rc4_cipher.h"

#include <utility>

#include "engine/secure_buffer.h"

namespace corvane {

TRc4Cipher::TRc4Cipher(std::span<const std::uint8_t> key) {
  for (unsigned i = 0; i < 256; ++i) state_[i] = static_cast<std::uint8_t>(i);
  std::uint8_t j = 0;
  for (unsigned i = 0; i < 256; ++i) {
    j = static_cast<std::uint8_t>(j + state_[i] + key[i % key.size()]);
    std::swap(state_[i], state_[j]);
  }
}

TRc4Cipher::~TRc4Cipher() { WipeBytes(state_); }

void TRc4Cipher::Crypt(std::span<std::uint8_t> data) {
  std::uint8_t i = 0;
  std::uint8_t j = 0;
  for (std::uint8_t& byte : data) {
    i = static_cast<std::uint8_t>(i + 1);
    j = static_cast<std::uint8_t>(j + state_[i]);
    std::swap(state_[i], state_[j]);
    byte ^= state_[static_cast<std::uint8_t>(state_[i] + state_[j])];
  }
}

}  // namespace corvane
