// backup: a byte-for-byte copy of a database file.

#include <unistd.h>

#include <iostream>

#include "app/backup.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/safe_file_name.h"
#include "cli/command.h"
#include "cli/commands/locations_front_end.h"
#include "cli/context.h"
#include "cli/messages.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/file_system.h"

namespace corvane {

namespace {

std::string CurrentFolder() {
  std::string folder(4096, '\0');
  if (!::getcwd(folder.data(), folder.size())) return ".";
  folder.resize(folder.find('\0'));
  return folder;
}

int RunBackup(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.OpenForListing();
  std::string target = args.Argument("FILE");
  if (target.empty()) target = JoinPath(CurrentFolder(), SafeFileName(DatabaseName(base)) + "." + std::string(kBackupExtension));
  if (!args.Has("--force") && FileExists(target)) throw TError(FormatMessage(scli_dbexists, target));
  TLocationsFrontEnd frontEnd(context.Out(), std::cerr);
  TFrontEndInstallation installed(frontEnd);
  frontEnd.chosenPath = target;
  BackupCommand(base);
  return 0;
}

}  // namespace

extern const TCommand kBackupCommand = {
    {
        .name = "backup",
        .summary = "Copy a database file to a backup file.",
        .arguments = {{"DATABASE", "the database file"},
                      {"FILE", "the backup file; by default the database's name with \".cvb\" in the current folder",
                       false}},
        .options = {{"--force", "", "replace FILE when it exists"}},
        .description = "The file is copied as it is on disk, still encrypted; no password is asked. Characters "
                       "that a file name cannot hold (/ \\ : \" ? * > < |) become \"_\" in the default name. An "
                       "existing FILE is replaced only with --force.",
        .example = "corvane-cli backup Private.cvd /media/stick/Private.cvb",
    },
    &RunBackup,
};

}  // namespace corvane
