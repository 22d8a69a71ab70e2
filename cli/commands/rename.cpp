// rename: gives a folder a new name.

#include "app/rename_folder.h"
#include "cli/command.h"
#include "cli/context.h"
#include "engine/base.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

int RunRename(TCliContext& context, const TArguments& args) {
  context.Open(TOpenFor::Writing);
  TPwdFolder& folder = context.Folder(args.Argument("FOLDER"));
  const std::string name = Utf8ToAnsi(args.Argument("NAME"));
  RenameFolder(folder, name);
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kRenameCommand = {
    {
        .name = "rename",
        .summary = "Rename a folder.",
        .arguments = {{"DATABASE", "the database file"},
                      {"FOLDER", "the folder, by path or id"},
                      {"NAME", "its new name"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "The name must not be empty, and no other folder beside it may have it (a record may). "
                       "The root folder carries the database's name and is not renamed here. Needs the right "
                       "to modify the folder. The database is saved.",
        .example = "corvane-cli rename Private.cvd Work/Mail \"Mail accounts\"",
    },
    &RunRename,
};

}  // namespace corvane
