#pragma once
// Path pieces the database locations work with. Database file names compare
// without regard to ASCII case, as the folder scan matches them, so that two
// names differing only in case are never given to two databases.

#include <string>
#include <string_view>

namespace corvane {

// The folder part of a full file name ("/" for a file in the root).
std::string FolderOfFile(std::string_view fileName);
// The name without its folder.
std::string_view NameOfFile(std::string_view fileName);
// `folder` and `name` joined with one "/".
std::string JoinPath(std::string_view folder, std::string_view name);
// A folder as the folder list keeps it: no trailing "/", the root as "/".
std::string NormalFolder(std::string_view folder);

// Whether two file names are the same without regard to ASCII case.
bool SameFileName(std::string_view a, std::string_view b);
// The key under which SameFileName names are equal (ASCII lower case).
std::string FileNameKey(std::string_view fileName);

}  // namespace corvane
