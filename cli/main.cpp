// corvane-cli: the command line front end. Finds the command, parses its
// arguments, runs it and turns failures into exit codes: 1 with the message
// on standard error for an error, 2 for wrong usage.

#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/context.h"
#include "cli/help.h"
#include "cli/messages.h"
#include "cli/terminal.h"
#include "cli/terminal_text.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace {

using namespace corvane;

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

int Run(const std::vector<std::string>& argv) {
  if (argv.empty()) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  std::string name = argv.front();
  if (name == "--help" || name == "-h") name = "help";
  const TCommand* command = FindCommand(name);
  if (!command) throw TUsageError(FormatMessage(scli_unknowncommand, name));
  const std::vector<std::string> rest(argv.begin() + 1, argv.end());
  if (AsksForHelp(rest)) {
    PrintCommandHelp(std::cout, *command);
    return 0;
  }
  const TArguments args(command->spec, rest);
  TStdinInput stdinInput;
  TTerminalInput terminalInput;
  TSecretInput& secrets = args.Has(kPasswordStdinOption.name) ? static_cast<TSecretInput&>(stdinInput)
                                                               : static_cast<TSecretInput&>(terminalInput);
  TCliContext context(args, secrets, std::cout);
  return command->run(context, args);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const int code = Run(std::vector<std::string>(argv + 1, argv + argc));
    // Output that did not arrive (a full disk, a closed pipe) is a failure.
    if (!std::cout.flush()) throw TError(std::string(scli_outputfailed));
    return code;
  } catch (const TUsageError& error) {
    std::cout.flush();
    std::cerr << "corvane-cli: " << TerminalText(error.what()) << '\n'
              << (error.Command().empty() ? std::string(scli_tryhelpall)
                                          : FormatMessage(scli_tryhelp, error.Command()))
              << '\n';
    return kExitUsage;
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << "corvane-cli: " << TerminalText(error.what()) << '\n';
    return kExitError;
  }
}
