#pragma once
// Rights letters and the permission lists of folders and records.
//
// A rights set is a string of one-letter rights: "A" Administrator, "I" Insert
// data, "U" Modify data, "D" Delete data, "V" View passwords, "M" View
// passwords in lists, "P" Print and export, "L" Modify files, "S" Extract
// files, "F" Form filling. The empty string means all rights, "-" none.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/guid.h"

namespace corvane {

class TPwdBase;
class TPwdBaseUsersList;
class TPwdPermissionsList;

// The rights letters in the order a person sees them.
inline constexpr std::string_view kAllRightsLetters = "AIUDVMPLSF";

// `first` followed by each letter of `second` that `first` lacks; an empty
// operand counts as "A".
std::string MergeRights(std::string_view first, std::string_view second);

// True when `rights` contains `letter` (no special meaning for "" or "-").
inline bool RightsContain(std::string_view rights, char letter) {
  return rights.find(letter) != std::string_view::npos;
}

// What one user or group is granted and denied on an item.
struct TPwdPermission {
  TPwdPermissionsList* Owner = nullptr;
  std::string Denied;
  std::string Granted;
  TGuid Guid;
};

// The permission entries of one item. Owns its entries. Every change needs
// "A" on the database when the list belongs to one; refusals raise
// "Access denied." and change nothing.
class TPwdPermissionsList {
 public:
  explicit TPwdPermissionsList(TPwdBase* database) : database_(database) {}
  TPwdPermissionsList(const TPwdPermissionsList&) = delete;
  TPwdPermissionsList& operator=(const TPwdPermissionsList&) = delete;

  TPwdBase* Database() const { return database_; }
  int Count() const { return static_cast<int>(items_.size()); }
  const TPwdPermission& operator[](int index) const { return *items_[static_cast<std::size_t>(index)]; }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  // Appends an entry (an existing entry for the same identifier stays).
  void SetEntry(const TGuid& guid, const std::string& granted, const std::string& denied);
  // Becomes a copy of `other`'s entries.
  void CopyFrom(const TPwdPermissionsList& other);
  void Clear();

  // Refills the list with one entry per user and group of `users`, granting
  // each its own rights. Used for the root folder's list, which follows the
  // users and is never edited directly; needs no rights.
  void ResetFromUsers(const TPwdBaseUsersList& users);

 private:
  void Guard() const;
  void Append(const TGuid& guid, const std::string& granted, const std::string& denied);

  TPwdBase* database_;
  std::vector<std::unique_ptr<TPwdPermission>> items_;
};

}  // namespace corvane
