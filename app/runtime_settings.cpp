#include "app/runtime_settings.h"

#include <algorithm>

#include "app/app_path.h"
#include "app/front_end.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace corvane {

namespace {

TRuntimeSettings& Copies() {
  static TRuntimeSettings copies;
  return copies;
}

std::uint32_t AutoCloseInterval() {
  if (!ReadSetting(setting::AutoClose)) return 0;
  const std::int64_t ms = static_cast<std::int64_t>(ReadAutoCloseSeconds()) * 1000;
  return static_cast<std::uint32_t>(std::clamp<std::int64_t>(ms, kMinAutoCloseIntervalMs, UINT32_MAX));
}

}  // namespace

const TRuntimeSettings& RuntimeSettings() { return Copies(); }

void ResetRuntimeSettings() { Copies() = TRuntimeSettings(); }

std::string DefaultBackupFolder(std::string_view firstDatabaseFolder) {
  std::string folder(firstDatabaseFolder);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + "Backup";
}

void SetDefaultBackupFolder(std::string_view folder) { Copies().backupFolder = folder; }

void ApplySettings() {
  TRuntimeSettings& copies = Copies();
  copies.lastActivityTick = Clock().TickCount();
  TSettingsAccess access(false);
  if (access) {
    copies.autoCloseIntervalMs = AutoCloseInterval();
    copies.minBasePassword = ReadSetting(setting::MinBasePassword, copies.minBasePassword);
    copies.backupCount = ReadSetting(setting::BackupCnt, copies.backupCount);
    copies.backupFolder = ExpandAppPath(ReadSetting(setting::BackupPath, copies.backupFolder));
    copies.backupOnSave = ReadSetting(setting::BackupOnSave);
    copies.expandFolders = ReadSetting(setting::ExpandFolders);
    copies.defShowPassword = ReadSetting(setting::DefShowPassword);
    copies.defExpTimeEnabled = ReadSetting(setting::DefExpTimeEnabled);
    copies.defExpTime = ReadSetting(setting::DefExpTime);
    access.Close();
  }
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->RepaintTree();
}

void ReadUiSettings() {
  TRuntimeSettings& copies = Copies();
  TSettingsAccess access(false);
  if (!access) return;
  copies.uiFont = ReadSetting(setting::UiFont);
  const std::int32_t percent = ReadSetting(setting::UiScaling);
  copies.uiScale = percent == 0 ? 1.0 : percent / 100.0;
  access.Close();
}

void ApplyCodePageSetting() {
  std::int32_t codePage = setting::CodePage.defaultValue;
  TSettingsAccess access(false);
  if (access) {
    codePage = ReadSetting(setting::CodePage);
    access.Close();
  }
  SetCodePage(codePage);
}

void NoteUserActivity() { Copies().lastActivityTick = Clock().TickCount(); }

}  // namespace corvane
