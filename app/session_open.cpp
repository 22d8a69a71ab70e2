#include "app/session_open.h"

#include <optional>

#include "app/busy_cursor.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/message_box.h"
#include "app/prompts.h"
#include "app/session_log_action.h"
#include "app/session_logon.h"
#include "app/session_messages.h"
#include "app/session_modal.h"
#include "app/session_state.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

// The password for the next attempt, in the database's code page; nullopt
// when the person cancels.
std::optional<TSecretText> NextPassword(const TPwdBase& base, const TOpenOptions& options) {
  if (options.password) return TSecretText(options.password->Text());
  std::optional<TSecretText> typed = PromptPassword(DisplayName(base), options.extraLine);
  if (!typed) return std::nullopt;
  // A character the code page cannot hold fails here, so the password never
  // changes on its way to the file.
  return TSecretText(Utf8ToAnsi(typed->Text()));
}

void ReadWithPassword(TPwdBase& base, const TSecretText& password) {
  // An empty password would only list the database; it never opens one.
  if (password.Empty()) throw TError(std::string(serr_invalidpassword));
  TBusyCursor busy;
  base.Open(password.Text());
}

// After the file was read: logging, logon and access. False closes it again.
bool AdmitSession(TPwdBase& base, bool relogon) {
  if (!LogUserAction(base, kActionOpenDatabase)) return false;
  if (base.RequireLogon && !Logon(base, /*logAction=*/true)) return false;
  // A user who may not change the database logs on again as one who may, when
  // asked to; otherwise the file is not held, since no write can come.
  if (relogon && !UserMayModify(base) && !Logon(base, /*logAction=*/true)) return false;
  if (!UserMayModify(base)) {
    ReleaseFileStream(base);
    base.ReadOnly = 1;
  } else if (base.ReadOnly && !base.ConcurrentWrite) {
    ShowOpenedReadOnly(base);
  }
  return true;
}

}  // namespace

bool OpenDatabase(TPwdBase& base, const TOpenOptions& options) {
  if (IsDatabaseOpen(base)) return true;
  TModalPhase modal;
  const int attempts = options.password ? 1 : kPasswordAttempts;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    try {
      const std::optional<TSecretText> password = NextPassword(base, options);
      if (!password) return false;
      ReadWithPassword(base, *password);
    } catch (const std::exception& error) {
      ShowError(error);
      continue;
    }
    bool admitted = false;
    try {
      admitted = AdmitSession(base, options.relogon);
    } catch (...) {
      base.Close();
      throw;
    }
    if (!admitted) {
      base.Close();
      return false;
    }
    UpdateDatabaseState(base, /*showMessage=*/false, /*recheck=*/false);
    return true;
  }
  return false;
}

}  // namespace corvane
