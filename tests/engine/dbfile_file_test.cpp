// The database file on disk: its header and trailer, saving, holding it
// against other writers, wrong passwords, unsupported versions, the lock file.

#include <gtest/gtest.h>

#include <zlib.h>

#include "engine/cipher_registry.h"
#include "engine/messages.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "tests/engine/dbfile_test_support.h"

namespace corvane {
namespace {

using namespace corvane::testing;

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

const std::string kMagic = "\xCE\x85\x16\xAB\xC1\x75";

class DbFile : public ::testing::Test {
 protected:
  TTempFolder folder_;
  std::string path_ = folder_ / "CVBase.dat";
};

TEST_F(DbFile, HeaderAndTrailerFollowTheLayout) {
  TPwdBase base;
  SaveAs(base, path_, "pw", AllAlgorithms());
  const std::string bytes = ReadText(path_);
  ASSERT_GT(bytes.size(), 44u);
  EXPECT_EQ(bytes.substr(0, 6), kMagic);
  EXPECT_EQ(bytes.substr(6, 4), std::string("\xE6\x00\x00\x00", 4));  // 230, sub-version 0
  EXPECT_EQ(bytes.substr(10, 16), std::string(base.Guid.bytes.begin(), base.Guid.bytes.end()));
  EXPECT_EQ(U32At(bytes, 26), 1u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[30]), 8);  // the cipher count
  EXPECT_EQ(bytes.substr(31, 8), AllAlgorithms());

  // Without attachments the attachment part is only its index: the end of
  // an empty unit table, compressed.
  const std::size_t trailer = bytes.size() - 14;
  EXPECT_EQ(bytes.substr(trailer, 6), kMagic);
  const std::uint32_t dataDistance = U32At(bytes, trailer + 6);
  const std::uint32_t indexDistance = U32At(bytes, trailer + 10);
  EXPECT_EQ(dataDistance, indexDistance);
  ASSERT_LT(indexDistance, trailer);
  std::string index(16, '\0');
  uLongf size = index.size();
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(index.data()), &size,
                       reinterpret_cast<const Bytef*>(bytes.data() + trailer - indexDistance), indexDistance),
            Z_OK);
  EXPECT_EQ(index.substr(0, size), std::string(4, '\xFF'));
  EXPECT_EQ(ReadSaveCounter(path_), 1);
}

TEST_F(DbFile, SavingTwiceChangesOnlyTheCounterInTheHeaderAndTheEncryptedBytes) {
  TPwdBase base;
  SaveAs(base, path_, "pw", AllAlgorithms());
  const std::string first = ReadText(path_);
  base.Save();
  const std::string second = ReadText(path_);
  EXPECT_EQ(first.substr(0, 26), second.substr(0, 26));
  EXPECT_EQ(U32At(second, 26), 2u);
  EXPECT_EQ(ReadSaveCounter(path_), 2);
  ASSERT_EQ(first.size(), second.size());
  // The padding of the first block is random and folded into it.
  EXPECT_NE(first.substr(first.size() - 200, 100), second.substr(second.size() - 200, 100));
}

TEST_F(DbFile, AnOpenDatabaseHoldsTheFileSoASecondOpenerIsReadOnly) {
  TPwdBase base;
  SaveAs(base, path_, "pw", AllAlgorithms());
  ASSERT_TRUE(base.FileStream.IsOpen());
  TFakeClock clock;
  auto second = OpenFile(path_, "pw");
  EXPECT_TRUE(second->ReadOnly);
  EXPECT_FALSE(second->FileStream.IsOpen());
  EXPECT_EQ(clock.SleptMilliseconds(), 200u);  // three tries, 100 ms apart
  // The holder saves again, atomically, and keeps its writer lock.
  base.Save();
  EXPECT_TRUE(base.FileStream.IsOpen());
  EXPECT_THROW(TFile::Open(path_, TFile::TMode::kWrite), TError);
  base.Close();
  EXPECT_NO_THROW(TFile::Open(path_, TFile::TMode::kWrite));
}

TEST_F(DbFile, SaveRecreatesADeletedFileAndRefreshesItsTime) {
  TPwdBase base;
  base.ConcurrentWrite = 1;
  SaveAs(base, path_, "pw", AllAlgorithms());
  EXPECT_FALSE(base.FileStream.IsOpen());
  DeleteFile(path_);
  base.FileTime = 0;
  base.Save();
  EXPECT_TRUE(FileExists(path_));
  EXPECT_NE(base.FileTime, 0);
  EXPECT_EQ(OpenFile(path_, "pw")->SaveCounter, 2u);
  // Nothing but the database is left in the folder.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_.Path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(DbFile, AFailedSaveLeavesTheOldFileAsItWas) {
  TPwdBase base;
  SaveAs(base, path_, "pw", AllAlgorithms());
  const std::string before = ReadText(path_);
  base.Algorithms = "\x63";  // no such cipher
  EXPECT_THROW(base.Save(), TError);
  EXPECT_EQ(ReadText(path_), before);
  base.Password.clear();
  try {
    base.Save();
    FAIL() << "saved without a password";
  } catch (const TError& error) {
    EXPECT_EQ(std::string(error.what()), serr_emptypassword);
  }
  EXPECT_EQ(ReadText(path_), before);
}

TEST_F(DbFile, WrongPasswordsAreAnsweredAfterAGrowingDelay) {
  {
    TPwdBase base;
    SaveAs(base, path_, "right", AllAlgorithms());
  }
  TFakeClock clock;
  TPwdBase base;
  base.FileName = path_;
  std::vector<std::uint64_t> waits;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (attempt == 3) clock.Advance(3500);
    const std::uint64_t before = clock.SleptMilliseconds();
    try {
      base.Open("wrong");
      FAIL() << "opened with a wrong password";
    } catch (const TError& error) {
      EXPECT_EQ(std::string(error.what()), serr_invalidpassword);
    }
    waits.push_back(clock.SleptMilliseconds() - before);
    EXPECT_TRUE(base.Password.empty());
    EXPECT_EQ(base.Items->Count(), 0);
  }
  EXPECT_EQ(waits, (std::vector<std::uint64_t>{1000, 2000, 3000, 1000}));
  EXPECT_NO_THROW(base.Open("right"));
}

TEST_F(DbFile, AnUnsupportedVersionIsListedUnderTheFileName) {
  WriteText(path_, kMagic + std::string("\xF0\x00\x00\x00", 4) + std::string(40, '\0'));
  auto base = OpenFile(path_, "");
  EXPECT_EQ(base->Name, "CVBase.dat (Unsupported database version: 2.40)");
  EXPECT_EQ(base->Items->Count(), 0);
  EXPECT_EQ(FormatVersionText(205), "2.05");
  // Opened with a password it is not held for writing: a save would lose it.
  auto opened = OpenFile(path_, "pw");
  EXPECT_TRUE(opened->ReadOnly);
  EXPECT_FALSE(opened->FileStream.IsOpen());
}

TEST_F(DbFile, ReadSaveCounterLooksWhereTheVersionKeepsIt) {
  const std::string counter7("\x07\x00\x00\x00", 4);
  struct TCase {
    std::string bytes;
    std::int32_t expected;
  } cases[] = {
      {kMagic + std::string("\xDD\x00\x01\x00", 4) + counter7, 7},                       // 2.21: offset 10
      {kMagic + std::string("\xE6\x00\x00\x00", 4) + std::string(16, 'g') + counter7, 7},  // 2.30: offset 26
      {kMagic + std::string("\xE6\x00\x00\x00", 4) + counter7, 0},                       // too short
      {kMagic + std::string("\xD2\x00", 2) + counter7, 0},                               // 2.10: none
      {"not a database", 0},
      {"", 0},
  };
  for (const TCase& c : cases) {
    WriteText(path_, c.bytes);
    EXPECT_EQ(ReadSaveCounter(path_), c.expected) << c.bytes.size();
  }
  EXPECT_EQ(ReadSaveCounter(folder_ / "missing.dat"), -1);
}

TEST_F(DbFile, CreateDatabaseFileWritesANewDatabaseAndRefusesAnExistingFile) {
  auto base = CreateDatabaseFile(path_, "Mine", "Notes", "pw", AllAlgorithms());
  EXPECT_TRUE(base->FileStream.IsOpen());
  base->Close();
  auto opened = OpenFile(path_, "pw");
  EXPECT_EQ(opened->Name, "Mine");
  EXPECT_EQ(opened->Description, "Notes");
  EXPECT_EQ(opened->Algorithms, AllAlgorithms());
  const auto header = ReadDbFileHeader(path_);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->FormatBuild, 23000);
  EXPECT_EQ(header->Guid, opened->Guid);
  opened->Close();
  EXPECT_THROW(CreateDatabaseFile(path_, "Other", "", "pw", AllAlgorithms()), TError);
  EXPECT_THROW(CreateDatabaseFile(folder_ / "b.dat", "B", "", "", AllAlgorithms()), TError);
  EXPECT_FALSE(FileExists(folder_ / "b.dat"));
}

TEST_F(DbFile, ReloadKeepsTheSessionAndReadsTheFileAgain) {
  TPwdBase base;
  FillSample(base);
  SaveAs(base, path_, "pw", AllAlgorithms());
  const TGuid alice = base.Users->FindByName("alice")->Guid();
  base.Logon(alice);
  base.Reload();
  EXPECT_EQ(base.CurrentUserName, "alice");
  EXPECT_EQ(base.Items->Count(), 2);
  EXPECT_FALSE(base.Reloading);
  EXPECT_TRUE(base.FileStream.IsOpen());
}

TEST_F(DbFile, CloseDropsContentsFileAndLocks) {
  TPwdBase base;
  FillSample(base);
  SaveAs(base, path_, "pw", AllAlgorithms());
  ASSERT_TRUE(base.AcquireLock(1));
  base.Close();
  EXPECT_EQ(base.Items->Count(), 0);
  EXPECT_TRUE(base.Password.empty());
  EXPECT_EQ(base.Icons.Count(), 0);
  EXPECT_FALSE(base.FileStream.IsOpen());
  EXPECT_FALSE(FileExists(LockFileName(path_)));
}

class DbLock : public DbFile {
 protected:
  void SetUp() override { base_.FileName = path_; }
  void AgeLockFile(double seconds) {
    WriteText(lock_, "");
    SetLastWriteDate(lock_, clock_.Now() - seconds / 86400.0);
  }
  TFakeClock clock_;
  TPwdBase base_;
  std::string lock_ = LockFileName(path_);
};

TEST_F(DbLock, AStaleLockIsTakenOverAndAFreshOneBlocks) {
  AgeLockFile(61);
  EXPECT_TRUE(base_.AcquireLock(3));
  EXPECT_EQ(clock_.SleptMilliseconds(), 0u);
  EXPECT_TRUE(base_.ReleaseLock(false));
  EXPECT_FALSE(FileExists(lock_));

  AgeLockFile(10);
  EXPECT_FALSE(base_.AcquireLock(3));
  EXPECT_EQ(clock_.SleptMilliseconds(), 3000u);  // 12 tries, 250 ms apart
  EXPECT_EQ(base_.LockCount, 0);
  EXPECT_TRUE(FileExists(lock_));
}

TEST_F(DbLock, NestedHoldsReleaseTheFileWithTheLastOne) {
  EXPECT_TRUE(base_.AcquireLock(3));
  EXPECT_TRUE(base_.AcquireLock(3));
  EXPECT_EQ(base_.LockCount, 2);
  EXPECT_FALSE(base_.ReleaseLock(false));
  EXPECT_TRUE(FileExists(lock_));
  TPwdBase other;
  other.FileName = path_;
  EXPECT_FALSE(other.AcquireLock(1));
  EXPECT_TRUE(base_.ReleaseLock(false));
  EXPECT_FALSE(FileExists(lock_));
  EXPECT_TRUE(other.AcquireLock(1));
  EXPECT_TRUE(other.ReleaseLock(true));
}

}  // namespace
}  // namespace corvane
