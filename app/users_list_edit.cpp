#include "app/users_list_edit.h"

#include "app/message_box.h"
#include "app/properties_messages.h"
#include "app/user_edit.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

// Whether the entry can be the session's user: a personal entry that is
// enabled, or the first one, which always logs on.
bool CanLogOn(const TPwdBaseUsersList& users, const TPwdBaseUser& entry) {
  return !IsGroup(entry) && (entry.Enabled() || users.IndexOf(&entry) == 0);
}

}  // namespace

bool MayDeleteUser(const TPwdBaseUsersList& users, int index) { return index > 0 && index < users.Count(); }

bool ConfirmDeleteUser(const TPwdBaseUser& entry) {
  const std::string question = FormatMessage(suser_deletequestion, AnsiToUtf8(entry.Name()));
  return MsgBox(question, kMbYesNo | kMbIconQuestion | kMbDefButton2) == kIdYes;
}

void DeleteUserEntry(TPwdBaseUsersList& users, int index) {
  if (index == 0) throw TError(std::string(suser_defaultdelete));
  users.Delete(index);
}

TUsersListCheck CheckUsersList(TPwdBaseUsersList& users, bool requireLogon) {
  if (users.Count() == 0) return TUsersListCheck::NoAdministrator;
  TPwdBaseUser& defaultUser = *users[0];
  if (users.Count() < 2) {
    defaultUser.SetRights({});
  } else if (requireLogon) {
    defaultUser.SetRights("-");
    defaultUser.SetEnabled(false);
  }
  bool administrator = false;
  bool builtinAdministrator = false;
  for (TPwdBaseUser* entry : users) {
    if (!CanLogOn(users, *entry) || !entry->HasRights("A")) continue;
    administrator = true;
    if (entry->UserType() == kUserDatabase) builtinAdministrator = true;
  }
  if (!administrator) return TUsersListCheck::NoAdministrator;
  if (builtinAdministrator) return TUsersListCheck::Accepted;
  const int answer = MsgBox(sprop_nobuiltinadministrator, kMbYesNo | kMbIconWarning | kMbDefButton2);
  return answer == kIdYes ? TUsersListCheck::Accepted : TUsersListCheck::Declined;
}

}  // namespace corvane
