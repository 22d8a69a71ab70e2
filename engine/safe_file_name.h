#pragma once
// Names that come from a database file become file names on disk only
// through this function, so that a damaged or hostile database can never
// make an extraction write outside the folder it was meant for.

#include <string>
#include <string_view>

namespace corvane {

// A name that can be created inside a folder as one plain file: a plain
// file name comes back unchanged; folder separators ("/" and "\"), NUL and
// control characters become "_"; a name that would still mean "this
// folder" or "the parent folder" ("", ".", "..") becomes "_" for each dot,
// or "attachment" when empty.
std::string SafeFileName(std::string_view storedName);

}  // namespace corvane
