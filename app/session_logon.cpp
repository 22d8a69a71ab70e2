#include "app/session_logon.h"

#include <optional>

#include "app/message_box.h"
#include "app/prompts.h"
#include "app/secret_text.h"
#include "app/session_close.h"
#include "app/session_log_action.h"
#include "app/session_messages.h"
#include "app/session_state.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "engine/messages.h"
#include "engine/users.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

bool RememberNames() {
  TSettingsAccess access(false);
  return access ? ReadSetting(setting::RememberLastDbUser) : setting::RememberLastDbUser.defaultValue;
}

std::optional<std::string> RememberedName(const TPwdBase& base) {
  if (!RememberNames()) return std::nullopt;
  TSettingsAccess access(false);
  if (!access) return std::string();
  return Settings().ReadString(setting::kRecentLogins, base.FileName, "");
}

// Remembering is a convenience: a store that cannot take the name is no
// reason to refuse a logon that succeeded.
void RememberName(const TPwdBase& base, const std::string& utf8Name) {
  if (!RememberNames()) return;
  try {
    TSettingsAccess access(true);
    if (!access) return;
    Settings().WriteString(setting::kRecentLogins, base.FileName, utf8Name);
    access.Close();
  } catch (const TError&) {
  }
}

// The user of a typed name, or nullptr. A name the database's code page
// cannot hold names nobody.
TPwdBaseUser* FindUser(const TPwdBase& base, const std::string& utf8Name) {
  std::string name;
  try {
    name = Utf8ToAnsi(utf8Name);
  } catch (const TError&) {
    return nullptr;
  }
  return base.Users->FindByName(name);
}

bool PasswordMatches(const TPwdBaseUser& user, const TSecretText& utf8Password) {
  try {
    const TSecretText password(Utf8ToAnsi(utf8Password.Text()));
    return user.CheckPassword(password.Text());
  } catch (const TError&) {
    return false;
  }
}

void RefuseLogon(bool wait) {
  if (wait) Clock().Sleep(kWrongLogonDelayMs);
  MsgBox(serr_invalidpassword, kMbIconError);
}

// One answer of the prompt. The user that matches it, or nullptr after the
// refusal was shown.
TPwdBaseUser* CheckAnswer(const TPwdBase& base, const TLogonAnswer& answer) {
  TPwdBaseUser* user = FindUser(base, answer.userName);
  if (!user) {
    RefuseLogon(/*wait=*/true);
    return nullptr;
  }
  if (user->UserType() != kUserDatabase) {
    // Operating-system accounts and groups cannot be verified on this system.
    RefuseLogon(/*wait=*/false);
    return nullptr;
  }
  if (!PasswordMatches(*user, answer.password)) {
    RefuseLogon(/*wait=*/true);
    return nullptr;
  }
  return user;
}

}  // namespace

std::vector<std::string> LogonUserNames(const TPwdBase& base) {
  std::vector<std::string> names;
  for (int i = 1; i < base.Users->Count(); ++i) {
    const TPwdBaseUser& user = *(*base.Users)[i];
    if (user.UserType() == kGroupDatabase || user.UserType() == kGroupDomain) continue;
    names.push_back(AnsiToUtf8(user.Name()));
  }
  return names;
}

bool Logon(TPwdBase& base, bool logAction) {
  if (base.Users->Count() == 1) return true;
  try {
    const std::vector<std::string> names = LogonUserNames(base);
    const std::optional<std::string> remembered = RememberedName(base);
    for (int attempt = 0; attempt < kLogonAttempts; ++attempt) {
      const std::optional<TLogonAnswer> answer = PromptLogon(names, /*nameEditable=*/false, remembered);
      if (!answer) return false;
      TPwdBaseUser* user = CheckAnswer(base, *answer);
      if (!user) continue;
      if (logAction && !LogUserAction(base, kActionLogon)) return false;
      base.Logon(user->Guid());
      RememberName(base, answer->userName);
      return true;
    }
  } catch (const std::exception& error) {
    MsgBox(FormatMessage(serr_verifyuser, error.what()), kMbIconError);
  }
  return false;
}

bool Logoff(TPwdBase& base) {
  if (MsgBox(slogoffquestion, kMbYesNo | kMbIconQuestion) != kIdYes) return false;
  if (!LogUserAction(base, kActionLogon)) return false;
  base.Logon((*base.Users)[0]->Guid());
  if (base.Modified) QueryCloseDatabase(base);
  UpdateDatabaseState(base, /*showMessage=*/true, /*recheck=*/true);
  return true;
}

std::string LogoffCaption(const TPwdBase& base) {
  return FormatMessage(slogoffcaption, AnsiToUtf8(base.CurrentUserName));
}

}  // namespace corvane
