// The folder list (policy folders, user folders, the default folder), saving
// the user folders, and the file-name template.

#include <gmock/gmock.h>

#include "app/policies.h"
#include "platform/registry.h"
#include "tests/app/locations_test_support.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using testing::TLocationsTest;

struct TFolderView {
  std::string path;
  bool fromPolicy;
  bool operator==(const TFolderView&) const = default;
};
void PrintTo(const TFolderView& folder, std::ostream* os) {
  *os << (folder.fromPolicy ? "policy " : "user ") << folder.path;
}

std::vector<TFolderView> Folders() {
  std::vector<TFolderView> view;
  for (const TDatabaseFolder& folder : DatabaseFolders()) view.push_back({folder.path, folder.fromPolicy});
  return view;
}

void PutPolicyFolders(THive hive, const std::vector<std::string>& folders) {
  TRegKey key = TRegKey::Create(hive, kPolicyLocationsKey);
  for (std::size_t i = 0; i < folders.size(); ++i) key.SetString("DBFolder" + std::to_string(i + 1), folders[i]);
}

class LocationsFolders : public TLocationsTest {};

TEST_F(LocationsFolders, PolicyFoldersComeFirstAndTheUsersHiveWins) {
  PutPolicyFolders(THive::LocalMachine, {"/machine/a"});
  UseFolders({"/home/u/dbs"});
  EXPECT_THAT(Folders(), ElementsAre(TFolderView{"/machine/a", true}, TFolderView{"/home/u/dbs", false}));

  // The current user's policy folders replace the machine's; numbering stops at
  // the first gap; "%APP%" in a policy folder stays as written.
  TRegKey user = TRegKey::Create(THive::CurrentUser, kPolicyLocationsKey);
  user.SetString("DBFolder1", "%APP%/shared");
  user.SetString("DBFolder2", "/user/b");
  user.SetString("DBFolder4", "/after/gap");
  LoadDatabaseFolders();
  EXPECT_THAT(Folders(), ElementsAre(TFolderView{"%APP%/shared", true}, TFolderView{"/user/b", true},
                                     TFolderView{"/home/u/dbs", false}));
  EXPECT_EQ(FolderNumber(program / "shared"), 1u);
  EXPECT_EQ(FolderNumber("/home/u/dbs/"), 3u);
  EXPECT_EQ(FolderNumber("/elsewhere"), 0u);
}

TEST_F(LocationsFolders, DisableUserLocationsHidesTheUsersFolders) {
  TRegKey::Create(THive::LocalMachine, kPolicyKey).SetDWord("DisableUserLocations", 1);
  UseFolders({"/home/u/dbs"});
  // No policy folder either: the default folder alone.
  EXPECT_THAT(Folders(), ElementsAre(TFolderView{files / "documents/My databases", false}));

  PutPolicyFolders(THive::LocalMachine, {"/srv/dbs"});
  LoadDatabaseFolders();
  EXPECT_THAT(Folders(), ElementsAre(TFolderView{"/srv/dbs", true}));
}

TEST_F(LocationsFolders, UserFoldersExpandTheProgramFolderAndEmptyIsTheRoot) {
  UseFolders({"%APP%/Data/", "", "/plain"});
  EXPECT_THAT(Folders(), ElementsAre(TFolderView{program / "Data", false}, TFolderView{"/", false},
                                     TFolderView{"/plain", false}));
}

class LocationsSave : public TLocationsTest, public ::testing::WithParamInterface<testing::TStoreMode> {
 protected:
  LocationsSave() { StartIn(GetParam()); }
};

TEST_P(LocationsSave, UserFoldersRoundTripThroughTheSettings) {
  PutPolicyFolders(THive::CurrentUser, {"/policy"});
  UseFolders({"/a", "/b", "/c"});
  SetUserFolders({program / "Data", "/elsewhere"});
  SaveUserFolders();
  {
    TSettingsAccess access(false);
    ASSERT_TRUE(access);
    EXPECT_EQ(ReadSetting(setting::FolderCount), 2);
    EXPECT_EQ(Settings().ReadString(setting::kDBFolders, "Folder1", ""), "%APP%/Data");
    EXPECT_EQ(Settings().ReadString(setting::kDBFolders, "Folder2", ""), "/elsewhere");
    // The value above the count stays and is ignored.
    EXPECT_EQ(Settings().ReadString(setting::kDBFolders, "Folder3", ""), "/c");
  }
  LoadDatabaseFolders();
  EXPECT_THAT(Folders(), ElementsAre(TFolderView{"/policy", true}, TFolderView{program / "Data", false},
                                     TFolderView{"/elsewhere", false}));
}

INSTANTIATE_TEST_SUITE_P(Modes, LocationsSave, ::testing::Values(testing::TStoreMode::Ini, testing::TStoreMode::Registry),
                         testing::ModeName);

TEST_F(LocationsFolders, DefaultFolder) {
  EXPECT_EQ(DefaultDatabaseFolder(), files / "documents/My databases");
  EXPECT_TRUE(FolderExists(files / "documents"));  // the documents folder is made when missing

  {
    file_testing::WriteText(files / "not-a-folder", "");
    file_testing::TScopedEnv unusable("XDG_DOCUMENTS_DIR", files / "not-a-folder/documents");
    EXPECT_EQ(DefaultDatabaseFolder(), program / "Bases");
  }

  TSettingsAccess access(true);
  WriteSetting(setting::DefBasesPath, "%APP%/Shared bases");
  access.Close();
  EXPECT_EQ(DefaultDatabaseFolder(), program / "Shared bases");
}

TEST_F(LocationsFolders, TemplateGetsItsNumberPlace) {
  const std::pair<const char*, const char*> cases[] = {
      {"Vault.db", "Vault*.db"}, {"Vault", "Vault*"},       {"my.vault.db", "my*.vault.db"},
      {"DB*.cvd", "DB*.cvd"},     {"", "CVBase*.dat"},
  };
  for (const auto& [given, expected] : cases) EXPECT_EQ(TemplateWithNumber(given), expected) << given;
}

TEST_F(LocationsFolders, TemplateFromPolicyOrSettings) {
  EXPECT_EQ(GetDbFileNameTemplate(), "CVBase*.dat");
  {
    TSettingsAccess access(true);
    WriteSetting(setting::DbFileNameTemplate, "Vault.db");
    access.Close();
  }
  EXPECT_EQ(GetDbFileNameTemplate(), "Vault*.db");
  TRegKey::Create(THive::CurrentUser, kUserPolicyKey).SetString("DbFileNameTemplate", "Team");
  EXPECT_EQ(GetDbFileNameTemplate(), "Team*");
}

}  // namespace
}  // namespace corvane
