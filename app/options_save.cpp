#include "app/options_save.h"

#include <optional>

#include "app/app_path.h"
#include "app/busy_cursor.h"
#include "app/message_box.h"
#include "app/messages.h"
#include "app/runtime_settings.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/locale.h"

namespace corvane {

namespace {

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

// A box left empty, or at a count that means nothing, switches its check box off.
void ClearUnusableChecks(TOptionsValues& values) {
  if (Trimmed(values.defExpTime).empty()) values.defExpTimeEnabled = false;
  if (Trimmed(values.autoCloseSeconds).empty()) values.autoClose = false;
  const std::optional<std::int32_t> count = ParseInteger(values.backupCount);
  if (!count || *count < 1) values.backupOnSave = false;
}

void WriteValues(const TOptionsValues& values) {
  TSettingsAccess access(true);
  if (!access) return;
  WriteSetting(setting::DefExpTimeEnabled, values.defExpTimeEnabled);
  WriteSettingText(setting::DefExpTime, values.defExpTime);
  WriteSetting(setting::AutoClose, values.autoClose);
  // A box that holds no number leaves the stored number as it was.
  if (const auto seconds = ParseInteger(values.autoCloseSeconds)) WriteSetting(setting::AutoCloseTimeSec, *seconds);
  WriteSetting(setting::MinBasePassword, values.minBasePassword);
  if (values.backupOnSaveEditable) WriteSetting(setting::BackupOnSave, values.backupOnSave);
  const std::optional<std::int32_t> count = ParseInteger(values.backupCount);
  if (count && *count >= 1) WriteSetting(setting::BackupCnt, *count);
  if (values.backupFolderEditable) WriteSetting(setting::BackupPath, CompactAppPath(values.backupFolder));
  WriteSetting(setting::DefShowPassword, values.defShowPassword);
  WriteSetting(setting::ExpandFolders, values.expandFolders);
  if (values.templateShown) WriteSetting(setting::DbFileNameTemplate, values.fileNameTemplate);
  access.Close();
}

}  // namespace

TOptionsSaveResult SaveOptions(TOptionsValues& values, const TOptionsSaveHooks& hooks) {
  if (values.policyFolderCount == 0 && values.userFolders.empty()) {
    MsgBox(soptnofolders, kMbIconError);
    return TOptionsSaveResult::FixFolders;
  }
  bool renameFiles = false;
  if (values.templateShown) {
    values.fileNameTemplate = Trimmed(values.fileNameTemplate);
    if (values.fileNameTemplate.find('*') == std::string::npos) {
      MsgBox(soptinvalidtemplate, kMbIconError);
      return TOptionsSaveResult::FixTemplate;
    }
    if (values.fileNameTemplate != values.shownTemplate) {
      const std::string question = FormatMessage(soptrenametemplate, values.fileNameTemplate);
      switch (MsgBox(question, kMbYesNoCancel | kMbIconQuestion | kMbDefButton2)) {
        case kIdYes:
          renameFiles = true;
          break;
        case kIdNo:
          values.fileNameTemplate = values.shownTemplate;
          break;
        default:
          return TOptionsSaveResult::Canceled;
      }
    }
  }

  TBusyCursor busy;
  ClearUnusableChecks(values);
  try {
    WriteValues(values);
    if (hooks.saveUserFolders) hooks.saveUserFolders(values.userFolders);
    if (renameFiles && hooks.renameDatabaseFiles) hooks.renameDatabaseFiles(values.fileNameTemplate);
  } catch (const TError& error) {
    ShowError(error);
    return TOptionsSaveResult::Failed;
  }
  ApplySettings();
  return TOptionsSaveResult::Saved;
}

}  // namespace corvane
