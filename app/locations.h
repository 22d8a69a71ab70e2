#pragma once
// The database folders: the ordered list of folders whose database files the
// program shows (policy folders first, then the person's own, or the default
// folder when there is neither), the folders found unreachable, and the
// template that database file names follow. The list is process-wide and is
// the order in which folders are scanned, watched and numbered. Not
// thread-safe: the services run on the thread of the user interface.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

inline constexpr std::string_view kDefaultFileNameTemplate = "CVBase*.dat";
// The value names of the policy folders: "DBFolder1", "DBFolder2", ...
inline constexpr std::string_view kPolicyFolderValuePrefix = "DBFolder";
// The folder name of the default database folder inside the documents folder,
// and inside the program's folder when there is no documents folder.
inline constexpr std::string_view kMyDatabasesFolder = "My databases";
inline constexpr std::string_view kProgramBasesFolder = "Bases";

struct TDatabaseFolder {
  std::string path;  // no trailing "/", the root as "/"; policy folders may hold "%APP%"
  bool fromPolicy = false;
};

// The folder list, in order.
const std::vector<TDatabaseFolder>& DatabaseFolders();

// Rebuilds the folder list (start-up): the policy folders of the current
// user, or else of the local machine; then the user folders of the settings
// unless the policy "DisableUserLocations" is true; the default folder when
// the list is still empty. Forgets which folders were unreachable.
void LoadDatabaseFolders();

// Replaces the user folders of the list by `userFolders` (policy folders
// stay), in their order. An empty list with no policy folder leaves the
// default folder.
void SetUserFolders(const std::vector<std::string>& userFolders);

// Writes the user folders to the settings ("DBFolders": "Folder1".. and
// "Count"), below the program's folder as "%APP%". Skipped without a word
// when the settings cannot be written; TError when a write fails.
void SaveUserFolders();

// "DefBasesPath" when set; else "My databases" in the documents folder
// (which is created when missing); else "Bases" in the program's folder.
std::string DefaultDatabaseFolder();

// The 1-based position of `folder` (as a scan names it, "%APP%" expanded) in
// the folder list; 0 when it is not there.
std::size_t FolderNumber(std::string_view folder);

// The folders found unreachable: skipped by every scan and watch until the
// folder list is loaded again.
bool IsFolderUnavailable(std::string_view folder);
void MarkFolderUnavailable(std::string_view folder);

// The template of database file names: the policy, else the setting, with
// its "*" where the running number goes.
std::string GetDbFileNameTemplate();
// A template given a "*" when it has none: "Vault.db" becomes "Vault*.db"
// (before the first "."), "Vault" becomes "Vault*". An empty template is the
// default one.
std::string TemplateWithNumber(std::string_view fileNameTemplate);

}  // namespace corvane
