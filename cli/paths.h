#pragma once
// Folders and records named on the command line. A folder is named by its
// path from the root ("Work/Mail"; the root is "/", a leading "/" optional),
// a record by the path of its folder followed by its title ("Work/Mail/Gmail",
// "/Gmail" at the root); either may instead be named by its id in the
// registry text form ("{...}"). Paths are UTF-8; names are compared with the
// engine texts exactly, after conversion to the database code page.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TPwdBase;
class TPwdFolder;
class TPwdItem;
class TPwdPassword;

// The names of a path, in engine text, empty parts dropped ("/" gives none).
// Throws TError when a name cannot be held by the code page.
std::vector<std::string> SplitItemPath(std::string_view utf8Path);

// The folder named by `utf8Path`. Throws TError "The folder '%s' does not
// exist." or "'%s' is a record, not a folder.".
TPwdFolder& ResolveFolder(TPwdBase& base, std::string_view utf8Path);

// The record named by `utf8Path`, among the records the user may see.
// Throws TError when no record has that path,
// when the id names a folder, and, when several records of the folder share
// the title, a message that lists their ids.
TPwdPassword& ResolveRecord(TPwdBase& base, std::string_view utf8Path);

// Whether the current user may see `item`: every folder, and the records on
// which the user holds any permission. Records the user may not see are
// listed nowhere and named by no path and no id.
bool Visible(const TPwdItem& item);

// The subfolder of `parent` named exactly `name`; nullptr when none.
TPwdFolder* FindSubfolder(const TPwdFolder& parent, std::string_view name);

// The path of an item as the command line names it ("/" for the root,
// "/Work/Mail" for a folder, "/Work/Mail/Gmail" for a record), in UTF-8.
std::string ItemPath(TPwdItem& item);

}  // namespace corvane
