// Saving and closing open databases: the save question, the backup made
// before a save, a read-only database that is never written, and closing all.

#include <gtest/gtest.h>

#include "app/message_box.h"
#include "app/session_close.h"
#include "app/session_open.h"
#include "app/session_save.h"
#include "platform/error.h"
#include "platform/file.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using testing::TSessionTest;

class CloseDatabaseTest : public TSessionTest {
 protected:
  // Opens the database and renames it, which marks it modified. A read-only
  // one refuses changes, so it is only marked (as when it became read only
  // after a change).
  void OpenAndChange(TPwdBase& base, const std::string& newName = "Changed") {
    frontEnd.passwords.push_back("pw");
    ASSERT_TRUE(OpenDatabase(base));
    if (base.ReadOnly)
      base.SetModified(true);
    else
      base.SetName(newName);
    ASSERT_TRUE(base.Modified);
  }
  // The name stored in the file now.
  static std::string NameInFile(const TPwdBase& base) {
    TPwdBase reader;
    reader.FileName = base.FileName;
    reader.Open("pw");
    return reader.Name;
  }
};

TEST_F(CloseDatabaseTest, CancelInTheSaveQuestionKeepsTheDatabaseOpen) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  OpenAndChange(base);
  frontEnd.hooks.clear();
  frontEnd.messageAnswers = {kIdCancel};
  EXPECT_FALSE(CloseDatabase(base));
  EXPECT_TRUE(IsDatabaseOpen(base));
  EXPECT_TRUE(base.Modified);
  EXPECT_EQ(base.Name, "Changed");
  EXPECT_EQ(frontEnd.hooks, (std::vector<std::string>{"StoreListSelection", "BringToFront"}))
      << "the tree is not redrawn";
  const TMessageRequest& question = frontEnd.messages.at(0);
  EXPECT_EQ(question.text, "The database 'Changed' was modified.\n\nDo you wish to save changes ?");
  EXPECT_EQ(question.icon, TMsgIcon::Question);
  EXPECT_EQ(question.buttons.size(), 3u);
  EXPECT_EQ(NameInFile(base), "Home");
}

TEST_F(CloseDatabaseTest, YesSavesWithABackupAndNoDropsTheChanges) {
  TPwdBase& saved = AddDatabase("CVBase1.dat", "Home");
  OpenAndChange(saved, "Saved");
  frontEnd.messageAnswers = {kIdYes};
  EXPECT_TRUE(CloseDatabase(saved));
  EXPECT_FALSE(IsDatabaseOpen(saved));
  EXPECT_FALSE(saved.FileStream.IsOpen());
  EXPECT_EQ(NameInFile(saved), "Saved");
  EXPECT_EQ(BackupFiles().size(), 1u);

  TPwdBase& dropped = AddDatabase("CVBase2.dat", "Work");
  OpenAndChange(dropped, "Dropped");
  frontEnd.messageAnswers = {kIdNo};
  EXPECT_TRUE(CloseDatabase(dropped));
  EXPECT_EQ(NameInFile(dropped), "Work");
  EXPECT_EQ(BackupFiles().size(), 1u);
}

TEST_F(CloseDatabaseTest, ReadOnlyDatabaseIsNeverWrittenOverAnotherWriter) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  TFile otherWriter = TFile::Open(base.FileName, TFile::TMode::kWrite);
  OpenAndChange(base);
  ASSERT_TRUE(base.ReadOnly);
  try {
    SaveDatabase(base, /*makeBackup=*/true);
    FAIL() << "a read-only database was saved";
  } catch (const TError& error) {
    EXPECT_STREQ(error.what(), "The database 'Home' is opened in read only mode and cannot be saved.");
  }
  otherWriter.Close();
  EXPECT_EQ(NameInFile(base), "Home");
  EXPECT_TRUE(BackupFiles().empty());
  EXPECT_EQ(ModalCount(), 0);
}

TEST_F(CloseDatabaseTest, SaveDoesNotCountAsAChangeOfTheWatchedFolder) {
  TPwdBase& base = AddDatabase("CVBase1.dat", "Home");
  OpenAndChange(base);
  FolderChanges().Watch({folder});
  SaveDatabase(base, /*makeBackup=*/false);
  EXPECT_FALSE(base.Modified);
  EXPECT_FALSE(FolderChanges().PendingChange().has_value());
  EXPECT_TRUE(BackupFiles().empty());
  EXPECT_EQ(frontEnd.hooks.back(), "StoreListSelection");
}

TEST_F(CloseDatabaseTest, CloseAllSavesModifiedOnesAndGoesOnAfterAFailure) {
  TPwdBase& busy = AddDatabase("CVBase1.dat", "Busy");
  TPwdBase& changed = AddDatabase("CVBase2.dat", "Work");
  TPwdBase& untouched = AddDatabase("CVBase3.dat", "Home");
  TFile otherWriter = TFile::Open(busy.FileName, TFile::TMode::kWrite);
  OpenAndChange(busy, "Busy changed");
  OpenAndChange(changed, "Work changed");
  frontEnd.passwords.push_back("pw");
  ASSERT_TRUE(OpenDatabase(untouched));
  frontEnd.messages.clear();

  CloseAllDatabases();
  EXPECT_TRUE(IsDatabaseOpen(busy)) << "could not be saved: stays open";
  EXPECT_FALSE(IsDatabaseOpen(changed));
  EXPECT_FALSE(IsDatabaseOpen(untouched));
  EXPECT_EQ(NameInFile(changed), "Work changed");
  ASSERT_EQ(frontEnd.messages.size(), 1u) << "no save question, one error";
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
}

}  // namespace
}  // namespace corvane
