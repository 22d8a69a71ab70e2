#include <gtest/gtest.h>

#include "app/app_path.h"
#include "app/settings.h"
#include "tests/app/app_test_support.h"

namespace corvane {
namespace {

TEST(AppPath, ExpandReplacesTheFirstMacroWithTheProgramFolder) {
  struct TCase {
    std::string_view path, folder, expected;
  } const cases[] = {
      {"%APP%/Backup", "/opt/corvane", "/opt/corvane/Backup"},
      {"%APP%/Backup", "/opt/corvane/", "/opt/corvane/Backup"},
      {"%APP%", "/opt/corvane", "/opt/corvane"},
      {"%APP%/a/%APP%", "/opt/corvane", "/opt/corvane/a/%APP%"},
      {"%app%/Backup", "/opt/corvane", "%app%/Backup"},
      {"/home/me/Backup", "/opt/corvane", "/home/me/Backup"},
      {"%APP%/Backup", "/", "/Backup"},
      {"%APP%", "/", "/"},
  };
  for (const TCase& c : cases) EXPECT_EQ(ExpandAppPath(c.path, c.folder), c.expected) << c.path << " in " << c.folder;
}

TEST(AppPath, CompactStoresPathsBelowTheProgramFolderRelativeToIt) {
  struct TCase {
    std::string_view path, folder, expected;
  } const cases[] = {
      {"/opt/corvane/Backup", "/opt/corvane", "%APP%/Backup"},
      {"/opt/corvane/Backup/", "/opt/corvane", "%APP%/Backup"},
      {"/opt/corvane", "/opt/corvane", "%APP%"},
      {"/opt/corvane2/Backup", "/opt/corvane", "/opt/corvane2/Backup"},
      // Linux file names differ by case: another folder is not the program's.
      {"/OPT/Corvane/Backup", "/opt/corvane", "/OPT/Corvane/Backup"},
      // Only a leading program folder counts, so the expansion gives it back.
      {"/mnt/opt/corvane/x", "/opt/corvane", "/mnt/opt/corvane/x"},
      {"/home/me", "/", "%APP%/home/me"},
      {"/home/me", "", "/home/me"},
  };
  for (const TCase& c : cases) {
    const std::string compact = CompactAppPath(c.path, c.folder);
    EXPECT_EQ(compact, c.expected) << c.path << " in " << c.folder;
    std::string_view path = c.path;
    if (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    EXPECT_EQ(ExpandAppPath(compact, c.folder), path) << "round trip of " << c.path;
  }
}

using AppPathOfProgram = testing::TAppTest;

TEST_F(AppPathOfProgram, UsesTheFolderTheSettingsWereStartedFor) {
  StartIn(testing::TStoreMode::Registry);
  const std::string below = program.Path() + "/Databases";
  EXPECT_EQ(CompactAppPath(below), "%APP%/Databases");
  EXPECT_EQ(ExpandAppPath("%APP%/Databases"), below);
}

}  // namespace
}  // namespace corvane
