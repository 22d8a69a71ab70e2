#include "app/session_close.h"

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/message_box.h"
#include "app/session_messages.h"
#include "app/session_modal.h"
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

void CloseOpenDatabases(const std::function<bool(const TPwdBase&)>& which) {
  // The list is walked by position inside a modal phase: an error shown on
  // the way must not let a folder refresh change the list under the walk.
  TModalPhase modal;
  for (std::size_t i = 0; i < KnownDatabases().size(); ++i) {
    TPwdBase& base = *KnownDatabases()[i].base;
    if (!IsDatabaseOpen(base) || !which(base)) continue;
    try {
      SaveAndCloseDatabase(base);
    } catch (const std::exception& error) {
      ShowError(error);
    }
  }
}

void CloseAllDatabases() {
  CloseOpenDatabases([](const TPwdBase&) { return true; });
}

}  // namespace corvane
