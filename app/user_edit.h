#pragma once
// The rules of the user/group dialog ("New user", "New group", "Edit user",
// "Edit group"): what it starts with, what it may change, what OK checks and
// how the values go into an entry of a users list (normally the working copy
// of the properties dialog, see session_properties.h).

#include <string>
#include <string_view>
#include <vector>

#include "app/secret_text.h"
#include "engine/users.h"
#include "platform/guid.h"

namespace corvane {

// The letters whose "User rights" boxes are checked for `rights`, in the
// order the boxes are listed: every letter for all rights (""), none for "-",
// and the old letter "O" read as "IUD".
std::string CheckedRights(std::string_view rights);

// The rights string of the checked boxes `checked` (letters in any order):
// their letters in the boxes' order, every letter when "A" is among them
// (checking "Administrator" checks all others), "-" when none is checked.
std::string RightsOfCheckedBoxes(std::string_view checked);

// True for a group entry (of the database or of the domain).
bool IsGroup(const TPwdBaseUser& entry);

// What the dialog shows and collects. Texts are UTF-8.
struct TUserEditValues {
  bool group = false;
  std::string name;
  TSecretText password;        // kPasswordPlaceholder: unchanged
  TSecretText retypePassword;
  std::string description;
  bool ntAuthentication = false;  // an account of the operating system
  std::string accountId;
  bool disabled = false;
  std::string checkedRights;  // the letters of the checked "User rights" boxes
  // For a user the groups it belongs to, for a group its members.
  std::vector<TGuid> links;
};

// A new user or group: empty, enabled, starting from the rights of the
// default user (the first entry of `users`).
TUserEditValues NewUserValues(const TPwdBaseUsersList& users, bool group);
// An existing entry; the password boxes hold the placeholder.
TUserEditValues ReadUserValues(const TPwdBaseUser& entry);

// The controls that stay read-only for `entry` (nullptr: a new one). The
// default user keeps its name, password, description and authentication,
// and while a logon is required its rights as well.
struct TUserFieldLocks {
  bool identity = false;
  bool rights = false;
};
TUserFieldLocks UserFieldLocks(const TPwdBaseUsersList& users, const TPwdBaseUser* entry, bool requireLogon);

// The checks of OK, in order; returns the message of the first that fails,
// empty when the values may be applied. Without NT authentication the
// trimmed name must not be empty ("Please enter user name." / "Please enter
// group name."); a user's changed password must match its retype ("Passwords
// do not match. Please enter passwords again.") and not be empty ("You cannot
// use empty password."); there is no minimum length. A name no other entry
// of `users` has, and locked fields left as they are, are checked as well.
// Throws TError when the name cannot be held by the code page.
std::string CheckUserValues(const TPwdBaseUsersList& users, const TPwdBaseUser* entry,
                            const TUserEditValues& values, bool requireLogon);

// Applies checked values to `entry` of `users`: the trimmed name, the
// password unless it is the placeholder (an empty one removes it), the
// rights of the checked boxes, description, enabled state, kind and account,
// and the links (identifiers that name no entry of `users` are skipped).
// Locked fields are left alone. Throws TError when a text cannot be held by
// the code page, and "Access denied." from the list's guard.
void ApplyUserValues(TPwdBaseUsersList& users, TPwdBaseUser& entry, const TUserEditValues& values,
                     bool requireLogon);

// Appends a new entry with a new identifier and `values` to `users`.
TPwdBaseUser& AddUserEntry(TPwdBaseUsersList& users, const TUserEditValues& values, bool requireLogon);

}  // namespace corvane
