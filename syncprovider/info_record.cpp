#include "syncprovider/info_record.h"

#include <algorithm>
#include <cstring>

#include "platform/guid.h"

namespace corvane {

namespace {

constexpr std::size_t kKeyOffset = 0;
constexpr std::size_t kKeyField = 39;
constexpr std::size_t kNameOffset = 39;
constexpr std::size_t kNameField = 101;
constexpr std::size_t kEnabledOffset = 140;

// Longest prefix of `text` of at most `limit` bytes that ends on a UTF-8 boundary.
std::string_view CutAtCharacter(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  while (end > 0 && (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// The zero-terminated text of a field; nullopt when the field holds no zero.
std::optional<std::string> FieldText(std::span<const std::uint8_t> field) {
  auto zero = std::find(field.begin(), field.end(), 0);
  if (zero == field.end()) return std::nullopt;
  return std::string(field.begin(), zero);
}

}  // namespace

TInfoRecordBytes TInfoRecord::Encode() const {
  TInfoRecordBytes bytes{};
  std::string_view k = std::string_view(key).substr(0, kKeyField - 1);
  std::memcpy(bytes.data() + kKeyOffset, k.data(), k.size());
  std::string_view n = CutAtCharacter(name, kNameField - 1);
  std::memcpy(bytes.data() + kNameOffset, n.data(), n.size());
  bytes[kEnabledOffset] = enabled ? 1 : 0;
  return bytes;
}

std::optional<TInfoRecord> TInfoRecord::Decode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kInfoRecordSize) return std::nullopt;
  auto key = FieldText(bytes.subspan(kKeyOffset, kKeyField));
  auto name = FieldText(bytes.subspan(kNameOffset, kNameField));
  if (!key || !name) return std::nullopt;
  auto id = TGuid::Parse(*key);
  if (!id) return std::nullopt;
  TInfoRecord record;
  record.key = id->ToString();
  record.name = std::move(*name);
  record.enabled = (bytes[kEnabledOffset] & 1) != 0;
  return record;
}

}  // namespace corvane
