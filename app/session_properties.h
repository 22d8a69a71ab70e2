#pragma once
// The database-properties editor as the session sees it: the values the
// properties dialog shows and collects, read from a database and applied back
// to it (moving its file, replacing its users, saving a change of logging at
// once). The window installs the dialog; EditDatabaseProperties runs it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/secret_text.h"
#include "engine/base.h"
#include "engine/users.h"

namespace corvane {

// What the password box shows for a database that has a password; the
// password stays unchanged while the box holds it.
inline constexpr std::string_view kPasswordPlaceholder = "****";

// The values of the properties dialog. Texts are UTF-8.
struct TDatabaseProperties {
  std::string name;
  std::string fileName;
  std::string description;
  TSecretText password;  // kPasswordPlaceholder: unchanged
  std::string algorithms;
  std::string logServer;
  // A working copy, not attached to the database.
  std::unique_ptr<TPwdBaseUsersList> users;
  bool requireLogon = false;
  bool autoLogonSystemUser = false;
  bool concurrentWrite = false;
  bool logActions = false;
  bool logChanges = false;
  std::uint32_t optionFlags = 0;
  std::int32_t backupCount = 0;    // the program's count when the database has none
  std::string backupFolder;        // "%APP%" expanded; the program's when the database has none
  std::int32_t autoCloseSeconds = 0;  // the program's timeout when the database has none
  // The dialog's move question was answered Yes: a changed file name moves
  // the file. Otherwise an existing database keeps its file.
  bool moveConfirmed = false;
};

// The values the dialog starts with.
TDatabaseProperties ReadDatabaseProperties(const TPwdBase& base);

// Whether the dialog may change anything: the database is writable and the
// current user an administrator, or it has no file yet.
bool PropertiesEditable(const TPwdBase& base);

// Applies the confirmed values of an editable dialog. A database without a
// file takes the file name; a confirmed move closes the database (with the
// save question; Cancel skips the move), moves its file and opens it again
// with the same password. Then each value that differs is set (marking the
// database modified); the users are replaced when the copy differs, and the
// current user is looked up again (the default user when gone). A change of
// action logging is saved at once; a concurrently written database is saved
// when modified and otherwise lets go of its file. Finally the access is
// decided again. Throws TError (a failed move or save, a text the code page
// cannot hold); what was applied before stays applied.
void ApplyDatabaseProperties(TPwdBase& base, TDatabaseProperties& values);

// Shows the properties of `base` (from the action-logging message when
// `fromLogging`) and applies them on OK; returns whether OK was pressed.
using TPropertiesEditor = std::function<bool(TPwdBase& base, bool fromLogging)>;

// Installs the editor (an empty one removes it).
void SetDatabasePropertiesEditor(TPropertiesEditor editor);

// Runs the installed editor within a modal phase. False without an editor.
bool EditDatabaseProperties(TPwdBase& base, bool fromLogging);

}  // namespace corvane
