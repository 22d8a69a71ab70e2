#pragma once
// Backups of database files: byte-for-byte copies of the encrypted file,
// nothing decrypted. AutoBackup keeps a rotating set of timestamped copies
// per database, made before each save; BackupCommand copies a database to a
// file the person chooses.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base.h"

namespace corvane {

inline constexpr std::string_view sbackuperror = "Error during backup operation.\r%s";
inline constexpr std::string_view sbackupchoosetitle = "Choose location for %s backup";
inline constexpr std::string_view sbackupdone = "The database '%s' was successfully backed up as %s";
inline constexpr std::string_view sbackupfilesfilter = "Backup files (*.cvb)";
inline constexpr std::string_view sallfilesfilter = "All files (*.*)";
inline constexpr std::string_view kBackupExtension = "cvb";

// OptionFlags bits of a database's own backup settings.
inline constexpr std::uint32_t kIndividualBackup = 1u << 1;
inline constexpr std::uint32_t kMakeBackupCopies = 1u << 2;

// The automatic backup settings in force for one database: its own when it
// has individual settings, else the program's (which the policy
// "DisableAutoBackup" can turn off and "AutoBackupFolder" can redirect).
struct TBackupSettings {
  bool enabled = false;
  std::string folder;  // "%APP%" expanded
  int count = 1;       // copies kept; never below 1
};
TBackupSettings BackupSettingsFor(const TPwdBase& base);

// The name of the automatic copy of `databaseFile` made at `date` (a local
// date serial): base name, "_", "yyyymmdd_hhnnss", ".cvb". So names sort as
// the copies' ages.
std::string AutoBackupName(std::string_view databaseFile, double date);

// Whether `fileName` is an automatic copy of `databaseFile`: exactly its base
// name, "_", the 15-character time and ".cvb". The copies of a database whose
// name merely begins with the same letters are not.
bool IsAutoBackupOf(std::string_view databaseFile, std::string_view fileName);

// Before a save: copies the database file into the backup folder under
// AutoBackupName of now, after deleting the oldest copies so that `count`
// remain afterwards. Nothing happens when the file does not exist yet or
// backups are off. Never throws: a failure is shown as "Error during backup
// operation." with its reason, and the save goes on.
void AutoBackup(TPwdBase& base);

// Asks where to copy the database's file (proposing its name made safe for a
// file name) and copies it there, replacing a file of that name; reports the
// copy with an information message. Unsaved changes of an open database are
// not part of the copy. The person's cancel does nothing; a failed copy
// throws TError with the system's reason.
void BackupCommand(TPwdBase& base);

}  // namespace corvane
