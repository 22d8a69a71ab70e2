#pragma once
// What the attachment commands share: finding an attachment by name, the
// warning about an archive region that could not be read, and yes/no
// questions on the terminal.

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

class TPwdBase;
class TPwdFileAttach;
class TPwdPassword;

inline constexpr std::string_view scli_noattachment = "The record has no attachment named '%s'.";
inline constexpr std::string_view scli_attachmentexists = "The record already has an attachment named '%s'.";
inline constexpr std::string_view scli_overwrite = "File '%s' already exists.\r\rOverwrite it?";
inline constexpr std::string_view scli_skipped = "Skipped: %s";
inline constexpr std::string_view scli_checkquestion =
    "Do you want to check the database and remove corrupted file attachments?";
inline constexpr std::string_view scli_repaired =
    "The database has been repaired.\r\nThe following corrupted file attachments were removed:";

// The record's attachment named `utf8Name` (exactly, else without regard to
// case), or nullptr.
TPwdFileAttach* FindAttachment(TPwdPassword& record, std::string_view utf8Name);
// The attachment named `utf8Name`; throws scli_noattachment when there is none.
TPwdFileAttach& RequireAttachment(TPwdPassword& record, std::string_view utf8Name);
// Prints the archive warning of the opened database to standard error, if any.
void ReportArchiveWarning(TPwdBase& base);
// A message text for a person: the system's "\r" and "\r\n" line breaks as "\n".
std::string PlainLines(std::string_view message);
// Asks `question` on the controlling terminal; nullopt without a terminal.
std::optional<bool> AskYesNo(std::string_view question);

}  // namespace corvane
