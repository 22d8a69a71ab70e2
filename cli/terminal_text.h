#pragma once
// Messages as a terminal shows them.

#include <string>

namespace corvane {

// `text` in UTF-8 (see MessageToUtf8) with "\n" line breaks: engine
// messages break lines with "\r".
std::string TerminalText(std::string text);

}  // namespace corvane
