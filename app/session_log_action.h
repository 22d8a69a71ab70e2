#pragma once
// The logging of user actions. A database may demand that every opening and
// logon be logged on its log server; this program cannot reach one, so it
// tells the person and lets them cancel or change the database's setup.

#include <cstdint>
#include <string_view>

#include "engine/base.h"

namespace corvane {

// OptionFlags bit: the database does not demand action logging on handhelds
// and other devices without a log server connection.
inline constexpr std::uint32_t kSkipActionLoggingOnDevice = 1u << 5;

// Whether `action` ("Open DB", "Logon") may go ahead. True at once when the
// database does not demand logging or skips it here. Otherwise the person is
// told that the action cannot be logged, with the answers Retry (which tries
// again and so comes back to the same message), "Setup..." (the database's
// properties, for an administrator or after a logon as one; their result
// decides) and Cancel (false).
bool LogUserAction(TPwdBase& base, std::string_view action);

}  // namespace corvane
