// perm: the rights of a folder or record, shown or changed per user or group.

#include <vector>

#include "app/item_rights.h"
#include "app/user_edit.h"
#include "cli/command.h"
#include "cli/commands/item_path.h"
#include "cli/commands/user_support.h"
#include "cli/context.h"
#include "cli/json.h"
#include "cli/paths.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_permsyntax = "A right is given as USER=LETTERS, not '%s'.";
constexpr std::string_view scli_owninherit = "The options --own and --inherit exclude each other.";
constexpr std::string_view scli_inheritchanges = "An item that inherits its rights has no entries to change.";

// The changes the options ask for: clearing first, then grants, then denials.
std::vector<TItemRightsChange> RequestedChanges(const TArguments& args, const TPwdBaseUsersList& users) {
  std::vector<TItemRightsChange> changes;
  for (const std::string& name : args.Values("--clear"))
    changes.push_back({TItemRightsChange::TKind::Clear, &FindUserEntry(users, name), {}});
  const auto add = [&](std::string_view option, TItemRightsChange::TKind kind) {
    for (const std::string& given : args.Values(option)) {
      // Letters hold no "=", so a name may.
      const std::size_t equals = given.rfind('=');
      if (equals == std::string::npos || equals == 0) throw TUsageError(FormatMessage(scli_permsyntax, given), "perm");
      const std::string letters = ParseRightsLetters(std::string_view(given).substr(equals + 1), "perm");
      changes.push_back({kind, &FindUserEntry(users, given.substr(0, equals)), letters});
    }
  };
  add("--grant", TItemRightsChange::TKind::Grant);
  add("--deny", TItemRightsChange::TKind::Deny);
  return changes;
}

std::string EntryName(const TItemRightsEntry& entry) {
  return entry.user ? AnsiToUtf8(entry.user->Name()) : entry.guid.ToString();
}

std::string_view EntryKind(const TItemRightsEntry& entry) {
  if (!entry.user) return "unknown";
  return IsGroup(*entry.user) ? "group" : "user";
}

std::string DeniedText(std::string_view denied) { return denied.empty() ? "-" : std::string(denied); }

void Print(TCliContext& context, TPwdItem& item) {
  const TItemRights rights = ReadItemRights(item);
  const std::string source = rights.source ? ItemPath(*rights.source) : std::string("/");
  std::ostream& out = context.Out();
  if (context.Json()) {
    TJsonWriter json(out);
    json.BeginObject();
    json.Member("path", ItemPath(item));
    json.Member("own", rights.own);
    json.Member("source", source);
    json.Key("entries").BeginArray();
    for (const TItemRightsEntry& entry : rights.entries) {
      json.BeginObject();
      json.Member("name", EntryName(entry));
      json.Member("kind", EntryKind(entry));
      json.Member("granted", RightsText(entry.granted));
      json.Member("denied", DeniedText(entry.denied));
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return;
  }
  out << (rights.own ? std::string("own") : "inherited from " + source) << '\n';
  for (const TItemRightsEntry& entry : rights.entries)
    out << EntryName(entry) << '\t' << EntryKind(entry) << "\tgranted " << RightsText(entry.granted) << "\tdenied "
        << DeniedText(entry.denied) << '\n';
}

int RunPerm(TCliContext& context, const TArguments& args) {
  const bool own = args.Has("--own"), inherit = args.Has("--inherit");
  const bool changes = args.Has("--grant") || args.Has("--deny") || args.Has("--clear");
  if (own && inherit) throw TUsageError(std::string(scli_owninherit), "perm");
  if (inherit && changes) throw TUsageError(std::string(scli_inheritchanges), "perm");
  if (!own && !inherit && !changes) {
    context.Open(TOpenFor::Reading);
    Print(context, ResolveItem(context.Base(), args.Argument("PATH")));
    return 0;
  }
  TPwdBase& base = context.Open(TOpenFor::Writing);
  TPwdItem& item = ResolveItem(context.Base(), args.Argument("PATH"));
  const std::vector<TItemRightsChange> requested = RequestedChanges(args, *base.Users);
  if (own || inherit) SetItemInherits(item, inherit);
  ChangeItemRights(item, requested);
  if (base.Modified) context.Save();
  return 0;
}

}  // namespace

extern const TCommand kPermCommand = {
    {
        .name = "perm",
        .summary = "Show or change the rights of a folder or record.",
        .arguments = {{"DATABASE", "the database file"}, {"PATH", "the folder or record, by path or id"}},
        .options = {{"--own", "", "give the item its own rights, starting as a copy of those it inherits"},
                    {"--inherit", "", "let the item inherit the rights of its folder again"},
                    {"--grant", "USER=LETTERS", "grant the user or group USER these rights (- for none) here",
                     false, true},
                    {"--deny", "USER=LETTERS", "deny the user or group USER these rights (- for none) here",
                     false, true},
                    {"--clear", "USER", "remove the entry of the user or group USER here", false, true},
                    kJsonOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description =
            "Without changes the entries that apply to the item are shown: whether they are its own or "
            "inherited from a folder above it, then per user or group the rights granted and denied. A "
            "user's rights on an item come from its entries alone; an administrator is limited only by "
            "what is denied to him, and denying anything also denies Administrator.\n\n"
            "A grant or denial gives the item its own rights first; a user without an entry there starts "
            "with his own rights granted. Entries are cleared first, then grants and denials are made. The "
            "root folder's rights are the users' own and change with them (usermod). Changes need "
            "administrator rights. The database is saved.",
        .example = "corvane-cli perm Private.cvd Work --grant Alice=I --deny Alice=U",
    },
    &RunPerm,
};

}  // namespace corvane
