#pragma once
// The users and groups of one database, and the two-sided group membership
// between them. Rights are strings of one-letter rights (see permissions.h).
// Not thread-safe: a database is used from one thread.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdBaseUsersList;

// Kinds of entries in a users list (`UserType`).
enum : std::uint8_t {
  kUserDatabase = 0,   // authenticated by its own password digest
  kUserDomain = 1,     // an account of the operating system's domain authentication
  kGroupDomain = 2,    // a group of the domain authentication
  kGroupDatabase = 3,  // a group kept in the database
};
// Asks HasUserOfType for any domain-authenticated entry (types 1 and 2).
inline constexpr std::uint8_t kAnyDomainType = 255;

// Rights as files of `formatVersion` stored them, in today's letters. Before
// 195 "O" stood for "IUD" and viewing passwords came with any rights; before
// 217 "M", "L", "S" and "F" did not exist and came with any rights. All
// rights ("") and none ("-") stay as they are.
std::string UpgradeStoredRights(std::string_view rights, std::uint16_t formatVersion);

// SHA-1 digest (20 raw bytes) of a password's 8-bit characters.
std::string PasswordDigestOf(std::string_view password);

// One user or group. Its setters refuse with "Access denied." when the users
// list guard forbids the change (see TPwdBaseUsersList).
class TPwdBaseUser {
 public:
  TPwdBaseUser() = default;
  // Leaves every group or member it is linked with.
  ~TPwdBaseUser();
  TPwdBaseUser(const TPwdBaseUser&) = delete;
  TPwdBaseUser& operator=(const TPwdBaseUser&) = delete;

  TPwdBaseUsersList* Owner() const { return owner_; }
  std::uint8_t UserType() const { return userType_; }
  const std::string& PasswordDigest() const { return passwordDigest_; }
  const std::string& Name() const { return name_; }
  const std::string& Description() const { return description_; }
  const std::string& AccountId() const { return accountId_; }
  const std::string& Rights() const { return rights_; }
  const TGuid& Guid() const { return guid_; }
  bool Enabled() const { return enabled_; }

  void SetName(const std::string& name);
  // Anybody may change his own digest; other users' digests need the guard.
  void SetPasswordDigest(const std::string& digest);
  // Stores the digest of `password`, or no digest for an empty password.
  void SetPassword(std::string_view password);
  void SetRights(const std::string& rights);
  void SetDescription(const std::string& description);
  void SetAccountId(const std::string& accountId);
  void SetUserType(std::uint8_t userType);
  void SetEnabled(bool enabled);
  void SetGuid(const TGuid& guid);

  // True when `password` has the stored digest. A user without a digest
  // matches no password.
  bool CheckPassword(std::string_view password) const;

  // For a user the groups it belongs to, for a group its members; created on
  // first use. Adding or removing an entry updates the other side as well.
  TPwdBaseUsersList& Links();
  const TPwdBaseUsersList* LinksIfAny() const { return links_.get(); }
  // False for a database group, without links, or while the database does
  // not check group membership.
  bool HasLinks() const;

  // The user's rights merged with those of its groups; cached until the
  // user's rights or memberships change.
  const std::string& EffectiveRights();
  // True when the effective rights hold every letter of `letters`; all rights
  // (empty, or containing "A") hold every letter, "-" holds none.
  bool HasRights(std::string_view letters);

  // Copies every property, and links to the entries of this user's own list
  // that carry the identifiers of `other`'s links.
  void Assign(const TPwdBaseUser& other);

 private:
  friend class TPwdBaseUsersList;
  // The guard of the owning list; a free user is not guarded.
  void Guard() const;
  // Drops the cached rights of this user and of the entries linked to it.
  void ForgetRights();
  // Refreshes what depends on the users (root permissions) after a change.
  void Changed();

  TPwdBaseUsersList* owner_ = nullptr;
  std::uint8_t userType_ = kUserDatabase;
  std::string passwordDigest_;
  std::string name_;
  std::string description_;
  std::string accountId_;
  std::string rights_;
  TGuid guid_;
  std::unique_ptr<TPwdBaseUsersList> links_;
  std::string effectiveRightsCache_;
  bool enabled_ = true;
};

// An ordered list of users. The database's own list owns its entries; a
// links list (a user's Links) only refers to them.
class TPwdBaseUsersList {
 public:
  // The database's own list; `database` may be null for a working copy.
  explicit TPwdBaseUsersList(TPwdBase* database);
  // Frees owned entries without any rights check.
  ~TPwdBaseUsersList();
  TPwdBaseUsersList(const TPwdBaseUsersList&) = delete;
  TPwdBaseUsersList& operator=(const TPwdBaseUsersList&) = delete;

  TPwdBase* Database() const { return database_; }
  TPwdBaseUser* LinkOwner() const { return linkOwner_; }
  bool IsLinkList() const { return linkOwner_ != nullptr; }

  int Count() const { return static_cast<int>(items_.size()); }
  TPwdBaseUser* operator[](int index) const { return items_[static_cast<std::size_t>(index)]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Appends a user to the database's own list, which takes ownership. Once
  // the list holds more than one entry only an administrator may add.
  TPwdBaseUser* Add(std::unique_ptr<TPwdBaseUser> user);
  // Appends a reference to a links list; unless `noBackLink`, the entry's own
  // links receive this list's owner as well. Nothing happens for an entry
  // that is already linked. Guarded like the owner's setters.
  void Add(TPwdBaseUser* user, bool noBackLink = false);
  // Removes an entry (freeing it in the database's own list). Guarded.
  void Delete(int index);
  // Removes every entry. Guarded.
  void Clear();
  // Makes this list a copy of `other`'s users with their memberships. Guarded.
  void AssignFrom(const TPwdBaseUsersList& other);

  int IndexOf(const TPwdBaseUser* user) const;
  TPwdBaseUser* FindByGuid(const TGuid& guid) const;
  // Case-insensitive comparison in the user's locale.
  TPwdBaseUser* FindByName(std::string_view name) const;
  // True when an entry other than the first has `userType` (kAnyDomainType:
  // type 1 or 2).
  bool HasUserOfType(std::uint8_t userType) const;
  // The default user first, then database groups, then by name.
  void Sort();
  // Gives the first entry all rights when no entry is an administrator, so
  // that a database read from a file always has one.
  void EnsureAdministrator();

  // Whether group memberships count for rights (the session turns this off
  // when groups cannot be verified). On by default.
  bool CheckGroups() const { return checkGroups_; }
  void SetCheckGroups(bool check);

  // Refills the root permissions of the database from this list (one entry
  // per user, granting its own rights); nothing while the database loads.
  void RefreshRootPermissions();

  // The users-list guard: refuses with "Access denied." when the list belongs
  // to a database, holds more than one entry, and the current user lacks "A"
  // on the root folder.
  void Guard() const;

 private:
  friend class TPwdBaseUser;
  struct TLinksOf {
    TPwdBaseUser* owner;
  };
  // A links list of `links.owner`.
  explicit TPwdBaseUsersList(TLinksOf links);
  // Removes the reference without touching the other side.
  void Unlink(TPwdBaseUser* user);
  void ForgetAllRights();

  TPwdBase* database_ = nullptr;
  TPwdBaseUser* linkOwner_ = nullptr;
  std::vector<TPwdBaseUser*> items_;
  bool checkGroups_ = true;
};

}  // namespace corvane
