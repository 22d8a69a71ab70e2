#pragma once
// A command of corvane-cli: its name, help text, example and options, declared
// in one place beside its code (cli/commands/<name>.cpp), and the entry that
// runs it. The command table (Commands()) lists them all; help, the man page
// and the argument parser are generated from these declarations.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"

namespace corvane {

class TCliContext;

// An option after the command's arguments: a flag, or one taking a value.
struct TOptionSpec {
  std::string_view name;       // "--name", or a short "-R"
  std::string_view valueName;  // empty for a flag, else how help names the value
  std::string_view help;
  bool required = false;
  bool repeatable = false;  // may be given several times; every value is kept
};

// A positional argument after the command name.
struct TArgumentSpec {
  std::string_view name;  // "DATABASE", "FOLDER"
  std::string_view help;
  bool required = true;
};

// Options that many commands share.
inline constexpr TOptionSpec kPasswordStdinOption = {
    "--password-stdin", "", "read the password(s) from standard input, one per line, instead of the terminal"};
inline constexpr TOptionSpec kUserOption = {
    "--user", "NAME", "log on as the database user NAME, whose password is read after the master password"};
inline constexpr TOptionSpec kJsonOption = {"--json", "", "print JSON instead of text"};

struct TCommandSpec {
  std::string_view name;
  std::string_view summary;  // one line, for the list of commands
  std::vector<TArgumentSpec> arguments;
  std::vector<TOptionSpec> options;
  std::string_view description;  // paragraphs separated by "\n\n"
  std::string_view example;      // a whole command line
};

// Wrong usage: the command line does not fit the command (exit code 2).
class TUsageError : public TError {
 public:
  TUsageError(const std::string& message, std::string_view command = {})
      : TError(message), command_(command) {}
  // The command whose help explains the right usage; empty when unknown.
  const std::string& Command() const { return command_; }

 private:
  std::string command_;
};

// The command line of one run, checked against its command's declaration.
class TArguments {
 public:
  // Parses `args` (what follows the command name). Throws TUsageError for an
  // unknown option, a missing value, a missing required argument or option,
  // an option given twice that is not repeatable, or an argument too many.
  // "--" ends the options; "--name=value" is the same as "--name value".
  TArguments(const TCommandSpec& spec, const std::vector<std::string>& args);

  // The positional argument `name`; empty when an optional one is absent.
  const std::string& Argument(std::string_view name) const;
  bool Has(std::string_view option) const;
  // The value of an option; empty when absent.
  const std::string& Value(std::string_view option) const;
  // Every value of a repeatable option, or of a last argument named
  // "NAME...", which takes all remaining arguments, in order.
  const std::vector<std::string>& Values(std::string_view option) const;
  const TCommandSpec& Spec() const { return spec_; }

 private:
  const TCommandSpec& spec_;
  std::map<std::string, std::string, std::less<>> arguments_;
  std::map<std::string, std::vector<std::string>, std::less<>> options_;
};

struct TCommand {
  TCommandSpec spec;
  // Runs the command; returns the exit code. Throws TError for a failure the
  // user is told about (exit code 1) and TUsageError for wrong usage.
  int (*run)(TCliContext& context, const TArguments& args);
};

// Every command, in the order help lists them.
const std::vector<const TCommand*>& Commands();
// The command named `name`; nullptr when there is none.
const TCommand* FindCommand(std::string_view name);

}  // namespace corvane
