#pragma once
// The message texts of the database session: opening, logon, state, closing,
// saving, action logging and the expired-records report. Filled with
// FormatMessage (engine/messages.h); line breaks are "\r".

#include <string_view>

namespace corvane {

// Actions passed to LogUserAction.
constexpr std::string_view kActionOpenDatabase = "Open DB";
constexpr std::string_view kActionLogon = "Logon";

constexpr std::string_view sdbopenedreadonly =
    "Database '%s' is opened by someone else in write mode.\rYou can use this database in read only mode.";
constexpr std::string_view sdbreadonlycaption = "%s - [Read only]";
constexpr std::string_view sdbreadonlynosave = "The database '%s' is opened in read only mode and cannot be saved.";
constexpr std::string_view sdbmodifiedsave = "The database '%s' was modified.\r\rDo you wish to save changes ?";
constexpr std::string_view slogoffquestion = "Do you really want to logoff ?";
constexpr std::string_view slogoffcaption = "Logoff %s...";
constexpr std::string_view serr_verifyuser = "Unable to verify user or group: %s";

constexpr std::string_view slogactionfailed = "Cannot log user action.";
constexpr std::string_view slogserverunreachable = "Cannot connect to log server.";
constexpr std::string_view slogdesktoponly = "This feature is available in desktop version only.";
constexpr std::string_view slogsetupbutton = "Setup...";

constexpr std::string_view sexpiredrecordsline = "%s (expired records: %d)";
constexpr std::string_view sexpiredrecordsreport = "The following databases contain expired records:";

}  // namespace corvane
