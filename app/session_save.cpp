#include "app/session_save.h"

#include "app/backup.h"
#include "app/folder_watch_poll.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations_path.h"
#include "app/session_messages.h"
#include "app/session_modal.h"
#include "engine/messages.h"
#include "platform/error.h"
#include "platform/folders.h"

namespace corvane {

void SaveDatabase(TPwdBase& base, bool makeBackup) {
  if (base.ReadOnly) throw TError(FormatMessage(sdbreadonlynosave, DisplayName(base)));
  // The modal phase outlasts the own-writes bracket: its closing polls must
  // not race a timer refresh.
  TModalPhase modal;
  TFolderChangePoll::TOwnWrites ownWrites(FolderChanges());
  if (makeBackup) AutoBackup(base);
  CreateFolder(FolderOfFile(base.FileName));
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->StoreListSelection(base);
  base.Save();
}

}  // namespace corvane
