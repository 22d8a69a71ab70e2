#include "platform/atomic_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/platform/file_test_support.h"
#include "tests/platform/ipc_test_support.h"

namespace corvane {

namespace {

using file_testing::ModeOf;
using file_testing::ReadText;
using file_testing::TTempFolder;
using file_testing::WriteText;

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

bool CanOpenForWriting(const std::string& path) {
  try {
    TFile::Open(path, TFile::TMode::kWrite);
    return true;
  } catch (const TError&) {
    return false;
  }
}

}  // namespace

class AtomicWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(target_, "old content");
    ::chmod(target_.c_str(), 0640);
  }
  TTempFolder folder_;
  std::string target_ = folder_ / "CVBase1.dat";
};

TEST_F(AtomicWriter, WithoutCommitTheTargetStaysAndTheTemporaryFileGoes) {
  {
    TAtomicWriter writer(target_);
    writer.File().Write("half a new datab");
    EXPECT_EQ(NamesIn(folder_.Path()).size(), 2u);
  }
  EXPECT_EQ(ReadText(target_), "old content");
  EXPECT_EQ(NamesIn(folder_.Path()), std::set<std::string>{"CVBase1.dat"});
}

TEST_F(AtomicWriter, CommitReplacesContentKeepingTheModeAndHandsBackTheLockedFile) {
  TFile held = TFile::Open(target_, TFile::TMode::kWrite);
  TFile saved;
  {
    TAtomicWriter writer(target_, /*lock=*/true);
    writer.File().Write("new content");
    saved = writer.Commit(&held);
  }
  EXPECT_FALSE(held.IsOpen());
  EXPECT_EQ(ReadText(target_), "new content");
  EXPECT_EQ(ModeOf(target_), 0640u);
  EXPECT_EQ(NamesIn(folder_.Path()), std::set<std::string>{"CVBase1.dat"});

  EXPECT_EQ(saved.Path(), target_);
  EXPECT_EQ(saved.Info().objectId, GetFileInfo(target_).objectId);
  EXPECT_FALSE(CanOpenForWriting(target_));
  saved.Close();
  EXPECT_TRUE(CanOpenForWriting(target_));
}

TEST_F(AtomicWriter, ANewTargetIsPrivateToItsOwner) {
  std::string fresh = folder_ / "CVBase2.dat";
  TAtomicWriter writer(fresh);
  writer.File().Write("first save");
  writer.Commit().Close();
  EXPECT_EQ(ReadText(fresh), "first save");
  EXPECT_EQ(ModeOf(fresh), 0600u);
}

TEST_F(AtomicWriter, ASymbolicLinkIsFollowedAndStaysALink) {
  std::string realFolder = folder_ / "real";
  std::filesystem::create_directory(realFolder);
  std::string real = realFolder + "/db.dat";
  WriteText(real, "old content");
  ::chmod(real.c_str(), 0604);
  std::string link = folder_ / "link.dat";
  ASSERT_EQ(::symlink("real/db.dat", link.c_str()), 0);  // relative to the link's folder

  TAtomicWriter writer(link);
  EXPECT_EQ(writer.Target(), real);
  writer.File().Write("through the link");
  writer.Commit();

  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadText(real), "through the link");
  EXPECT_EQ(ModeOf(real), 0604u);
  EXPECT_EQ(NamesIn(realFolder), std::set<std::string>{"db.dat"});
}

TEST_F(AtomicWriter, ATargetHeldByAnotherWriterIsNotReplaced) {
  TFile other = TFile::Open(target_, TFile::TMode::kWrite);
  auto commitRefused = [&] {
    TAtomicWriter writer(target_);
    writer.File().Write("new content");
    try {
      writer.Commit();
      return std::string("(replaced)");
    } catch (const TError& e) {
      return std::string(e.what());
    }
  };
  EXPECT_EQ(commitRefused(), "Cannot replace file: " + target_ + "\rThe file is in use by another writer.");
  EXPECT_EQ(testing::TChildProcess([&] { return commitRefused() == "(replaced)" ? 1 : 0; }).ExitCode(), 0);
  EXPECT_EQ(ReadText(target_), "old content");

  other.Close();
  EXPECT_EQ(commitRefused(), "(replaced)");
  EXPECT_EQ(ReadText(target_), "new content");
}

TEST_F(AtomicWriter, AFailedRenameLeavesTheTargetAndCleansUp) {
  std::string folderTarget = folder_ / "sub";
  std::filesystem::create_directory(folderTarget);
  WriteText(folderTarget + "/keep", "x");
  {
    TAtomicWriter writer(folderTarget);
    writer.File().Write("data");
    EXPECT_THROW(writer.Commit(), TError);
  }
  EXPECT_EQ(NamesIn(folder_.Path()), (std::set<std::string>{"CVBase1.dat", "sub"}));
  EXPECT_EQ(ReadText(folderTarget + "/keep"), "x");
  EXPECT_THROW(TAtomicWriter(folder_ / "missing/x.dat"), TError);
}

}  // namespace corvane
