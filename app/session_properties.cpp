#include "app/session_properties.h"

#include <utility>

#include "app/app_path.h"
#include "app/backup.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/runtime_settings.h"
#include "app/session_close.h"
#include "app/session_modal.h"
#include "app/session_open.h"
#include "app/session_save.h"
#include "app/session_state.h"
#include "engine/secure_buffer.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

namespace {

TPropertiesEditor installedEditor;

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::unique_ptr<TPwdBaseUsersList> CopyOfUsers(const TPwdBaseUsersList& users) {
  auto copy = std::make_unique<TPwdBaseUsersList>(nullptr);
  copy->AssignFrom(users);
  return copy;
}

bool SameLinks(const TPwdBaseUser& a, const TPwdBaseUser& b) {
  const TPwdBaseUsersList* linksA = a.LinksIfAny();
  const TPwdBaseUsersList* linksB = b.LinksIfAny();
  const int countA = linksA ? linksA->Count() : 0;
  const int countB = linksB ? linksB->Count() : 0;
  if (countA != countB) return false;
  for (int i = 0; i < countA; ++i)
    if ((*linksA)[i]->Guid() != (*linksB)[i]->Guid()) return false;
  return true;
}

bool SameUsers(const TPwdBaseUsersList& a, const TPwdBaseUsersList& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i) {
    const TPwdBaseUser& x = *a[i];
    const TPwdBaseUser& y = *b[i];
    // Description, account and id count too: a change of them alone is kept.
    if (x.Name() != y.Name() || x.PasswordDigest() != y.PasswordDigest() || x.UserType() != y.UserType() ||
        x.Rights() != y.Rights() || x.Enabled() != y.Enabled() || !SameLinks(x, y) ||
        x.Description() != y.Description() || x.AccountId() != y.AccountId() || x.Guid() != y.Guid())
      return false;
  }
  return true;
}

// Sets `field` to `value` when they differ; true when it changed.
template <class T, class U>
bool Change(T& field, const U& value) {
  if (field == static_cast<T>(value)) return false;
  field = static_cast<T>(value);
  return true;
}

// Closes the database, moves its file to `target` and opens it again with
// the password it had. False when the person cancelled the close.
bool MoveDatabaseFile(TPwdBase& base, const std::string& target) {
  const TSecretText password(base.Password);
  if (!CloseDatabase(base)) return false;
  CreateFolder(FolderOfFile(target));
  RenameFile(base.FileName, target);
  base.FileName = target;
  TOpenOptions options;
  options.password = &password;
  OpenDatabase(base, options);
  return true;
}

void ApplyUsers(TPwdBase& base, const TPwdBaseUsersList& users) {
  if (SameUsers(*base.Users, users)) return;
  const TGuid current = base.CurrentIdentities.empty() ? TGuid{} : base.CurrentIdentities.front();
  base.Users->AssignFrom(users);
  if (base.Users->Count() == 1) (*base.Users)[0]->SetPassword("");
  base.SetModified(true);
  // The session's rights come from the new list; a user who is gone leaves
  // the default user in charge.
  base.Logon(base.Users->FindByGuid(current) ? current : (*base.Users)[0]->Guid());
}

// Sets every value that differs. True when the action logging changed.
bool ApplyValues(TPwdBase& base, const TDatabaseProperties& values, const TDatabaseProperties& before) {
  bool modified = false;
  if (values.name != before.name) {
    base.SetName(Utf8ToAnsi(values.name));
    modified = true;
  }
  if (values.password.Text() != kPasswordPlaceholder) {
    TSecretText password(Utf8ToAnsi(values.password.Text()));
    if (!password.Empty() && password.Text() != base.Password) {
      WipeString(base.Password);
      base.Password = password.Text();
      modified = true;
    }
  }
  modified |= Change(base.Algorithms, values.algorithms);
  modified |= Change(base.RequireLogon, values.requireLogon);
  modified |= Change(base.AutoLogonWindowsUser, values.autoLogonSystemUser);
  modified |= Change(base.LogChanges, values.logChanges);
  modified |= Change(base.ConcurrentWrite, values.concurrentWrite);
  modified |= Change(base.Description, Utf8ToAnsi(Trimmed(values.description)));
  modified |= Change(base.OptionFlags, values.optionFlags);
  if (values.backupCount != before.backupCount) modified |= Change(base.BackupCount, values.backupCount);
  if (values.backupFolder != before.backupFolder)
    modified |= Change(base.BackupFolder, CompactAppPath(values.backupFolder));
  if (values.autoCloseSeconds != before.autoCloseSeconds)
    modified |= Change(base.AutoCloseSeconds, values.autoCloseSeconds);
  bool loggingChanged = Change(base.LogActions, values.logActions);
  loggingChanged |= Change(base.LogServer, Utf8ToAnsi(Trimmed(values.logServer)));
  if (modified || loggingChanged) base.SetModified(true);
  if (values.users) ApplyUsers(base, *values.users);
  return loggingChanged;
}

}  // namespace

TDatabaseProperties ReadDatabaseProperties(const TPwdBase& base) {
  TDatabaseProperties values;
  values.name = DatabaseName(base);
  values.fileName = base.FileName;
  values.description = AnsiToUtf8(base.Description);
  if (!base.Password.empty()) values.password = TSecretText(kPasswordPlaceholder);
  values.algorithms = base.Algorithms;
  values.logServer = AnsiToUtf8(base.LogServer);
  values.users = CopyOfUsers(*base.Users);
  values.requireLogon = base.RequireLogon;
  values.autoLogonSystemUser = base.AutoLogonWindowsUser;
  values.concurrentWrite = base.ConcurrentWrite;
  values.logActions = base.LogActions;
  values.logChanges = base.LogChanges;
  values.optionFlags = base.OptionFlags;
  values.backupCount = base.BackupCount != 0 ? base.BackupCount : RuntimeSettings().backupCount;
  values.backupFolder = base.BackupFolder.empty() ? BackupSettingsFor(base).folder : ExpandAppPath(base.BackupFolder);
  values.autoCloseSeconds = base.AutoCloseSeconds != 0
                                ? base.AutoCloseSeconds
                                : static_cast<std::int32_t>(RuntimeSettings().autoCloseIntervalMs / 1000);
  return values;
}

bool PropertiesEditable(const TPwdBase& base) {
  if (!FileExists(base.FileName)) return true;
  return !base.ReadOnly && base.HasRights(nullptr, "A");
}

void ApplyDatabaseProperties(TPwdBase& base, TDatabaseProperties& values) {
  if (!FileExists(base.FileName)) {
    base.FileName = values.fileName;
  } else if (values.moveConfirmed && !SameFileName(values.fileName, base.FileName)) {
    MoveDatabaseFile(base, values.fileName);
    if (!IsDatabaseOpen(base)) return;
  }
  const TDatabaseProperties before = ReadDatabaseProperties(base);
  const bool loggingChanged = ApplyValues(base, values, before);
  if (loggingChanged) {
    SaveDatabase(base, /*makeBackup=*/true);
  } else if (base.ConcurrentWrite) {
    if (base.Modified)
      SaveDatabase(base, /*makeBackup=*/true);
    else
      ReleaseFileStream(base);
  }
  // A user who gave up his own right to change the database would be left
  // with changes that can no longer be saved: they are saved while he may.
  if (base.Modified && !base.ReadOnly && !base.Password.empty() && !UserMayModify(base))
    SaveDatabase(base, /*makeBackup=*/true);
  if (!base.Password.empty()) UpdateDatabaseState(base, /*showMessage=*/true, /*recheck=*/true);
}

void SetDatabasePropertiesEditor(TPropertiesEditor editor) { installedEditor = std::move(editor); }

bool EditDatabaseProperties(TPwdBase& base, bool fromLogging) {
  if (!installedEditor) return false;
  TModalPhase modal;
  return installedEditor(base, fromLogging);
}

}  // namespace corvane
