// icon: sets the image of a folder or record.

#include "app/item_icon.h"
#include "cli/command.h"
#include "cli/commands/item_path.h"
#include "cli/context.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/locale.h"

namespace corvane {

namespace {

constexpr std::string_view scli_iconnumber = "The icon is given as a number, not '%s'.";

int RunIcon(TCliContext& context, const TArguments& args) {
  const std::optional<std::int32_t> index = ParseInteger(args.Argument("N"));
  if (!index) throw TUsageError(FormatMessage(scli_iconnumber, args.Argument("N")), "icon");
  TPwdBase& base = context.Open(TOpenFor::Writing);
  SetItemIcon(ResolveItem(base, args.Argument("PATH")), *index);
  context.Save();
  return 0;
}

}  // namespace

extern const TCommand kIconCommand = {
    {
        .name = "icon",
        .summary = "Set the icon of a folder or record.",
        .arguments = {{"DATABASE", "the database file"},
                      {"PATH", "the folder or record, by path or id"},
                      {"N", "the icon: 0 to 22 are the built-in images, 23 and up the database's own icons"}},
        .options = {kPasswordStdinOption, kUserOption},
        .description = "A number that names no image (below 0, or beyond the database's own icons) is refused. "
                       "The root folder has no icon of its own. Needs the right to modify the item. A path that names both a folder and a record is "
                       "refused; name the record by its id. The database is saved.",
        .example = "corvane-cli icon Private.cvd Work/Mail/Gmail 5",
    },
    &RunIcon,
};

}  // namespace corvane
