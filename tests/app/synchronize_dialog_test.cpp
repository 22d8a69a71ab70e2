// The synchronise dialog's services: the databases a folder offers and the one
// preselected, the remembered choice, when OK is enabled and what it runs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/session_open.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/synchronize_dialog.h"
#include "platform/file_system.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

class SynchronizeDialog : public TSessionTest {
 protected:
  // The open local database "Private", and a folder "card" holding another
  // database "Work", a copy of the local file renamed "PRIVATE", and files
  // that are no databases.
  SynchronizeDialog() : local(AddDatabase("CVBase1.dat", "Private")) {
    MakeDatabase(JoinPath(card, "A.dat"), "Work");
    copyFile = JoinPath(card, "B.dat");
    CopyFile(local.FileName, copyFile);
    TPwdBase copy;
    copy.FileName = copyFile;
    copy.Open(kTestPassword);
    copy.SetName("PRIVATE");
    copy.Save();
    copy.Close();
    file_testing::WriteText(JoinPath(card, "C.txt"), "not a database");
    file_testing::WriteText(JoinPath(card, "D.dat"), "");
    const TSecretText password(kTestPassword);
    TOpenOptions options;
    options.password = &password;
    EXPECT_TRUE(OpenDatabase(local, options));
  }

  void Remember(const std::string& value) {
    TSettingsAccess access(true);
    Settings().WriteString(setting::kSync, local.Guid.ToString(), value);
    access.Close();
  }
  std::string Remembered() {
    TSettingsAccess access(false);
    return Settings().ReadString(setting::kSync, local.Guid.ToString(), "<none>");
  }

  static std::vector<std::string> Names(const TSyncDialog& dialog) {
    std::vector<std::string> names;
    for (const TSyncCandidate& candidate : dialog.Candidates()) names.push_back(candidate.name);
    return names;
  }

  TPwdBase& local;
  std::string card = Folder("card");
  std::string copyFile;
};

TEST_F(SynchronizeDialog, AFolderListsItsDatabasesAndPreselectsTheLocalDatabasesNameCaseIgnored) {
  TSyncDialog dialog(local);
  EXPECT_EQ(dialog.Caption(), "Synchronize Private");
  EXPECT_TRUE(dialog.TwoWay());
  EXPECT_FALSE(dialog.OkEnabled());  // nothing remembered: no folder yet

  dialog.SetFolder(card);

  EXPECT_EQ(Names(dialog), (std::vector<std::string>{"Work", "PRIVATE"}));
  EXPECT_EQ(dialog.Candidates()[1].fileName, copyFile);
  EXPECT_EQ(dialog.Selection(), 1u);
  EXPECT_TRUE(dialog.OkEnabled());
  EXPECT_FALSE(frontEnd.Busy());
  EXPECT_TRUE(frontEnd.messages.empty());  // the files that are no databases were left out silently
}

TEST_F(SynchronizeDialog, TheLocalFileItselfIsListedButNotPreselected) {
  TSyncDialog dialog(local);
  for (const std::string& path : {folder, folder + "/"}) {
    dialog.SetFolder(path);
    EXPECT_EQ(Names(dialog), std::vector<std::string>{"Private"});
    EXPECT_EQ(dialog.Selection(), std::nullopt);
    EXPECT_FALSE(dialog.OkEnabled());
  }
  dialog.Select(0);
  EXPECT_TRUE(dialog.OkEnabled());
}

TEST_F(SynchronizeDialog, AFolderWithoutDatabasesDisablesTheListAndOk) {
  const std::string junk = Folder("junk");
  file_testing::WriteText(JoinPath(junk, "notes.txt"), "text");
  TSyncDialog dialog(local);
  for (const std::string& path : {junk, files / "missing", std::string()}) {
    SCOPED_TRACE(path);
    dialog.SetFolder(card);
    dialog.SetFolder(path);
    EXPECT_TRUE(dialog.Candidates().empty());
    EXPECT_FALSE(dialog.ListEnabled());
    EXPECT_EQ(dialog.Selection(), std::nullopt);
    dialog.Select(0);
    EXPECT_FALSE(dialog.OkEnabled());
    EXPECT_FALSE(dialog.Ok());
  }
  EXPECT_TRUE(frontEnd.messages.empty());
  EXPECT_EQ(Remembered(), "<none>");
}

TEST_F(SynchronizeDialog, TheRememberedChoiceGivesTheFolderAndTheSelectedName) {
  struct TCase {
    std::string value;
    std::string folder;
    std::optional<std::size_t> selection;
  };
  const std::vector<TCase> cases = {
      {card + ",Work", card, 0},       // the remembered name wins over the scan's choice
      {card, card, 1},                 // no comma: a folder only, the scan chooses
      {card + ",Missing", card, 1},    // a name no longer there: the scan chooses
      {folder + ",Private", folder, std::nullopt},  // never the local file itself
      {card + ",Work,x", card, 1},     // the name is all after the first comma
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.value);
    Remember(c.value);
    TSyncDialog dialog(local);
    EXPECT_EQ(dialog.Folder(), c.folder);
    EXPECT_EQ(dialog.Selection(), c.selection);
  }
}

TEST_F(SynchronizeDialog, BrowseAsksForAFolderFromTheCurrentOneAndScansTheChoice) {
  TSyncDialog dialog(local);
  dialog.SetFolder(folder);
  frontEnd.chosenPaths = {card, std::nullopt};

  EXPECT_TRUE(dialog.Browse());
  ASSERT_EQ(frontEnd.choosers.size(), 1u);
  EXPECT_EQ(frontEnd.choosers[0].kind, TScriptedFrontEnd::TChooser::Folder);
  EXPECT_EQ(frontEnd.choosers[0].title, "Select remote database folder:");
  EXPECT_EQ(frontEnd.choosers[0].startFolder, folder);
  EXPECT_EQ(dialog.Folder(), card);
  EXPECT_EQ(dialog.Selection(), 1u);

  EXPECT_FALSE(dialog.Browse());  // cancelled: everything stays
  EXPECT_EQ(frontEnd.choosers[1].startFolder, card);
  EXPECT_EQ(dialog.Folder(), card);
  EXPECT_EQ(dialog.Selection(), 1u);
}

TEST_F(SynchronizeDialog, OkRemembersTheChoiceAndSynchronizesOneWayWhenTheBoxIsCleared) {
  const std::string before = file_testing::ReadText(copyFile);
  {
    TSyncDialog dialog(local);
    EXPECT_GT(ModalCount(), 0);  // nothing is closed or read again behind the dialog
    dialog.SetFolder(card);
    dialog.SetTwoWay(false);

    EXPECT_TRUE(dialog.Ok());
  }
  EXPECT_EQ(ModalCount(), 0);
  EXPECT_EQ(Remembered(), card + ",PRIVATE");
  EXPECT_EQ(file_testing::ReadText(copyFile), before);  // one-way: the remote is not written
  EXPECT_EQ(DatabaseName(local), "PRIVATE");            // the remote's rename came in
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Information);
  EXPECT_EQ(frontEnd.messages[0].text.rfind("Local database 'Private' has been synchronized.\n", 0), 0u);
  EXPECT_EQ(frontEnd.messages[0].text.find("Remote database"), std::string::npos);
}

TEST_F(SynchronizeDialog, OkOnAnotherDatabaseRemembersItAndReportsTheError) {
  TSyncDialog dialog(local);
  dialog.SetFolder(card);
  dialog.Select(0);

  EXPECT_FALSE(dialog.Ok());

  EXPECT_EQ(Remembered(), card + ",Work");
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
}

}  // namespace
}  // namespace corvane
