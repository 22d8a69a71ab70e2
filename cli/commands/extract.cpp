// extract: attached files written into a folder.

#include <iostream>
#include <vector>

#include "cli/command.h"
#include "cli/commands/attachment_support.h"
#include "cli/context.h"
#include "engine/attachments_list.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "engine/safe_file_name.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

int RunExtract(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Reading);
  ReportArchiveWarning(base);
  TPwdPassword& record = context.Record(args.Argument("RECORD"));
  record.RequireRights("S");
  std::vector<TPwdFileAttach*> chosen;
  for (const std::string& name : args.Values("NAME...")) chosen.push_back(&RequireAttachment(record, name));
  if (args.Values("NAME...").empty() && record.Files)
    for (int i = 0; i < record.Files->Count(); ++i) chosen.push_back((*record.Files)[i]);

  std::string folder = args.Value("--to");
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  for (TPwdFileAttach* attachment : chosen) {
    // The stored name is only trusted as far as it stays inside the folder.
    const std::string name = SafeFileName(AnsiToUtf8(attachment->FileName));
    const std::string target = (folder == "/" ? "" : folder) + "/" + name;
    if (!args.Has("--force") && FileExists(target)) {
      const std::optional<bool> yes = AskYesNo(FormatMessage(scli_overwrite, target));
      if (!yes.value_or(false)) {
        std::cerr << FormatMessage(scli_skipped, target) << '\n';
        continue;
      }
    }
    attachment->SaveToFile(target);
    context.Out() << target << '\n';
  }
  return 0;
}

}  // namespace

extern const TCommand kExtractCommand = {
    {
        .name = "extract",
        .summary = "Write attached files into a folder.",
        .arguments = {{"DATABASE", "the database file"},
                      {"RECORD", "the record, by path or id"},
                      {"NAME...", "the attachments to write (all when none is given)", false}},
        .options = {{"--to", "FOLDER", "the folder to write the files into", true},
                    {"--force", "", "replace existing files without asking"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "Each file gets the last-write time and read-only attribute it had when it was "
                       "attached. A name that holds folder separators or means a folder (\".\", "
                       "\"..\") is written with \"_\" in their place, so that nothing is written "
                       "outside FOLDER. Without --force an existing file is replaced only when the "
                       "person at the terminal agrees, and skipped otherwise. Needs the right to "
                       "extract files. The path of each file written is printed.",
        .example = "corvane-cli extract Private.cvd Work/Mail/Gmail contract.pdf --to ~/Downloads",
    },
    &RunExtract,
};

}  // namespace corvane
