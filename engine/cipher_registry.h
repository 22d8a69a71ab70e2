#pragma once
// The cipher registry: the eight ciphers a database can be encrypted with, in
// registration order, with the id byte stored in files and the name the
// cipher reports. Keys come from the database password through a hash chosen
// by the cipher's largest key size.
//
// The registry is a constant table; it is safe to read from any thread.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/cipher.h"
#include "engine/secure_buffer.h"

namespace corvane {

struct TCipherInfo {
  std::string_view name;     // as shown to people, e.g. "Blowfish"
  std::uint8_t id;           // the byte stored in a file's cipher list
  unsigned blockBits;        // 0 for a stream cipher
  unsigned maxKeyBits;       // the largest key the algorithm takes
  // Makes a cipher from a derived key (see DeriveKey); the key is borrowed.
  std::unique_ptr<TCipher> (*create)(std::span<const std::uint8_t> key);
};

// Every registered cipher, in registration order.
std::span<const TCipherInfo> RegisteredCiphers();

// The entry with `id`, or nullptr.
const TCipherInfo* FindCipher(std::uint8_t id);

// The entry with `id`; an unknown id raises serr_algorithmnotfound.
const TCipherInfo& CipherById(std::uint8_t id);

// Raises serr_algorithmnotfound when any byte of `algorithms` is not a
// registered id. Nothing else is checked (an empty list is valid).
void CheckAlgorithms(std::string_view algorithms);

// The ids of all registered ciphers in registration order: the cipher list of
// a new database.
std::string AllAlgorithms();

// Size in bits of the digest that keys a cipher whose largest key has
// `maxKeyBits`: 128 (MD5) below 160, 160 (SHA-1) below 256, 256 (SHA-256)
// below 384, 384 (SHA-384) below 512, else 512 (SHA-512).
unsigned KeyDigestBits(unsigned maxKeyBits);

// The key of a cipher: the digest of the password's bytes (no salt, one
// pass), cut to `maxKeyBits` when the digest is longer.
TSecureBytes DeriveKey(std::string_view password, unsigned maxKeyBits);

// A new cipher with `id`, keyed from `password`. The derived key is wiped
// before this returns. Unknown ids raise serr_algorithmnotfound.
std::unique_ptr<TCipher> CreateCipher(std::uint8_t id, std::string_view password);

}  // namespace corvane
