// Synchronising the open database with a second copy of it: both directions,
// one direction, the remote's password, refusals that leave no lock, and
// saves of other writers made before the locks were taken.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/session_open.h"
#include "app/synchronize.h"
#include "engine/dbfile.h"
#include "engine/fields.h"
#include "engine/password.h"
#include "platform/file_system.h"
#include "tests/app/session_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

constexpr std::int32_t kTitleNumber = 0;

void AddRecord(TPwdBase& base, const std::string& title) {
  auto* record = static_cast<TPwdPassword*>(base.Items->AddItem(kItemTypeRecord, false));
  record->Bind()->FieldByNumber(kTitleNumber)->SetAsString(title);
  record->Post();
}

std::vector<std::string> Titles(TPwdBase& base) {
  std::vector<std::string> titles;
  for (TPwdItem* item : base.Items->Items())
    if (auto* record = dynamic_cast<TPwdPassword*>(item))
      titles.push_back(record->Bind()->FieldByNumber(kTitleNumber)->RevealedText());
  std::sort(titles.begin(), titles.end());
  return titles;
}

class Synchronizing : public TSessionTest {
 public:
  // A local database with record "Shared", opened, and a copy of its file
  // elsewhere, to which record "Remote" was added.
  Synchronizing() : local(AddDatabase("CVBase1.dat", "Private", {}, [](TPwdBase& base) { AddRecord(base, "Shared"); })) {
    remoteFile = JoinPath(Folder("card"), "CVBase1.dat");
    CopyFile(local.FileName, remoteFile);
    EditRemote([](TPwdBase& remote) { AddRecord(remote, "Remote"); });
    const TSecretText password(kTestPassword);
    TOpenOptions options;
    options.password = &password;
    EXPECT_TRUE(OpenDatabase(local, options));
  }

  // Another writer opens the file, edits and saves it.
  static void EditFile(const std::string& file, const std::function<void(TPwdBase&)>& edit) {
    TPwdBase other;
    other.FileName = file;
    other.Open(kTestPassword);
    edit(other);
    other.Save();
    other.Close();
  }
  void EditRemote(const std::function<void(TPwdBase&)>& edit) { EditFile(remoteFile, edit); }

  static std::vector<std::string> FileTitles(const std::string& file) {
    TPwdBase copy;
    copy.FileName = file;
    copy.Open(kTestPassword);
    return Titles(copy);
  }
  std::vector<std::string> RemoteTitles() { return FileTitles(remoteFile); }

  // The open database no longer holds its file: other writers may save it.
  static void ShareForWriting(TPwdBase& base) {
    base.ConcurrentWrite = 1;
    base.Save();
  }

  TPwdBase& local;
  std::string remoteFile;
};

TEST_F(Synchronizing, TwoWayBringsEachCopysChangesToTheOtherAndReportsBoth) {
  AddRecord(local, "Local");
  const std::int32_t remoteCounter = ReadSaveCounter(remoteFile);

  const std::optional<std::string> report = Synchronize(local, remoteFile, /*oneWay=*/false, /*silent=*/false);

  const std::string counts1 = "Items inserted:\t1\r\nItems updated:\t0\r\nItems deleted:\t0\r\nAccess denied:\t0\r\n";
  ASSERT_TRUE(report);
  EXPECT_EQ(*report, "Local database 'Private' has been synchronized.\r\n" + counts1 +
                         "\r\n\r\nRemote database 'Private' has been synchronized.\r\n" + counts1);
  const std::vector<std::string> all = {"Local", "Remote", "Shared"};
  EXPECT_EQ(Titles(local), all);
  EXPECT_EQ(local.Modified, 0);  // saved
  EXPECT_EQ(RemoteTitles(), all);
  EXPECT_GT(ReadSaveCounter(remoteFile), remoteCounter);
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Information);
  EXPECT_EQ(frontEnd.messages[0].text, "Local database 'Private' has been synchronized.\n" +
                                           std::string("Items inserted:\t1\nItems updated:\t0\nItems deleted:\t0\n"
                                                       "Access denied:\t0\n\n\nRemote database 'Private' has been "
                                                       "synchronized.\nItems inserted:\t1\nItems updated:\t0\n"
                                                       "Items deleted:\t0\nAccess denied:\t0\n"));
}

TEST_F(Synchronizing, OneWayLeavesTheRemoteFileUntouchedAndReportsTheLocalPartOnly) {
  AddRecord(local, "Local");
  const std::string before = file_testing::ReadText(remoteFile);

  const std::optional<std::string> report = Synchronize(local, remoteFile, /*oneWay=*/true, /*silent=*/true);

  ASSERT_TRUE(report);
  EXPECT_EQ(report->find("Remote database"), std::string::npos);
  EXPECT_EQ(Titles(local), (std::vector<std::string>{"Local", "Remote", "Shared"}));
  EXPECT_EQ(file_testing::ReadText(remoteFile), before);
  EXPECT_TRUE(frontEnd.messages.empty());  // silent
}

TEST_F(Synchronizing, ARemoteWithAnotherPasswordIsAskedForAndCancelEndsQuietly) {
  EditRemote([](TPwdBase& remote) { remote.Password = "other"; });
  frontEnd.passwords = {std::string("other")};
  EXPECT_TRUE(Synchronize(local, remoteFile, false, true));
  EXPECT_EQ(frontEnd.passwordPrompts.size(), 1u);
  EXPECT_EQ(Titles(local), (std::vector<std::string>{"Remote", "Shared"}));

  frontEnd.passwords = {std::nullopt};
  EXPECT_FALSE(Synchronize(local, remoteFile, false, true));
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(Synchronizing, ACopyOfAnotherDatabaseIsRefusedWithAnErrorAndNoLockStays) {
  const std::string otherFile = JoinPath(Folder("card"), "Other.cvd");
  CreateDatabaseFile(otherFile, "Other", "", kTestPassword, local.SavedAlgorithms)->Close();
  local.ConcurrentWrite = 1;

  EXPECT_FALSE(Synchronize(local, otherFile, false, true));

  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
  EXPECT_FALSE(FileExists(LockFileName(local.FileName)));
  EXPECT_FALSE(FileExists(LockFileName(otherFile)));
  EXPECT_EQ(local.LockCount, 0);
}

// The local file is shared for writing; another writer saves record "Other"
// to it after the local copy was read and before the synchronisation locks it.
void ExpectAnotherWritersSaveKept(Synchronizing& test, TPwdBase& local, bool unsavedLocal) {
  Synchronizing::ShareForWriting(local);
  if (unsavedLocal) AddRecord(local, "Local");
  Synchronizing::EditFile(local.FileName, [](TPwdBase& other) { AddRecord(other, "Other"); });

  ASSERT_TRUE(Synchronize(local, test.remoteFile, /*oneWay=*/false, /*silent=*/true));

  std::vector<std::string> expected = {"Other", "Remote", "Shared"};
  if (unsavedLocal) expected.insert(expected.begin(), "Local");
  EXPECT_EQ(Titles(local), expected);
  EXPECT_EQ(local.Modified, 0);
  EXPECT_EQ(Synchronizing::FileTitles(local.FileName), expected);
  EXPECT_EQ(test.RemoteTitles(), expected);
  EXPECT_EQ(static_cast<std::uint32_t>(ReadSaveCounter(local.FileName)), local.SaveCounter);
  EXPECT_FALSE(FileExists(LockFileName(local.FileName)));
}

TEST_F(Synchronizing, AnUnmodifiedLocalCopyIsReadAgainWhenAnotherWriterSavedItBeforeTheLock) {
  ExpectAnotherWritersSaveKept(*this, local, /*unsavedLocal=*/false);
}

TEST_F(Synchronizing, UnsavedLocalChangesAndAnotherWritersSaveBeforeTheLockAreBothKept) {
  ExpectAnotherWritersSaveKept(*this, local, /*unsavedLocal=*/true);
}

TEST_F(Synchronizing, UnsavedLocalChangesStayWhenAnotherWritersSaveCannotBeRead) {
  ShareForWriting(local);
  AddRecord(local, "Local");
  EditFile(local.FileName, [](TPwdBase& other) { other.Password = "changed"; });
  const std::string saved = file_testing::ReadText(local.FileName);

  EXPECT_FALSE(Synchronize(local, remoteFile, /*oneWay=*/true, /*silent=*/true));

  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
  EXPECT_EQ(file_testing::ReadText(local.FileName), saved);
  EXPECT_NE(local.Modified, 0);
  EXPECT_EQ(Titles(local), (std::vector<std::string>{"Local", "Shared"}));
  EXPECT_FALSE(FileExists(LockFileName(local.FileName)));
}

TEST_F(Synchronizing, ARemoteOpenInTheProgramIsSynchronizedAsOpenAndTakesAnotherWritersSaveFirst) {
  UseFolders({folder, FolderOfFile(remoteFile)});
  RefreshDatabases(/*rescan=*/true, /*checkChanges=*/false);
  TPwdBase* remote = FindKnownDatabase(remoteFile);
  ASSERT_NE(remote, nullptr);
  const TSecretText password(kTestPassword);
  TOpenOptions options;
  options.password = &password;
  ASSERT_TRUE(OpenDatabase(*remote, options));
  ShareForWriting(*remote);
  EditRemote([](TPwdBase& other) { AddRecord(other, "Other"); });
  AddRecord(local, "Local");
  frontEnd.hooks.clear();

  ASSERT_TRUE(Synchronize(local, remoteFile, /*oneWay=*/false, /*silent=*/true));

  const std::vector<std::string> all = {"Local", "Other", "Remote", "Shared"};
  EXPECT_TRUE(frontEnd.passwordPrompts.empty());
  EXPECT_TRUE(IsDatabaseOpen(*remote));
  EXPECT_EQ(Titles(*remote), all);
  EXPECT_EQ(remote->Modified, 0);
  EXPECT_EQ(RemoteTitles(), all);
  EXPECT_EQ(Titles(local), all);
  EXPECT_EQ(std::count(frontEnd.hooks.begin(), frontEnd.hooks.end(), "RefreshDatabase"), 2);
}

}  // namespace
}  // namespace corvane
