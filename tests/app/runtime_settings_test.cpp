#include <gtest/gtest.h>

#include "app/runtime_settings.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "app/window_placement.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "tests/app/app_test_support.h"

namespace corvane {
namespace {

using testing::TStoreMode;
using RuntimeSettingsModes = testing::TAppModeTest;
using RuntimeSettings_ = testing::TAppTest;

void Write(const auto& key, const auto& value) {
  ASSERT_TRUE(OpenSettings(true));
  WriteSetting(key, value);
  CloseSettings();
}

TEST_P(RuntimeSettingsModes, AnEmptyStoreGivesTheDefaultsOfTheKeyTable) {
  SetDefaultBackupFolder(DefaultBackupFolder("/home/me/Documents/My databases"));
  ApplySettings();
  ReadUiSettings();
  const TRuntimeSettings& s = RuntimeSettings();
  EXPECT_EQ(s.autoCloseIntervalMs, 300000u);
  EXPECT_EQ(s.minBasePassword, 8);
  EXPECT_EQ(s.backupCount, 5);
  EXPECT_TRUE(s.backupOnSave);
  EXPECT_TRUE(s.expandFolders);
  EXPECT_FALSE(s.defShowPassword);
  EXPECT_FALSE(s.defExpTimeEnabled);
  EXPECT_EQ(s.defExpTime, 90);
  EXPECT_EQ(s.backupFolder, "/home/me/Documents/My databases/Backup");
  EXPECT_EQ(s.uiFont, "");
  EXPECT_DOUBLE_EQ(s.uiScale, 1.0);

  ASSERT_TRUE(OpenSettings(false) || GetParam() == TStoreMode::Registry);
  EXPECT_EQ(ReadSetting(setting::DbFileNameTemplate), "CVBase*.dat");
  EXPECT_TRUE(ReadSetting(setting::RememberLastDbUser));
  EXPECT_EQ(ReadSetting(setting::CodePage), 1252);
  EXPECT_EQ(ReadSetting(setting::SplitterW), 120);
  EXPECT_EQ(ReadSetting(setting::SplitterH), 140);
  EXPECT_EQ(ReadSetting(setting::FolderCount), 0);
  CloseSettings();
}

TEST_P(RuntimeSettingsModes, AutoCloseIntervalFollowsItsThreeKeys) {
  struct TCase {
    std::optional<bool> autoClose;
    std::optional<int> minutes, seconds;
    std::uint32_t expectedMs;
  } const cases[] = {
      {std::nullopt, std::nullopt, std::nullopt, 300000},
      {std::nullopt, std::nullopt, 1, 3000},
      {std::nullopt, 2, std::nullopt, 120000},
      {std::nullopt, 2, 45, 45000},
      {false, std::nullopt, 600, 0},
      {true, std::nullopt, 9999, 9999000},
  };
  for (const TCase& c : cases) {
    ASSERT_TRUE(OpenSettings(true));
    Settings().DeleteValue("", "AutoClose");
    Settings().DeleteValue("", "AutoCloseTime");
    Settings().DeleteValue("", "AutoCloseTimeSec");
    if (c.autoClose) WriteSetting(setting::AutoClose, *c.autoClose);
    if (c.minutes) WriteSetting(setting::AutoCloseTime, *c.minutes);
    if (c.seconds) WriteSetting(setting::AutoCloseTimeSec, *c.seconds);
    CloseSettings();
    ApplySettings();
    EXPECT_EQ(RuntimeSettings().autoCloseIntervalMs, c.expectedMs)
        << "minutes " << c.minutes.value_or(-1) << ", seconds " << c.seconds.value_or(-1);
  }
}

TEST_P(RuntimeSettingsModes, StoredValuesReplaceTheCopies) {
  ASSERT_TRUE(OpenSettings(true));
  WriteSetting(setting::MinBasePassword, 12);
  WriteSetting(setting::BackupCnt, 2);
  WriteSetting(setting::BackupOnSave, false);
  WriteSetting(setting::BackupPath, "%APP%/Backup");
  WriteSetting(setting::ExpandFolders, false);
  WriteSetting(setting::DefShowPassword, true);
  WriteSetting(setting::DefExpTimeEnabled, true);
  WriteSettingText(setting::DefExpTime, "30");
  WriteSetting(setting::UiFont, "DejaVu Sans");
  WriteSetting(setting::UiScaling, 0);
  CloseSettings();
  TFakeClock clock(777);

  ApplySettings();
  ReadUiSettings();
  const TRuntimeSettings& s = RuntimeSettings();
  EXPECT_EQ(s.minBasePassword, 12);
  EXPECT_EQ(s.backupCount, 2);
  EXPECT_FALSE(s.backupOnSave);
  EXPECT_EQ(s.backupFolder, program.Path() + "/Backup");
  EXPECT_FALSE(s.expandFolders);
  EXPECT_TRUE(s.defShowPassword);
  EXPECT_TRUE(s.defExpTimeEnabled);
  EXPECT_EQ(s.defExpTime, 30);
  EXPECT_EQ(s.uiFont, "DejaVu Sans");
  EXPECT_DOUBLE_EQ(s.uiScale, 1.0) << "a scaling of 0 is 100 %";
  EXPECT_EQ(s.lastActivityTick, 777u);
  EXPECT_EQ(frontEnd.hooks, std::vector<std::string>{"RepaintTree"});
}

INSTANTIATE_TEST_SUITE_P(BothModes, RuntimeSettingsModes, ::testing::Values(TStoreMode::Ini, TStoreMode::Registry),
                         testing::ModeName);

TEST_F(RuntimeSettings_, CodePageSettingChoosesTheCodePageOfEngineTexts) {
  StartIn(TStoreMode::Ini);
  Write(setting::CodePage, 1251);
  ApplyCodePageSetting();
  EXPECT_EQ(CurrentCodePage(), 1251);
  Write(setting::CodePage, 12345);
  EXPECT_THROW(ApplyCodePageSetting(), TError);
  EXPECT_EQ(CurrentCodePage(), 1251);
  SetCodePage(kDefaultCodePage);
}

TEST_F(RuntimeSettings_, WindowPlacementIsKeptForTheNormalStateOnly) {
  StartIn(TStoreMode::Ini);
  const TWindowPlacement defaults{1, 2, 3, 4, TWindowState::Normal};
  SaveWindowPlacement(setting::kEditDescrWindow, {10, 20, 300, 200, TWindowState::Normal});
  SaveWindowPlacement(setting::kEditDescrWindow, {0, 0, 1920, 1080, TWindowState::Maximized});
  TWindowPlacement loaded = LoadWindowPlacement(setting::kEditDescrWindow, defaults);
  EXPECT_EQ(loaded.left, 10);
  EXPECT_EQ(loaded.width, 300);
  EXPECT_EQ(loaded.state, TWindowState::Maximized);

  SaveWindowPlacement(setting::kEditDescrWindow, {5, 5, 5, 5, TWindowState::Minimized});
  loaded = LoadWindowPlacement(setting::kEditDescrWindow, defaults);
  EXPECT_EQ(loaded.top, 20);
  EXPECT_EQ(loaded.state, TWindowState::Maximized) << "a minimised window writes nothing";
  EXPECT_EQ(file_testing::ReadText(IniPath()),
            "[EditDescrWindow]\nLeft=10\nTop=20\nWidth=300\nHeight=200\nWindowState=2\n");

  EXPECT_EQ(LoadWindowPlacement("Unknown", defaults).height, 4);
}

}  // namespace
}  // namespace corvane
