#include "app/ini_document.h"

#include "app/messages.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The name of a "[Section]" line, or nullopt for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && (line.front() == ';' || line.front() == '#');
}

struct TEntry {
  std::string_view key;
  std::string_view value;
};

std::optional<TEntry> EntryOf(std::string_view line) {
  if (IsComment(line) || SectionOf(line)) return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return TEntry{Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))};
}

std::string Unquoted(std::string_view value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

void CheckName(std::string_view name, std::string_view what, bool isKey) {
  const bool bad = name.empty() || HasLineBreak(name) || Trim(name) != name ||
                   (isKey ? name.find('=') != std::string_view::npos || name.front() == '[' || name.front() == ';' ||
                                name.front() == '#'
                          : name.find(']') != std::string_view::npos);
  if (bad) throw TError(FormatMessage(serr_inisettingvalue, what));
}

std::string Written(std::string_view key, std::string_view value) {
  if (HasLineBreak(value)) throw TError(FormatMessage(serr_inisettingvalue, key));
  const bool quote = Trim(value) != value || (value.size() >= 2 && value.front() == '"' && value.back() == '"');
  std::string line(key);
  line += '=';
  if (quote) line += '"';
  line += value;
  if (quote) line += '"';
  return line;
}

}  // namespace

TIniDocument TIniDocument::Parse(std::string_view text) {
  TIniDocument document;
  if (text.starts_with(kByteOrderMark)) {
    document.byteOrderMark_ = true;
    text.remove_prefix(kByteOrderMark.size());
  }
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    document.lines_.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return document;
}

std::string TIniDocument::Text() const {
  std::string text = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
  for (const std::string& line : lines_) {
    text += line;
    text += '\n';
  }
  return text;
}

TIniDocument::TPlace TIniDocument::Find(std::string_view section, std::string_view key) const {
  TPlace place;
  bool inside = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (const auto name = SectionOf(lines_[i])) {
      if (inside) break;
      if (SameName(*name, section)) {
        inside = true;
        place.sectionLine = i;
        place.endLine = i + 1;
      }
      continue;
    }
    if (!inside) continue;
    if (!Trim(lines_[i]).empty()) place.endLine = i + 1;
    const auto entry = EntryOf(lines_[i]);
    if (entry && !place.keyLine && SameName(entry->key, key)) place.keyLine = i;
  }
  return place;
}

std::optional<std::string> TIniDocument::Get(std::string_view section, std::string_view key) const {
  const TPlace place = Find(section, key);
  if (!place.keyLine) return std::nullopt;
  return Unquoted(EntryOf(lines_[*place.keyLine])->value);
}

void TIniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  CheckName(section, section, false);
  CheckName(key, key, true);
  std::string line = Written(key, value);
  const TPlace place = Find(section, key);
  if (place.keyLine) {
    lines_[*place.keyLine] = std::move(line);
  } else if (place.sectionLine) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(place.endLine), std::move(line));
  } else {
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
  }
}

bool TIniDocument::Erase(std::string_view section, std::string_view key) {
  const TPlace place = Find(section, key);
  if (!place.keyLine) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*place.keyLine));
  return true;
}

}  // namespace corvane
