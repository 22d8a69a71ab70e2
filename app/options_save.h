#pragma once
// Saving the options editor's values: the checks, the questions and the
// writes that follow OK in the options editor, as one service that any editor
// (the window's dialog, a command) calls with its values.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace corvane {

// The editor's values, as the person left them. Boxes that hold typed numbers
// are texts, as the editor has them.
struct TOptionsValues {
  // Locations
  std::size_t policyFolderCount = 0;     // the folders that come from policy
  std::vector<std::string> userFolders;  // the person's folders, in order
  bool templateShown = true;             // false while a policy sets the template
  std::string fileNameTemplate;
  std::string shownTemplate;  // the template as it was when the editor opened
  // General
  std::int32_t minBasePassword = 8;
  bool autoClose = true;
  std::string autoCloseSeconds;
  bool defExpTimeEnabled = false;
  std::string defExpTime;
  bool defShowPassword = false;
  bool expandFolders = true;
  // Backup
  bool backupOnSaveEditable = true;  // false while a policy decides it
  bool backupOnSave = true;
  std::string backupCount;
  bool backupFolderEditable = true;  // false while a policy names the folder
  std::string backupFolder;          // "%APP%" expanded
};

// What the service needs of the folder list, which lives elsewhere.
struct TOptionsSaveHooks {
  // Replaces the user folders of the program's folder list (policy folders
  // stay) and saves them.
  std::function<void(const std::vector<std::string>& userFolders)> saveUserFolders;
  // Renames every known database file by the new template.
  std::function<void(const std::string& newTemplate)> renameDatabaseFiles;
};

enum class TOptionsSaveResult {
  Saved,
  FixFolders,   // no folder at all: the editor stays with the folder list focused
  FixTemplate,  // the template has no "*": the editor stays with it focused
  Canceled,     // the person cancelled the renaming question: the editor stays
  Failed,       // a write failed (the message was shown): the editor stays
};

// Runs the save. The values are updated as the editor should show them
// afterwards: the template trimmed (or put back when the person keeps the old
// one), check boxes cleared whose boxes were left empty or at 0. Messages are
// shown through the front end; settings that cannot be written (store not
// writable) are skipped without a message. Ends with ApplySettings.
TOptionsSaveResult SaveOptions(TOptionsValues& values, const TOptionsSaveHooks& hooks);

}  // namespace corvane
