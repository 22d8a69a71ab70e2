// rm: deletes folders and records.

#include "app/delete_items.h"
#include "cli/command.h"
#include "cli/commands/item_path.h"
#include "cli/context.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"

namespace corvane {

namespace {

constexpr std::string_view scli_rmnotempty =
    "The folder '%s' is not empty; give --recursive to delete it with all its content.";

int RunRm(TCliContext& context, const TArguments& args) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  const bool recursive = args.Has("--recursive");
  std::vector<TPwdItem*> items;
  for (const std::string& path : args.Values("PATH...")) {
    TPwdItem& item = ResolveItem(base, path);
    switch (DeleteRefusal(item, recursive)) {
      case TDeleteRefusal::Root: throw TError(std::string(sdelete_rootfolder));
      case TDeleteRefusal::NotEmpty: throw TError(FormatMessage(scli_rmnotempty, ItemPath(item)));
      case TDeleteRefusal::None: break;
    }
    items.push_back(&item);
  }
  const TDeleteOutcome outcome = DeleteItems(base, items);
  // What was deleted before a refusal stays deleted, as in the window.
  if (outcome.deleted > 0) context.Save();
  if (outcome.error) throw TError(*outcome.error);
  return 0;
}

}  // namespace

extern const TCommand kRmCommand = {
    {
        .name = "rm",
        .summary = "Delete folders and records.",
        .arguments = {{"DATABASE", "the database file"},
                      {"PATH...", "the folders and records, by path or id"}},
        .options = {{"--recursive", "", "also delete folders that are not empty, with all their content"},
                    kPasswordStdinOption,
                    kUserOption},
        .description = "A folder that is not empty is only deleted with --recursive; the root folder is never "
                       "deleted. The items are deleted in the order given; the first one the user may not "
                       "delete (it or anything below it needs the right to delete data) stops with "
                       "\"Access denied.\": the items before it stay deleted, it and the ones after it stay. "
                       "A path that names both a folder and a record is refused; name the record by its id. "
                       "The database is saved.",
        .example = "corvane-cli rm Private.cvd Work/Mail/Gmail Old --recursive",
    },
    &RunRm,
};

}  // namespace corvane
