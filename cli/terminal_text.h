#pragma once
// Messages as a terminal shows them.

#include <string>

namespace corvane {

// `text` in UTF-8 with "\n" line breaks. Engine messages quote names in the
// database code page and break lines with "\r"; a text that is not UTF-8 is
// taken as such and converted.
std::string TerminalText(std::string text);

}  // namespace corvane
