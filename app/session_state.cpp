#include "app/session_state.h"

#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/message_box.h"
#include "app/session_messages.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

bool UserMayModify(TPwdBase& base) {
  const std::uint8_t readOnly = base.ReadOnly;
  base.ReadOnly = 0;
  const bool mayModify = base.CanModify();
  base.ReadOnly = readOnly;
  return mayModify;
}

void ReleaseFileStream(TPwdBase& base) {
  if (!base.FileStream.IsOpen()) return;
  try {
    base.FileStream.Close();
  } catch (const TError&) {
    base.FileStream = TFile();
  }
}

void UpdateDatabaseState(TPwdBase& base, bool showMessage, bool recheck) {
  if (IsDatabaseOpen(base) && recheck) {
    base.ReadOnly = 0;
    if (!UserMayModify(base)) {
      ReleaseFileStream(base);
      base.ReadOnly = 1;
    } else if (!base.OpenForWrite()) {
      base.ReadOnly = 1;
      if (showMessage) ShowOpenedReadOnly(base);
    } else if (base.ConcurrentWrite) {
      ReleaseFileStream(base);
    }
  }
  if (TFrontEnd* frontEnd = InstalledFrontEnd()) frontEnd->RefreshDatabase(base);
}

void ShowOpenedReadOnly(const TPwdBase& base) {
  MsgBox(FormatMessage(sdbopenedreadonly, DisplayName(base)), kMbIconWarning);
}

std::string DatabaseCaption(const TPwdBase& base) {
  const std::string name = DisplayName(base);
  if (IsDatabaseOpen(base) && base.ReadOnly) return FormatMessage(sdbreadonlycaption, name);
  return name;
}

}  // namespace corvane
