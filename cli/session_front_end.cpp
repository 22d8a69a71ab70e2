#include "cli/session_front_end.h"

#include "cli/messages.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

TSessionFrontEnd::TSessionFrontEnd(TSecretInput& secrets, std::string databasePath,
                                   std::optional<std::string> userName, std::ostream& out, std::ostream& err)
    : TLocationsFrontEnd(out, err),
      secrets_(secrets),
      userName_(std::move(userName)),
      databasePath_(std::move(databasePath)) {}

void TSessionFrontEnd::HoldRefusals(bool hold) {
  holdRefusals_ = hold;
  promptsEnded_ = false;
  refusal_.clear();
}

TMessageAnswer TSessionFrontEnd::ShowMessage(const TMessageRequest& request) {
  if (!holdRefusals_ || request.icon != TMsgIcon::Error) return TLocationsFrontEnd::ShowMessage(request);
  refusal_ = request.text;
  if (!secrets_.TellWrongAnswer(request.text)) promptsEnded_ = true;
  return {request.buttons.at(request.defaultButton).result, false};
}

std::optional<TSecretText> TSessionFrontEnd::AskPassword(const TPasswordPrompt&) {
  if (promptsEnded_) return std::nullopt;
  // The prompt names the file: several databases may share a name.
  const TSecret typed = secrets_.Read(FormatMessage(scli_promptpassword, databasePath_));
  return TSecretText(typed.Text());
}

std::optional<TLogonAnswer> TSessionFrontEnd::AskLogon(const TLogonPrompt&) {
  if (promptsEnded_) return std::nullopt;
  if (!userName_) {
    refusal_ = scli_logonrequired;
    promptsEnded_ = true;
    return std::nullopt;
  }
  const TSecret typed = secrets_.Read(FormatMessage(scli_promptuser, *userName_));
  ++logonsAnswered_;
  return TLogonAnswer{*userName_, TSecretText(typed.Text())};
}

}  // namespace corvane
