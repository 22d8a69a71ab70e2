#include <gtest/gtest.h>

#include "app/busy_cursor.h"
#include "app/message_box.h"
#include "app/progress_display.h"
#include "platform/error.h"
#include "tests/app/scripted_front_end.h"

namespace corvane {
namespace {

class MessageBox : public ::testing::Test {
 protected:
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
};

std::vector<std::pair<std::string, int>> Buttons(const TMessageRequest& request) {
  std::vector<std::pair<std::string, int>> buttons;
  for (const TMsgButton& button : request.buttons) buttons.emplace_back(button.caption, button.result);
  return buttons;
}

TEST_F(MessageBox, FlagsChooseButtonsIconTitleAndDefault) {
  using TButtons = std::vector<std::pair<std::string, int>>;
  struct TCase {
    std::uint32_t flags;
    TButtons buttons;
    TMsgIcon icon;
    std::string title;
    int enterResult;
  } const cases[] = {
      {kMbOk, {{"OK", 1}}, TMsgIcon::None, "", 1},
      {kMbOkCancel | kMbIconError, {{"OK", 1}, {"Cancel", 2}}, TMsgIcon::Error, "Error", 1},
      {kMbAbortRetryIgnore | kMbIconWarning | kMbDefButton3, {{"Abort", 3}, {"Retry", 4}, {"Ignore", 5}},
       TMsgIcon::Warning, "Warning", 5},
      {kMbYesNoCancel | kMbIconQuestion | kMbDefButton2, {{"Yes", 6}, {"No", 7}, {"Cancel", 2}},
       TMsgIcon::Question, "Confirmation", 7},
      {kMbYesNo | kMbIconInformation, {{"Yes", 6}, {"No", 7}}, TMsgIcon::Information, "Information", 6},
      {kMbRetryCancel | kMbDefButton3, {{"Retry", 4}, {"Cancel", 2}}, TMsgIcon::None, "", 4},
      {kMbOk | kMbHelp, {{"OK", 1}, {"Help", 15}}, TMsgIcon::None, "", 1},
  };
  for (const TCase& c : cases) {
    frontEnd.messages.clear();
    EXPECT_EQ(MsgBox("Text", c.flags), c.enterResult) << "flags " << c.flags;
    ASSERT_EQ(frontEnd.messages.size(), 1u);
    EXPECT_EQ(Buttons(frontEnd.messages[0]), c.buttons) << "flags " << c.flags;
    EXPECT_EQ(frontEnd.messages[0].icon, c.icon);
    EXPECT_EQ(frontEnd.messages[0].title, c.title);
  }
  MsgBox("Text", kMbIconError, "Own title");
  EXPECT_EQ(frontEnd.messages.back().title, "Own title");
  frontEnd.messageAnswers = {kIdNo};
  EXPECT_EQ(MsgBox("Text", kMbYesNo), kIdNo);
}

TEST_F(MessageBox, TextIsCutAndEveryKindOfLineBreakShowsTheSame) {
  MsgBox("one\rtwo\nthree\r\nfour\n\rfive", kMbOk);
  EXPECT_EQ(frontEnd.messages.back().text, "one\ntwo\nthree\nfour\n\nfive");

  MsgBox(std::string(3999, 'a') + "\r\nb", kMbOk);
  EXPECT_EQ(frontEnd.messages.back().text, std::string(3999, 'a') + "\n") << "the pair counts two characters";

  std::string accented;
  for (int i = 0; i < 4001; ++i) accented += "é";
  MsgBox(accented, kMbOk);
  EXPECT_EQ(frontEnd.messages.back().text.size(), 4000u * 2) << "cut by characters, never inside one";
}

TEST_F(MessageBox, CustomButtonsMarkTheDefaultAndAddTheCheckBox) {
  const TMsgButton buttons[] = {{"Replace", 10}, {"Keep both", 11 | kMsgDefaultButton}, {"Help", kIdHelp}};
  frontEnd.messageChecks = {true};
  EXPECT_EQ(CustomMsgBox("File exists.", "Copy", "Size: 10 bytes\rDate: today", "Do this for all", buttons,
                         TMsgIcon::Warning),
            11 + kMsgChecked);
  const TMessageRequest& shown = frontEnd.messages.back();
  EXPECT_EQ(Buttons(shown), (std::vector<std::pair<std::string, int>>{{"Replace", 10}, {"Keep both", 11}, {"Help", 15}}));
  EXPECT_EQ(shown.defaultButton, 1u);
  EXPECT_EQ(shown.details, "Size: 10 bytes\nDate: today");
  EXPECT_EQ(shown.checkBoxCaption, "Do this for all");
  EXPECT_EQ(shown.title, "Copy");

  frontEnd.messageChecks = {true};
  EXPECT_EQ(CustomMsgBox("No box.", "", "", "", buttons, TMsgIcon::None), 11) << "no check box, nothing added";
}

TEST_F(MessageBox, InvalidCustomButtonsAreRefused) {
  const std::vector<TMsgButton> none;
  const TMsgButton noCaption[] = {{"OK", 1}, {"", 2}};
  const TMsgButton badResult[] = {{"OK", 200}};
  try {
    CustomMsgBox("x", "", "", "", none, TMsgIcon::None);
    ADD_FAILURE();
  } catch (const TError& error) {
    EXPECT_STREQ(error.what(), "CustomMsgBox: Invalid number of buttons description parameters.");
  }
  try {
    CustomMsgBox("x", "", "", "", noCaption, TMsgIcon::None);
    ADD_FAILURE();
  } catch (const TError& error) {
    EXPECT_STREQ(error.what(), "CustomMsgBox: Invalid button description parameter (#2).");
  }
  EXPECT_THROW(CustomMsgBox("x", "", "", "", badResult, TMsgIcon::None), TError);
  EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(MessageBox, ShowErrorPutsThePrefixOnItsOwnLine) {
  ShowError(TError("Access denied."), "Cannot save.");
  EXPECT_EQ(frontEnd.messages.back().text, "Cannot save.\nAccess denied.");
  EXPECT_EQ(frontEnd.messages.back().icon, TMsgIcon::Error);
  ShowError(TError("Access denied."));
  EXPECT_EQ(frontEnd.messages.back().text, "Access denied.");
}

TEST_F(MessageBox, EngineTextInAMessageReachesTheFrontEndInUtf8) {
  ShowError(TError("User 'Cl\xE9rk' is disabled."), "Unable to verify user or group:");
  EXPECT_EQ(frontEnd.messages.back().text, "Unable to verify user or group:\nUser 'Cl\xC3\xA9rk' is disabled.");
}

TEST_F(MessageBox, BusyCursorNestsAndGivesWayToMessages) {
  BusyBegin();
  BusyBegin();
  BusyEnd();
  EXPECT_TRUE(frontEnd.Busy()) << "one BusyBegin is still open";
  MsgBox("Question", kMbYesNo);
  EXPECT_EQ(frontEnd.busyStates, (std::vector<bool>{true, false, true})) << "arrow while the box is up";
  BusyEnd();
  EXPECT_FALSE(frontEnd.Busy());
  BusyEnd();
  EXPECT_EQ(BusyDepth(), 0);
  BusyBegin();
  EXPECT_TRUE(frontEnd.Busy()) << "an extra BusyEnd did not count below zero";
  BusyEnd();
}

TEST(FrontEndInstallation, LastsAsLongAsItsObjectAndShowingWithoutOneIsAnError) {
  EXPECT_EQ(InstalledFrontEnd(), nullptr);
  EXPECT_THROW(MsgBox("x", kMbOk), TError);
  testing::TScriptedFrontEnd outer, inner;
  TFrontEndInstallation outerInstalled(outer);
  {
    TFrontEndInstallation innerInstalled(inner);
    MsgBox("to inner", kMbOk);
  }
  MsgBox("to outer", kMbOk);
  EXPECT_EQ(inner.MessageTexts(), std::vector<std::string>{"to inner"});
  EXPECT_EQ(outer.MessageTexts(), std::vector<std::string>{"to outer"});
}

TEST_F(MessageBox, ProgressCancelStopsTheOperationAtItsNextStep) {
  frontEnd.cancelAtStep = 2;
  std::vector<int> done;
  try {
    TProgressDisplay progress("Adding files", 3);
    for (int i = 1; i <= 3; ++i) {
      progress.Step("/home/me/file" + std::to_string(i), i);
      done.push_back(i);
    }
    ADD_FAILURE() << "not cancelled";
  } catch (const TError& error) {
    EXPECT_STREQ(error.what(), "User canceled.");
  }
  EXPECT_EQ(done, std::vector<int>{1});
  EXPECT_EQ(frontEnd.progress, (std::vector<std::string>{"start Adding files 3", "step /home/me/file1 1",
                                                         "step /home/me/file2 2", "end"}));
}

TEST_F(MessageBox, EngineProgressGoesToTheFrontEnd) {
  const TProgressCallback callback = FrontEndProgress();
  callback(100, "Saving", TProgressAction::Show);
  callback(40, "", TProgressAction::Position);
  callback(0, "", TProgressAction::Close);
  EXPECT_EQ(frontEnd.progress, (std::vector<std::string>{"start Saving 100", "step  40", "end"}));
  frontEnd.cancelAtStep = 1;
  EXPECT_THROW(callback(50, "", TProgressAction::Position), TError);
}

}  // namespace
}  // namespace corvane
