#include "platform/folder_watch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/error.h"
#include "tests/platform/ipc_test_support.h"

namespace corvane {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const char* text, std::ios::openmode mode = std::ios::trunc) {
  std::ofstream(path, std::ios::binary | std::ios::out | mode) << text;
}

}  // namespace

class FolderWatch : public ::testing::Test {
 protected:
  FolderWatch() : folder_(fs::path(scratch_.Path()) / "Databases") {
    fs::create_directory(folder_);
    WriteFile(folder_ / "CVBase1.dat", "database");
    fs::create_directory(folder_ / "Sub");
    WriteFile(folder_ / "Sub" / "Inner.dat", "inner");
  }

  testing::TTempFolder scratch_;
  fs::path folder_;
};

TEST_F(FolderWatch, FileWrittenByAnotherProcessSignalsUntilRearmed) {
  TFolderWatch watch(folder_);
  EXPECT_FALSE(watch.IsSignalled());

  testing::TChildProcess writer([&] {
    WriteFile(folder_ / "CVBase2.dat", "new database");
    return 0;
  });
  EXPECT_EQ(writer.ExitCode(), 0);
  pollfd p{watch.Descriptor(), POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 10000), 1);
  EXPECT_TRUE(watch.IsSignalled());
  EXPECT_EQ(::poll(&p, 1, 0), 0) << "the notifications were taken";
  EXPECT_TRUE(watch.IsSignalled()) << "signalled until re-armed";
  EXPECT_TRUE(watch.Rearm());
  EXPECT_FALSE(watch.IsSignalled());
}

TEST_F(FolderWatch, EveryKindOfChangeOfAnEntrySignals) {
  const fs::path file = folder_ / "CVBase1.dat";
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"append", [&] { WriteFile(file, "more", std::ios::app); }},
      {"truncate", [&] { fs::resize_file(file, 2); }},
      {"attributes", [&] { fs::permissions(file, fs::perms::owner_read); }},
      {"last write", [&] { ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0); }},
      {"rename", [&] { fs::rename(file, folder_ / "CVBase9.dat"); }},
      {"delete", [&] { fs::remove(folder_ / "CVBase9.dat"); }},
      {"new subfolder", [&] { fs::create_directory(folder_ / "Other"); }},
  };
  TFolderWatch watch(folder_);
  for (const auto& [name, change] : changes) {
    change();
    EXPECT_TRUE(watch.IsSignalled()) << name;
    EXPECT_TRUE(watch.Rearm());
  }
}

TEST_F(FolderWatch, ChangesInsideASubfolderDoNotSignal) {
  TFolderWatch watch(folder_);
  const fs::path sub = folder_ / "Sub";
  WriteFile(sub / "Inner.dat", "changed");
  WriteFile(sub / "Added.dat", "added");
  fs::permissions(sub / "Inner.dat", fs::perms::owner_read);
  fs::rename(sub / "Added.dat", sub / "Renamed.dat");
  fs::remove(sub / "Renamed.dat");
  // Inotify queues notifications as the changes are made, so none can still be coming.
  EXPECT_FALSE(watch.IsSignalled());
}

TEST_F(FolderWatch, DeletedFolderSignalsAndEndsTheWatch) {
  TFolderWatch watch(folder_);
  fs::remove_all(folder_);
  EXPECT_TRUE(watch.IsSignalled());
  EXPECT_FALSE(watch.Rearm());
}

TEST_F(FolderWatch, FolderThatCannotBeWatchedIsAnError) {
  for (const fs::path& path : {folder_ / "Missing", folder_ / "CVBase1.dat"}) {
    try {
      TFolderWatch watch(path);
      ADD_FAILURE() << path << " was watched";
    } catch (const TError& e) {
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
    }
  }
}

}  // namespace corvane
