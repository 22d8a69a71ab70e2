// Help, the man page and wrong usage, through the built program.

#include <gmock/gmock.h>

#include <sstream>

#include "cli/command.h"
#include "cli/help.h"
#include "tests/cli/cli_test_support.h"

namespace corvane {
namespace {

using ::testing::HasSubstr;
using cli_testing::TRun;

class HelpTest : public cli_testing::TCliTest {};

TEST_F(HelpTest, HelpListsEveryCommandWithUsageAndExample) {
  const TRun run = Run({"help"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  for (const TCommand* command : Commands()) {
    SCOPED_TRACE(std::string(command->spec.name));
    EXPECT_THAT(run.out, HasSubstr(UsageLine(*command)));
    EXPECT_THAT(run.out, HasSubstr("Example: " + std::string(command->spec.example)));
    EXPECT_THAT(std::string(command->spec.example), ::testing::StartsWith("corvane-cli " + std::string(command->spec.name)));
  }
}

TEST_F(HelpTest, EachCommandExplainsItsArgumentsAndOptions) {
  for (const TCommand* command : Commands()) {
    SCOPED_TRACE(std::string(command->spec.name));
    const TRun viaHelp = Run({"help", std::string(command->spec.name)});
    const TRun viaOption = Run({std::string(command->spec.name), "--help"});
    ASSERT_EQ(viaHelp.exitCode, 0) << viaHelp.err;
    EXPECT_EQ(viaOption.exitCode, 0) << viaOption.err;
    EXPECT_EQ(viaOption.out, viaHelp.out);
    for (const TArgumentSpec& argument : command->spec.arguments) EXPECT_THAT(viaHelp.out, HasSubstr(std::string(argument.name)));
    for (const TOptionSpec& option : command->spec.options) EXPECT_THAT(viaHelp.out, HasSubstr(std::string(option.name)));
    EXPECT_THAT(viaHelp.out, HasSubstr(std::string(command->spec.example)));
  }
}

TEST_F(HelpTest, ManPageIsTheOneGeneratedFromTheCommandTable) {
  std::ostringstream generated;
  PrintManPage(generated);
  EXPECT_EQ(cli_testing::ReadWhole(CORVANE_CLI_MAN_PAGE), generated.str())
      << "regenerate cli/corvane-cli.1 with: corvane-cli help --man > cli/corvane-cli.1";
  const TRun run = Run({"help", "--man"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, generated.str());
}

TEST_F(HelpTest, WrongUsageExitsWithTwoAndPointsToHelp) {
  struct TCase {
    std::vector<std::string> args;
    const char* message;
  };
  const TCase cases[] = {
      {{"frobnicate"}, "Unknown command 'frobnicate'."},
      {{"help", "frobnicate"}, "Unknown command 'frobnicate'."},
      {{"ls"}, "Missing DATABASE."},
      {{"show", "a.cvd"}, "Missing RECORD."},
      {{"ls", "a.cvd", "Work", "more"}, "Unexpected argument 'more'."},
      {{"ls", "a.cvd", "--bogus"}, "Unknown option '--bogus'."},
      {{"info", "a.cvd", "--password-stdin"}, "Unknown option '--password-stdin'."},
      {{"create", "a.cvd"}, "The option --name is required."},
      {{"create", "a.cvd", "--name"}, "The option --name needs a value."},
      {{"create", "a.cvd", "--name", "x", "--name=y"}, "The option --name is given more than once."},
      {{"ls", "a.cvd", "--json=yes"}, "The option --json takes no value."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message);
    const TRun run = Run(c.args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.err, HasSubstr(c.message));
    EXPECT_THAT(run.err, HasSubstr("corvane-cli help"));
    EXPECT_EQ(run.out, "");
  }
  const TRun none = Run({});
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_THAT(none.err, HasSubstr("Usage: corvane-cli COMMAND DATABASE"));
}

TEST_F(HelpTest, DoubleDashEndsTheOptions) {
  // A title starting with "-" is still a record path after "--"; the database
  // does not exist, so the run fails as an error, not as wrong usage.
  const TRun run = Run({"show", File("none.cvd"), "--password-stdin", "--", "-odd-title"}, "secret\n");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("does not exist"));
}

TEST_F(HelpTest, OutputThatCannotBeWrittenIsAFailure) {
  const TRun run = Run({"help"}, "", "/dev/full");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_THAT(run.err, HasSubstr("The output could not be written."));
}

}  // namespace
}  // namespace corvane
