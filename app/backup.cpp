#include "app/backup.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/app_path.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "app/policies.h"
#include "app/runtime_settings.h"
#include "app/safe_file_name.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

namespace {

// "_yyyymmdd_hhnnss": what follows the base name in an automatic copy's name.
constexpr std::size_t kTimeStampChars = 16;

// The database file's name without folder and extension.
std::string_view BaseNameOf(std::string_view databaseFile) {
  std::string_view name = NameOfFile(databaseFile);
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string TimeStamp(double date) {
  using namespace std::chrono;
  // Whole seconds of the date serial, counted from its day 0 (30 December 1899);
  // rounded to milliseconds first, so that 14:05:09 is not read as 14:05:08.999.
  const std::int64_t milliseconds = std::llround(date * 86400000.0);
  const std::int64_t seconds = milliseconds >= 0 ? milliseconds / 1000 : (milliseconds - 999) / 1000;
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  const std::int64_t secondOfDay = seconds - days * 86400;
  const year_month_day day{sys_days{year{1899} / December / 30} + std::chrono::days{days}};
  char text[32];
  std::snprintf(text, sizeof text, "%04d%02u%02u_%02d%02d%02d", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                static_cast<int>(secondOfDay / 3600), static_cast<int>(secondOfDay / 60 % 60),
                static_cast<int>(secondOfDay % 60));
  return text;
}

std::string GlobalBackupFolder() {
  const std::string policyFolder = ReadPolicyString(policy::AutoBackupFolder, "");
  if (!policyFolder.empty()) return ExpandAppPath(policyFolder);
  if (!RuntimeSettings().backupFolder.empty()) return RuntimeSettings().backupFolder;
  // Start-up has not set the default yet: the one it would set.
  const std::vector<TDatabaseFolder>& folders = DatabaseFolders();
  return DefaultBackupFolder(folders.empty() ? DefaultDatabaseFolder() : ExpandAppPath(folders.front().path));
}

void Rotate(const std::string& folder, std::string_view databaseFile, int count) {
  std::vector<std::string> copies;
  const std::string pattern = std::string(BaseNameOf(databaseFile)) + "*." + std::string(kBackupExtension);
  for (const TFileInfo& file : ListFiles(folder, pattern))
    if (IsAutoBackupOf(databaseFile, file.name)) copies.push_back(file.name);
  std::ranges::sort(copies);
  // Room for the new copy: `count` remain once it is made.
  const std::size_t keep = static_cast<std::size_t>(count) - 1;
  for (std::size_t i = 0; copies.size() - i > keep; ++i) DeleteFile(JoinPath(folder, copies[i]));
}

void ShowMessageIfPossible(const std::string& text, std::uint32_t flags) {
  if (InstalledFrontEnd()) MsgBox(text, flags);
}

}  // namespace

TBackupSettings BackupSettingsFor(const TPwdBase& base) {
  TBackupSettings settings;
  if (base.OptionFlags & kIndividualBackup) {
    settings.enabled = (base.OptionFlags & kMakeBackupCopies) != 0;
    settings.folder = base.BackupFolder.empty() ? GlobalBackupFolder() : ExpandAppPath(base.BackupFolder);
    settings.count = base.BackupCount != 0 ? base.BackupCount : RuntimeSettings().backupCount;
  } else {
    settings.enabled = RuntimeSettings().backupOnSave && !ReadPolicyBool(policy::DisableAutoBackup, false);
    settings.folder = GlobalBackupFolder();
    settings.count = RuntimeSettings().backupCount;
  }
  // A count below 1 only comes from a hand-edited store: the new copy is still kept.
  settings.count = std::max(settings.count, 1);
  return settings;
}

std::string AutoBackupName(std::string_view databaseFile, double date) {
  return std::string(BaseNameOf(databaseFile)) + "_" + TimeStamp(date) + "." + std::string(kBackupExtension);
}

bool IsAutoBackupOf(std::string_view databaseFile, std::string_view fileName) {
  const std::string_view baseName = BaseNameOf(databaseFile);
  const std::string extension = "." + std::string(kBackupExtension);
  if (fileName.size() != baseName.size() + kTimeStampChars + extension.size()) return false;
  if (!fileName.starts_with(baseName) || !SameFileName(fileName.substr(fileName.size() - extension.size()), extension))
    return false;
  const std::string_view stamp = fileName.substr(baseName.size(), kTimeStampChars);
  for (std::size_t i = 0; i < stamp.size(); ++i) {
    const bool separator = i == 0 || i == 9;
    if (separator ? stamp[i] != '_' : (stamp[i] < '0' || stamp[i] > '9')) return false;
  }
  return true;
}

void AutoBackup(TPwdBase& base) {
  try {
    if (base.FileName.empty() || !FileExists(base.FileName)) return;
    const TBackupSettings settings = BackupSettingsFor(base);
    if (!settings.enabled) return;
    CreateFolder(settings.folder);
    Rotate(settings.folder, base.FileName, settings.count);
    CopyFile(base.FileName, JoinPath(settings.folder, AutoBackupName(base.FileName, Clock().Now())));
  } catch (const std::exception& error) {
    ShowMessageIfPossible(FormatMessage(sbackuperror, error.what()), kMbOk | kMbIconError);
  }
}

void BackupCommand(TPwdBase& base) {
  const std::string name = DatabaseName(base);
  TFileChoice choice;
  choice.title = FormatMessage(sbackupchoosetitle, name);
  choice.filters = {{std::string(sbackupfilesfilter), "*." + std::string(kBackupExtension)},
                    {std::string(sallfilesfilter), "*"}};
  choice.fileName = SafeFileName(name);
  choice.defaultExtension = kBackupExtension;
  const std::optional<std::string> target = FrontEnd().ChooseFileToSave(choice);
  if (!target) return;
  CopyFile(base.FileName, *target);
  MsgBox(FormatMessage(sbackupdone, name, *target), kMbOk | kMbIconInformation);
}

}  // namespace corvane
