#include "app/app_services.h"

#include "app/app_path.h"
#include "app/folder_watch_poll.h"
#include "app/front_end.h"
#include "app/locations.h"
#include "app/message_box.h"
#include "app/runtime_settings.h"
#include "app/settings.h"
#include "platform/error.h"

namespace corvane {

void StartApplicationServices(const std::string& programFolder) {
  StartSettings(programFolder);
  LoadDatabaseFolders();
  const std::vector<TDatabaseFolder>& folders = DatabaseFolders();
  if (!folders.empty()) SetDefaultBackupFolder(DefaultBackupFolder(ExpandAppPath(folders.front().path)));
  ApplySettings();
  try {
    ApplyCodePageSetting();
  } catch (const TError& error) {
    if (InstalledFrontEnd()) ShowError(error);
  }
  ReadUiSettings();
}

void StopApplicationServices() {
  FolderChanges().Watch({});
  StopSettings();
}

}  // namespace corvane
