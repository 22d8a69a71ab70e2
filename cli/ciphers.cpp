#include "cli/ciphers.h"

#include <charconv>

#include "cli/messages.h"
#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

const TCipherInfo* FindByNameOrId(std::string_view entry) {
  unsigned id = 0;
  const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), id);
  if (error == std::errc() && end == entry.data() + entry.size())
    return id <= 0xFF ? FindCipher(static_cast<std::uint8_t>(id)) : nullptr;
  for (const TCipherInfo& cipher : RegisteredCiphers())
    if (SameLetters(cipher.name, entry)) return &cipher;
  return nullptr;
}

}  // namespace

std::string ParseCipherList(std::string_view list) {
  std::string ids;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    const std::string_view entry = Trimmed(list.substr(start, comma - start));
    start = comma + 1;
    if (entry.empty()) continue;
    const TCipherInfo* cipher = FindByNameOrId(entry);
    if (!cipher) throw TError(FormatMessage(scli_unknowncipher, entry));
    if (ids.find(static_cast<char>(cipher->id)) != std::string::npos)
      throw TError(FormatMessage(scli_ciphertwice, cipher->name));
    ids += static_cast<char>(cipher->id);
  }
  if (ids.empty()) throw TError(std::string(scli_nociphers));
  return ids;
}

std::string CipherNames(std::string_view algorithms) {
  std::string names;
  for (const char c : algorithms) {
    if (!names.empty()) names += ", ";
    const TCipherInfo* cipher = FindCipher(static_cast<std::uint8_t>(c));
    names += cipher ? std::string(cipher->name) : std::to_string(static_cast<std::uint8_t>(c));
  }
  return names;
}

}  // namespace corvane
