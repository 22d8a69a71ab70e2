#pragma once
// Help texts and the man page, generated from the command table, so that
// `corvane-cli help`, `corvane-cli help COMMAND` and corvane-cli.1 always
// describe the same commands and options.

#include <ostream>
#include <string>

namespace corvane {

struct TCommand;

// "corvane-cli ls DATABASE [FOLDER] [-R] [--password-stdin] ..."
std::string UsageLine(const TCommand& command);
// The list of commands, each with its usage, summary and example.
void PrintOverview(std::ostream& out);
// One command: usage, description, arguments, options, example.
void PrintCommandHelp(std::ostream& out, const TCommand& command);
// The man page corvane-cli.1 in roff.
void PrintManPage(std::ostream& out);

}  // namespace corvane
