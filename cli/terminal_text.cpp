#include "cli/terminal_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace corvane {

std::string TerminalText(std::string text) {
  text = MessageToUtf8(text);
  std::replace(text.begin(), text.end(), '\r', '\n');
  return text;
}

}  // namespace corvane
