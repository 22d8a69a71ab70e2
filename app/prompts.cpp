#include "app/prompts.h"

#include <algorithm>

#include "app/message_box.h"
#include "app/messages.h"
#include "engine/messages.h"

namespace corvane {

namespace {

std::string Caption(std::string_view caption) {
  std::string result;
  if (!FrontEnd().MainWindowVisible()) result = sprogramcaptionprefix;
  result += caption;
  return result;
}

void RefuseEmptyPassword() { MsgBox(serr_emptypromptpassword, kMbIconError); }

std::string PreselectedName(const std::vector<std::string>& userNames, bool nameEditable,
                            const std::optional<std::string>& rememberedName) {
  if (!rememberedName) return {};
  if (std::find(userNames.begin(), userNames.end(), *rememberedName) != userNames.end()) return *rememberedName;
  if (nameEditable && !rememberedName->empty()) return *rememberedName;
  return userNames.empty() ? std::string() : userNames.front();
}

}  // namespace

std::optional<TSecretText> PromptPassword(std::string_view databaseName, std::string_view message) {
  TPasswordPrompt prompt;
  prompt.caption = Caption(spasswordprompt_caption);
  std::string text(message);
  if (!text.empty()) text += '\r';
  text += FormatMessage(spasswordprompt_text, databaseName);
  prompt.text = MessageText(text);
  prompt.note = spromptcapslocknote;
  for (;;) {
    std::optional<TSecretText> answer = FrontEnd().AskPassword(prompt);
    if (!answer || !answer->Empty()) return answer;
    RefuseEmptyPassword();
  }
}

std::optional<TLogonAnswer> PromptLogon(const std::vector<std::string>& userNames, bool nameEditable,
                                        const std::optional<std::string>& rememberedName) {
  TLogonPrompt prompt;
  prompt.caption = Caption(slogonprompt_caption);
  prompt.text = slogonprompt_text;
  prompt.note = spromptcapslocknote;
  prompt.userNames = userNames;
  prompt.nameEditable = nameEditable;
  prompt.selectedName = PreselectedName(userNames, nameEditable, rememberedName);
  for (;;) {
    std::optional<TLogonAnswer> answer = FrontEnd().AskLogon(prompt);
    if (!answer || !answer->password.Empty()) return answer;
    RefuseEmptyPassword();
    prompt.selectedName = answer->userName;
  }
}

}  // namespace corvane
