// The database's access objects (users, root permissions, change log, undo
// history) and the logged-on session.

#include "engine/base.h"
#include "engine/changelog.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "engine/undo.h"
#include "engine/users.h"
#include "platform/error.h"

namespace corvane {

void TPwdBase::CreateUsersAndLog() {
  Users.reset(new TPwdBaseUsersList(this));
  ChangesLog.reset(new TPwdBaseChangesLog(this));
  UndoList.reset(new TPwdUndoList(this));
  Permissions.reset(new TPwdPermissionsList(this));
}

void TPwdBase::CreateDefaultUser() {
  {
    TLoadingScope loading(*this);
    Users->Clear();
    auto user = std::make_unique<TPwdBaseUser>();
    user->SetName(std::string(spwddefaultusername));
    user->SetDescription(std::string(spwddefaultuserdesc));
    Users->Add(std::move(user));
  }
  Users->RefreshRootPermissions();
}

void TPwdBase::Logon(const TGuid& userId) {
  TPwdBaseUser* user = Users ? Users->FindByGuid(userId) : nullptr;
  bool first = user && Users->IndexOf(user) == 0;
  if (user && !first && !user->Enabled()) throw TError(FormatMessage(spwduserdisabled, user->Name()));
  bool sameUser = !CurrentIdentities.empty() && CurrentIdentities.front() == userId;
  if (!Reloading && !sameUser && UndoList) UndoList->Clear();
  if (!user) {
    ResetLogon();
    return;
  }
  CurrentUserName = user->Name();
  CurrentRights = user->EffectiveRights();
  CurrentIdentities.assign(1, user->Guid());
  if (user->HasLinks()) {
    for (const TPwdBaseUser* group : *user->LinksIfAny()) CurrentIdentities.push_back(group->Guid());
  }
  IsFirstUser = first;
}

void TPwdBase::ResetLogon() {
  CurrentUserName.clear();
  CurrentIdentities.assign(1, TGuid{});
  TPwdBaseUser* fallback = Users ? Users->FindByGuid(TGuid{}) : nullptr;
  // Without a user, nobody would be limited by the grants; the default user's
  // rights apply instead where it exists.
  CurrentRights = fallback ? fallback->EffectiveRights() : std::string();
  IsFirstUser = fallback && Users->IndexOf(fallback) == 0;
}

}  // namespace corvane
