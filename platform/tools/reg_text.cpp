#include "platform/tools/reg_text.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace corvane {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

const char* TypeName(TRegType type) {
  switch (type) {
    case TRegType::String: return "sz";
    case TRegType::DWord: return "dword";
    case TRegType::Binary: return "binary";
  }
  return "unknown";
}

}  // namespace

std::optional<std::uint32_t> ParseDWord(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  // from_chars accepts a leading minus sign; a number here never has one.
  if (text.empty() || text.front() == '-') return std::nullopt;
  std::uint64_t number = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (number > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(number);
}

std::optional<std::vector<std::uint8_t>> ParseHex(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int high = HexDigit(text[i]);
    int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return bytes;
}

std::string ToHex(std::span<const std::uint8_t> bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

std::string QuotedText(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  quoted += '"';
  return quoted;
}

std::string PlainValue(const TRegValue& value) {
  switch (value.type) {
    case TRegType::String: return value.text;
    case TRegType::DWord: return std::to_string(value.number);
    case TRegType::Binary: return ToHex(value.binary);
  }
  return {};
}

std::string ValueLine(const TRegValue& value) {
  std::string line = QuotedText(value.name) + " = " + TypeName(value.type) + " ";
  if (value.type == TRegType::String) return line + QuotedText(value.text);
  if (value.type == TRegType::Binary) return line + ToHex(value.binary);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08x", value.number);
  return line + std::to_string(value.number) + " (" + hex + ")";
}

}  // namespace corvane
