#include "app/session_close.h"

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/message_box.h"
#include "app/session_messages.h"
#include "app/session_save.h"
#include "engine/messages.h"

namespace corvane {

namespace {

void Redraw(TPwdBase& base) {
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->RefreshDatabase(base);
}

}  // namespace

bool QueryCloseDatabase(TPwdBase& base) {
  if (!IsDatabaseOpen(base) || !base.Modified) return true;
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->BringToFront();
  switch (MsgBox(FormatMessage(sdbmodifiedsave, DisplayName(base)), kMbYesNoCancel | kMbIconQuestion)) {
    case kIdYes:
      SaveDatabase(base, /*makeBackup=*/true);
      return true;
    case kIdNo:
      return true;
    default:
      return false;
  }
}

bool CloseDatabase(TPwdBase& base) {
  if (!base.ConcurrentWrite && IsDatabaseOpen(base)) {
    if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->StoreListSelection(base);
  }
  if (!QueryCloseDatabase(base)) return false;
  base.Close();
  Redraw(base);
  return true;
}

void SaveAndCloseDatabase(TPwdBase& base) {
  if (base.Modified) SaveDatabase(base, /*makeBackup=*/true);
  CloseDatabase(base);
}

void CloseAllDatabases() {
  for (TKnownDatabase& known : KnownDatabases()) {
    TPwdBase& base = *known.base;
    if (!IsDatabaseOpen(base)) continue;
    try {
      SaveAndCloseDatabase(base);
    } catch (const std::exception& error) {
      ShowError(error);
    }
  }
}

}  // namespace corvane
