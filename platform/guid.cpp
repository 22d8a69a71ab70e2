#include "platform/guid.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>

#include "platform/error.h"

namespace corvane {

TGuid TGuid::Create() {
  TGuid g;
  std::size_t filled = 0;
  while (filled < g.bytes.size()) {
    ssize_t n = getrandom(g.bytes.data() + filled, g.bytes.size() - filled, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw TError(std::string("Cannot read the random source: ") + std::strerror(errno));
    }
    filled += static_cast<std::size_t>(n);
  }
  // Version 4, variant 1, in the layout the text form reads: the third part is
  // little-endian, so its high nibble sits in byte 7.
  g.bytes[7] = static_cast<std::uint8_t>((g.bytes[7] & 0x0F) | 0x40);
  g.bytes[8] = static_cast<std::uint8_t>((g.bytes[8] & 0x3F) | 0x80);
  return g;
}

bool TGuid::IsNull() const {
  for (auto b : bytes)
    if (b != 0) return false;
  return true;
}

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Byte order of the text form: the first 4 bytes reversed, then 2 reversed, then
// 2 reversed, then the last 8 as they are.
constexpr int kTextOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
// Position after which a hyphen follows, in text-order byte index.
constexpr bool HyphenAfter(int i) { return i == 3 || i == 5 || i == 7 || i == 9; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string TGuid::ToString() const {
  std::string s;
  s.reserve(38);
  s += '{';
  for (int i = 0; i < 16; ++i) {
    std::uint8_t b = bytes[kTextOrder[i]];
    s += kHex[b >> 4];
    s += kHex[b & 0x0F];
    if (HyphenAfter(i)) s += '-';
  }
  s += '}';
  return s;
}

std::optional<TGuid> TGuid::Parse(std::string_view text) {
  if (text.size() != 38 || text.front() != '{' || text.back() != '}') return std::nullopt;
  TGuid g;
  std::size_t pos = 1;
  for (int i = 0; i < 16; ++i) {
    int hi = HexValue(text[pos]);
    int lo = HexValue(text[pos + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    g.bytes[kTextOrder[i]] = static_cast<std::uint8_t>(hi << 4 | lo);
    pos += 2;
    if (HyphenAfter(i)) {
      if (text[pos] != '-') return std::nullopt;
      ++pos;
    }
  }
  return g;
}

std::size_t TGuidHash::operator()(const TGuid& g) const noexcept {
  // The bytes are random already; fold them with FNV-1a so that crafted ids spread too.
  std::uint64_t h = 1469598103934665603ull;
  for (auto b : g.bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  return static_cast<std::size_t>(h);
}

}  // namespace corvane
