// Synchronising the open database with a second copy of it: both directions,
// one direction, the remote's password, and refusals that leave no lock.

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
 protected:
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

  void EditRemote(const std::function<void(TPwdBase&)>& edit, const std::string& password = kTestPassword) {
    TPwdBase remote;
    remote.FileName = remoteFile;
    remote.Open(password);
    edit(remote);
    remote.Save();
    remote.Close();
  }

  std::vector<std::string> RemoteTitles() {
    TPwdBase remote;
    remote.FileName = remoteFile;
    remote.Open(kTestPassword);
    return Titles(remote);
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

}  // namespace
}  // namespace corvane
