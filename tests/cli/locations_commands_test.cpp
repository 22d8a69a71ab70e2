// databases, backup, restore and config: the commands on the program's
// database folders and settings, through the built program.

#include <gmock/gmock.h>
#include <unistd.h>

#include <filesystem>

#include "engine/base.h"
#include "engine/cipher_registry.h"
#include "engine/dbfile.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "tests/cli/cli_test_support.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using cli_testing::TRun;

class LocationsCommands : public cli_testing::TCliTest {
 protected:
  LocationsCommands() {
    CreateFolder(first);
    CreateFolder(second);
    TRegKey folders = TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\DBFolders");
    folders.SetString("Folder1", first);
    folders.SetString("Folder2", second);
    folders.SetDWord("Count", 2);
  }

  static void MakeDatabase(const std::string& path, const std::string& name) {
    CreateDatabaseFile(path, name, "", "secret", std::string(1, AllAlgorithms()[0]))->Close();
  }

  std::string first = File("first"), second = File("second");
  // The registry the program runs with, for the test's own writes.
  file_testing::TScopedEnv userRegistry{"CORVANE_USER_REGISTRY", File(".registry.sqlite")};
  file_testing::TScopedEnv machineRegistry{"CORVANE_MACHINE_REGISTRY", File(".registry.sqlite")};
  file_testing::TScopedEnv documents{"XDG_DOCUMENTS_DIR", File("documents")};
};

// Runs in `folder` as the current folder.
class TWorkingFolder {
 public:
  explicit TWorkingFolder(const std::string& folder) : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~TWorkingFolder() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

TEST_F(LocationsCommands, DatabasesShowsCaptionsFilesAndReadOnlyState) {
  MakeDatabase(first + "/CVBase1.dat", "Personal");
  MakeDatabase(first + "/CVBase2.dat", "Work");
  MakeDatabase(second + "/CVBase1.dat", "Personal");
  file_testing::WriteText(second + "/CVBase1.dat.lock", "");
  SetReadOnly(first + "/CVBase2.dat", true);

  const TRun text = Run({"databases"});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out, "Personal - 1\t" + first + "/CVBase1.dat\n" + "Work\t" + first + "/CVBase2.dat\tread-only\n" +
                          "Personal - 2\t" + second + "/CVBase1.dat\n");
  const TRun json = Run({"databases", "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  EXPECT_THAT(json.out, HasSubstr("\"displayName\": \"Personal - 2\""));
  EXPECT_THAT(json.out, HasSubstr("\"name\": \"Personal\""));
  EXPECT_THAT(json.out, HasSubstr("\"file\": \"" + first + "/CVBase2.dat\",\n    \"readOnly\": true"));
}

TEST_F(LocationsCommands, BackupNamesTheCopyAfterTheDatabaseAndKeepsExistingFiles) {
  const std::string database = first + "/CVBase1.dat";
  MakeDatabase(database, "Home/Mail: old");
  TWorkingFolder here(second);
  const std::string copy = second + "/Home_Mail_ old.cvb";

  TRun run = Run({"backup", database});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "The database 'Home/Mail: old' was successfully backed up as " + copy + "\n");
  EXPECT_EQ(file_testing::ReadText(copy), file_testing::ReadText(database));

  run = Run({"backup", database});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("already exists"));
  run = Run({"backup", database, File("elsewhere.cvb")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Run({"backup", database, copy, "--force"}).exitCode, 0);
}

TEST_F(LocationsCommands, RestoreAsksOrTakesTheAnswerFromAnOption) {
  const std::string existing = first + "/CVBase1.dat";
  MakeDatabase(existing, "Personal");
  const std::string backup = File("Personal.cvb");
  MakeDatabase(backup, "Personal");

  TRun run = Run({"restore", backup});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("use --over or --as-new"));
  EXPECT_EQ(Run({"restore", backup, "--over", "--as-new"}).exitCode, 2);

  run = Run({"restore", backup, "--as-new"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Personal was successfully restored from backup.\n" + first + "/CVBase2.dat\n");

  SetReadOnly(existing, true);
  run = Run({"restore", backup, "--over"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr(existing + "\n"));
  EXPECT_EQ(file_testing::ReadText(existing), file_testing::ReadText(backup));
  EXPECT_TRUE(GetFileInfo(existing).IsReadOnly());

  file_testing::WriteText(File("notes.txt"), "no database");
  run = Run({"restore", File("notes.txt"), "--as-new"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("Invalid database signature."));
}

TEST_F(LocationsCommands, ConfigShowsAndSetsSettings) {
  TRun run = Run({"config"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("BackupCnt = 5\n"));
  EXPECT_THAT(run.out, HasSubstr("AutoCloseTimeSec = 300\n"));
  EXPECT_THAT(run.out, HasSubstr("BackupPath = " + first + "/Backup\n"));
  EXPECT_THAT(run.out, HasSubstr("DbFileNameTemplate = CVBase*.dat\n"));

  run = Run({"config", "backupcnt", "10"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "BackupCnt = 10\n");
  EXPECT_EQ(Run({"config", "BackupCnt"}).out, "BackupCnt = 10\n");
  EXPECT_EQ(Run({"config", "AutoClose", "off"}).out, "AutoClose = false\n");

  struct TCase {
    std::vector<std::string> args;
    int exitCode;
    const char* message;
  };
  const TCase refusals[] = {
      {{"config", "BackupCnt", "0"}, 1, "from 1 to 99"},
      {{"config", "BackupCnt", "7x"}, 1, "from 1 to 99"},
      {{"config", "AutoClose", "maybe"}, 1, "true or false"},
      {{"config", "AutoCloseTime", "3"}, 1, "never written"},
      {{"config", "DbFileNameTemplate", "Vault.db"}, 1, "Invalid database file name template."},
      {{"config", "NoSuchSetting"}, 2, "Unknown setting 'NoSuchSetting'."},
  };
  for (const TCase& c : refusals) {
    run = Run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1];
    EXPECT_THAT(run.err, HasSubstr(c.message));
  }
  EXPECT_EQ(Run({"config", "BackupCnt"}).out, "BackupCnt = 10\n");
}

TEST_F(LocationsCommands, ConfigHonoursPoliciesAndRenamesForANewTemplate) {
  MakeDatabase(first + "/CVBase1.dat", "One");
  MakeDatabase(second + "/CVBase4.dat", "Two");
  TRun run = Run({"config", "DbFileNameTemplate", "Vault*.db"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(FileExists(first + "/Vault1.db"));
  EXPECT_TRUE(FileExists(second + "/Vault1.db"));
  EXPECT_FALSE(FileExists(first + "/CVBase1.dat"));
  EXPECT_THAT(Run({"databases"}).out, HasSubstr("Two\t" + second + "/Vault1.db\n"));

  TRegKey policies = TRegKey::Create(THive::CurrentUser, "Software\\Corvane\\Policies");
  policies.SetString("AutoBackupFolder", "/srv/backups");
  policies.SetDWord("DisableAutoBackup", 0);
  run = Run({"config"});
  EXPECT_THAT(run.out, HasSubstr("BackupPath = /srv/backups (set by the policy AutoBackupFolder)\n"));
  EXPECT_THAT(run.out, HasSubstr("BackupOnSave = true (set by the policy DisableAutoBackup)\n"));
  run = Run({"config", "BackupPath", "/tmp/mine"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("set by the policy AutoBackupFolder"));
}

}  // namespace
}  // namespace corvane
