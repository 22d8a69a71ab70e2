// The scan of the database folders: which files are databases, names for new
// files, captions, rescans that follow the disk, and renaming by template.

#include <gmock/gmock.h>

#include <unistd.h>

#include "app/locations_file_names.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "tests/app/locations_test_support.h"

namespace corvane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using testing::kTestPassword;
using testing::TLocationsTest;

class LocationsScan : public TLocationsTest {};

TEST_F(LocationsScan, NewNameSkipsFilesOnDiskAndNamesKnownInMemory) {
  const std::string folder = Folder("dbs");
  UseFolders({files / "missing", folder});
  MakeDatabase(folder + "/CVBase1.dat", "One");
  MakeDatabase(folder + "/cvbase2.dat", "Two");
  ASSERT_TRUE(RefreshDatabases(false, false));
  ::unlink((folder + "/cvbase2.dat").c_str());  // gone from disk, still known

  // Without a folder: the first folder of the list that exists.
  EXPECT_EQ(NewDatabaseFileName(), folder + "/CVBase3.dat");
  EXPECT_EQ(NewDatabaseFileName(files / "other"), files / "other/CVBase1.dat");
  UseFolders({files / "missing", files / "missing2"});
  EXPECT_EQ(NewDatabaseFileName(), files / "missing2/CVBase1.dat");  // none exists: the last one
}

TEST_F(LocationsScan, ListsTemplateMatchesButNeverLockFiles) {
  const std::string folder = Folder("dbs");
  UseFolders({folder});
  {
    TSettingsAccess access(true);
    WriteSetting(setting::DbFileNameTemplate, "CVBase*");
    access.Close();
  }
  MakeDatabase(folder + "/CVBase1.dat", "Good");
  file_testing::WriteText(folder + "/CVBase1.dat.lock", "");
  file_testing::WriteText(folder + "/CVBase2.dat.LOCK", "");
  file_testing::WriteText(folder + "/CVBase3.dat", "not a database at all, but long enough to be read");
  file_testing::WriteText(folder + "/Other.dat", "");
  Folder("dbs/CVBase4.dat");  // a folder is no file

  EXPECT_TRUE(RefreshDatabases(false, false));
  EXPECT_THAT(KnownFiles(), ElementsAre(folder + "/CVBase1.dat", folder + "/CVBase3.dat"));
  EXPECT_EQ(KnownDatabases()[0].base->Name, "Good");
  EXPECT_FALSE(IsDatabaseOpen(*KnownDatabases()[0].base));
  // The damaged file is listed; its name tells why it cannot be used.
  EXPECT_THAT(KnownDatabases()[1].base->Name, StartsWith("CVBase3.dat ("));
  EXPECT_THAT(KnownDatabases()[1].base->Name, HasSubstr("Invalid database signature."));
}

TEST_F(LocationsScan, SameNamesShowTheirFolderNumber) {
  const std::string first = Folder("first"), second = Folder("second"), third = Folder("third");
  UseFolders({first, second, third});
  MakeDatabase(first + "/CVBase1.dat", "Personal");
  MakeDatabase(second + "/CVBase1.dat", "Work");
  MakeDatabase(third + "/CVBase1.dat", "Personal");
  RefreshDatabases(false, false);
  EXPECT_THAT(DisplayNames(), ElementsAre("Personal - 1", "Work", "Personal - 3"));
  EXPECT_EQ(DisplayName(*KnownDatabases()[2].base), "Personal - 3");
  EXPECT_EQ(DisplayName(*KnownDatabases()[1].base), "Work");
}

TEST_F(LocationsScan, RescanFollowsTheDisk) {
  const std::string folder = Folder("dbs");
  UseFolders({folder});
  MakeDatabase(folder + "/CVBase1.dat", "Kept");
  MakeDatabase(folder + "/CVBase2.dat", "Removed");
  MakeDatabase(folder + "/CVBase3.dat", "Open");
  RefreshDatabases(false, false);
  TPwdBase& open = *KnownDatabases()[2].base;
  open.Open(kTestPassword);

  EXPECT_FALSE(RefreshDatabases(true, true)) << "nothing changed on disk";
  // A new listing frees the closed databases but keeps the open one.
  open.SetModified(true);
  EXPECT_TRUE(RefreshDatabases(false, false));
  EXPECT_EQ(KnownDatabases().size(), 3u);
  EXPECT_EQ(KnownDatabases()[0].base.get(), &open);
  EXPECT_TRUE(open.Modified);
  open.SetModified(false);
  const TPwdBase* kept = FindKnownDatabase(folder + "/CVBase1.dat");

  ::unlink((folder + "/CVBase2.dat").c_str());
  ::unlink((folder + "/CVBase3.dat").c_str());
  MakeDatabase(folder + "/CVBase4.dat", "New");
  EXPECT_TRUE(RefreshDatabases(true, true));
  // The closed database whose file went is dropped; the open one stays in memory.
  EXPECT_THAT(KnownFiles(), ElementsAre(folder + "/CVBase3.dat", folder + "/CVBase1.dat", folder + "/CVBase4.dat"));
  EXPECT_EQ(KnownDatabases()[1].base.get(), kept);
  EXPECT_EQ(KnownDatabases()[1].mark, TScanMark::Unchanged);
  EXPECT_EQ(KnownDatabases()[2].mark, TScanMark::Changed);
  EXPECT_TRUE(IsDatabaseOpen(open));

  // A file rewritten by another program is read again: its new name shows.
  ::unlink((folder + "/CVBase1.dat").c_str());
  MakeDatabase(folder + "/CVBase1.dat", "Renamed elsewhere");
  SetLastWriteDate(folder + "/CVBase1.dat", kept->FileTime + 1);
  EXPECT_TRUE(RefreshDatabases(true, true));
  EXPECT_EQ(kept->Name, "Renamed elsewhere");
  EXPECT_FALSE(IsDatabaseOpen(*kept));
}

TEST_F(LocationsScan, AConcurrentDatabaseMissedByTheScanIsKeptWhileAnotherWriterHoldsIt) {
  const std::string folder = Folder("dbs");
  UseFolders({folder});
  MakeDatabase(folder + "/CVBase1.dat", "Shared");
  RefreshDatabases(false, false);
  TPwdBase& shared = *KnownDatabases()[0].base;
  shared.ConcurrentWrite = 1;
  // Another program is replacing the file and holds the lock.
  const std::string moved = folder + "/elsewhere";
  RenameFile(shared.FileName, moved);
  TPwdBase writer;
  writer.FileName = shared.FileName;
  TFakeClock clock(0, Clock().Now());
  ASSERT_TRUE(writer.AcquireLock(1));
  EXPECT_TRUE(RefreshDatabases(true, false));
  ASSERT_EQ(KnownDatabases().size(), 1u);
  EXPECT_GE(clock.SleptMilliseconds(), 3000u) << "the lock is waited for three seconds";
  EXPECT_EQ(writer.LockCount, 1);
  writer.ReleaseLock(true);

  // The lock is free and the file still gone: the database was deleted.
  KnownDatabases()[0].base->ConcurrentWrite = 1;
  EXPECT_TRUE(RefreshDatabases(true, false));
  EXPECT_TRUE(KnownDatabases().empty());
  EXPECT_FALSE(FileExists(LockFileName(folder + "/CVBase1.dat")));
}

TEST_F(LocationsScan, UnavailableFoldersAreSkippedAndNotWatched) {
  const std::string slow = Folder("slow"), fine = Folder("fine");
  UseFolders({slow, fine});
  MakeDatabase(slow + "/CVBase1.dat", "Slow");
  MakeDatabase(fine + "/CVBase1.dat", "Fine");
  MarkFolderUnavailable(slow);
  RefreshDatabases(false, false);
  EXPECT_THAT(KnownFiles(), ElementsAre(fine + "/CVBase1.dat"));
  EXPECT_EQ(FolderChanges().WatchCount(), 1u);
  LoadDatabaseFolders();  // a new start tries every folder again
  RefreshDatabases(false, false);
  EXPECT_EQ(KnownDatabases().size(), 2u);
  EXPECT_EQ(FolderChanges().WatchCount(), 2u);
}

TEST_F(LocationsScan, RenameAllFollowsTheNewTemplate) {
  const std::string first = Folder("first"), second = Folder("second");
  UseFolders({first, second});
  MakeDatabase(first + "/CVBase1.dat", "A");
  MakeDatabase(first + "/CVBase2.dat", "B");
  MakeDatabase(second + "/CVBase7.dat", "C");
  file_testing::WriteText(second + "/Vault1.db", "in the way");
  RefreshDatabases(false, false);
  TPwdBase& open = *KnownDatabases()[1].base;
  open.Open(kTestPassword);
  open.SetName("B changed");
  open.SetModified(true);

  {
    TSettingsAccess access(true);
    WriteSetting(setting::DbFileNameTemplate, "Vault.db");
    access.Close();
  }
  RenameAllDatabases();
  EXPECT_THAT(KnownFiles(), ElementsAre(first + "/Vault1.db", first + "/Vault2.db", second + "/Vault2.db"));
  EXPECT_FALSE(FileExists(first + "/CVBase2.dat"));
  // The open database was saved before it was closed and renamed.
  EXPECT_FALSE(IsDatabaseOpen(open));
  RefreshDatabases(false, false);
  EXPECT_THAT(KnownFiles(), ElementsAre(first + "/Vault1.db", first + "/Vault2.db", second + "/Vault1.db",
                                        second + "/Vault2.db"));
  EXPECT_EQ(KnownDatabases()[1].base->Name, "B changed");
}

}  // namespace
}  // namespace corvane
