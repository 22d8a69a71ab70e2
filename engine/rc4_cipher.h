#pragma once
// RC4 as the database format uses it: the standard key schedule, and at the
// start of every call the two index counters go back to 0 while the
// permutation carries on from the previous call. Callers feed it in chunks
// of at most 8192 bytes, so those chunk boundaries are part of the format.

#include <array>
#include <cstdint>
#include <span>

#include "engine/cipher.h"

namespace corvane {

class TRc4Cipher : public TCipher {
 public:
  // `key`: 1 to 256 bytes; the caller keeps and wipes it.
  explicit TRc4Cipher(std::span<const std::uint8_t> key);
  ~TRc4Cipher() override;

  void Encrypt(std::span<std::uint8_t> data) override { Crypt(data); }
  void Decrypt(std::span<std::uint8_t> data) override { Crypt(data); }

 private:
  void Crypt(std::span<std::uint8_t> data);

  std::array<std::uint8_t, 256> state_;
};

}  // namespace corvane
