#include "syncprovider/db_header.h"

#include <algorithm>
#include <array>

#include "platform/error.h"
#include "platform/file.h"

namespace corvane {

namespace {

constexpr std::array<std::uint8_t, 6> kSignature = {0xCE, 0x85, 0x16, 0xAB, 0xC1, 0x75};
constexpr std::uint16_t kOldestFormat = 230;

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

}  // namespace

std::optional<TDbHeader> ParseDbHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kDbHeaderSize) return std::nullopt;
  if (!std::equal(kSignature.begin(), kSignature.end(), bytes.begin())) return std::nullopt;
  TDbHeader header;
  header.formatVersion = ReadU16(bytes, 6);
  if (header.formatVersion < kOldestFormat) return std::nullopt;
  header.formatBuild = header.formatVersion * 100u + ReadU16(bytes, 8);
  std::copy_n(bytes.begin() + 10, 16, header.id.bytes.begin());
  return header;
}

std::optional<TDbHeader> ReadDbHeader(const std::string& path) {
  try {
    TFile file = TFile::Open(path, TFile::TMode::kRead);
    std::array<std::uint8_t, kDbHeaderSize> bytes{};
    std::size_t got = file.Read(bytes);
    auto header = ParseDbHeader(std::span(bytes).first(got));
    if (header) header->lastWrite = file.Info().lastWriteTime;
    return header;
  } catch (const TError&) {
    return std::nullopt;
  }
}

}  // namespace corvane
