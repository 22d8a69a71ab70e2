#include "engine/users.h"

#include <cryptopp/misc.h>
#include <cryptopp/sha.h>

#include <algorithm>
#include <optional>

#include "engine/base.h"
#include "engine/messages.h"
#include "engine/permissions.h"
#include "engine/secure_buffer.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace corvane {

std::string UpgradeStoredRights(std::string_view rights, std::uint16_t formatVersion) {
  std::string upgraded(rights);
  if (upgraded.empty() || upgraded == "-") return upgraded;
  if (formatVersion < 195) {
    if (std::size_t o = upgraded.find('O'); o != std::string::npos) {
      upgraded.erase(o, 1);
      std::string modify;
      for (char letter : std::string_view("IUD")) {
        if (!RightsContain(upgraded, letter)) modify += letter;
      }
      upgraded.insert(o, modify);
    }
    if (!upgraded.empty() && !RightsContain(upgraded, 'V')) upgraded += 'V';
  }
  if (formatVersion < 217) {
    for (char letter : std::string_view("MLSF")) {
      if (!RightsContain(upgraded, letter)) upgraded += letter;
    }
  }
  return upgraded;
}

std::string PasswordDigestOf(std::string_view password) {
  std::string digest(CryptoPP::SHA1::DIGESTSIZE, '\0');
  CryptoPP::SHA1().CalculateDigest(reinterpret_cast<CryptoPP::byte*>(digest.data()),
                                   reinterpret_cast<const CryptoPP::byte*>(password.data()), password.size());
  return digest;
}

// --- TPwdBaseUser ---

TPwdBaseUser::~TPwdBaseUser() {
  if (!links_) return;
  for (TPwdBaseUser* other : *links_) {
    if (other->links_) other->links_->Unlink(this);
    other->effectiveRightsCache_.clear();
  }
}

void TPwdBaseUser::Guard() const {
  if (owner_) owner_->Guard();
}

void TPwdBaseUser::ForgetRights() {
  effectiveRightsCache_.clear();
  if (links_) {
    for (TPwdBaseUser* other : *links_) other->effectiveRightsCache_.clear();
  }
}

void TPwdBaseUser::Changed() {
  if (owner_) owner_->RefreshRootPermissions();
}

void TPwdBaseUser::SetName(const std::string& name) {
  Guard();
  name_ = name;
}

void TPwdBaseUser::SetPasswordDigest(const std::string& digest) {
  const TPwdBase* base = owner_ ? owner_->Database() : nullptr;
  bool own = base && !base->CurrentIdentities.empty() && base->CurrentIdentities.front() == guid_;
  if (!own) Guard();
  passwordDigest_ = digest;
}

void TPwdBaseUser::SetPassword(std::string_view password) {
  SetPasswordDigest(password.empty() ? std::string() : PasswordDigestOf(password));
}

void TPwdBaseUser::SetRights(const std::string& rights) {
  Guard();
  rights_ = rights;
  ForgetRights();
  Changed();
}

void TPwdBaseUser::SetDescription(const std::string& description) {
  Guard();
  description_ = description;
}

void TPwdBaseUser::SetAccountId(const std::string& accountId) {
  Guard();
  accountId_ = accountId;
}

void TPwdBaseUser::SetUserType(std::uint8_t userType) {
  Guard();
  userType_ = userType;
  ForgetRights();
}

void TPwdBaseUser::SetEnabled(bool enabled) {
  Guard();
  enabled_ = enabled;
}

void TPwdBaseUser::SetGuid(const TGuid& guid) {
  Guard();
  guid_ = guid;
  Changed();
}

bool TPwdBaseUser::CheckPassword(std::string_view password) const {
  if (passwordDigest_.empty()) return false;
  std::string typed = PasswordDigestOf(password);
  // Compared in constant time, so the time taken tells nothing of the digest.
  bool same = typed.size() == passwordDigest_.size() &&
              CryptoPP::VerifyBufsEqual(reinterpret_cast<const CryptoPP::byte*>(typed.data()),
                                        reinterpret_cast<const CryptoPP::byte*>(passwordDigest_.data()), typed.size());
  WipeString(typed);
  return same;
}

TPwdBaseUsersList& TPwdBaseUser::Links() {
  if (!links_) links_.reset(new TPwdBaseUsersList(TPwdBaseUsersList::TLinksOf{this}));
  return *links_;
}

bool TPwdBaseUser::HasLinks() const {
  if (owner_ && !owner_->CheckGroups()) return false;
  return userType_ != kGroupDatabase && links_ && links_->Count() > 0;
}

const std::string& TPwdBaseUser::EffectiveRights() {
  if (effectiveRightsCache_.empty()) {
    std::string rights = MergeRights("-", rights_);
    if (HasLinks()) {
      for (const TPwdBaseUser* group : *links_) rights = MergeRights(rights, group->rights_);
    }
    effectiveRightsCache_ = std::move(rights);
  }
  return effectiveRightsCache_;
}

bool TPwdBaseUser::HasRights(std::string_view letters) {
  std::string_view rights = EffectiveRights();
  if (rights.empty() || RightsContain(rights, 'A') || rights == letters) return true;
  if (rights == "-") rights = {};
  return std::all_of(letters.begin(), letters.end(), [&](char c) { return RightsContain(rights, c); });
}

void TPwdBaseUser::Assign(const TPwdBaseUser& other) {
  if (&other == this) return;
  Guard();
  guid_ = other.guid_;
  name_ = other.name_;
  passwordDigest_ = other.passwordDigest_;
  rights_ = other.rights_;
  description_ = other.description_;
  userType_ = other.userType_;
  accountId_ = other.accountId_;
  enabled_ = other.enabled_;
  if (links_) {
    while (links_->Count() > 0) links_->Delete(links_->Count() - 1);
  }
  if (owner_ && other.HasLinks()) {
    for (const TPwdBaseUser* link : *other.links_) {
      if (TPwdBaseUser* mine = owner_->FindByGuid(link->guid_); mine && mine != this) Links().Add(mine);
    }
  }
  ForgetRights();
  Changed();
}

// --- TPwdBaseUsersList ---

TPwdBaseUsersList::TPwdBaseUsersList(TPwdBase* database) : database_(database) {}

TPwdBaseUsersList::TPwdBaseUsersList(TLinksOf links) : linkOwner_(links.owner) {}

TPwdBaseUsersList::~TPwdBaseUsersList() {
  if (IsLinkList()) return;
  // Freed from the back so that each user's unlinking finds the others alive.
  while (!items_.empty()) {
    TPwdBaseUser* user = items_.back();
    items_.pop_back();
    delete user;
  }
}

void TPwdBaseUsersList::Guard() const {
  if (linkOwner_) {
    linkOwner_->Guard();
    return;
  }
  if (database_ && Count() > 1 && !database_->HasRights(nullptr, "A")) throw TError(std::string(spwdaccessdenied));
}

TPwdBaseUser* TPwdBaseUsersList::Add(std::unique_ptr<TPwdBaseUser> user) {
  Guard();
  TPwdBaseUser* added = user.release();
  added->owner_ = this;
  items_.push_back(added);
  added->ForgetRights();
  RefreshRootPermissions();
  return added;
}

void TPwdBaseUsersList::Add(TPwdBaseUser* user, bool noBackLink) {
  if (IndexOf(user) >= 0) return;
  Guard();
  items_.push_back(user);
  if (!noBackLink && linkOwner_) user->Links().Add(linkOwner_, true);
  user->effectiveRightsCache_.clear();
  if (linkOwner_) linkOwner_->effectiveRightsCache_.clear();
}

void TPwdBaseUsersList::Unlink(TPwdBaseUser* user) {
  auto it = std::find(items_.begin(), items_.end(), user);
  if (it != items_.end()) items_.erase(it);
}

void TPwdBaseUsersList::Delete(int index) {
  Guard();
  TPwdBaseUser* user = items_[static_cast<std::size_t>(index)];
  items_.erase(items_.begin() + index);
  if (IsLinkList()) {
    if (user->links_) user->links_->Unlink(linkOwner_);
    user->effectiveRightsCache_.clear();
    linkOwner_->effectiveRightsCache_.clear();
    return;
  }
  delete user;
  RefreshRootPermissions();
}

void TPwdBaseUsersList::Clear() {
  Guard();
  while (!items_.empty()) {
    TPwdBaseUser* user = items_.back();
    items_.pop_back();
    if (IsLinkList()) {
      if (user->links_) user->links_->Unlink(linkOwner_);
      user->effectiveRightsCache_.clear();
    } else {
      delete user;
    }
  }
  if (linkOwner_) linkOwner_->effectiveRightsCache_.clear();
  RefreshRootPermissions();
}

void TPwdBaseUsersList::AssignFrom(const TPwdBaseUsersList& other) {
  if (&other == this) return;
  Guard();
  {
    // One change, guarded once: while the list is rebuilt the session's user
    // may not be back in it yet, so no check runs in between, and the root
    // permissions follow once it is complete.
    std::optional<TPwdBase::TLoadingScope> rebuilding;
    if (database_) rebuilding.emplace(*database_);
    Clear();
    for (const TPwdBaseUser* source : other) {
      auto user = std::make_unique<TPwdBaseUser>();
      user->guid_ = source->guid_;
      Add(std::move(user));
    }
    // Groups first: assigning an entry replaces its links, so a group taken
    // after its members would drop them again.
    for (const bool groups : {true, false}) {
      for (int i = 0; i < other.Count(); ++i) {
        const std::uint8_t type = other[i]->userType_;
        if ((type == kGroupDatabase || type == kGroupDomain) == groups)
          items_[static_cast<std::size_t>(i)]->Assign(*other[i]);
      }
    }
  }
  RefreshRootPermissions();
}

int TPwdBaseUsersList::IndexOf(const TPwdBaseUser* user) const {
  auto it = std::find(items_.begin(), items_.end(), user);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TPwdBaseUser* TPwdBaseUsersList::FindByGuid(const TGuid& guid) const {
  for (TPwdBaseUser* user : items_) {
    if (user->guid_ == guid) return user;
  }
  return nullptr;
}

TPwdBaseUser* TPwdBaseUsersList::FindByName(std::string_view name) const {
  for (TPwdBaseUser* user : items_) {
    if (CompareTextIgnoreCase(user->name_, name) == 0) return user;
  }
  return nullptr;
}

bool TPwdBaseUsersList::HasUserOfType(std::uint8_t userType) const {
  for (std::size_t i = 1; i < items_.size(); ++i) {
    std::uint8_t type = items_[i]->userType_;
    if (userType == kAnyDomainType ? (type == kUserDomain || type == kGroupDomain) : type == userType) return true;
  }
  return false;
}

void TPwdBaseUsersList::Sort() {
  auto rank = [](const TPwdBaseUser* user) { return user->guid_.IsNull() ? 0 : user->userType_ == kGroupDatabase ? 1 : 2; };
  std::stable_sort(items_.begin(), items_.end(), [&](const TPwdBaseUser* a, const TPwdBaseUser* b) {
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    return CompareTextIgnoreCase(a->name_, b->name_) < 0;
  });
}

void TPwdBaseUsersList::EnsureAdministrator() {
  for (const TPwdBaseUser* user : items_) {
    if (user->rights_.empty() || RightsContain(user->rights_, 'A')) return;
  }
  if (!items_.empty()) items_.front()->SetRights({});
}

void TPwdBaseUsersList::SetCheckGroups(bool check) {
  checkGroups_ = check;
  ForgetAllRights();
}

void TPwdBaseUsersList::ForgetAllRights() {
  for (TPwdBaseUser* user : items_) user->effectiveRightsCache_.clear();
}

void TPwdBaseUsersList::RefreshRootPermissions() {
  if (IsLinkList() || !database_ || database_->LoadingCount > 0 || !database_->Permissions) return;
  database_->Permissions->ResetFromUsers(*this);
}

void TEngineDeleter::operator()(TPwdBaseUsersList* list) const noexcept { delete list; }

}  // namespace corvane
