// Applying the values of the database-properties dialog: only what changed is
// set, the placeholder keeps the password, users are replaced, a change of
// logging is saved at once, a confirmed move moves the file.

#include <gtest/gtest.h>

#include "app/session_open.h"
#include "app/session_properties.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using testing::TSessionTest;
using testing::TTestUser;

class PropertiesTest : public TSessionTest {
 protected:
  TPwdBase& OpenDatabaseNamed(const std::string& fileName, const std::vector<TTestUser>& users = {}) {
    TPwdBase& base = AddDatabase(fileName, "Home", users);
    frontEnd.passwords.push_back("pw");
    EXPECT_TRUE(OpenDatabase(base));
    return base;
  }
  // The database as its file holds it now.
  static std::unique_ptr<TPwdBase> Reread(const std::string& fileName, const std::string& password = "pw") {
    auto reader = std::make_unique<TPwdBase>();
    reader->FileName = fileName;
    reader->Open(password);
    return reader;
  }
};

TEST_F(PropertiesTest, OnlyChangedValuesAreSetAndShownDefaultsStayUnstored) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat");
  TDatabaseProperties values = ReadDatabaseProperties(base);
  EXPECT_EQ(values.password.Text(), "****");
  EXPECT_EQ(values.backupCount, 5) << "the program's count";
  EXPECT_EQ(values.backupFolder, backupFolder);
  EXPECT_TRUE(PropertiesEditable(base));

  ApplyDatabaseProperties(base, values);
  EXPECT_FALSE(base.Modified) << "nothing changed";

  values.name = "Renamed";
  values.description = "  Family accounts \n";
  ApplyDatabaseProperties(base, values);
  EXPECT_TRUE(base.Modified);
  EXPECT_EQ(base.Name, "Renamed");
  EXPECT_EQ(base.Description, "Family accounts");
  EXPECT_EQ(base.BackupCount, 0);
  EXPECT_TRUE(base.BackupFolder.empty());
  EXPECT_EQ(base.Password, "pw");
}

TEST_F(PropertiesTest, NewPasswordIsTheOneTheFileIsSavedWith) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat");
  TDatabaseProperties values = ReadDatabaseProperties(base);
  values.password = TSecretText("new password");
  ApplyDatabaseProperties(base, values);
  EXPECT_TRUE(base.Modified);
  base.Save();
  EXPECT_EQ(Reread(base.FileName, "new password")->Name, "Home");
}

TEST_F(PropertiesTest, ChangeOfLoggingIsSavedAtOnceWithABackup) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat");
  TDatabaseProperties values = ReadDatabaseProperties(base);
  values.logActions = true;
  values.logServer = " logs.example ";
  ApplyDatabaseProperties(base, values);
  EXPECT_FALSE(base.Modified);
  const auto saved = Reread(base.FileName);
  EXPECT_TRUE(saved->LogActions);
  EXPECT_EQ(saved->LogServer, "logs.example");
  EXPECT_EQ(BackupFiles().size(), 1u);
}

TEST_F(PropertiesTest, ReplacedUsersLeaveTheDefaultUserWhenTheCurrentOneIsGone) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat", {{"alice", "alicepw", "A"}, {"bob", "bobpw", "V"}});
  base.Logon((*base.Users)[1]->Guid());
  TDatabaseProperties values = ReadDatabaseProperties(base);
  values.users->Delete(2);
  ApplyDatabaseProperties(base, values);
  ASSERT_EQ(base.Users->Count(), 2);
  EXPECT_EQ(base.CurrentUserName, "alice");
  EXPECT_TRUE(base.Modified);

  values = ReadDatabaseProperties(base);
  values.users->Delete(1);
  (*values.users)[0]->SetPassword("default password");
  ApplyDatabaseProperties(base, values);
  ASSERT_EQ(base.Users->Count(), 1);
  EXPECT_EQ(base.CurrentUserName, "Default");
  EXPECT_TRUE((*base.Users)[0]->PasswordDigest().empty()) << "a lone user has no password";
}

TEST_F(PropertiesTest, ConfirmedMoveTakesTheFileToItsNewPlace) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat");
  const std::string oldName = base.FileName;
  const std::string target = (files / "moved") + "/Home.dat";
  TDatabaseProperties values = ReadDatabaseProperties(base);
  values.fileName = target;
  ApplyDatabaseProperties(base, values);
  EXPECT_EQ(base.FileName, oldName) << "without the move answer the file stays";

  values.moveConfirmed = true;
  values.name = "Moved";
  ApplyDatabaseProperties(base, values);
  EXPECT_EQ(base.FileName, target);
  EXPECT_FALSE(FileExists(oldName));
  EXPECT_TRUE(IsDatabaseOpen(base));
  EXPECT_TRUE(base.FileStream.IsOpen());
  EXPECT_EQ(base.Name, "Moved");
}

TEST_F(PropertiesTest, ConcurrentWriteLetsGoOfTheFile) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat");
  TDatabaseProperties values = ReadDatabaseProperties(base);
  values.concurrentWrite = true;
  ApplyDatabaseProperties(base, values);
  EXPECT_FALSE(base.Modified) << "saved at once";
  EXPECT_FALSE(base.FileStream.IsOpen());
  EXPECT_TRUE(Reread(base.FileName)->ConcurrentWrite);
}

TEST_F(PropertiesTest, ViewerOnlyForAReadOnlyDatabaseOrANonAdministrator) {
  TPwdBase& base = OpenDatabaseNamed("CVBase1.dat", {{"alice", "alicepw", "A"}, {"bob", "bobpw", "V"}});
  base.Logon((*base.Users)[2]->Guid());
  EXPECT_FALSE(PropertiesEditable(base));
  base.Logon((*base.Users)[1]->Guid());
  EXPECT_TRUE(PropertiesEditable(base));
  base.ReadOnly = 1;
  EXPECT_FALSE(PropertiesEditable(base));
}

}  // namespace
}  // namespace corvane
