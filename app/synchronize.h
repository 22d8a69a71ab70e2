#pragma once
// Synchronising two copies of one database: the changes of a second
// ("remote") copy are merged into the open ("local") one and, for a two-way
// synchronisation, the local changes into the remote, each copy then saved.

#include <optional>
#include <string>
#include <string_view>

#include "engine/base.h"

namespace corvane {

inline constexpr std::string_view slocalsynced = "Local database '%s' has been synchronized.\r\n";
inline constexpr std::string_view sremotesynced = "\r\n\r\nRemote database '%s' has been synchronized.\r\n";
inline constexpr std::string_view ssynclocked = "The database '%s' is being changed by another user. Try again later.";
inline constexpr std::string_view ssyncreadonly = "The database '%s' is open read only and cannot be synchronized.";

// Synchronises the open database `local` with the copy in `remoteFile`. A
// remote that is open in the program (a known database) is used as it is
// open; otherwise it is opened with the local password, else the password
// prompt asks for it, and its user with the local user's identity and
// password digest is logged on without asking, else a required logon is
// asked for. Both copies are locked for the duration (one-way: the local one
// only, the remote is never written). Once locked, each copy whose file
// another writer saved since it was read takes that save in first (read
// again, or merged in when it has unsaved changes), so no other writer's
// change is overwritten. Unless `silent`, the report is shown with the
// information icon. Returns the report; nullopt when the person cancelled, a
// logon failed, or an error stopped it (the error was shown). The locks are
// released on every path; a direction merged and saved before an error stays.
std::optional<std::string> Synchronize(TPwdBase& local, const std::string& remoteFile, bool oneWay, bool silent);

}  // namespace corvane
