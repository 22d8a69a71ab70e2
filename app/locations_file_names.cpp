#include "app/locations_file_names.h"

#include "app/app_path.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/locations_path.h"
#include "app/session_close.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace corvane {

namespace {

std::string FirstExistingFolder() {
  std::string folder;
  for (const TDatabaseFolder& entry : DatabaseFolders()) {
    folder = ExpandAppPath(entry.path);
    if (FolderExists(folder)) break;
  }
  return folder;
}

std::string WithNumber(const std::string& pattern, std::uint64_t number) {
  std::string name;
  for (const char c : pattern) {
    if (c == '*') {
      name += std::to_string(number);
    } else {
      name += c;
    }
  }
  return name;
}

}  // namespace

std::string NewDatabaseFileName(const std::string& folder) {
  const std::string directory = folder.empty() ? FirstExistingFolder() : folder;
  const std::string pattern = GetDbFileNameTemplate();
  for (std::uint64_t number = 1;; ++number) {
    const std::string candidate = JoinPath(directory, WithNumber(pattern, number));
    if (!FileExists(candidate) && !FindKnownDatabase(candidate)) return candidate;
  }
}

void RenameAllDatabases() {
  CloseAllDatabases();
  for (TKnownDatabase& known : KnownDatabases()) {
    TPwdBase& base = *known.base;
    if (IsDatabaseOpen(base)) continue;  // its save failed: it keeps its file
    const std::string newName = NewDatabaseFileName(FolderOfFile(base.FileName));
    try {
      RenameFile(base.FileName, newName);
      base.FileName = newName;
    } catch (const TError&) {
      // The file keeps its name; it is still found by its old one.
    }
  }
}

}  // namespace corvane
