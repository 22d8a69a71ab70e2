// Automatic backups before a save: names, rotation, the settings in force,
// and failures that must not stop the save.

#include <gmock/gmock.h>

#include "app/backup.h"
#include "app/policies.h"
#include "app/runtime_settings.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "tests/app/locations_test_support.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::TLocationsTest;

// 31 December 2008, 14:05:09.
constexpr double kNewYearsEve = 39813 + (14 * 3600 + 5 * 60 + 9) / 86400.0;

TEST(BackupNames, TimestampedAfterTheBaseName) {
  EXPECT_EQ(AutoBackupName("/db/CVBase1.dat", kNewYearsEve), "CVBase1_20081231_140509.cvb");
  EXPECT_EQ(AutoBackupName("/db/Vault", 39813.0), "Vault_20081231_000000.cvb");
  EXPECT_EQ(AutoBackupName("/db/my.vault.db", kNewYearsEve + 0.998 / 86400), "my.vault_20081231_140509.cvb");
}

TEST(BackupNames, OnlyExactCopiesBelongToADatabase) {
  const std::pair<const char*, bool> cases[] = {
      {"CVBase1_20081231_140509.cvb", true},  {"CVBase1_20081231_140509.CVB", true},
      {"CVBase10_20081231_140509.cvb", false},  // the copies of CVBase10.dat
      {"CVBase1_old.cvb", false},              {"CVBase1_20081231-140509.cvb", false},
      {"CVBase1_2008123_1405091.cvb", false},  {"CVBase1_20081231_140509.dat", false},
      {"cvbase1_20081231_140509.cvb", false},  {"CVBase1.cvb", false},
  };
  for (const auto& [name, belongs] : cases) EXPECT_EQ(IsAutoBackupOf("/db/CVBase1.dat", name), belongs) << name;
}

class BackupAuto : public TLocationsTest {
 protected:
  BackupAuto() {
    database.FileName = dbs + "/CVBase1.dat";
    UseFolders({dbs});
    MakeDatabase(database.FileName, "Main");
    SetBackupSettings(true, 5, backups);
  }

  void SetBackupSettings(bool onSave, int count, const std::string& folder) {
    TSettingsAccess access(true);
    WriteSetting(setting::BackupOnSave, onSave);
    WriteSetting(setting::BackupCnt, count);
    WriteSetting(setting::BackupPath, folder);
    access.Close();
    ApplySettings();
  }

  std::vector<std::string> Copies(const std::string& folder) const {
    std::vector<std::string> names;
    for (const TFileInfo& file : ListFiles(folder)) names.push_back(file.name);
    return names;
  }

  std::string dbs = Folder("dbs");
  std::string backups = files / "backups";
  TPwdBase database;
  TFakeClock clock{0, kNewYearsEve};
};

TEST_F(BackupAuto, SevenOldCopiesRotateToFiveKeepingOtherDatabasesCopies) {
  CreateFolder(backups);
  std::vector<std::string> old;
  for (int day = 1; day <= 7; ++day) old.push_back("CVBase1_200812" + std::to_string(10 + day) + "_120000.cvb");
  const std::vector<std::string> others = {"CVBase10_20080101_000000.cvb", "CVBase1_keep.cvb"};
  for (const std::string& name : old) file_testing::WriteText(backups + "/" + name, name);
  for (const std::string& name : others) file_testing::WriteText(backups + "/" + name, name);

  AutoBackup(database);
  EXPECT_THAT(frontEnd.messages, IsEmpty());
  // The three oldest go: four old copies and the new one make five.
  EXPECT_THAT(Copies(backups), ElementsAre("CVBase10_20080101_000000.cvb", "CVBase1_20081214_120000.cvb",
                                           "CVBase1_20081215_120000.cvb",
                                           "CVBase1_20081216_120000.cvb", "CVBase1_20081217_120000.cvb",
                                           "CVBase1_20081231_140509.cvb", "CVBase1_keep.cvb"));
  EXPECT_EQ(file_testing::ReadText(backups + "/CVBase1_20081231_140509.cvb"), file_testing::ReadText(database.FileName));
}

TEST_F(BackupAuto, TwoSavesInOneSecondShareOneCopy) {
  AutoBackup(database);  // the folder is made on the way
  file_testing::WriteText(database.FileName, "second save");
  clock.SetDate(kNewYearsEve + 0.5 / 86400);
  AutoBackup(database);
  EXPECT_THAT(Copies(backups), ElementsAre("CVBase1_20081231_140509.cvb"));
  EXPECT_EQ(file_testing::ReadText(backups + "/CVBase1_20081231_140509.cvb"), "second save");
}

TEST_F(BackupAuto, ACountBelowOneStillKeepsTheNewCopy) {
  SetBackupSettings(true, 0, backups);
  AutoBackup(database);
  clock.SetDate(kNewYearsEve + 1);
  AutoBackup(database);
  EXPECT_THAT(Copies(backups), ElementsAre("CVBase1_20090101_140509.cvb"));
}

TEST_F(BackupAuto, NothingWhenOffOrWithoutAFile) {
  SetBackupSettings(false, 5, backups);
  AutoBackup(database);
  SetBackupSettings(true, 5, backups);
  TRegKey::Create(THive::LocalMachine, kPolicyKey).SetDWord("DisableAutoBackup", 1);
  AutoBackup(database);
  TPwdBase unsaved;
  unsaved.FileName = dbs + "/CVBase9.dat";
  AutoBackup(unsaved);
  EXPECT_FALSE(FolderExists(backups));
  EXPECT_THAT(frontEnd.messages, IsEmpty());
}

TEST_F(BackupAuto, IndividualSettingsOverrideTheProgramsAndThePolicy) {
  TRegKey policies = TRegKey::Create(THive::LocalMachine, kPolicyKey);
  policies.SetDWord("DisableAutoBackup", 1);
  database.OptionFlags = kIndividualBackup | kMakeBackupCopies;
  database.BackupFolder = "%APP%/own backups";
  database.BackupCount = 2;
  TBackupSettings settings = BackupSettingsFor(database);
  EXPECT_TRUE(settings.enabled);
  EXPECT_EQ(settings.folder, program / "own backups");
  EXPECT_EQ(settings.count, 2);

  // A count of 0 and no folder of its own: the program's count, and the
  // policy folder before the program's.
  policies.SetString("AutoBackupFolder", "%APP%/policy backups");
  database.BackupFolder.clear();
  database.BackupCount = 0;
  settings = BackupSettingsFor(database);
  EXPECT_EQ(settings.folder, program / "policy backups");
  EXPECT_EQ(settings.count, 5);

  database.OptionFlags = kIndividualBackup;
  EXPECT_FALSE(BackupSettingsFor(database).enabled);
}

TEST_F(BackupAuto, AFolderThatCannotBeMadeIsReportedAndTheSaveGoesOn) {
  file_testing::WriteText(files / "a-file", "");
  SetBackupSettings(true, 5, files / "a-file/backups");
  EXPECT_NO_THROW(AutoBackup(database));
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_THAT(frontEnd.messages[0].text, ::testing::StartsWith("Error during backup operation.\n"));
  EXPECT_THAT(frontEnd.messages[0].text, HasSubstr(files / "a-file/backups"));
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
}

}  // namespace
}  // namespace corvane
