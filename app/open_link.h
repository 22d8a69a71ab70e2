#pragma once
// Opening a link: a web address, a document, or a program with parameters, as
// written in a record's field.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The text split as typed: the program part is the text up to the next double
// quote when it starts with one (without the quotes), else up to the first
// space; the rest, trimmed, is the parameter part.
struct TLinkCommand {
  std::string program;
  std::string parameters;
};
TLinkCommand SplitLinkCommand(std::string_view text);

// What is started for a link. A program part that is a path ("/" in it) to an
// executable file is started itself with the parameters split into arguments
// (spaces separate, double quotes group). Anything else is one target, program
// and parameters joined with a space, opened with the desktop's handler
// ("xdg-open"); a target without a colon that starts neither with "/" nor with
// two backslashes is a web address and gets "http://" in front.
std::vector<std::string> LinkArguments(std::string_view text);

// Starts what LinkArguments gives (through ProgramStarter()). When that fails,
// shows the system's text for the error with the error icon and returns false.
bool OpenLink(std::string_view text);

}  // namespace corvane
