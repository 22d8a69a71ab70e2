#pragma once
// A keyed cipher of the encryption chain. It works in place and keeps its
// state (the CBC chaining value, the RC4 permutation) from one call to the
// next for its whole life, so a stream of calls must be undone by the same
// sequence of calls of the same lengths.

#include <cstdint>
#include <span>

namespace corvane {

class TCipher {
 public:
  TCipher() = default;
  virtual ~TCipher() = default;
  TCipher(const TCipher&) = delete;
  TCipher& operator=(const TCipher&) = delete;

  virtual void Encrypt(std::span<std::uint8_t> data) = 0;
  virtual void Decrypt(std::span<std::uint8_t> data) = 0;
};

}  // namespace corvane
