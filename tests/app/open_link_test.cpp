#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "app/open_link.h"
#include "app/program_starter.h"
#include "tests/app/scripted_front_end.h"
#include "tests/platform/file_test_support.h"

namespace corvane {
namespace {

using TArguments = std::vector<std::string>;

TEST(OpenLink, SplitsProgramAndParameters) {
  struct TCase {
    std::string_view text, program, parameters;
  } const cases[] = {
      {"  www.example.com  ", "www.example.com", ""},
      {"prog  -a  -b ", "prog", "-a  -b"},
      {"\"/opt/My Tools/run\" --x \"y z\"", "/opt/My Tools/run", "--x \"y z\""},
      {"\"unclosed quote", "unclosed quote", ""},
      {"", "", ""},
  };
  for (const TCase& c : cases) {
    const TLinkCommand command = SplitLinkCommand(c.text);
    EXPECT_EQ(command.program, c.program) << c.text;
    EXPECT_EQ(command.parameters, c.parameters) << c.text;
  }
}

TEST(OpenLink, AddressesAndDocumentsGoToTheDesktopHandler) {
  struct TCase {
    std::string_view text, target;
  } const cases[] = {
      {"www.example.com", "http://www.example.com"},
      {"https://example.com/a b", "https://example.com/a b"},
      {"mailto:me@example.com", "mailto:me@example.com"},
      {"\\\\Server\\Share\\doc.txt", "\\\\Server\\Share\\doc.txt"},
      {"/home/me/doc.pdf", "/home/me/doc.pdf"},
      {"example.com/search?q=a b", "http://example.com/search?q=a b"},
      {"\"two words\" rest", "http://two words rest"},
      {"notaprogram --flag", "http://notaprogram --flag"},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(LinkArguments(c.text), (TArguments{"xdg-open", std::string(c.target)})) << c.text;
  }
}

TEST(OpenLink, AnExecutableFileIsStartedWithItsParametersAsArguments) {
  file_testing::TTempFolder folder;
  const std::string tool = folder / "my tool";
  file_testing::WriteText(tool, "#!/bin/sh\n");
  ASSERT_EQ(::chmod(tool.c_str(), 0755), 0);
  EXPECT_EQ(LinkArguments("\"" + tool + "\"  -v \"a b\" $(rm x);|y  "),
            (TArguments{tool, "-v", "a b", "$(rm", "x);|y"}));

  const std::string document = folder / "notes.txt";
  file_testing::WriteText(document, "text");
  EXPECT_EQ(LinkArguments(document + " extra"), (TArguments{"xdg-open", document + " extra"}))
      << "a file that cannot run is a document";
}

TEST(OpenLink, StartsThroughTheStarterAndShowsTheSystemTextWhenItFails) {
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed(frontEnd);
  std::vector<TArguments> started;
  int result = 0;
  SetProgramStarterForTesting([&](const TArguments& argv) {
    started.push_back(argv);
    return result;
  });
  EXPECT_TRUE(OpenLink("example.com"));
  EXPECT_EQ(started, (std::vector<TArguments>{{"xdg-open", "http://example.com"}}));
  EXPECT_TRUE(frontEnd.messages.empty());

  result = ENOENT;
  EXPECT_FALSE(OpenLink("example.com"));
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  EXPECT_EQ(frontEnd.messages[0].text, std::strerror(ENOENT));
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
  SetProgramStarterForTesting(nullptr);
}

TEST(ProgramStarter, ReportsWhyAProgramCannotStart) {
  file_testing::TTempFolder folder;
  const std::string notExecutable = folder / "plain";
  file_testing::WriteText(notExecutable, "");
  EXPECT_EQ(StartDetachedProgram({folder / "missing"}), ENOENT);
  EXPECT_EQ(StartDetachedProgram({notExecutable}), EACCES);
  EXPECT_EQ(StartDetachedProgram({}), ENOENT);
  EXPECT_EQ(StartDetachedProgram({"true"}), 0) << "a name is looked up on PATH";
}

TEST(ProgramStarter, ArgumentsReachTheProgramWithoutAShell) {
  file_testing::TTempFolder folder;
  const std::string odd = folder / "name; touch $(echo more) 'q' *";
  ASSERT_EQ(StartDetachedProgram({"touch", odd}), 0);
  // The program runs detached: wait (bounded) for it to do its work.
  for (int i = 0; i < 200 && !std::filesystem::exists(odd); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(odd)) << "one argument, taken literally";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

}  // namespace
}  // namespace corvane
