#include "app/properties_check.h"

#include <algorithm>

#include "app/backup.h"
#include "app/locations_path.h"
#include "app/message_box.h"
#include "app/properties_messages.h"
#include "app/runtime_settings.h"
#include "app/users_list_edit.h"
#include "engine/messages.h"
#include "platform/file_system.h"
#include "platform/locale_data.h"

namespace corvane {

namespace {

TPropertiesCheck Refused(TPropertiesPage page, std::string message) {
  return {false, page, std::move(message)};
}

// Characters, not bytes: each becomes one byte of the database code page.
std::int64_t CharacterCount(std::string_view utf8) {
  return std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

std::string CheckPassword(const TSecretText& password, const TSecretText& retype) {
  if (password.Text() == kPasswordPlaceholder) return {};
  if (password.Text() != retype.Text()) return std::string(sprop_passwordsdiffer);
  if (password.Empty()) return std::string(sprop_emptypassword);
  const std::int32_t minimum = RuntimeSettings().minBasePassword;
  if (CharacterCount(password.Text()) < minimum) return FormatMessage(sprop_shortpassword, minimum);
  return {};
}

// The move question; false when the person cancelled.
bool AskAboutMove(TDatabaseProperties& values, std::string_view openedFileName, bool newDatabase) {
  values.moveConfirmed = false;
  if (newDatabase || SameFileName(values.fileName, openedFileName) || !FileExists(std::string(openedFileName)))
    return true;
  const std::string question = FormatMessage(sprop_movedatabase, values.name, openedFileName, values.fileName);
  const int answer = MsgBox(question, kMbYesNoCancel | kMbIconQuestion);
  if (answer == kIdCancel) return false;
  values.moveConfirmed = answer == kIdYes;
  return true;
}

void Tidy(TDatabaseProperties& values) {
  if (!values.users->HasUserOfType(kAnyDomainType)) values.autoLogonSystemUser = false;
  if (values.users->Count() < 2) values.requireLogon = false;
  if (values.backupCount == 0) values.optionFlags &= ~kMakeBackupCopies;
}

}  // namespace

TPropertiesCheck CheckDatabaseProperties(TDatabaseProperties& values, const TSecretText& retypePassword,
                                         std::string_view openedFileName, bool newDatabase) {
  values.name = std::string(TrimSpaces(values.name));
  if (values.name.empty()) return Refused(TPropertiesPage::General, std::string(sprop_noname));
  if (std::string problem = CheckPassword(values.password, retypePassword); !problem.empty())
    return Refused(TPropertiesPage::General, std::move(problem));
  values.logServer = std::string(TrimSpaces(values.logServer));
  if (values.logActions && values.logServer.empty())
    return Refused(TPropertiesPage::Parameters, std::string(sprop_nologserver));
  switch (CheckUsersList(*values.users, values.requireLogon)) {
    case TUsersListCheck::NoAdministrator:
      return Refused(TPropertiesPage::Users, std::string(sprop_noadministrator));
    case TUsersListCheck::Declined:
      return Refused(TPropertiesPage::Users, {});
    case TUsersListCheck::Accepted:
      break;
  }
  if (!AskAboutMove(values, openedFileName, newDatabase)) return Refused(TPropertiesPage::General, {});
  Tidy(values);
  return {};
}

}  // namespace corvane
