#pragma once
// The rules of the "Users" page of the database-properties dialog: which
// entries may be deleted, the delete question, and what OK makes of the
// list before it is applied (the default user's rights and state, and the
// check that someone is left to administer the database). The list is the
// dialog's working copy (see session_properties.h); applying it replaces
// the database's users, and a database left with one user loses that
// user's password there.

#include "engine/users.h"

namespace corvane {

// Every entry but the first (the built-in default user) may be deleted.
bool MayDeleteUser(const TPwdBaseUsersList& users, int index);

// Asks "Do you want to delete %s ?" with the entry's name (Yes/No, No the
// default); true on Yes.
bool ConfirmDeleteUser(const TPwdBaseUser& entry);

// Deletes the entry at `index`, leaving its groups or members. Throws TError
// "The default user cannot be deleted." for the first entry.
void DeleteUserEntry(TPwdBaseUsersList& users, int index);

enum class TUsersListCheck {
  Accepted,
  NoAdministrator,  // "You defined no user with Administrator privilege."
  Declined,         // the person did not continue without a built-in administrator
};

// What OK does with the list, in order: with fewer than 2 entries the
// default user gets all rights; otherwise, when a logon is required, it gets
// none and is disabled. Then an entry that can log on and is not a group
// must hold "Administrator" (by its own rights or its groups'); when only
// operating-system accounts hold it, the person is asked whether to go on
// without a built-in database administrator (Yes/No, No the default).
TUsersListCheck CheckUsersList(TPwdBaseUsersList& users, bool requireLogon);

}  // namespace corvane
