#include "engine/permissions.h"

#include "engine/base.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/error.h"

namespace corvane {

std::string MergeRights(std::string_view first, std::string_view second) {
  if (first.empty()) first = "A";
  if (second.empty()) second = "A";
  std::string merged(first);
  for (char letter : second) {
    if (!RightsContain(merged, letter)) merged += letter;
  }
  return merged;
}

void TPwdPermissionsList::Guard() const {
  if (database_) database_->RequireRights(nullptr, "A");
}

void TPwdPermissionsList::Append(const TGuid& guid, const std::string& granted, const std::string& denied) {
  auto entry = std::make_unique<TPwdPermission>();
  entry->Owner = this;
  entry->Guid = guid;
  entry->Granted = granted;
  entry->Denied = denied;
  items_.push_back(std::move(entry));
}

void TPwdPermissionsList::SetEntry(const TGuid& guid, const std::string& granted, const std::string& denied) {
  Guard();
  Append(guid, granted, denied);
}

void TPwdPermissionsList::CopyFrom(const TPwdPermissionsList& other) {
  Guard();
  if (&other == this) return;
  items_.clear();
  for (const auto& entry : other.items_) Append(entry->Guid, entry->Granted, entry->Denied);
}

void TPwdPermissionsList::Clear() {
  Guard();
  items_.clear();
}

void TPwdPermissionsList::ResetFromUsers(const TPwdBaseUsersList& users) {
  items_.clear();
  for (const TPwdBaseUser* user : users) Append(user->Guid(), user->Rights(), {});
}

void TEngineDeleter::operator()(TPwdPermissionsList* list) const noexcept { delete list; }

// --- The rights check ---

namespace {

// The permission list that applies to `item`: its own, else the nearest
// ancestor's. An item outside the tree falls back to the root's.
const TPwdPermissionsList* EffectivePermissions(const TPwdBase& base, const TPwdItem& item) {
  for (const TPwdItem* at = &item; at; at = at->ParentFolder()) {
    if (at->Permissions) return at->Permissions.get();
  }
  return base.Permissions.get();
}

// What the current user's entries on an item grant and deny, merged.
struct TGrant {
  bool unrestricted = false;  // no check applies: loading or no password
  bool matched = false;
  std::string granted = "-";
  std::string denied;
};

TGrant GrantOn(const TPwdBase& base, const TPwdItem* item) {
  TGrant grant;
  if (base.LoadingCount > 0 || base.Password.empty()) {
    grant.unrestricted = true;
    return grant;
  }
  const TPwdPermissionsList* list = EffectivePermissions(base, item ? *item : base);
  if (list) {
    for (const auto& entry : *list) {
      for (const TGuid& identity : base.CurrentIdentities) {
        if (entry->Guid != identity) continue;
        grant.granted = MergeRights(grant.granted, entry->Granted);
        if (!entry->Denied.empty()) grant.denied = MergeRights(grant.denied, entry->Denied);
        grant.matched = true;
      }
    }
  }
  // An administrator's grants are not limited by the entries, only his denials.
  if (base.CurrentRights.empty() || RightsContain(base.CurrentRights, 'A')) grant.granted.clear();
  return grant;
}

// Whether `letter` passes the merged grant; a read-only database refuses
// every right that writes.
bool GrantAllows(const TPwdBase& base, const TGrant& grant, char letter) {
  bool writes = letter == 'A' || letter == 'D' || letter == 'I' || letter == 'U';
  return (grant.granted.empty() || RightsContain(grant.granted, letter)) &&
         (grant.denied.empty() || !RightsContain(grant.denied, letter)) && !(base.ReadOnly && writes);
}

}  // namespace

bool TPwdBase::HasRights(const TPwdItem* item, std::string_view letters, bool requireAll) const {
  TGrant grant = GrantOn(*this, item);
  if (grant.unrestricted) return true;
  if (!grant.matched) return false;
  if (letters.empty()) return true;
  bool passes = false;
  for (char letter : letters) {
    passes = GrantAllows(*this, grant, letter);
    if (passes != requireAll) return passes;
  }
  return passes;
}

void TPwdBase::RequireRights(const TPwdItem* item, std::string_view letters) const {
  if (!HasRights(item, letters, true)) throw TError(std::string(spwdaccessdenied));
}

std::string TPwdBase::EffectiveRights(const TPwdItem* item) const {
  TGrant grant = GrantOn(*this, item);
  if (!grant.unrestricted && !grant.matched) return "-";
  std::string rights;
  for (char letter : kAllRightsLetters) {
    if (grant.unrestricted || GrantAllows(*this, grant, letter)) rights += letter;
  }
  return rights.empty() ? "-" : rights;
}

// --- Own and inherited permission lists of items ---

bool TPwdItem::InheritsPermissions() const { return Permissions == nullptr; }

void TPwdItem::SetInheritRights(bool inherit) {
  if (inherit == InheritsPermissions()) return;
  TPwdBase* base = GetBase();
  if (base == this) return;  // the root always keeps its own list
  if (base) base->RequireRights(nullptr, "A");
  if (inherit) {
    Permissions.reset();
  } else {
    TPermissionsPtr own(new TPwdPermissionsList(base));
    const TPwdItem* from = ParentFolder();
    while (from && !from->Permissions) from = from->ParentFolder();
    if (from) own->CopyFrom(*from->Permissions);
    Permissions = std::move(own);
  }
  if (base) base->SetModified(true);
}

}  // namespace corvane
