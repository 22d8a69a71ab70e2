// cp: copies folders and records into a folder of the same or another database.

#include "cli/command.h"
#include "cli/commands/paste_command.h"

namespace corvane {

namespace {

int RunCp(TCliContext& context, const TArguments& args) { return RunPasteCommand(context, args, /*cut=*/false); }

}  // namespace

extern const TCommand kCpCommand = {
    {
        .name = "cp",
        .summary = "Copy folders and records into a folder, and print the copies' ids.",
        .arguments = {{"DATABASE", "the database file"},
                      {kPastePaths, "the folders and records to copy, by path or id, and last the folder "
                                    "the copies go into"}},
        .options = {{"--into", "OTHER_DB", "the folder is one of the database file OTHER_DB; DATABASE is only read"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "Each item is copied with everything below it; the copies are new items with new ids, "
                       "printed one a line in the order given. A folder whose name is taken in the target gets "
                       "a number after its name. A folder is never copied into itself or one of its own "
                       "subfolders (\"Cannot paste parent folder into the child folder.\"); then nothing is "
                       "copied. Copying needs the right to insert data in the folder, and a folder is only copied when "
                       "the user may see every record in it, since copies take the permissions of their new place; "
                       "the first item refused stops with \"Access denied.\", the copies made before it stay. "
                       "Passwords the user may not "
                       "view, and attachments the user may not extract, are left out of copies into another "
                       "database.\n\nWith --into the master password of OTHER_DB is asked after that of "
                       "DATABASE; with --user, each master password is followed by the user's password in that "
                       "database. The database that receives the copies is saved.",
        .example = "corvane-cli cp Private.cvd Work/Mail Archive --into /media/card/Shared.cvd",
    },
    &RunCp,
};

}  // namespace corvane
