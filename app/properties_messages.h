#pragma once
// The message texts of the database-properties dialog and the user/group
// dialog. Filled with FormatMessage (engine/messages.h); line breaks are "\r".

#include <string_view>

namespace corvane {

// Database properties
constexpr std::string_view sprop_noname = "Please enter database name.";
constexpr std::string_view sprop_passwordsdiffer = "Passwords do not match. Please enter passwords again.";
constexpr std::string_view sprop_emptypassword = "You cannot use empty password.";
constexpr std::string_view sprop_shortpassword = "Password must be at least %d characters in length.";
constexpr std::string_view sprop_nologserver = "Please enter log server name or IP address.";
constexpr std::string_view sprop_noadministrator = "You defined no user with Administrator privilege.";
constexpr std::string_view sprop_nobuiltinadministrator =
    "There is no built-in database user with Administrator privilege.\r"
    "If domain will be unavailable you will loose full access to the database.\r"
    "It is strongly recommended to create built-in database user with Administrator privilege.\r\r"
    "Continue?";
constexpr std::string_view sprop_movedatabase =
    "You are about to change location of database '%s'.\r\r"
    "The database file will be moved from old location to the new one.\r\r"
    "Old file name: %s\rNew file name: %s\r\r"
    "Do you want to change location of this database ?";

// Users and groups
constexpr std::string_view suser_noname = "Please enter user name.";
constexpr std::string_view suser_nogroupname = "Please enter group name.";
constexpr std::string_view suser_deletequestion = "Do you want to delete %s ?";
// A second entry of the same name could never be found by its name (logon,
// membership), so names are kept unique.
constexpr std::string_view suser_duplicatename = "A user or group named '%s' exists already.";
constexpr std::string_view suser_defaultfixed =
    "The name, password, description and authentication of the default user cannot be changed.";
constexpr std::string_view suser_defaultrightsfixed =
    "The rights of the default user cannot be changed while a user logon is required.";
constexpr std::string_view suser_defaultdelete = "The default user cannot be deleted.";

// Rights of folders and records
constexpr std::string_view srights_root =
    "The rights on the root folder are the users' own rights; they change with the users.";

}  // namespace corvane
