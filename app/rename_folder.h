#pragma once
// Renaming a folder, as the main window's in-place editing of a folder's
// name and the command line's rename do it.

#include <string>
#include <string_view>

namespace corvane {

class TPwdFolder;

constexpr std::string_view srename_emptyname = "Folder name cannot be empty.";
constexpr std::string_view srename_rootfolder =
    "The root folder of a database cannot be renamed; its name is the database's name.";

// Gives `folder` the name `name` (engine text) through the edit protocol.
// Throws TError, with the folder unchanged: srename_rootfolder for the
// root, "Folder name cannot be empty.", the engine's "Duplicate folder name
// '%s'." when a sister folder has that name, "Access denied." without the
// right to modify the folder. The folder's own name changes nothing.
void RenameFolder(TPwdFolder& folder, const std::string& name);

}  // namespace corvane
