#include "app/user_edit.h"

#include <memory>

#include "app/properties_messages.h"
#include "app/session_properties.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"
#include "platform/locale_data.h"

namespace corvane {

namespace {

std::string EngineName(const TUserEditValues& values) { return Utf8ToAnsi(TrimSpaces(values.name)); }

std::uint8_t UserTypeOf(const TUserEditValues& values) {
  if (values.group) return values.ntAuthentication ? kGroupDomain : kGroupDatabase;
  return values.ntAuthentication ? kUserDomain : kUserDatabase;
}

bool PasswordChanged(const TUserEditValues& values) { return values.password.Text() != kPasswordPlaceholder; }

bool IsDefaultUser(const TPwdBaseUsersList& users, const TPwdBaseUser* entry) {
  return entry && users.IndexOf(entry) == 0;
}

// Whether the values would change a field that the locks keep.
bool ChangesIdentity(const TPwdBaseUser& entry, const TUserEditValues& values) {
  return EngineName(values) != entry.Name() || PasswordChanged(values) ||
         Utf8ToAnsi(values.description) != entry.Description() || UserTypeOf(values) != entry.UserType() ||
         Utf8ToAnsi(values.accountId) != entry.AccountId();
}

void ApplyLinks(TPwdBaseUsersList& users, TPwdBaseUser& entry, const std::vector<TGuid>& links) {
  TPwdBaseUsersList& own = entry.Links();
  while (own.Count() > 0) own.Delete(own.Count() - 1);
  for (const TGuid& id : links) {
    TPwdBaseUser* other = users.FindByGuid(id);
    // A user belongs to groups, a group has users as members.
    if (other && other != &entry && IsGroup(*other) != IsGroup(entry)) own.Add(other);
  }
}

}  // namespace

std::string CheckedRights(std::string_view rights) {
  if (rights.empty()) return std::string(kAllRightsLetters);
  std::string checked;
  for (char letter : kAllRightsLetters) {
    const bool oldModify = (letter == 'I' || letter == 'U' || letter == 'D') && RightsContain(rights, 'O');
    if (RightsContain(rights, letter) || oldModify) checked += letter;
  }
  return checked;
}

std::string RightsOfCheckedBoxes(std::string_view checked) {
  if (RightsContain(checked, 'A')) return std::string(kAllRightsLetters);
  std::string rights;
  for (char letter : kAllRightsLetters)
    if (RightsContain(checked, letter)) rights += letter;
  return rights.empty() ? "-" : rights;
}

bool IsGroup(const TPwdBaseUser& entry) {
  return entry.UserType() == kGroupDatabase || entry.UserType() == kGroupDomain;
}

TUserEditValues NewUserValues(const TPwdBaseUsersList& users, bool group) {
  TUserEditValues values;
  values.group = group;
  values.checkedRights = CheckedRights(users.Count() > 0 ? users[0]->Rights() : std::string());
  return values;
}

TUserEditValues ReadUserValues(const TPwdBaseUser& entry) {
  TUserEditValues values;
  values.group = IsGroup(entry);
  values.name = AnsiToUtf8(entry.Name());
  values.password = TSecretText(kPasswordPlaceholder);
  values.retypePassword = TSecretText(kPasswordPlaceholder);
  values.description = AnsiToUtf8(entry.Description());
  values.ntAuthentication = entry.UserType() == kUserDomain || entry.UserType() == kGroupDomain;
  values.accountId = AnsiToUtf8(entry.AccountId());
  values.disabled = !entry.Enabled();
  values.checkedRights = CheckedRights(entry.Rights());
  if (const TPwdBaseUsersList* links = entry.LinksIfAny())
    for (const TPwdBaseUser* link : *links) values.links.push_back(link->Guid());
  return values;
}

TUserFieldLocks UserFieldLocks(const TPwdBaseUsersList& users, const TPwdBaseUser* entry, bool requireLogon) {
  TUserFieldLocks locks;
  if (IsDefaultUser(users, entry)) {
    locks.identity = true;
    locks.rights = requireLogon;
  }
  return locks;
}

std::string CheckUserValues(const TPwdBaseUsersList& users, const TPwdBaseUser* entry,
                            const TUserEditValues& values, bool requireLogon) {
  const std::string name = EngineName(values);
  if (!values.ntAuthentication && name.empty())
    return std::string(values.group ? suser_nogroupname : suser_noname);
  if (!values.group && !values.ntAuthentication && PasswordChanged(values)) {
    if (values.password.Text() != values.retypePassword.Text()) return std::string(sprop_passwordsdiffer);
    if (values.password.Empty()) return std::string(sprop_emptypassword);
  }
  const TPwdBaseUser* sameName = name.empty() ? nullptr : users.FindByName(name);
  if (sameName && sameName != entry) return FormatMessage(suser_duplicatename, TrimSpaces(values.name));
  const TUserFieldLocks locks = UserFieldLocks(users, entry, requireLogon);
  if (locks.identity && ChangesIdentity(*entry, values)) return std::string(suser_defaultfixed);
  if (locks.rights && RightsOfCheckedBoxes(values.checkedRights) != RightsOfCheckedBoxes(CheckedRights(entry->Rights())))
    return std::string(suser_defaultrightsfixed);
  return {};
}

void ApplyUserValues(TPwdBaseUsersList& users, TPwdBaseUser& entry, const TUserEditValues& values,
                     bool requireLogon) {
  const TUserFieldLocks locks = UserFieldLocks(users, &entry, requireLogon);
  if (!locks.identity) {
    entry.SetName(EngineName(values));
    if (PasswordChanged(values)) {
      std::string password = Utf8ToAnsi(values.password.Text());
      try {
        entry.SetPassword(password);
      } catch (...) {
        WipeString(password);
        throw;
      }
      WipeString(password);
    }
    entry.SetDescription(Utf8ToAnsi(values.description));
    entry.SetUserType(UserTypeOf(values));
    entry.SetAccountId(values.ntAuthentication ? Utf8ToAnsi(values.accountId) : std::string());
  }
  if (!locks.rights) entry.SetRights(RightsOfCheckedBoxes(values.checkedRights));
  entry.SetEnabled(!values.disabled);
  ApplyLinks(users, entry, values.links);
}

TPwdBaseUser& AddUserEntry(TPwdBaseUsersList& users, const TUserEditValues& values, bool requireLogon) {
  auto created = std::make_unique<TPwdBaseUser>();
  created->SetGuid(TGuid::Create());
  TPwdBaseUser& entry = *users.Add(std::move(created));
  ApplyUserValues(users, entry, values, requireLogon);
  return entry;
}

}  // namespace corvane
