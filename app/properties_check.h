#pragma once
// What OK of an editable database-properties dialog checks before the values
// are applied (ApplyDatabaseProperties, session_properties.h), in the
// dialog's order, and how it tidies the values on the way.

#include <string>
#include <string_view>

#include "app/secret_text.h"
#include "app/session_properties.h"

namespace corvane {

// The dialog's pages, where a failed check sends the person.
enum class TPropertiesPage { General, Users, Encryption, Parameters, Backup };

struct TPropertiesCheck {
  bool accepted = true;
  TPropertiesPage page = TPropertiesPage::General;
  // The error to show; empty when the person answered a question so that
  // the dialog stays open.
  std::string message;
};

// Runs the checks in order and stops at the first that fails:
// 1. the name, trimmed in `values`, must not be empty ("Please enter
//    database name.");
// 2. a password other than the placeholder must match `retypePassword`,
//    not be empty, and be at least as long as the settings' minimum
//    ("Password must be at least %d characters in length.");
// 3. logging user actions needs a log server (trimmed in `values`);
// 4. the users list (CheckUsersList, users_list_edit.h), which may ask
//    whether to go on without a built-in administrator;
// 5. an existing database whose file name changed (without regard to case)
//    from `openedFileName`, while that file exists, asks whether to move it:
//    Cancel stays in the dialog, the answer goes to `values.moveConfirmed`.
// Accepted values are then tidied: no automatic logon without an
// operating-system account among the users, no required logon with fewer
// than 2 users, no backup copies with a count of 0. Rebuilding the cipher
// list and "Close when inactive:" with an empty seconds box are the
// dialog's own, before it calls this.
TPropertiesCheck CheckDatabaseProperties(TDatabaseProperties& values, const TSecretText& retypePassword,
                                         std::string_view openedFileName, bool newDatabase);

}  // namespace corvane
