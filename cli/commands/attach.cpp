// attach: files attached to a record.

#include <filesystem>

#include "cli/command.h"
#include "cli/commands/attachment_support.h"
#include "cli/context.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

int RunAttach(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  ReportArchiveWarning(base);
  TPwdPassword& record = context.Record(args.Argument("RECORD"));
  record.RequireRights("L");
  const bool replace = args.Has("--replace");
  for (const std::string& path : args.Values("FILE...")) {
    const std::string name = std::filesystem::path(path).filename().string();
    TPwdFileAttach* attachment = FindAttachment(record, name);
    if (attachment && !replace) throw TError(FormatMessage(scli_attachmentexists, name));
    const bool added = !attachment;
    if (added) attachment = FilesOf(record).Add();
    try {
      attachment->LoadFromFile(path);
      attachment->SetFileName(Utf8ToAnsi(name));
    } catch (...) {
      if (added) FilesOf(record).Delete(FilesOf(record).IndexOf(attachment));
      throw;
    }
  }
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kAttachCommand = {
    {
        .name = "attach",
        .summary = "Attach files to a record.",
        .arguments = {{"DATABASE", "the database file"},
                      {"RECORD", "the record, by path or id"},
                      {"FILE...", "the files to attach"}},
        .options = {{"--replace", "", "replace the data of an attachment of the same name instead of failing"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "Each file is stored encrypted in the database with its name, last-write time "
                       "and read-only attribute. Files of 2 GiB or more cannot be attached. A file "
                       "whose name the record already has (in any case) is refused unless --replace "
                       "is given. Needs the right to modify files. The database is saved.",
        .example = "corvane-cli attach Private.cvd Work/Mail/Gmail contract.pdf scan.png",
    },
    &RunAttach,
};

}  // namespace corvane
