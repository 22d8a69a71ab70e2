#include <gtest/gtest.h>

#include "app/prompts.h"
#include "tests/app/scripted_front_end.h"

namespace corvane {
namespace {

class Prompts : public ::testing::Test {
 protected:
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
};

TEST_F(Prompts, PasswordPromptNamesTheDatabaseAndRefusesAnEmptyPassword) {
  frontEnd.passwords = {"", "secret"};
  const std::optional<TSecretText> password = PromptPassword("Work");
  ASSERT_TRUE(password);
  EXPECT_EQ(password->Text(), "secret");
  ASSERT_EQ(frontEnd.passwordPrompts.size(), 2u) << "asked again after the empty one";
  EXPECT_EQ(frontEnd.passwordPrompts[0].caption, "Enter password");
  EXPECT_EQ(frontEnd.passwordPrompts[0].text, "Please, enter password to open 'Work' database.");
  EXPECT_EQ(frontEnd.passwordPrompts[0].note, "The password is case-sensitive, so check the Caps Lock state.");
  EXPECT_EQ(frontEnd.MessageTexts(), std::vector<std::string>{"You cannot use empty password."});
  EXPECT_EQ(frontEnd.messages[0].icon, TMsgIcon::Error);
}

TEST_F(Prompts, PasswordPromptWithoutMainWindowSaysWhoAsksAndShowsTheMessageFirst) {
  frontEnd.mainWindowVisible = false;
  frontEnd.passwords = {std::nullopt};
  EXPECT_FALSE(PromptPassword("Home", "The remote database has another password."));
  ASSERT_EQ(frontEnd.passwordPrompts.size(), 1u);
  EXPECT_EQ(frontEnd.passwordPrompts[0].caption, "Corvane: Enter password");
  EXPECT_EQ(frontEnd.passwordPrompts[0].text,
            "The remote database has another password.\nPlease, enter password to open 'Home' database.");
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(Prompts, LogonPromptPreselectsTheRememberedUser) {
  const std::vector<std::string> users = {"Admin", "Guest"};
  struct TCase {
    bool editable;
    std::optional<std::string> remembered;
    std::string selected;
  } const cases[] = {
      {false, "Guest", "Guest"},
      {false, "Gone", "Admin"},
      {true, "DOMAIN\\someone", "DOMAIN\\someone"},
      {true, "", "Admin"},
      {false, std::nullopt, ""},
  };
  for (const TCase& c : cases) {
    frontEnd.logonPrompts.clear();
    PromptLogon(users, c.editable, c.remembered);
    ASSERT_EQ(frontEnd.logonPrompts.size(), 1u);
    EXPECT_EQ(frontEnd.logonPrompts[0].selectedName, c.selected) << c.remembered.value_or("(not remembered)");
    EXPECT_EQ(frontEnd.logonPrompts[0].userNames, users);
    EXPECT_EQ(frontEnd.logonPrompts[0].nameEditable, c.editable);
  }
}

TEST_F(Prompts, LogonPromptKeepsTheNameWhenThePasswordWasEmpty) {
  frontEnd.logons = {testing::TScriptedFrontEnd::TLogonScript{"Guest", ""},
                     testing::TScriptedFrontEnd::TLogonScript{"Guest", "pw"}};
  const std::optional<TLogonAnswer> answer = PromptLogon({"Admin", "Guest"}, false, "Admin");
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->userName, "Guest");
  EXPECT_EQ(answer->password.Text(), "pw");
  ASSERT_EQ(frontEnd.logonPrompts.size(), 2u);
  EXPECT_EQ(frontEnd.logonPrompts[0].caption, "User logon");
  EXPECT_EQ(frontEnd.logonPrompts[0].text, "Please enter your user name and password.");
  EXPECT_EQ(frontEnd.logonPrompts[1].selectedName, "Guest");
  EXPECT_EQ(frontEnd.MessageTexts(), std::vector<std::string>{"You cannot use empty password."});

  EXPECT_FALSE(PromptLogon({"Admin"}, false, std::nullopt)) << "cancel";
}

}  // namespace
}  // namespace corvane
