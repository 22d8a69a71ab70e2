#include "app/session_log_action.h"

#include <array>
#include <string>

#include "app/message_box.h"
#include "app/messages.h"
#include "app/session_logon.h"
#include "app/session_messages.h"
#include "app/session_properties.h"
#include "engine/messages.h"

namespace corvane {

namespace {

constexpr int kIdSetup = 8;

// No log server can be reached from here: every attempt fails the same way.
bool TryToLogAction(const TPwdBase&, std::string_view) { return false; }

// Cancel answers Enter, so a person who only confirms never gets past the demand.
int AskAfterFailedLogging() {
  const std::string text = std::string(slogactionfailed) + "\r" + std::string(slogserverunreachable) + "\r\r" +
                           std::string(slogdesktoponly);
  const std::array<TMsgButton, 3> buttons{{{std::string(smsgboxretry), kIdRetry},
                                           {std::string(slogsetupbutton), kIdSetup},
                                           {std::string(smsgboxcancel), kIdCancel | kMsgDefaultButton}}};
  return CustomMsgBox(text, smsgboxtitleerror, {}, {}, buttons, TMsgIcon::Error);
}

bool IsAdministrator(const TPwdBase& base) { return base.HasRights(nullptr, "A"); }

bool SetUpLogging(TPwdBase& base) {
  if (!IsAdministrator(base) && !Logon(base, /*logAction=*/false)) return false;
  if (!IsAdministrator(base)) {
    MsgBox(spwdaccessdenied, kMbIconError);
    return false;
  }
  return EditDatabaseProperties(base, /*fromLogging=*/true);
}

}  // namespace

bool LogUserAction(TPwdBase& base, std::string_view action) {
  if (!base.LogActions || (base.OptionFlags & kSkipActionLoggingOnDevice)) return true;
  for (;;) {
    if (TryToLogAction(base, action)) return true;
    switch (AskAfterFailedLogging()) {
      case kIdRetry:
        continue;
      case kIdSetup:
        return SetUpLogging(base);
      default:
        return false;
    }
  }
}

}  // namespace corvane
