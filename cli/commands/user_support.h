#pragma once
// What the users, rights and properties commands share: rights letters as
// the command line gives and shows them, users named on the command line,
// and the edit of a database's properties through the properties service.

#include <functional>
#include <string>
#include <string_view>

#include "app/session_properties.h"
#include "cli/command.h"

namespace corvane {

class TCliContext;
class TPwdBaseUser;
class TPwdBaseUsersList;
struct TUserEditValues;

inline constexpr std::string_view scli_rightsletters =
    "Rights are given as letters of AIUDVMPLSF, or - for none, not '%s'.";
inline constexpr std::string_view scli_usernotfound = "The user or group '%s' does not exist.";
inline constexpr std::string_view scli_notagroup = "'%s' is not a group.";
inline constexpr std::string_view scli_notauser = "'%s' is not a user.";
inline constexpr std::string_view scli_enableddisabled = "The options --disabled and --enabled exclude each other.";
inline constexpr std::string_view scli_groupoption = "A group has members (--member), not groups (%s).";
inline constexpr std::string_view scli_useroption = "A user belongs to groups (--member-of), it has no members (%s).";

// The options useradd and usermod share.
inline constexpr TOptionSpec kRightsOption = {
    "--rights", "LETTERS", "the rights: letters of AIUDVMPLSF (A gives all), or - for none"};
inline constexpr TOptionSpec kDescriptionOption = {"--description", "TEXT", "the description"};
inline constexpr TOptionSpec kDisabledOption = {"--disabled", "", "the user may not log on"};
inline constexpr TOptionSpec kMemberOfOption = {"--member-of", "GROUP", "a user joins the group GROUP", false, true};
inline constexpr TOptionSpec kMemberOption = {"--member", "USER", "a group takes the user USER as a member", false,
                                              true};

// The letters of a LETTERS value (either case, any order) in the order the
// rights are listed; "-" stands for none and gives "-". Throws TUsageError
// for `command` when a letter is unknown or nothing is given.
std::string ParseRightsLetters(std::string_view text, std::string_view command);

// Rights as the commands show them: "all" for all rights, else the letters.
std::string RightsText(std::string_view rights);

// The entry of `users` named `utf8Name` (without regard to case). Throws
// TError "The user or group '%s' does not exist.".
TPwdBaseUser& FindUserEntry(const TPwdBaseUsersList& users, std::string_view utf8Name);

// Applies the options of useradd and usermod to `values`: --rights,
// --description, --disabled and --enabled, and the memberships --member-of
// and --not-member-of (a user's groups) or --member and --not-member (a
// group's members), naming entries of `users`. Throws TError for an
// unknown entry or one of the wrong kind, TUsageError for `command` for an
// option that does not fit the entry.
void ApplyUserOptions(const TArguments& args, const TPwdBaseUsersList& users, TUserEditValues& values,
                      std::string_view command);

// Opens the database for writing and changes its properties as the
// properties dialog does: only with the right to edit them ("Access
// denied."), `edit` changes the values, the dialog's checks run (their
// message is the error; a question answered No is "User canceled."), the
// values are applied, and the database is saved when that modified it.
void EditDatabaseValues(TCliContext& context, const std::function<void(TDatabaseProperties&)>& edit);

}  // namespace corvane
