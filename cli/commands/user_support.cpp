#include "cli/commands/user_support.h"

#include <algorithm>

#include "app/messages.h"
#include "app/properties_check.h"
#include "app/user_edit.h"
#include "cli/command.h"
#include "cli/context.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "engine/users.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

std::string ParseRightsLetters(std::string_view text, std::string_view command) {
  if (text == "-") return "-";
  std::string given;
  for (char c : text) given += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  const bool known = std::ranges::all_of(given, [](char letter) { return RightsContain(kAllRightsLetters, letter); });
  if (given.empty() || !known) throw TUsageError(FormatMessage(scli_rightsletters, text), command);
  std::string letters;
  for (char letter : kAllRightsLetters)
    if (RightsContain(given, letter)) letters += letter;
  return letters;
}

std::string RightsText(std::string_view rights) { return rights.empty() ? "all" : std::string(rights); }

TPwdBaseUser& FindUserEntry(const TPwdBaseUsersList& users, std::string_view utf8Name) {
  TPwdBaseUser* entry = users.FindByName(Utf8ToAnsi(utf8Name));
  if (!entry) throw TError(FormatMessage(scli_usernotfound, utf8Name));
  return *entry;
}

namespace {

// The identifiers of the entries named by `option`, which must be of the
// other kind than the entry being edited.
std::vector<TGuid> LinkedIds(const TArguments& args, std::string_view option, const TPwdBaseUsersList& users,
                             bool group) {
  std::vector<TGuid> ids;
  for (const std::string& name : args.Values(option)) {
    const TPwdBaseUser& other = FindUserEntry(users, name);
    if (IsGroup(other) == group) throw TError(FormatMessage(group ? scli_notauser : scli_notagroup, name));
    ids.push_back(other.Guid());
  }
  return ids;
}

}  // namespace

void ApplyUserOptions(const TArguments& args, const TPwdBaseUsersList& users, TUserEditValues& values,
                      std::string_view command) {
  const std::string_view join = values.group ? "--member" : "--member-of";
  const std::string_view leave = values.group ? "--not-member" : "--not-member-of";
  const std::string_view otherJoin = values.group ? "--member-of" : "--member";
  const std::string_view otherLeave = values.group ? "--not-member-of" : "--not-member";
  for (std::string_view wrong : {otherJoin, otherLeave})
    if (args.Has(wrong))
      throw TUsageError(FormatMessage(values.group ? scli_groupoption : scli_useroption, wrong), command);
  if (args.Has("--rights")) values.checkedRights = CheckedRights(ParseRightsLetters(args.Value("--rights"), command));
  if (args.Has("--description")) values.description = args.Value("--description");
  if (args.Has("--disabled") && args.Has("--enabled")) throw TUsageError(std::string(scli_enableddisabled), command);
  if (args.Has("--disabled")) values.disabled = true;
  if (args.Has("--enabled")) values.disabled = false;
  for (const TGuid& id : LinkedIds(args, join, users, values.group))
    if (std::ranges::find(values.links, id) == values.links.end()) values.links.push_back(id);
  for (const TGuid& id : LinkedIds(args, leave, users, values.group)) std::erase(values.links, id);
}

void EditDatabaseValues(TCliContext& context, const std::function<void(TDatabaseProperties&)>& edit) {
  TPwdBase& base = context.Open(TOpenFor::Writing);
  if (!PropertiesEditable(base)) throw TError(std::string(spwdaccessdenied));
  TDatabaseProperties values = ReadDatabaseProperties(base);
  edit(values);
  const TSecretText retype(values.password.Text());
  const TPropertiesCheck check = CheckDatabaseProperties(values, retype, base.FileName, /*newDatabase=*/false);
  if (!check.accepted) throw TError(check.message.empty() ? std::string(susercanceled) : check.message);
  ApplyDatabaseProperties(base, values);
  if (base.Modified) context.Save();
}

}  // namespace corvane
