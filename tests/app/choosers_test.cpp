#include <gtest/gtest.h>

#include "app/busy_cursor.h"
#include "app/choosers.h"
#include "tests/app/scripted_front_end.h"

namespace corvane {
namespace {

using TChooser = testing::TScriptedFrontEnd::TChooser;

class Choosers : public ::testing::Test {
 protected:
  testing::TScriptedFrontEnd frontEnd;
  TFrontEndInstallation installed{frontEnd};
};

TEST_F(Choosers, FilterTextBecomesPairsOfNameAndPatterns) {
  const std::vector<TFileFilter> filters = ParseFileFilter("Icons (*.ico)|*.ico|Bitmaps (*.bmp)|*.bmp;*.dib|Odd");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].name, "Icons (*.ico)");
  EXPECT_EQ(filters[0].patterns, "*.ico");
  EXPECT_EQ(filters[1].patterns, "*.bmp;*.dib");
  EXPECT_TRUE(ParseFileFilter("").empty());
}

TEST_F(Choosers, RequestsCarryWhatTheCallerGaveAndAnswersComeBack) {
  frontEnd.chosenPaths = {"/home/me/Work.cvb", std::nullopt};
  BusyBegin();
  EXPECT_EQ(AskFileToSave("Choose location for Work backup", "Backup files (*.cvb)|*.cvb|All files (*.*)|*.*", "",
                          "Work", "cvb"),
            "/home/me/Work.cvb");
  EXPECT_FALSE(AskFolder("Choose folder:", "/home/me"));
  BusyEnd();
  ASSERT_EQ(frontEnd.choosers.size(), 2u);
  EXPECT_EQ(frontEnd.choosers[0].kind, TChooser::SaveFile);
  EXPECT_EQ(frontEnd.choosers[0].title, "Choose location for Work backup");
  EXPECT_EQ(frontEnd.choosers[0].fileName, "Work");
  EXPECT_EQ(frontEnd.choosers[0].filters.size(), 2u);
  EXPECT_EQ(frontEnd.choosers[1].kind, TChooser::Folder);
  EXPECT_EQ(frontEnd.choosers[1].startFolder, "/home/me");
  EXPECT_EQ(frontEnd.busyStates, (std::vector<bool>{true, false, true, false, true, false}))
      << "the arrow while each chooser is up";

  frontEnd.restoreChoices = {TRestoreChoice::AsNew};
  EXPECT_EQ(AskRestore("You are about to restore database 'Work' from backup.\rBut ...", "1/2/2026", "3/4/2026"),
            TRestoreChoice::AsNew);
  EXPECT_EQ(frontEnd.restoreQuestions.at(0).message, "You are about to restore database 'Work' from backup.\nBut ...");
  EXPECT_EQ(AskRestore("again", "", ""), TRestoreChoice::Cancel) << "unscripted: cancelled";
}

}  // namespace
}  // namespace corvane
