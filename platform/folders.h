#pragma once
// The folders Corvane works in, and folder operations. Folder names carry no
// trailing "/" (except the root "/"). Environment variables are read at each
// call, so tests can point every folder at a temporary one.

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_info.h"

namespace corvane {

// The folder of the running program ("%APP%"); empty when it cannot be found.
std::string ProgramFolder();

// The user's documents folder: $XDG_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else ~/Documents.
// Empty when the user has no home folder. The folder need not exist.
std::string DocumentsFolder();

// The folder for temporary files: $TMPDIR, else /tmp.
std::string TempFolder();

// The folder for named events and the single-instance socket:
// $CORVANE_RUNTIME_DIR, else $XDG_RUNTIME_DIR/corvane, else "corvane-<uid>" in
// the temporary folder. Created (mode 0700) when missing. Throws TError when it
// cannot be created, or when it belongs to another user ("Cannot use folder:
// <path>\r...").
std::string RuntimeFolder();

// True when `path` names a folder (symbolic links followed).
bool FolderExists(const std::string& path);

// Creates a folder and every missing parent; an existing folder is fine.
// Throws TError "Cannot create folder: <path>\r<system text>".
void CreateFolder(const std::string& path);

// The regular files in `folder` whose names match `pattern` ("*" any run of
// characters, "?" one character; letters compared without regard to case, as
// on the original device), sorted by name. Symbolic links count as the file
// they name. A folder that does not exist gives no files; a folder that cannot
// be read throws TError "Cannot read folder: <path>\r<system text>".
std::vector<TFileInfo> ListFiles(const std::string& folder, std::string_view pattern = "*");

// Whether `name` matches a wildcard pattern as ListFiles matches it.
bool MatchesPattern(std::string_view pattern, std::string_view name);

}  // namespace corvane
