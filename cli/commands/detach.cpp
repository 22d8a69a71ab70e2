// detach: an attachment removed from a record.

#include "cli/command.h"
#include "cli/commands/attachment_support.h"
#include "cli/context.h"
#include "engine/attachments_list.h"
#include "engine/base.h"

namespace corvane {

namespace {

int RunDetach(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  ReportArchiveWarning(base);
  TPwdPassword& record = context.Record(args.Argument("RECORD"));
  TPwdFileAttach& attachment = RequireAttachment(record, args.Argument("NAME"));
  FilesOf(record).Delete(FilesOf(record).IndexOf(&attachment));
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kDetachCommand = {
    {
        .name = "detach",
        .summary = "Remove an attachment from a record.",
        .arguments = {{"DATABASE", "the database file"},
                      {"RECORD", "the record, by path or id"},
                      {"NAME", "the attachment's file name"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "The removal is written to the change log. Needs the right to modify files. "
                       "The database is saved.",
        .example = "corvane-cli detach Private.cvd Work/Mail/Gmail scan.png",
    },
    &RunDetach,
};

}  // namespace corvane
