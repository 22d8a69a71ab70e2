// users: the users and groups of a database with their rights.

#include "app/user_edit.h"
#include "cli/command.h"
#include "cli/commands/user_support.h"
#include "cli/context.h"
#include "cli/json.h"
#include "engine/base.h"
#include "engine/users.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

std::string_view KindText(const TPwdBaseUser& entry) {
  switch (entry.UserType()) {
    case kUserDomain:
      return "domain user";
    case kGroupDomain:
      return "domain group";
    case kGroupDatabase:
      return "group";
    default:
      return "user";
  }
}

std::vector<std::string> LinkNames(const TPwdBaseUser& entry) {
  std::vector<std::string> names;
  if (const TPwdBaseUsersList* links = entry.LinksIfAny())
    for (const TPwdBaseUser* link : *links) names.push_back(AnsiToUtf8(link->Name()));
  return names;
}

void PrintJson(std::ostream& out, const TPwdBaseUsersList& users) {
  TJsonWriter json(out);
  json.BeginArray();
  for (const TPwdBaseUser* entry : users) {
    json.BeginObject();
    json.Member("name", AnsiToUtf8(entry->Name()));
    json.Member("kind", KindText(*entry));
    json.Member("description", AnsiToUtf8(entry->Description()));
    json.Member("rights", RightsText(entry->Rights()));
    json.Member("disabled", !entry->Enabled());
    json.Member("hasPassword", !entry->PasswordDigest().empty());
    json.Key(IsGroup(*entry) ? "members" : "groups").BeginArray();
    for (const std::string& name : LinkNames(*entry)) json.String(name);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
}

void PrintText(std::ostream& out, const TPwdBaseUsersList& users) {
  for (const TPwdBaseUser* entry : users) {
    out << AnsiToUtf8(entry->Name()) << '\t' << KindText(*entry) << '\t' << RightsText(entry->Rights());
    if (!entry->Enabled()) out << "\tdisabled";
    const std::vector<std::string> links = LinkNames(*entry);
    if (!links.empty()) {
      out << (IsGroup(*entry) ? "\tmembers: " : "\tgroups: ");
      for (std::size_t i = 0; i < links.size(); ++i) out << (i ? ", " : "") << links[i];
    }
    out << '\n';
  }
}

int RunUsers(TCliContext& context, const TArguments&) {
  const TPwdBase& base = context.Open(TOpenFor::Reading);
  if (context.Json())
    PrintJson(context.Out(), *base.Users);
  else
    PrintText(context.Out(), *base.Users);
  return 0;
}

}  // namespace

extern const TCommand kUsersCommand = {
    {
        .name = "users",
        .summary = "List the users and groups of a database.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {kJsonOption, kPasswordStdinOption, kUserOption},
        .description = "One line per entry, tab separated: the name, the kind (user, group, domain user, "
                       "domain group), the own rights (all, letters of AIUDVMPLSF, or - for none), "
                       "\"disabled\" for a disabled entry, and a user's groups or a group's members. The "
                       "first entry is the default user, whose rights apply while nobody has logged on.",
        .example = "corvane-cli users Private.cvd --json",
    },
    &RunUsers,
};

}  // namespace corvane
