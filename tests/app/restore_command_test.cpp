// The backup and restore commands: the choosers and questions they show, the
// copies they make, and where a restored file goes.

#include <gmock/gmock.h>

#include "app/backup.h"
#include "app/file_time_text.h"
#include "app/message_box.h"
#include "app/restore.h"
#include "app/runtime_settings.h"
#include "app/safe_file_name.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/app/locations_test_support.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::kTestPassword;
using testing::TLocationsTest;
using TChooser = testing::TScriptedFrontEnd::TChooser;

TEST(SafeFileNames, EveryUnsafeCharacterBecomesAnUnderscore) {
  EXPECT_EQ(SafeFileName("a/b\\c:d\"e?f*g>h<i|j"), "a_b_c_d_e_f_g_h_i_j");
  EXPECT_EQ(SafeFileName("Caf\xC3\xA9 & co."), "Caf\xC3\xA9 & co.");
}

class RestoreCommands : public TLocationsTest {
 protected:
  RestoreCommands() {
    UseFolders({files / "missing", first, second});
    MakeDatabase(first + "/CVBase1.dat", "Personal");
    MakeDatabase(second + "/CVBase1.dat", "Work");
    MakeDatabase(backup, "Personal");
    {
      TSettingsAccess access(true);
      WriteSetting(setting::BackupPath, files / "backups");
      access.Close();
    }
    ApplySettings();
    RefreshDatabases(false, false);
    frontEnd.messages.clear();
  }

  std::string first = Folder("first");
  std::string second = Folder("second");
  std::string backup = Folder("backups") + "/Personal.cvb";
};

TEST_F(RestoreCommands, BackupCopiesTheFileWhereThePersonChose) {
  TPwdBase& work = *KnownDatabases()[1].base;
  work.SetName("Work: a/b");  // not saved: the copy is of the file
  frontEnd.chosenPaths.push_back(files / "chosen.cvb");
  BackupCommand(work);
  ASSERT_EQ(frontEnd.choosers.size(), 1u);
  EXPECT_EQ(frontEnd.choosers[0].kind, TChooser::SaveFile);
  EXPECT_EQ(frontEnd.choosers[0].title, "Choose location for Work: a/b backup");
  EXPECT_EQ(frontEnd.choosers[0].fileName, "Work_ a_b");
  EXPECT_EQ(file_testing::ReadText(files / "chosen.cvb"), file_testing::ReadText(second + "/CVBase1.dat"));
  EXPECT_THAT(frontEnd.MessageTexts(), ElementsAre("The database 'Work: a/b' was successfully backed up as " + files / "chosen.cvb"));

  BackupCommand(work);  // cancelled: nothing
  EXPECT_EQ(frontEnd.messages.size(), 1u);
}

TEST_F(RestoreCommands, OverTheDatabaseOfTheSameNameKeepingItReadOnly) {
  const std::string target = first + "/CVBase1.dat";
  TPwdBase& personal = *KnownDatabases()[0].base;
  personal.Open(kTestPassword);
  SetReadOnly(target, true);
  frontEnd.chosenPaths.push_back(backup);
  frontEnd.restoreChoices.push_back(TRestoreChoice::OverExisting);

  EXPECT_EQ(RestoreCommand(), target);
  EXPECT_EQ(frontEnd.choosers.at(0).title, "Choose file to restore from");
  EXPECT_EQ(frontEnd.choosers.at(0).startFolder, files / "backups");
  ASSERT_EQ(frontEnd.restoreQuestions.size(), 1u);
  EXPECT_EQ(frontEnd.restoreQuestions[0].message,
            "You are about to restore database 'Personal' from backup.\nBut database with the same name is exists.");
  EXPECT_EQ(frontEnd.restoreQuestions[0].backupModified, FileTimeText(backup));
  EXPECT_FALSE(frontEnd.restoreQuestions[0].existingModified.empty());
  EXPECT_EQ(file_testing::ReadText(target), file_testing::ReadText(backup));
  EXPECT_TRUE(GetFileInfo(target).IsReadOnly());
  EXPECT_EQ(KnownDatabases().size(), 2u);
  EXPECT_THAT(frontEnd.MessageTexts(), ElementsAre("Personal was successfully restored from backup."));
}

TEST_F(RestoreCommands, OverAModifiedDatabaseAsksToSaveAndItsCancelRestoresNothing) {
  const std::string target = first + "/CVBase1.dat";
  const std::string before = file_testing::ReadText(target);
  TPwdBase& personal = *KnownDatabases()[0].base;
  personal.Open(kTestPassword);
  personal.SetModified(true);
  frontEnd.chosenPaths.push_back(backup);
  frontEnd.restoreChoices.push_back(TRestoreChoice::OverExisting);
  frontEnd.messageAnswers.push_back(kIdCancel);

  EXPECT_EQ(RestoreCommand(), std::nullopt);
  EXPECT_EQ(frontEnd.messages.size(), 1u);  // the save question
  EXPECT_TRUE(IsDatabaseOpen(personal));
  EXPECT_EQ(file_testing::ReadText(target), before);
}

TEST_F(RestoreCommands, AsNewGoesBesideTheDatabaseOfTheSameName) {
  frontEnd.chosenPaths.push_back(backup);
  frontEnd.restoreChoices.push_back(TRestoreChoice::AsNew);
  EXPECT_EQ(RestoreCommand(), first + "/CVBase2.dat");
  EXPECT_EQ(file_testing::ReadText(first + "/CVBase2.dat"), file_testing::ReadText(backup));
  EXPECT_EQ(KnownDatabases().size(), 3u);
}

TEST_F(RestoreCommands, AnUnknownNameBecomesANewFileInTheFirstExistingFolder) {
  const std::string other = files / "backups/Other.cvb";
  MakeDatabase(other, "Other");
  frontEnd.chosenPaths.push_back(other);
  EXPECT_EQ(RestoreCommand(), first + "/CVBase2.dat");
  EXPECT_THAT(frontEnd.restoreQuestions, IsEmpty());
  EXPECT_EQ(DisplayName(*FindKnownDatabase(first + "/CVBase2.dat")), "Other");
}

TEST_F(RestoreCommands, CancelsRestoreNothing) {
  EXPECT_EQ(RestoreCommand(), std::nullopt);  // the chooser cancelled
  frontEnd.chosenPaths.push_back(backup);
  frontEnd.restoreChoices.push_back(TRestoreChoice::Cancel);
  EXPECT_EQ(RestoreCommand(), std::nullopt);
  EXPECT_EQ(ListFiles(first).size(), 1u);
  EXPECT_THAT(frontEnd.messages, IsEmpty());
}

TEST_F(RestoreCommands, NoFolderThatCanTakeTheFile) {
  file_testing::WriteText(files / "a-file", "");
  UseFolders({files / "a-file/one", files / "a-file/two"});
  RefreshDatabases(false, false);
  frontEnd.chosenPaths.push_back(backup);
  EXPECT_EQ(RestoreCommand(), std::nullopt);
  EXPECT_THAT(frontEnd.MessageTexts(), ElementsAre("Cannot restore database. No valid locations are found."));
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
}

TEST_F(RestoreCommands, AFileThatIsNoDatabaseIsRefused) {
  file_testing::WriteText(files / "backups/notes.txt", "just notes");
  frontEnd.chosenPaths.push_back(files / "backups/notes.txt");
  EXPECT_THROW(RestoreCommand(), TError);
  EXPECT_EQ(ListFiles(first).size(), 1u);
}

TEST_F(RestoreCommands, FileTimeTextIsEmptyForAMissingFile) {
  EXPECT_EQ(FileTimeText(files / "nothing"), "");
  EXPECT_FALSE(FileTimeText(backup).empty());
}

}  // namespace
}  // namespace corvane
