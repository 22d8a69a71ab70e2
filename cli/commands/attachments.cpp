// attachments: the files attached to a record.

#include "cli/command.h"
#include "cli/commands/attachment_support.h"
#include "cli/context.h"
#include "cli/json.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

int RunAttachments(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Reading);
  ReportArchiveWarning(base);
  TPwdPassword& record = context.Record(args.Argument("RECORD"));
  const int count = record.Files ? record.Files->Count() : 0;
  if (context.Json()) {
    TJsonWriter json(context.Out());
    json.BeginArray();
    for (int i = 0; i < count; ++i) {
      const TPwdFileAttach& attachment = *(*record.Files)[i];
      json.BeginObject();
      json.Member("name", AnsiToUtf8(attachment.FileName));
      json.Member("size", attachment.Size);
      json.Member("comment", AnsiToUtf8(attachment.Comment));
      json.Member("id", attachment.Guid.ToString());
      json.EndObject();
    }
    json.EndArray();
    return 0;
  }
  for (int i = 0; i < count; ++i) {
    const TPwdFileAttach& attachment = *(*record.Files)[i];
    context.Out() << AnsiToUtf8(attachment.FileName) << '\t' << attachment.Size << '\t'
                  << AnsiToUtf8(attachment.Comment) << '\t' << attachment.Guid.ToString() << '\n';
  }
  return 0;
}

}  // namespace

extern const TCommand kAttachmentsCommand = {
    {
        .name = "attachments",
        .summary = "List the files attached to a record.",
        .arguments = {{"DATABASE", "the database file"}, {"RECORD", "the record, by path or id"}},
        .options = {kJsonOption, kPasswordStdinOption, kUserOption},
        .description = "One line per attachment: file name, size in bytes, comment and id, separated "
                       "by tabs.",
        .example = "corvane-cli attachments Private.cvd Work/Mail/Gmail --json",
    },
    &RunAttachments,
};

}  // namespace corvane
