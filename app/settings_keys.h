#pragma once
// The keys of the settings store with their sections, types and defaults, and
// typed reads and writes of them on the process's store (inside a bracket:
// OpenSettings/CloseSettings of app/settings.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

template <class TValue>
struct TSettingKey {
  std::string_view section;  // "" is the main options
  std::string_view name;
  TValue defaultValue;
};
using TBoolSetting = TSettingKey<bool>;
using TIntSetting = TSettingKey<std::int32_t>;
using TTextSetting = TSettingKey<std::string_view>;

namespace setting {

inline constexpr std::string_view kOptions = "";
inline constexpr std::string_view kDBFolders = "DBFolders";
inline constexpr std::string_view kMainWindow = "MainWindow";
// Key: a database file's full path; value: the user who logged on to it last.
inline constexpr std::string_view kRecentLogins = "RecentLogins";
inline constexpr std::string_view kEditDescrWindow = "EditDescrWindow";
inline constexpr std::string_view kPwdGenerator = "PwdGenerator";
// Key: a database's id in braced text form; value: partner folder "," partner name.
inline constexpr std::string_view kSync = "Sync";

inline constexpr TBoolSetting AutoClose{kOptions, "AutoClose", true};
// The older form of the timeout, in minutes: only the default of AutoCloseTimeSec.
inline constexpr TIntSetting AutoCloseTime{kOptions, "AutoCloseTime", 5};
// Its default is AutoCloseTime × 60: read it with ReadAutoCloseSeconds.
inline constexpr TIntSetting AutoCloseTimeSec{kOptions, "AutoCloseTimeSec", 5 * 60};
inline constexpr TIntSetting MinBasePassword{kOptions, "MinBasePassword", 8};
inline constexpr TBoolSetting BackupOnSave{kOptions, "BackupOnSave", true};
inline constexpr TIntSetting BackupCnt{kOptions, "BackupCnt", 5};
// Its default is the default backup folder (below the first database folder);
// may start with "%APP%".
inline constexpr TTextSetting BackupPath{kOptions, "BackupPath", ""};
inline constexpr TBoolSetting ExpandFolders{kOptions, "ExpandFolders", true};
inline constexpr TBoolSetting DefShowPassword{kOptions, "DefShowPassword", false};
inline constexpr TBoolSetting DefExpTimeEnabled{kOptions, "DefExpTimeEnabled", false};
// Days; written as text (the editor's box), read as a number.
inline constexpr TIntSetting DefExpTime{kOptions, "DefExpTime", 90};
inline constexpr TTextSetting DbFileNameTemplate{kOptions, "DbFileNameTemplate", "CVBase*.dat"};
inline constexpr TTextSetting DefBasesPath{kOptions, "DefBasesPath", ""};
inline constexpr TBoolSetting RememberLastDbUser{kOptions, "RememberLastDbUser", true};
inline constexpr TTextSetting UiFont{kOptions, "UiFont", ""};
// Percent; 0 counts as 100.
inline constexpr TIntSetting UiScaling{kOptions, "UiScaling", 100};
inline constexpr TTextSetting LastSaveFolder{kOptions, "LastSaveFolder", ""};
// The Windows code page of the engine's 8-bit texts.
inline constexpr TIntSetting CodePage{kOptions, "CodePage", 1252};

inline constexpr TIntSetting FolderCount{kDBFolders, "Count", 0};
// "Folder1" up to "Folder<Count>": see FolderKeyName.
inline constexpr std::string_view kFolderKeyFormat = "Folder%d";

inline constexpr TIntSetting SplitterW{kMainWindow, "SplitterW", 120};
inline constexpr TIntSetting SplitterH{kMainWindow, "SplitterH", 140};

}  // namespace setting

// The key of user database folder `number` (from 1).
std::string FolderKeyName(int number);

// Reads with the key's default, or with another one.
bool ReadSetting(const TBoolSetting& key);
bool ReadSetting(const TBoolSetting& key, bool defaultValue);
std::int32_t ReadSetting(const TIntSetting& key);
std::int32_t ReadSetting(const TIntSetting& key, std::int32_t defaultValue);
std::string ReadSetting(const TTextSetting& key);
std::string ReadSetting(const TTextSetting& key, std::string_view defaultValue);

void WriteSetting(const TBoolSetting& key, bool value);
void WriteSetting(const TIntSetting& key, std::int32_t value);
void WriteSetting(const TTextSetting& key, std::string_view value);
// A number setting written as the text typed for it (DefExpTime).
void WriteSettingText(const TIntSetting& key, std::string_view text);

// AutoCloseTimeSec, whose default is AutoCloseTime (default 5) × 60.
std::int32_t ReadAutoCloseSeconds();

}  // namespace corvane
