#pragma once
// The text forms corvane-reg reads and prints: DWord numbers (decimal or 0x
// hexadecimal), binary values (hex digits), and the quoted forms of names and
// strings used in listings.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace corvane {

// "42" or "0x2A"; nullopt when not a number of at most 32 bits.
std::optional<std::uint32_t> ParseDWord(std::string_view text);
// An even number of hex digits, either case ("" is the empty value); nullopt otherwise.
std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text);
std::string ToHex(std::span<const std::uint8_t> bytes);

// Between double quotes, with backslash, quote and control bytes escaped, so that
// every name and text shows unambiguously on one line.
std::string QuotedText(std::string_view text);

// The value as the plain text `get` prints and `set` reads back.
std::string PlainValue(const TRegValue& value);
// One line of a listing: "NAME" = TYPE VALUE.
std::string ValueLine(const TRegValue& value);

}  // namespace corvane
