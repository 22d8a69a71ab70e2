#include "platform/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/file_system.h"
#include "tests/platform/file_test_support.h"
#include "tests/support/error_of.h"

namespace corvane {

namespace {

using file_testing::ModeOf;
using file_testing::TScopedEnv;
using file_testing::TTempFolder;
using file_testing::WriteText;

using testing_support::ErrorOf;

std::vector<std::string> Names(const std::vector<TFileInfo>& files) {
  std::vector<std::string> names;
  for (const TFileInfo& f : files) names.push_back(f.name);
  return names;
}

}  // namespace

TEST(Folders, ProgramFolderHoldsTheRunningProgram) {
  std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(FileExists(folder + "/corvane_platform_tests")) << folder;
  EXPECT_NE(folder.back(), '/');
}

TEST(Folders, DocumentsFolderFollowsTheUsersSettings) {
  TTempFolder home;
  std::string config = home / "config";
  std::filesystem::create_directory(config);
  struct Case {
    const char* what;
    std::optional<std::string> environment;  // XDG_DOCUMENTS_DIR
    std::optional<std::string> userDirs;     // content of user-dirs.dirs
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"variable wins", "/srv/docs/", "XDG_DOCUMENTS_DIR=\"/elsewhere\"\n", "/srv/docs"},
      {"home-relative entry", std::nullopt,
       "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papiers\"\n",
       home.Path() + "/Papiers"},
      {"absolute entry with escapes", std::nullopt, "  XDG_DOCUMENTS_DIR = \"/data/my \\\"docs\\\"/\"\n",
       "/data/my \"docs\""},
      {"commented and malformed entries are ignored", std::nullopt,
       "#XDG_DOCUMENTS_DIR=\"/commented\"\nXDG_DOCUMENTS_DIR=\"relative/path\"\nXDG_DOCUMENTS_DIR=\"/unclosed\n",
       home.Path() + "/Documents"},
      {"$HOMEWORK is not $HOME", std::nullopt, "XDG_DOCUMENTS_DIR=\"$HOMEWORK/x\"\n", home.Path() + "/Documents"},
      {"no user-dirs file", std::nullopt, std::nullopt, home.Path() + "/Documents"},
  };
  TScopedEnv homeEnv("HOME", home.Path());
  TScopedEnv configEnv("XDG_CONFIG_HOME", config);
  for (const Case& c : cases) {
    TScopedEnv documentsEnv("XDG_DOCUMENTS_DIR", c.environment);
    std::filesystem::remove(config + "/user-dirs.dirs");
    if (c.userDirs) WriteText(config + "/user-dirs.dirs", *c.userDirs);
    EXPECT_EQ(DocumentsFolder(), c.expected) << c.what;
  }

  // Without XDG_CONFIG_HOME the file is looked for in ~/.config.
  TScopedEnv noDocuments("XDG_DOCUMENTS_DIR", std::nullopt);
  TScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
  std::filesystem::create_directory(home / ".config");
  WriteText(home / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/D\"\n");
  EXPECT_EQ(DocumentsFolder(), home.Path() + "/D");
}

TEST(Folders, TempFolderIsTmpdirOrTmp) {
  {
    TScopedEnv tmp("TMPDIR", "/var/tmp/");
    EXPECT_EQ(TempFolder(), "/var/tmp");
  }
  TScopedEnv tmp("TMPDIR", std::nullopt);
  EXPECT_EQ(TempFolder(), "/tmp");
}

TEST(Folders, RuntimeFolderIsChosenAndCreatedPrivate) {
  TTempFolder root;
  TScopedEnv tmp("TMPDIR", root.Path());
  {
    TScopedEnv chosen("CORVANE_RUNTIME_DIR", root / "chosen/nested");
    EXPECT_EQ(RuntimeFolder(), root / "chosen/nested");
    EXPECT_EQ(ModeOf(root / "chosen/nested"), 0700u);
  }
  TScopedEnv noChoice("CORVANE_RUNTIME_DIR", std::nullopt);
  {
    TScopedEnv xdg("XDG_RUNTIME_DIR", root / "run");
    std::filesystem::create_directory(root / "run");
    EXPECT_EQ(RuntimeFolder(), root / "run/corvane");
    EXPECT_EQ(ModeOf(root / "run/corvane"), 0700u);
    EXPECT_EQ(RuntimeFolder(), root / "run/corvane");  // an existing one is fine
  }
  TScopedEnv noXdg("XDG_RUNTIME_DIR", std::nullopt);
  std::string fallback = root / ("corvane-" + std::to_string(::geteuid()));
  EXPECT_EQ(RuntimeFolder(), fallback);
  EXPECT_EQ(ModeOf(fallback), 0700u);
}

TEST(Folders, UnusableRuntimeFoldersAreClearErrors) {
  TTempFolder root;
  WriteText(root / "file", "");
  {
    TScopedEnv chosen("CORVANE_RUNTIME_DIR", root / "file/sub");
    EXPECT_EQ(ErrorOf([] { RuntimeFolder(); }), "Cannot create folder: " + root / "file/sub" + "\rNot a directory");
  }
  {
    TScopedEnv chosen("CORVANE_RUNTIME_DIR", root / "file");
    EXPECT_EQ(ErrorOf([] { RuntimeFolder(); }), "Cannot create folder: " + root / "file" + "\rNot a directory");
  }
  // In a shared temporary folder, a link planted in the folder's place is refused.
  TScopedEnv noChoice("CORVANE_RUNTIME_DIR", std::nullopt);
  TScopedEnv noXdg("XDG_RUNTIME_DIR", std::nullopt);
  TScopedEnv tmp("TMPDIR", root.Path());
  std::filesystem::create_directory(root / "elsewhere");
  std::string fallback = root / ("corvane-" + std::to_string(::geteuid()));
  ASSERT_EQ(::symlink((root / "elsewhere").c_str(), fallback.c_str()), 0);
  EXPECT_EQ(ErrorOf([] { RuntimeFolder(); }), "Cannot create folder: " + fallback + "\rNot a directory");
}

TEST(Folders, CreateFolderMakesMissingParents) {
  TTempFolder root;
  CreateFolder(root / "a/b/c/");
  EXPECT_TRUE(FolderExists(root / "a/b/c"));
  CreateFolder(root / "a/b");  // existing
  WriteText(root / "a/file", "");
  EXPECT_FALSE(FolderExists(root / "a/file"));
  EXPECT_EQ(ErrorOf([&] { CreateFolder(root / "a/file/d"); }),
            "Cannot create folder: " + root / "a/file/d" + "\rNot a directory");
  EXPECT_EQ(ErrorOf([&] { CreateFolder(root / "a/file"); }), "Cannot create folder: " + root / "a/file" + "\rNot a directory");
}

TEST(Folders, ListFilesGivesMatchingRegularFilesSortedByName) {
  TTempFolder root;
  WriteText(root / "CVBase2.dat", "22");
  WriteText(root / "cvbase1.DAT", "1");
  WriteText(root / "CVBase1.dat.lock", "");
  WriteText(root / "notes.txt", "");
  std::filesystem::create_directory(root / "CVBase3.dat");
  ASSERT_EQ(::symlink("CVBase2.dat", (root / "CVBase4.dat").c_str()), 0);
  ASSERT_EQ(::symlink("gone", (root / "CVBase5.dat").c_str()), 0);
  SetLastWriteTime(root / "CVBase2.dat", 128752023090000000ull);

  std::vector<TFileInfo> files = ListFiles(root.Path(), "CVBase*.dat");
  EXPECT_EQ(Names(files), (std::vector<std::string>{"CVBase2.dat", "CVBase4.dat", "cvbase1.DAT"}));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].size, 2u);
  EXPECT_EQ(files[0].lastWriteTime, 128752023090000000ull);
  EXPECT_EQ(files[0].attributes, kAttributeArchive);
  EXPECT_EQ(files[1].objectId, files[0].objectId);  // the link counts as the file it names

  EXPECT_EQ(ListFiles(root.Path()).size(), 5u);
  EXPECT_TRUE(ListFiles(root / "missing").empty());
  EXPECT_TRUE(ListFiles(root / "notes.txt").empty());
}

TEST(Folders, PatternsMatchLikeTheOriginalDevice) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Case cases[] = {
      {"CVBase*.dat", "CVBase1.dat", true},       {"CVBase*.dat", "cvbase12.DAT", true},
      {"CVBase*.dat", "CVBase.dat", true},        {"CVBase*.dat", "CVBase1.dat.lock", false},
      {"CVBase*.dat", "XCVBase1.dat", false},     {"CVBase1*.cvb", "CVBase1_20081231_140509.cvb", true},
      {"CVBase1*.cvb", "CVBase10_20081231_140509.cvb", true}, {"*", "", true},
      {"?", "", false},                           {"a?c", "abc", true},
      {"a?c", "ac", false},                       {"*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
      {"**x", "abx", true},                       {"*.lock", "CVBase1.dat.LOCK", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesPattern(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

}  // namespace corvane
