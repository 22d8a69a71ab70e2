#include "cli/record_text.h"

#include "engine/fields.h"
#include "engine/messages.h"
#include "engine/password.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"

namespace corvane {

std::string FieldTextUtf8(const TPwdField& field, bool showPassword) {
  if (field.Kind != kKindPassword) return AnsiToUtf8(field.AsString());
  std::string stored = field.RevealedText();
  const bool empty = stored.empty();
  std::string text = showPassword ? AnsiToUtf8(stored) : empty ? std::string() : std::string(spwdhiddenvalue);
  WipeString(stored);
  return text;
}

void RequirePasswordView(const TPwdPassword& record) { record.RequireRights("V"); }

void PrintFieldValue(std::ostream& out, std::string_view text, std::size_t indent) {
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out << line;
    if (end == std::string_view::npos) break;
    out << '\n' << std::string(indent, ' ');
    start = end + 1;
  }
  out << '\n';
}

}  // namespace corvane
