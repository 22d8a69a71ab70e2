#include "cli/terminal_text.h"

#include <algorithm>
#include <string_view>

#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string TerminalText(std::string text) {
  if (!IsUtf8(text)) {
    try {
      text = AnsiToUtf8(text);
    } catch (const TError&) {
      // Bytes no code page decodes are shown as they are.
    }
  }
  std::replace(text.begin(), text.end(), '\r', '\n');
  return text;
}

}  // namespace corvane
