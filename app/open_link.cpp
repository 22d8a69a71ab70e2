#include "app/open_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "app/message_box.h"
#include "app/program_starter.h"

namespace corvane {

namespace {

constexpr std::string_view kWebPrefix = "http://";
constexpr std::string_view kDesktopOpener = "xdg-open";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool IsExecutableFile(const std::string& path) {
  if (path.find('/') == std::string::npos) return false;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Parameters as a program gets them: spaces separate, double quotes group
// (and are removed). Nothing else is special.
std::vector<std::string> SplitParameters(std::string_view text) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if (IsSpace(c) && !quoted) {
      if (inArgument) arguments.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}

}  // namespace

TLinkCommand SplitLinkCommand(std::string_view text) {
  text = Trim(text);
  TLinkCommand command;
  std::string_view rest;
  if (!text.empty() && text.front() == '"') {
    const std::size_t close = text.find('"', 1);
    command.program = std::string(text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    rest = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
  } else {
    const std::size_t space = text.find(' ');
    command.program = std::string(text.substr(0, space));
    rest = space == std::string_view::npos ? std::string_view() : text.substr(space);
  }
  command.parameters = std::string(Trim(rest));
  return command;
}

std::vector<std::string> LinkArguments(std::string_view text) {
  TLinkCommand command = SplitLinkCommand(text);
  if (IsExecutableFile(command.program)) {
    std::vector<std::string> arguments{command.program};
    for (std::string& parameter : SplitParameters(command.parameters)) arguments.push_back(std::move(parameter));
    return arguments;
  }
  std::string target = command.program;
  if (!command.parameters.empty()) target += " " + command.parameters;
  const bool plainAddress = target.find(':') == std::string::npos && !target.starts_with("/") &&
                            !target.starts_with("\\\\");
  if (plainAddress) target.insert(0, kWebPrefix);
  return {std::string(kDesktopOpener), target};
}

bool OpenLink(std::string_view text) {
  const int error = ProgramStarter()(LinkArguments(text));
  if (error == 0) return true;
  MsgBox(std::strerror(error), kMbIconError);
  return false;
}

}  // namespace corvane
