#pragma once
// A file's last-write time as a person reads it.

#include <string>

namespace corvane {

// The last-write date and time of the file at `path` in the user's locale;
// empty when the file cannot be found.
std::string FileTimeText(const std::string& path);

}  // namespace corvane
