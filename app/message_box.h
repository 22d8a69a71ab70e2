#pragma once
// Message boxes, with the platform's flag convention: the low 4 bits choose the
// button set, bits 4 to 7 the icon, bits 8 to 11 the default button, and bit
// 14 adds a Help button. Results are the numbers below. Texts may break lines
// with "\r", "\n" or both; the box is shown through the process's front end,
// with the arrow cursor for as long as it is up.

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>

#include "app/front_end.h"

namespace corvane {

// Button sets
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbAbortRetryIgnore = 0x2;
inline constexpr std::uint32_t kMbYesNoCancel = 0x3;
inline constexpr std::uint32_t kMbYesNo = 0x4;
inline constexpr std::uint32_t kMbRetryCancel = 0x5;
// Icons
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbIconQuestion = 0x20;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
// Default button (the first when none is given)
inline constexpr std::uint32_t kMbDefButton1 = 0x000;
inline constexpr std::uint32_t kMbDefButton2 = 0x100;
inline constexpr std::uint32_t kMbDefButton3 = 0x200;
inline constexpr std::uint32_t kMbHelp = 0x4000;

// Results
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdHelp = 15;
// In CustomMsgBox: a button result with this bit is the default button; a
// result with kMsgChecked added means the check box was checked.
inline constexpr int kMsgDefaultButton = 64;
inline constexpr int kMsgChecked = 128;

// The most characters of a message that are shown.
inline constexpr std::size_t kMaxMessageChars = 4000;

// Shows `text` with the buttons, icon and default button of `flags` and returns
// the pressed button's result. Without a title the icon chooses one ("Error",
// "Confirmation", "Warning", "Information").
int MsgBox(std::string_view text, std::uint32_t flags, std::string_view title = {});

// The general form: any buttons (caption and result each; see kMsgDefaultButton
// and kIdHelp), a details text behind a "Details >" button when not empty, and
// a check box when its caption is not empty. Throws TError "CustomMsgBox: ..."
// when there are no buttons or a button has no caption or a result outside 0 to
// 127.
int CustomMsgBox(std::string_view text, std::string_view title, std::string_view details,
                 std::string_view checkBoxCaption, std::span<const TMsgButton> buttons, TMsgIcon icon);

// Shows an error's message with the error icon; with a prefix, the prefix and a
// line break come first.
void ShowError(const std::exception& error, std::string_view prefix = {});

// A message text as the front end gets it: in UTF-8 (engine text quoting
// names in the code page converted), cut to `maxChars` characters, every
// line break ("\r", "\n" or "\r\n") made one "\n".
std::string MessageText(std::string_view text, std::size_t maxChars = kMaxMessageChars);

}  // namespace corvane
