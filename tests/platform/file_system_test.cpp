#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "platform/error.h"
#include "platform/file.h"
#include "tests/platform/file_test_support.h"
#include "tests/support/error_of.h"

namespace corvane {

namespace {

using file_testing::ModeOf;
using file_testing::ReadText;
using file_testing::TScopedEnv;
using file_testing::TTempFolder;
using file_testing::WriteText;

using testing_support::ErrorOf;

// Runs a test in a fixed time zone with summer time, whatever the machine's.
class TScopedTimeZone {
 public:
  explicit TScopedTimeZone(const char* zone) : env_("TZ", zone) { ::tzset(); }
  ~TScopedTimeZone() { ::tzset(); }

 private:
  TScopedEnv env_;
};

constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

}  // namespace

TEST(FileTime, ConvertsBetweenUnixFileTimeAndLocalDates) {
  TScopedTimeZone zone(kBerlin);
  struct Case {
    time_t unixSeconds;
    std::uint64_t fileTime;
    double localDate;
  };
  const Case cases[] = {
      {0, 116444736000000000ull, 25569.0 + 1.0 / 24},                        // 1970-01-01 01:00 in winter
      {1230728709, 128752023090000000ull, 39813.0 + (14 * 3600 + 5 * 60 + 9) / 86400.0},  // 2008-12-31 14:05:09
      {1215000000, 128594736000000000ull, 39631.0 + 14.0 / 24},                   // 2008-07-02 14:00 in summer
      {-86400, 116443872000000000ull, 25568.0 + 1.0 / 24},                   // before the epoch
  };
  for (const Case& c : cases) {
    timespec moment{c.unixSeconds, 0};
    EXPECT_EQ(FileTimeFromUnix(moment), c.fileTime) << c.unixSeconds;
    EXPECT_EQ(UnixFromFileTime(c.fileTime).tv_sec, c.unixSeconds);
    EXPECT_NEAR(DateFromUnix(moment), c.localDate, 1e-9) << c.unixSeconds;
    EXPECT_EQ(UnixFromDate(c.localDate).tv_sec, c.unixSeconds) << c.unixSeconds;
    EXPECT_EQ(FileTimeFromDate(DateFromFileTime(c.fileTime)), c.fileTime);
  }
  // Fractions survive to the millisecond; times before 1601 have no file time.
  timespec withMillis{1230728709, 250000000};
  EXPECT_EQ(FileTimeFromUnix(withMillis), 128752023092500000ull);
  EXPECT_EQ(UnixFromDate(DateFromUnix(withMillis)).tv_nsec, 250000000);
  EXPECT_EQ(FileTimeFromUnix(timespec{-11644473601, 0}), 0u);
}

TEST(FileSystem, LastWriteTimeIsSetAndReadInBothForms) {
  TScopedTimeZone zone(kBerlin);
  TTempFolder folder;
  std::string path = folder / "a.dat";
  WriteText(path, "x");

  SetLastWriteTime(path, 128752023092500000ull);
  TFileInfo info = GetFileInfo(path);
  EXPECT_EQ(info.lastWriteTime, 128752023092500000ull);
  EXPECT_NEAR(info.LastWriteDate(), 39813.0 + (14 * 3600 + 5 * 60 + 9.25) / 86400.0, 1e-9);

  SetLastWriteDate(path, 39631.5);  // 2008-07-02 12:00 summer time
  EXPECT_EQ(GetFileInfo(path).lastWriteTime, 128594664000000000ull);
  EXPECT_THROW(SetLastWriteTime(folder / "missing", 1), TError);
}

TEST(FileSystem, ReadOnlyMapsToTheWriteBits) {
  TTempFolder folder;
  std::string path = folder / "a.dat";
  WriteText(path, "x");
  ::chmod(path.c_str(), 0664);

  SetReadOnly(path, true);
  EXPECT_EQ(ModeOf(path), 0444u);
  EXPECT_EQ(GetFileInfo(path).attributes, kAttributeReadOnly | kAttributeArchive);
  // Clearing it gives write access back to the owner only, never to others.
  SetAttributes(path, kAttributeArchive);
  EXPECT_EQ(ModeOf(path), 0644u);
  EXPECT_FALSE(GetFileInfo(path).IsReadOnly());
  SetAttributes(path, kAttributeReadOnly | kAttributeArchive);
  EXPECT_TRUE(GetFileInfo(path).IsReadOnly());

  EXPECT_EQ(GetFileInfo(folder.Path()).attributes, kAttributeDirectory);
}

TEST(FileSystem, InformationOnMissingFiles) {
  TTempFolder folder;
  std::string missing = folder / "none.dat";
  EXPECT_FALSE(FileExists(missing));
  EXPECT_FALSE(FindFile(missing).has_value());
  EXPECT_EQ(ErrorOf([&] { GetFileInfo(missing); }),
            "Cannot read file information: " + missing + "\rNo such file or directory");
  WriteText(missing, "");
  EXPECT_TRUE(FileExists(missing));
  EXPECT_EQ(FindFile(missing)->name, "none.dat");
}

TEST(FileSystem, DeleteRefusesAFileHeldByAWriter) {
  TTempFolder folder;
  std::string path = folder / "CVBase1.dat.lock";
  TFile lock = TFile::Open(path, TFile::TMode::kCreateExclusive);
  EXPECT_EQ(ErrorOf([&] { DeleteFile(path); }),
            "Cannot delete file: " + path + "\rThe file is in use by another writer.");
  EXPECT_TRUE(FileExists(path));

  lock.Close();
  SetReadOnly(path, true);  // read-only files are deleted like others
  DeleteFile(path);
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(ErrorOf([&] { DeleteFile(path); }), "Cannot delete file: " + path + "\rNo such file or directory");

  // A reader does not keep a file from being deleted.
  WriteText(path, "x");
  TFile reader = TFile::Open(path, TFile::TMode::kRead);
  DeleteFile(path);
  EXPECT_FALSE(FileExists(path));
}

TEST(FileSystem, DeleteOfALinkRemovesTheLinkOnly) {
  TTempFolder folder;
  std::string target = folder / "target.dat";
  std::string link = folder / "link.dat";
  WriteText(target, "x");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  TFile held = TFile::Open(target, TFile::TMode::kWrite);
  DeleteFile(link);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(FileExists(target));
}

TEST(FileSystem, RenameNeverReplacesAnExistingFile) {
  TTempFolder folder;
  std::string from = folder / "CVBase1.dat";
  std::string to = folder / "Vault1.db";
  WriteText(from, "one");
  WriteText(to, "two");
  EXPECT_EQ(ErrorOf([&] { RenameFile(from, to); }),
            "Cannot rename file: " + from + " -> " + to + "\rFile exists");
  EXPECT_EQ(ReadText(from), "one");
  EXPECT_EQ(ReadText(to), "two");

  std::filesystem::remove(to);
  RenameFile(from, to);
  EXPECT_FALSE(FileExists(from));
  EXPECT_EQ(ReadText(to), "one");
}

TEST(FileSystem, CopyTakesContentModeAndTimeAndReplacesAtomically) {
  TTempFolder folder;
  std::string from = folder / "CVBase1.dat";
  std::string to = folder / "CVBase1_20081231_140509.cvb";
  std::string content(200000, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7);
  WriteText(from, content);
  ::chmod(from.c_str(), 0400);
  SetLastWriteTime(from, 128752023090000000ull);
  WriteText(to, "an older copy");

  CopyFile(from, to);
  EXPECT_EQ(ReadText(to), content);
  EXPECT_EQ(ModeOf(to), 0400u);
  EXPECT_EQ(GetFileInfo(to).lastWriteTime, 128752023090000000ull);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);

  EXPECT_EQ(ErrorOf([&] { CopyFile(from, to, /*failIfExists=*/true); }), "Cannot copy file: " + to + "\rFile exists");
  EXPECT_THROW(CopyFile(folder / "missing", folder / "other"), TError);
  EXPECT_FALSE(FileExists(folder / "other"));
}

TEST(FileSystem, CopyRefusesATargetHeldByAWriter) {
  TTempFolder folder;
  std::string from = folder / "backup.cvb";
  std::string to = folder / "CVBase1.dat";
  WriteText(from, "backup");
  WriteText(to, "open database");
  TFile held = TFile::Open(to, TFile::TMode::kWrite);
  EXPECT_EQ(ErrorOf([&] { CopyFile(from, to); }),
            "Cannot replace file: " + to + "\rThe file is in use by another writer.");
  EXPECT_EQ(ReadText(to), "open database");
}

TEST(FileSystem, TempFileNameCreatesTheFile) {
  TTempFolder folder;
  std::string first = TempFileName(folder.Path(), "CVTF");
  std::string second = TempFileName(folder.Path(), "CVTF");
  EXPECT_NE(first, second);
  EXPECT_TRUE(first.starts_with(folder / "CVTF"));
  EXPECT_EQ(GetFileInfo(first).size, 0u);
  EXPECT_TRUE(FileExists(second));
}

}  // namespace corvane
