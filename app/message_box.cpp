#include "app/message_box.h"

#include <cstdint>
#include <vector>

#include "app/busy_cursor.h"
#include "app/messages.h"
#include "engine/messages.h"
#include "platform/codepage.h"
#include "platform/error.h"

namespace corvane {

namespace {

std::vector<TMsgButton> ButtonSet(std::uint32_t set) {
  auto button = [](std::string_view caption, int result) { return TMsgButton{std::string(caption), result}; };
  switch (set) {
    case kMbOkCancel:
      return {button(smsgboxok, kIdOk), button(smsgboxcancel, kIdCancel)};
    case kMbAbortRetryIgnore:
      return {button(smsgboxabort, kIdAbort), button(smsgboxretry, kIdRetry), button(smsgboxignore, kIdIgnore)};
    case kMbYesNoCancel:
      return {button(smsgboxyes, kIdYes), button(smsgboxno, kIdNo), button(smsgboxcancel, kIdCancel)};
    case kMbYesNo:
      return {button(smsgboxyes, kIdYes), button(smsgboxno, kIdNo)};
    case kMbRetryCancel:
      return {button(smsgboxretry, kIdRetry), button(smsgboxcancel, kIdCancel)};
    default:
      return {button(smsgboxok, kIdOk)};
  }
}

std::string TitleFor(TMsgIcon icon) {
  switch (icon) {
    case TMsgIcon::Error:
      return std::string(smsgboxtitleerror);
    case TMsgIcon::Question:
      return std::string(smsgboxtitleconfirmation);
    case TMsgIcon::Warning:
      return std::string(smsgboxtitlewarning);
    case TMsgIcon::Information:
      return std::string(smsgboxtitleinformation);
    case TMsgIcon::None:
      break;
  }
  return {};
}

TMsgIcon IconOf(std::uint32_t flags) {
  const std::uint32_t icon = (flags >> 4) & 0xF;
  return icon <= 4 ? static_cast<TMsgIcon>(icon) : TMsgIcon::None;
}

int Show(TMessageRequest& request) {
  if (request.title.empty()) request.title = TitleFor(request.icon);
  if (request.defaultButton >= request.buttons.size()) request.defaultButton = 0;
  TArrowCursor arrow;
  const TMessageAnswer answer = FrontEnd().ShowMessage(request);
  return answer.result + (answer.checked && !request.checkBoxCaption.empty() ? kMsgChecked : 0);
}

}  // namespace

std::string MessageText(std::string_view message, std::size_t maxChars) {
  const std::string text = MessageToUtf8(message);
  std::string result;
  result.reserve(text.size());
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const bool startsCharacter = (c & 0xC0) != 0x80;
    if (startsCharacter && ++chars > maxChars) break;
    if (c == '\r') {
      result += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n' && chars < maxChars) {
        ++i;
        ++chars;
      }
    } else {
      result += static_cast<char>(c);
    }
  }
  return result;
}

int MsgBox(std::string_view text, std::uint32_t flags, std::string_view title) {
  TMessageRequest request;
  request.text = MessageText(text);
  request.title = std::string(title);
  request.icon = IconOf(flags);
  request.buttons = ButtonSet(flags & 0xF);
  if (flags & kMbHelp) request.buttons.push_back({std::string(smsgboxhelp), kIdHelp});
  request.defaultButton = (flags >> 8) & 0xF;
  return Show(request);
}

int CustomMsgBox(std::string_view text, std::string_view title, std::string_view details,
                 std::string_view checkBoxCaption, std::span<const TMsgButton> buttons, TMsgIcon icon) {
  if (buttons.empty()) throw TError(std::string(serr_custommsgboxcount));
  TMessageRequest request;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const TMsgButton& button = buttons[i];
    if (button.caption.empty() || button.result < 0 || button.result >= kMsgChecked) {
      throw TError(FormatMessage(serr_custommsgboxbutton, static_cast<int>(i + 1)));
    }
    if (button.result & kMsgDefaultButton) request.defaultButton = i;
    request.buttons.push_back({button.caption, button.result & ~kMsgDefaultButton});
  }
  request.text = MessageText(text);
  request.title = std::string(title);
  request.details = MessageText(details, SIZE_MAX);
  request.checkBoxCaption = std::string(checkBoxCaption);
  request.icon = icon;
  return Show(request);
}

void ShowError(const std::exception& error, std::string_view prefix) {
  std::string text(prefix);
  if (!text.empty()) text += '\r';
  text += error.what();
  MsgBox(text, kMbIconError);
}

}  // namespace corvane
