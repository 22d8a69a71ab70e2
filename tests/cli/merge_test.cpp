// merge on real database files: the target gets the source's changes and is
// saved, the source file stays as it was, and a foreign database is refused.

#include <gmock/gmock.h>

#include <filesystem>

#include "engine/merge.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using cli_testing::ReadWhole;
using cli_testing::TRun;

class MergeCommand : public cli_testing::TCliTest {
 protected:
  MergeCommand() : target(CreateDatabase("target.cvd")) {
    EXPECT_EQ(RunOpen("mkdir", target, {"Work"}).exitCode, 0);
    std::filesystem::copy_file(target, File("source.cvd"));
    source = File("source.cvd");
  }

  TRun Merge(const std::string& from) {
    return Run({"merge", target, from, "--password-stdin"}, "secret\nsecret\n");
  }

  std::string Ls(const std::string& db) { return RunOpen("ls", db, {"-R"}).out; }

  std::string target;
  std::string source;
};

TEST_F(MergeCommand, BringsTheSourcesChangesIntoTheTargetAndLeavesTheSourceAlone) {
  ASSERT_EQ(RunOpen("add", source, {"Work", "--field", "Title=Bank"}).exitCode, 0);
  ASSERT_EQ(RunOpen("mkdir", source, {"Home"}).exitCode, 0);
  const std::string sourceBytes = ReadWhole(source);

  const TRun run = Merge(source);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "Items inserted:\t2\nItems updated:\t0\nItems deleted:\t0\nAccess denied:\t0\n");
  EXPECT_EQ(Ls(target), "Work/\nWork/Bank\nHome/\n");
  EXPECT_EQ(ReadWhole(source), sourceBytes);

  const TRun again = Merge(source);
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_THAT(again.out, HasSubstr("Items inserted:\t0\n"));
}

TEST_F(MergeCommand, RefusesADatabaseThatIsNotACopy) {
  const std::string other = CreateDatabase("other.cvd");
  ASSERT_EQ(RunOpen("mkdir", other, {"Elsewhere"}).exitCode, 0);
  const std::string targetBytes = ReadWhole(target);

  const TRun run = Merge(other);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr(std::string(smergenotacopy)));
  EXPECT_EQ(ReadWhole(target), targetBytes);
}

TEST_F(MergeCommand, AWrongSourcePasswordChangesNothing) {
  const std::string targetBytes = ReadWhole(target);
  const TRun run = Run({"merge", target, source, "--password-stdin"}, "secret\nwrong\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("The password is incorrect."));
  EXPECT_EQ(ReadWhole(target), targetBytes);
}

}  // namespace
}  // namespace corvane
