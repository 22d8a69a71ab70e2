#pragma once
// The logon of a database user: the logon prompt with the database's
// personal users and the name remembered from the last logon, three tries,
// and the logoff back to the database's default user.

#include <string>
#include <vector>

#include "engine/base.h"

namespace corvane {

// How long a wrong user name or password holds the answer back.
inline constexpr std::uint32_t kWrongLogonDelayMs = 1000;
inline constexpr int kLogonAttempts = 3;

// The names the logon prompt lists (UTF-8), in the users list's order: every
// entry after the first (the default user) that is not a group.
std::vector<std::string> LogonUserNames(const TPwdBase& base);

// Logs a user on to the open database. True at once for a database with one
// user. Otherwise the logon prompt is shown up to three times; a name that is
// not a user or a wrong password waits a second and says "The password is
// incorrect.". On a match the action "Logon" is logged (when `logAction`),
// the user becomes current and the name is remembered for the database's
// file. False on Cancel, after the third miss, or when logging refuses.
bool Logon(TPwdBase& base, bool logAction);

// Asks whether to log off; on Yes the default user becomes current (after
// logging the action "Logon"), a modified database may be saved, and the
// access is decided again. True when the default user is now current.
bool Logoff(TPwdBase& base);

// The caption of the logoff command: "Logoff <current user>...".
std::string LogoffCaption(const TPwdBase& base);

}  // namespace corvane
