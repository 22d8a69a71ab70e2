// mv: moves folders and records into a folder.

#include "cli/command.h"
#include "cli/commands/paste_command.h"

namespace corvane {

namespace {

int RunMv(TCliContext& context, const TArguments& args) { return RunPasteCommand(context, args, /*cut=*/true); }

}  // namespace

extern const TCommand kMvCommand = {
    {
        .name = "mv",
        .summary = "Move folders and records into a folder, and print their new ids.",
        .arguments = {{"DATABASE", "the database file"},
                      {kPastePaths, "the folders and records to move, by path or id, and last the folder "
                                    "they go into"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "A folder is never moved into itself or one of its own subfolders (\"Cannot paste parent "
                       "folder into the child folder.\"); then nothing is moved. An item that is in the folder "
                       "already stays where it is. A moved item is a new item: it gets a new id, which is "
                       "printed, one a line, in the order given. Moving needs the right to delete the item and "
                       "everything below it, and the right to insert data in the folder; the first item refused "
                       "stops with \"Access denied.\", the items before it stay moved. A path that names both a "
                       "folder and a record is refused; name the record by its id. The database is saved.",
        .example = "corvane-cli mv Private.cvd Work/Mail/Gmail Old/Shop Archive",
    },
    &RunMv,
};

}  // namespace corvane
