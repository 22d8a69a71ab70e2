#pragma once
// The settings record of one database as it travels between device and desktop:
// 141 bytes, the registry key (a braced identifier) in bytes 0-38, the display
// name in bytes 39-139, both zero-terminated, and the enabled flag in bit 0 of
// byte 140.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::size_t kInfoRecordSize = 141;
using TInfoRecordBytes = std::array<std::uint8_t, kInfoRecordSize>;

struct TInfoRecord {
  std::string key;    // subkey name under the synchronisation key
  std::string name;   // display name of the database
  bool enabled = false;

  // The wire form. A key longer than its field is cut; the name is cut at a
  // character boundary so that no partial UTF-8 sequence travels.
  TInfoRecordBytes Encode() const;

  // Reads a record from the wire. nullopt unless `bytes` holds exactly one record
  // whose key is an identifier in braced registry form (either case of hex
  // digits); the key comes back in the registry's upper-case form. A key from the
  // desktop names a registry key, so nothing else may pass.
  static std::optional<TInfoRecord> Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace corvane
