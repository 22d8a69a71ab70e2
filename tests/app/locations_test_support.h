#pragma once
// The environment of the database-location tests: the application-services
// environment (private registry, program folder, scripted front end) with a
// private documents folder, an empty known-database list, and real database
// files made through the engine.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/folder_watch_poll.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/dbfile.h"
#include "platform/folders.h"
#include "tests/app/app_test_support.h"

namespace corvane::testing {

inline constexpr const char* kTestPassword = "pw";

class TLocationsTest : public TAppTest {
 protected:
  TLocationsTest() {
    StartIn(TStoreMode::Registry);
    KnownDatabases().clear();
    LoadDatabaseFolders();
  }
  ~TLocationsTest() override {
    KnownDatabases().clear();
    FolderChanges().Watch({});
  }

  // Makes the user folders (full paths, or texts with "%APP%") the settings'
  // folders and loads the folder list.
  void UseFolders(const std::vector<std::string>& folders) {
    {
      TSettingsAccess access(true);
      for (std::size_t i = 0; i < folders.size(); ++i)
        Settings().WriteString(setting::kDBFolders, FolderKeyName(static_cast<int>(i) + 1), folders[i]);
      WriteSetting(setting::FolderCount, static_cast<std::int32_t>(folders.size()));
      access.Close();
    }
    LoadDatabaseFolders();
  }

  // A folder inside the test's own temporary folder, created.
  std::string Folder(const std::string& name) {
    const std::string path = files / name;
    CreateFolder(path);
    return path;
  }

  // A database file with the name `name`, closed again.
  static void MakeDatabase(const std::string& path, const std::string& name) {
    std::unique_ptr<TPwdBase> base = CreateDatabaseFile(path, name, "", kTestPassword, std::string(1, AllAlgorithms()[0]));
    base->Close();
  }

  // The file names of the known databases, in list order.
  static std::vector<std::string> KnownFiles() {
    std::vector<std::string> names;
    for (const TKnownDatabase& known : KnownDatabases()) names.push_back(known.base->FileName);
    return names;
  }

  file_testing::TTempFolder files;
  file_testing::TScopedEnv documents{"XDG_DOCUMENTS_DIR", files / "documents"};
};

}  // namespace corvane::testing
