// merge: brings the logged changes of another copy of a database into this one.

#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/context.h"
#include "engine/base.h"
#include "engine/merge.h"

namespace corvane {

namespace {

// The source is opened as a command of its own would open its DATABASE:
// same password rules, same logon, never for writing.
const TCommandSpec kSourceSpec = {
    .name = "merge",
    .summary = {},
    .arguments = {{"DATABASE", "the source database file"}},
    .options = {kPasswordStdinOption, kUserOption},
    .description = {},
    .example = {},
};

int RunMerge(TCliContext& context, const TArguments& args) {
  TPwdBase& target = context.Open(TOpenFor::Writing);

  std::vector<std::string> sourceLine;
  if (args.Has(kUserOption.name)) sourceLine = {std::string(kUserOption.name), args.Value(kUserOption.name)};
  sourceLine.insert(sourceLine.end(), {"--", args.Argument("SOURCE")});
  const TArguments sourceArgs(kSourceSpec, sourceLine);
  TCliContext sourceContext(sourceArgs, context.Secrets(), context.Out());
  const TPwdBase& source = sourceContext.Open(TOpenFor::Reading);

  std::string report = Merge(target, source);
  context.Save();
  // The report's lines end in "\r\n"; a terminal wants "\n".
  for (std::size_t at = report.find("\r\n"); at != std::string::npos; at = report.find("\r\n", at))
    report.erase(at, 1);
  context.Out() << report;
  return 0;
}

}  // namespace

extern const TCommand kMergeCommand = {
    {
        .name = "merge",
        .summary = "Bring the changes of another copy of a database into this one.",
        .arguments = {{"DATABASE", "the database that receives the changes; it is saved"},
                      {"SOURCE", "the other copy, which is only read"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "Every change recorded in the change log of SOURCE that DATABASE has not seen yet is "
                       "made in DATABASE, with the rights of its user; when DATABASE changed the same thing "
                       "later, its own change stays. Changes made while \"Log data changes\" was off are not "
                       "carried over. Prints how many items were inserted, updated and deleted, and how many "
                       "changes were refused for want of rights. For a two-way merge run it again with the "
                       "databases swapped.\n\nThe master password of DATABASE is asked first, then that of "
                       "SOURCE; with --user, each database's master password is followed by the user's "
                       "password in it. Both files must be copies of one database.",
        .example = "corvane-cli merge Private.cvd /media/card/Private.cvd",
    },
    &RunMerge,
};

}  // namespace corvane
