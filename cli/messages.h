#pragma once
// The message texts of corvane-cli, by name. Engine messages come from
// engine/messages.h and the engine units; these are the front end's own.

#include <string_view>

namespace corvane {

// Wrong usage (exit code 2)
constexpr std::string_view scli_unknowncommand = "Unknown command '%s'.";
constexpr std::string_view scli_unknownoption = "Unknown option '%s'.";
constexpr std::string_view scli_optionneedsvalue = "The option %s needs a value.";
constexpr std::string_view scli_optionnovalue = "The option %s takes no value.";
constexpr std::string_view scli_optiontwice = "The option %s is given more than once.";
constexpr std::string_view scli_optionrequired = "The option %s is required.";
constexpr std::string_view scli_missingargument = "Missing %s.";
constexpr std::string_view scli_extraargument = "Unexpected argument '%s'.";
constexpr std::string_view scli_fieldsyntax = "A field is given as NAME=VALUE, not '%s'.";
constexpr std::string_view scli_tryhelp = "Run 'corvane-cli help %s' for its usage.";
constexpr std::string_view scli_outputfailed = "The output could not be written.";
constexpr std::string_view scli_tryhelpall = "Run 'corvane-cli help' for the list of commands.";

// Passwords
constexpr std::string_view scli_noterminal = "There is no terminal to ask for the password; use --password-stdin.";
constexpr std::string_view scli_nopassword = "No password was given.";
constexpr std::string_view scli_passwordmismatch = "The passwords do not match.";
constexpr std::string_view scli_promptpassword = "Password for %s";
constexpr std::string_view scli_promptuser = "Password of user %s";
constexpr std::string_view scli_promptnew = "New password for %s";
constexpr std::string_view scli_promptnewkeep = "New password for %s (empty: keep the current one)";
constexpr std::string_view scli_promptrepeat = "Repeat the new password";
constexpr std::string_view scli_promptfield = "Value of %s";

// Database files and sessions
constexpr std::string_view scli_dbnotfound = "The database file '%s' does not exist.";
constexpr std::string_view scli_dbexists = "The file '%s' already exists.";
constexpr std::string_view scli_dbreadonly =
    "The database '%s' could only be opened read-only (another program may be using it); it cannot be changed.";
constexpr std::string_view scli_logonrequired = "This database requires a user logon; give --user NAME.";
constexpr std::string_view scli_notopened = "The database was not opened.";

// Ciphers
constexpr std::string_view scli_unknowncipher = "Unknown cipher '%s'.";
constexpr std::string_view scli_ciphertwice = "The cipher '%s' is listed twice.";
constexpr std::string_view scli_nociphers = "At least one cipher is needed; a database is never stored unencrypted.";

// Folders, records and fields
constexpr std::string_view scli_foldernotfound = "The folder '%s' does not exist.";
constexpr std::string_view scli_recordnotfound = "The record '%s' does not exist.";
constexpr std::string_view scli_notarecord = "'%s' is a folder, not a record.";
constexpr std::string_view scli_notafolder = "'%s' is a record, not a folder.";
constexpr std::string_view scli_ambiguoustitle = "The title '%s' is shared by %d records; name one by its id:%s";
constexpr std::string_view scli_folderexists = "The folder '%s' already exists.";
constexpr std::string_view scli_unknownfield = "The record has no field '%s'.";
constexpr std::string_view scli_systemfield = "The field '%s' is filled in automatically.";
constexpr std::string_view scli_passwordargument =
    "A password is not taken from the command line; give the field '%s' with --ask-field.";

}  // namespace corvane
