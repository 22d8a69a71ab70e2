#pragma once
// Paths below the program's folder are stored with the macro "%APP%" in its
// place, so that they survive a move of the program.

#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kAppPathMacro = "%APP%";

// Replaces the first "%APP%" (exact case) with `programFolder` without a
// trailing "/". A program in the root folder makes "%APP%/x" into "/x" and
// "%APP%" alone into "/".
std::string ExpandAppPath(std::string_view path, std::string_view programFolder);
// When `path` is the program folder or lies below it (compared exactly, as
// Linux file names are), that leading part becomes "%APP%"; any other path is
// returned as it is. ExpandAppPath gives the path back.
std::string CompactAppPath(std::string_view path, std::string_view programFolder);

// The same for the running program's folder (AppFolder() of app/settings.h).
std::string ExpandAppPath(std::string_view path);
std::string CompactAppPath(std::string_view path);

}  // namespace corvane
