#include "platform/file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "platform/error.h"
#include "tests/platform/file_test_support.h"
#include "tests/platform/ipc_test_support.h"
#include "tests/support/error_of.h"

namespace corvane {

namespace {

using TMode = TFile::TMode;
using file_testing::ReadText;
using file_testing::TTempFolder;
using file_testing::WriteText;
using testing::TChildProcess;

// Child process exit codes.
constexpr int kOpened = 0;
constexpr int kRefused = 1;

int TryOpen(const std::string& path, TMode mode) {
  try {
    TFile file = TFile::Open(path, mode);
    return kOpened;
  } catch (const TError&) {
    return kRefused;
  }
}

using testing_support::ErrorOf;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// A one-way signal between a parent and a forked child.
class TSignalPipe {
 public:
  TSignalPipe() {
    if (::pipe(fds_.data()) != 0) ADD_FAILURE() << "pipe failed";
  }
  ~TSignalPipe() {
    ::close(fds_[0]);
    ::close(fds_[1]);
  }
  void Send() { [[maybe_unused]] auto n = ::write(fds_[1], "x", 1); }
  bool Wait() {
    char c = 0;
    return ::read(fds_[0], &c, 1) == 1;
  }

 private:
  std::array<int, 2> fds_{-1, -1};
};

}  // namespace

class FileSharing : public ::testing::Test {
 protected:
  void SetUp() override { WriteText(path_, "database"); }
  TTempFolder folder_;
  std::string path_ = folder_ / "CVBase1.dat";
};

TEST_F(FileSharing, WriterShutsOutSecondWriterInSameProcessButNotReaders) {
  TFile writer = TFile::Open(path_, TMode::kWrite);

  for (TMode mode : {TMode::kWrite, TMode::kCreate}) {
    std::string error = ErrorOf([&] { TFile::Open(path_, mode); });
    EXPECT_EQ(error, "Cannot open file: " + path_ + "\rThe file is in use by another writer.");
  }
  // A refused create must not have emptied the writer's file.
  EXPECT_EQ(ReadText(path_), "database");

  TFile reader = TFile::Open(path_, TMode::kRead);
  std::array<std::uint8_t, 8> buffer{};
  reader.ReadExactly(buffer);
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "database");
}

TEST_F(FileSharing, WriterInThisProcessShutsOutWritersOfAnotherUntilClosed) {
  TFile writer = TFile::Open(path_, TMode::kWrite);
  EXPECT_EQ(TChildProcess([&] { return TryOpen(path_, TMode::kWrite); }).ExitCode(), kRefused);
  EXPECT_EQ(TChildProcess([&] { return TryOpen(path_, TMode::kRead); }).ExitCode(), kOpened);

  writer.Close();
  EXPECT_EQ(TChildProcess([&] { return TryOpen(path_, TMode::kWrite); }).ExitCode(), kOpened);
}

TEST_F(FileSharing, WriterInAnotherProcessShutsOutThisOneUntilItEnds) {
  TSignalPipe locked;
  TChildProcess holder([&] {
    TFile writer = TFile::Open(path_, TMode::kWrite);
    locked.Send();
    ::pause();  // holds the lock until killed
    return 0;
  });
  ASSERT_TRUE(locked.Wait());
  EXPECT_EQ(TryOpen(path_, TMode::kWrite), kRefused);
  EXPECT_EQ(TryOpen(path_, TMode::kRead), kOpened);

  // A writer that dies without closing leaves no lock behind.
  holder.Kill();
  holder.ExitCode();
  EXPECT_EQ(TryOpen(path_, TMode::kWrite), kOpened);
}

TEST_F(FileSharing, LockGoesWithTheFileObject) {
  {
    TFile writer = TFile::Open(path_, TMode::kWrite);
    TFile moved = std::move(writer);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(TryOpen(path_, TMode::kWrite), kRefused);
  }
  EXPECT_EQ(TryOpen(path_, TMode::kWrite), kOpened);
}

TEST_F(FileSharing, CreateEmptiesOrMakesTheFile) {
  TFile::Open(path_, TMode::kCreate).Close();
  EXPECT_EQ(ReadText(path_), "");

  std::string fresh = folder_ / "new.dat";
  TFile created = TFile::Open(fresh, TMode::kCreate);
  EXPECT_EQ(file_testing::ModeOf(fresh), 0600u);
  EXPECT_EQ(TryOpen(fresh, TMode::kWrite), kRefused);
}

TEST_F(FileSharing, CreateExclusiveFailsOnAnExistingFileAndHoldsANewOne) {
  std::string lock = path_ + ".lock";
  TFile held = TFile::Open(lock, TMode::kCreateExclusive);
  EXPECT_EQ(TryOpen(lock, TMode::kWrite), kRefused);

  std::string error = ErrorOf([&] { TFile::Open(lock, TMode::kCreateExclusive); });
  EXPECT_EQ(error, "Cannot open file: " + lock + "\rFile exists");
  held.Close();
  EXPECT_EQ(TryOpen(lock, TMode::kCreateExclusive), kRefused);  // still exists
}

TEST(File, OpenErrorsNameTheFileAndTheReason) {
  TTempFolder folder;
  std::string missing = folder / "missing.dat";
  for (TMode mode : {TMode::kRead, TMode::kWrite}) {
    EXPECT_EQ(ErrorOf([&] { TFile::Open(missing, mode); }),
              "Cannot open file: " + missing + "\rNo such file or directory");
  }
  std::string inMissingFolder = folder / "none/x.dat";
  EXPECT_EQ(ErrorOf([&] { TFile::Open(inMissingFolder, TMode::kCreate); }),
            "Cannot open file: " + inMissingFolder + "\rNo such file or directory");
}

TEST(File, ReadsAreBoundedByTheEndOfTheFile) {
  TTempFolder folder;
  std::string path = folder / "short.bin";
  WriteText(path, "0123456789");
  TFile file = TFile::Open(path, TMode::kRead);

  file.Seek(6);
  EXPECT_EQ(file.Remaining(), 4u);
  std::array<std::uint8_t, 16> buffer{};
  EXPECT_EQ(file.Read(buffer), 4u);  // short read at the end, no error
  EXPECT_EQ(file.Read(buffer), 0u);

  file.Seek(-3, TFile::TOrigin::kEnd);
  std::array<std::uint8_t, 4> four{};
  EXPECT_EQ(ErrorOf([&] { file.ReadExactly(four); }), "Unexpected end of file: " + path + "\rThe file is too short.");

  // Past the end is a position with nothing to read; before the start is an error.
  EXPECT_EQ(file.Seek(100), 100u);
  EXPECT_EQ(file.Remaining(), 0u);
  EXPECT_THROW(file.ReadExactly(four), TError);
  EXPECT_THROW(file.Seek(-1), TError);
  EXPECT_THROW(file.Seek(-20, TFile::TOrigin::kEnd), TError);
}

TEST(File, WritesSeeksAndSizes) {
  TTempFolder folder;
  std::string path = folder / "data.bin";
  TFile file = TFile::Open(path, TMode::kCreate);
  file.Write("header");
  file.Write(Bytes("-body"));
  EXPECT_EQ(file.Position(), 11u);
  EXPECT_EQ(file.Size(), 11u);

  file.Seek(2, TFile::TOrigin::kEnd);  // a gap past the end reads as zero bytes
  file.Write("!");
  EXPECT_EQ(file.Size(), 14u);
  file.Flush();
  EXPECT_EQ(ReadText(path), std::string("header-body\0\0!", 14));

  file.SetSize(6);
  EXPECT_EQ(file.Size(), 6u);
  EXPECT_EQ(file.Position(), 14u);
  file.Seek(0);
  std::array<std::uint8_t, 6> head{};
  file.ReadExactly(head);
  EXPECT_EQ(std::string(head.begin(), head.end()), "header");

  TFile readOnly = TFile::Open(path, TMode::kRead);
  EXPECT_THROW(readOnly.Write("x"), TError);
}

TEST(File, InfoDescribesTheOpenFile) {
  TTempFolder folder;
  std::string path = folder / "info.bin";
  WriteText(path, "12345");
  TFile file = TFile::Open(path, TMode::kRead);
  TFileInfo info = file.Info();
  struct stat st{};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);

  EXPECT_EQ(info.name, "info.bin");
  EXPECT_EQ(info.size, 5u);
  EXPECT_EQ(info.attributes, kAttributeArchive);
  EXPECT_EQ(info.objectId, static_cast<std::uint32_t>(st.st_ino));
  EXPECT_EQ(info.lastWriteTime, FileTimeFromUnix(st.st_mtim));
  EXPECT_GE(info.lastWriteTime, info.creationTime);
}

TEST(File, TemporaryFilesHaveUniqueNamesWithThePrefix) {
  TTempFolder folder;
  TFile first = TFile::CreateTemp(folder.Path(), "CVTF", /*lock=*/true);
  TFile second = TFile::CreateTemp(folder.Path() + "/", "CVTF");
  EXPECT_NE(first.Path(), second.Path());
  for (const TFile* file : {&first, &second}) {
    EXPECT_TRUE(file->Path().starts_with(folder / "CVTF")) << file->Path();
    EXPECT_TRUE(file->Path().ends_with(".tmp")) << file->Path();
    EXPECT_EQ(file_testing::ModeOf(file->Path()), 0600u);
  }
  EXPECT_EQ(TryOpen(first.Path(), TMode::kWrite), kRefused);
  EXPECT_EQ(TryOpen(second.Path(), TMode::kWrite), kOpened);
  EXPECT_THROW(TFile::CreateTemp(folder / "missing", "CVTF"), TError);
}

}  // namespace corvane
