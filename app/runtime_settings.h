#pragma once
// The run-time copies of the settings: the values the program works with,
// read from the store at start-up and again after each change of options by
// ApplySettings, and by nothing else.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

struct TRuntimeSettings {
  // Closing after inactivity, in milliseconds; 0 is off. Never below 3000 otherwise.
  std::uint32_t autoCloseIntervalMs = 300000;
  std::int32_t minBasePassword = 8;
  std::int32_t backupCount = 5;
  bool backupOnSave = true;
  bool expandFolders = true;
  bool defShowPassword = false;
  bool defExpTimeEnabled = false;
  std::int32_t defExpTime = 90;
  // The folder of automatic backups, "%APP%" already expanded.
  std::string backupFolder;
  // The user-interface font (empty: the window's own choice) and the scaling
  // asked for in the settings (1.0 is 100 %); the window adds the screen's.
  std::string uiFont;
  double uiScale = 1.0;
  // The tick count of the person's last input in the main window.
  std::uint32_t lastActivityTick = 0;
};

inline constexpr std::uint32_t kMinAutoCloseIntervalMs = 3000;

const TRuntimeSettings& RuntimeSettings();

// Puts every copy back to its default (StartSettings does this).
void ResetRuntimeSettings();

// The default backup folder: "Backup" in the first database folder. Becomes
// the backup folder until the settings name another.
std::string DefaultBackupFolder(std::string_view firstDatabaseFolder);
void SetDefaultBackupFolder(std::string_view folder);

// Re-reads the copies from the store (the store's missing values keep the
// copies held so far, where the key's default is not fixed), notes now as the
// last activity, and has the front end repaint the tree when there is one.
void ApplySettings();

// Reads the user-interface font and scaling (start-up only).
void ReadUiSettings();

// Makes the "CodePage" setting the code page of engine texts (start-up only,
// before any database is read). Throws TError "Code page %d is not supported."
// and keeps the current one when the number names no usable code page.
void ApplyCodePageSetting();

// The person did something in the main window: restarts the inactivity time.
void NoteUserActivity();

}  // namespace corvane
