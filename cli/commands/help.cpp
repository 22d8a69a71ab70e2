// help: the list of commands, one command's usage, or the man page.

#include "cli/command.h"
#include "cli/context.h"
#include "cli/help.h"
#include "cli/messages.h"
#include "engine/messages.h"

namespace corvane {

namespace {

int RunHelp(TCliContext& context, const TArguments& args) {
  if (args.Has("--man")) {
    PrintManPage(context.Out());
    return 0;
  }
  const std::string& name = args.Argument("COMMAND");
  if (name.empty()) {
    PrintOverview(context.Out());
    return 0;
  }
  const TCommand* command = FindCommand(name);
  if (!command) throw TUsageError(FormatMessage(scli_unknowncommand, name));
  PrintCommandHelp(context.Out(), *command);
  return 0;
}

}  // namespace

extern const TCommand kHelpCommand = {
    {
        .name = "help",
        .summary = "Show the commands, or how to use one of them.",
        .arguments = {{"COMMAND", "the command to explain; without it, every command is listed", false}},
        .options = {{"--man", "", "print the manual page (roff) instead"}},
        .description = "Any command also shows its help when it is given --help.",
        .example = "corvane-cli help add",
    },
    &RunHelp,
};

}  // namespace corvane
