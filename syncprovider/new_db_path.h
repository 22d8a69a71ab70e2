#pragma once
// Names for databases that arrive from the desktop but are not on the device yet.
// The program stores a pattern, "NewDbFileName" on the synchronisation key: a
// full path whose file name holds "%d" where a running number goes.

#include <string>
#include <string_view>

namespace corvane {

// The pattern with every "%d" of its file name replaced by 1, 2, 3, ... until a
// name that no file has. Empty when the pattern is empty or not a full path,
// or when its file name has no "%d" and that one name is taken (a received file
// must never land on a file that is there already).
std::string FreeNumberedName(std::string_view pattern);

// FreeNumberedName of the registered "NewDbFileName"; empty when it is missing.
std::string NewDbFilePath();

}  // namespace corvane
