#include <gtest/gtest.h>
#include <unistd.h>

#include "syncprovider/new_db_path.h"
#include "tests/syncprovider/sync_test_support.h"

namespace corvane {

using namespace sync_testing;

TEST(NewDbFilePath, TakesTheFirstFreeNumber) {
  TSyncTestBed bed;
  bed.WriteDatabase("CVBase1.dat", IdOf(1));
  bed.WriteDatabase("CVBase2.dat", IdOf(2));
  bed.SetNewDbFileName(bed.Databases() + "/CVBase%d.dat");
  EXPECT_EQ(NewDbFilePath(), bed.DbPath("CVBase3.dat"));
}

TEST(NewDbFilePath, EmptyWithoutAPattern) {
  TSyncTestBed bed;
  EXPECT_EQ(NewDbFilePath(), "");   // no synchronisation key at all
  bed.SetNewDbFileName("");
  EXPECT_EQ(NewDbFilePath(), "");
}

TEST(NewDbFilePath, PatternsAreFilledInWithoutFormatting) {
  TSyncTestBed bed;
  const std::string dir = bed.Databases();
  WriteText(dir + "/fixed.dat", "x");
  ::symlink("/nonexistent/target", (dir + "/link1.dat").c_str());
  struct {
    std::string pattern;
    std::string expected;
  } cases[] = {
      {dir + "/Copy%d of %d.dat", dir + "/Copy1 of 1.dat"},   // every placeholder gets the number
      {dir + "/100%s-%d.dat", dir + "/100%s-1.dat"},          // other sequences stay as they are
      {dir + "/link%d.dat", dir + "/link2.dat"},              // a dangling link is a taken name
      {dir + "/new.dat", dir + "/new.dat"},                   // no placeholder, free
      {dir + "/fixed.dat", ""},                               // no placeholder, taken: never overwrite
      {"CVBase%d.dat", ""},                                   // not a full path
      {dir + "/", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FreeNumberedName(c.pattern), c.expected) << c.pattern;
}

}  // namespace corvane
