#pragma once
// Identifiers: 16-byte GUIDs as held in memory. The all-zero value means "none".

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

struct TGuid {
  std::array<std::uint8_t, 16> bytes{};

  // A new random (version 4) identifier from the kernel's random source.
  // Throws TError when the random source cannot be read.
  static TGuid Create();

  bool IsNull() const;

  // Registry text form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex,
  // the first three parts read little-endian from memory.
  std::string ToString() const;

  // Parses the registry text form (either case of hex digits); nullopt when malformed.
  static std::optional<TGuid> Parse(std::string_view text);

  auto operator<=>(const TGuid&) const = default;
  bool operator==(const TGuid&) const = default;
};

struct TGuidHash {
  std::size_t operator()(const TGuid& g) const noexcept;
};

}  // namespace corvane

template <>
struct std::hash<corvane::TGuid> : corvane::TGuidHash {};
