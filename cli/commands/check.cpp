// check: the attachments of a database read through, damaged ones removed.

#include "cli/command.h"
#include "cli/commands/attachment_support.h"
#include "cli/context.h"
#include "engine/attachments_check.h"
#include "engine/base.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

int RunCheck(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  ReportArchiveWarning(base);
  if (!args.Has("--yes") && !AskYesNo(scli_checkquestion).value_or(false)) throw TError(std::string(scanceled));
  const std::vector<std::string> removed = CheckAttachments(base);
  if (removed.empty()) {
    context.Out() << snotcorrupted << '\n';
    return 0;
  }
  context.Save();
  context.Out() << PlainLines(scli_repaired) << '\n';
  for (const std::string& name : removed) context.Out() << AnsiToUtf8(name) << '\n';
  return 0;
}

}  // namespace

extern const TCommand kCheckCommand = {
    {
        .name = "check",
        .summary = "Check the attachments of a database and remove corrupted ones.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {{"--yes", "", "do not ask before checking"}, kPasswordStdinOption, kUserOption},
        .description = "Every attached file is read through. One whose data are damaged or missing is "
                       "removed from its record (written to the change log) and named in the report; "
                       "the database is then saved. Asks first on the terminal unless --yes is given.",
        .example = "corvane-cli check Private.cvd --yes",
    },
    &RunCheck,
};

}  // namespace corvane
