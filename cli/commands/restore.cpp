// restore: a backup file back into the database folders.

#include <iostream>

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/restore.h"
#include "cli/command.h"
#include "cli/commands/locations_front_end.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/messages.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

constexpr std::string_view scli_restoreoneway = "Give either --over or --as-new, not both.";

int RunRestore(TCliContext& context, const TArguments& args) {
  if (args.Has("--over") && args.Has("--as-new")) throw TUsageError(std::string(scli_restoreoneway), "restore");
  const std::string& backup = args.Argument("BACKUP");
  if (!FileExists(backup)) throw TError(FormatMessage(scli_dbnotfound, backup));
  TLocationsFrontEnd frontEnd(context.Out(), std::cerr);
  TFrontEndInstallation installed(frontEnd);
  frontEnd.chosenPath = backup;
  if (args.Has("--over")) frontEnd.restoreChoice = TRestoreChoice::OverExisting;
  if (args.Has("--as-new")) frontEnd.restoreChoice = TRestoreChoice::AsNew;
  LoadDatabaseFolders();
  RefreshDatabases(false, false);
  const std::optional<std::string> restored = RestoreCommand();
  if (restored) context.Out() << *restored << '\n';
  return frontEnd.ErrorShown() ? 1 : 0;
}

}  // namespace

extern const TCommand kRestoreCommand = {
    {
        .name = "restore",
        .summary = "Restore a database from a backup file into the database folders.",
        .arguments = {{"BACKUP", "the backup file"}},
        .options = {{"--over", "", "replace the database of the same name without asking"},
                    {"--as-new", "", "restore as a new database beside the one of the same name, without asking"}},
        .description = "When a database of the configured folders has the name stored in the backup, the "
                       "terminal asks whether to restore over it (a read-only file stays read-only) or as a new "
                       "database; --over and --as-new answer beforehand. Otherwise the backup becomes a new "
                       "database file in the first database folder that exists, named by the file-name "
                       "template. The restored file's name is printed last.",
        .example = "corvane-cli restore ~/Backup/CVBase1_20240131_093000.cvb --as-new",
    },
    &RunRestore,
};

}  // namespace corvane
