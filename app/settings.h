#pragma once
// The process's settings store and the program folder it belongs to.
//
// StartSettings chooses the store once: ini mode when "corvane.ini" lies in the
// program's folder, registry mode ("Software\Corvane" of the current user)
// otherwise. Every group of reads or writes is bracketed by OpenSettings and
// CloseSettings (or a TSettingsAccess). Not thread-safe: the services run on
// the thread of the user interface.

#include <string>
#include <string_view>

#include "app/settings_store.h"

namespace corvane {

inline constexpr std::string_view kIniFileName = "corvane.ini";
inline constexpr std::string_view kSettingsKey = "Software\\Corvane";

// Chooses the store for a program that lives in `programFolder` (the folder
// "%APP%" stands for), and puts the run-time copies of the settings back to
// their defaults. May be called again (tests start over with another folder).
void StartSettings(const std::string& programFolder);
// Frees the store. Settings() starts it again for the running program.
void StopSettings();

// The store; started for ProgramFolder() on first use when StartSettings was
// not called.
TSettingsStore& Settings();
// Whether the store is the ini file.
bool SettingsInIniMode();
// The program folder given to StartSettings (no trailing "/", except "/").
const std::string& AppFolder();

// The access bracket. False: read nothing, write nothing; the caller keeps its
// defaults or skips the write without a message.
bool OpenSettings(bool forWriting);
// Ends the bracket; TError when writes held back for it cannot be made.
void CloseSettings();

// The bracket as an object. Close ends it and reports a failed write;
// destruction without Close ends it too, without reporting.
class TSettingsAccess {
 public:
  explicit TSettingsAccess(bool forWriting) : open_(OpenSettings(forWriting)) {}
  ~TSettingsAccess();
  TSettingsAccess(const TSettingsAccess&) = delete;
  TSettingsAccess& operator=(const TSettingsAccess&) = delete;

  explicit operator bool() const { return open_; }
  void Close();

 private:
  bool open_;
};

}  // namespace corvane
