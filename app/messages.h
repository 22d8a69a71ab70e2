#pragma once
// The message texts and captions of the application services, by name. They
// are filled with FormatMessage (engine/messages.h); line breaks are "\r".

#include <string_view>

namespace corvane {

// Message boxes
constexpr std::string_view smsgboxtitleerror = "Error";
constexpr std::string_view smsgboxtitleconfirmation = "Confirmation";
constexpr std::string_view smsgboxtitlewarning = "Warning";
constexpr std::string_view smsgboxtitleinformation = "Information";
constexpr std::string_view smsgboxok = "OK";
constexpr std::string_view smsgboxcancel = "Cancel";
constexpr std::string_view smsgboxabort = "Abort";
constexpr std::string_view smsgboxretry = "Retry";
constexpr std::string_view smsgboxignore = "Ignore";
constexpr std::string_view smsgboxyes = "Yes";
constexpr std::string_view smsgboxno = "No";
constexpr std::string_view smsgboxhelp = "Help";
constexpr std::string_view smsgboxdetails = "Details >";
constexpr std::string_view serr_custommsgboxcount =
    "CustomMsgBox: Invalid number of buttons description parameters.";
constexpr std::string_view serr_custommsgboxbutton = "CustomMsgBox: Invalid button description parameter (#%d).";
constexpr std::string_view susercanceled = "User canceled.";
constexpr std::string_view serr_nofrontend = "The program has no user interface to show this.";

// Password and logon prompts
constexpr std::string_view sprogramcaptionprefix = "Corvane: ";
constexpr std::string_view spasswordprompt_caption = "Enter password";
constexpr std::string_view spasswordprompt_text = "Please, enter password to open '%s' database.";
constexpr std::string_view slogonprompt_caption = "User logon";
constexpr std::string_view slogonprompt_text = "Please enter your user name and password.";
constexpr std::string_view spromptcapslocknote = "The password is case-sensitive, so check the Caps Lock state.";
constexpr std::string_view spromptpasswordlabel = "Password:";
constexpr std::string_view spromptusernamelabel = "User name:";
constexpr std::string_view serr_emptypromptpassword = "You cannot use empty password.";

// Restore question
constexpr std::string_view srestore_caption = "Database restore";
constexpr std::string_view srestore_question = "How the restore should be performed?";
constexpr std::string_view srestore_backupmodified = "Backup was modified:";
constexpr std::string_view srestore_existingmodified = "Existing database was modified:";
constexpr std::string_view srestore_overexisting = "Restore backup over existing database";
constexpr std::string_view srestore_asnew = "Restore backup as new database";

// Options
constexpr std::string_view soptnofolders = "You must specify at least one folder.";
constexpr std::string_view soptinvalidtemplate = "Invalid database file name template.";
constexpr std::string_view soptrenametemplate =
    "All database files will be renamed using new database file name template '%s'.\r\r"
    "Do you want to change database file name template?";

// Settings store
constexpr std::string_view serr_inisettingvalue = "The setting '%s' cannot be stored in the ini file.";
constexpr std::string_view serr_inifiletoolarge = "The settings file is too large: %s";

// Sizes
constexpr std::string_view ssizebytes = "bytes";
constexpr std::string_view ssizekb = "KB";
constexpr std::string_view ssizemb = "MB";

}  // namespace corvane
