#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/app_ini_file.h"
#include "app/settings.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "tests/app/app_test_support.h"

namespace corvane {
namespace {

using file_testing::ReadText;
using file_testing::WriteText;
using SettingsStore = testing::TAppTest;
using SettingsStoreModes = testing::TAppModeTest;
using testing::TStoreMode;

std::optional<std::string> RegistryText(std::string_view path, std::string_view name) {
  std::optional<TRegKey> key = TRegKey::Open(THive::CurrentUser, path);
  return key ? key->QueryString(name) : std::nullopt;
}

TEST_F(SettingsStore, WithoutIniFileTheSettingsGoToTheRegistry) {
  StartIn(TStoreMode::Registry);
  EXPECT_FALSE(SettingsInIniMode());
  ASSERT_TRUE(OpenSettings(true));
  Settings().WriteString("", "LastSaveFolder", "/home/me");
  Settings().WriteString("Sync", "{id}", "/media/card,Work");
  CloseSettings();
  EXPECT_EQ(RegistryText("Software\\Corvane", "LastSaveFolder"), "/home/me");
  EXPECT_EQ(RegistryText("Software\\Corvane\\Sync", "{id}"), "/media/card,Work");
  EXPECT_FALSE(std::filesystem::exists(IniPath()));
}

TEST_F(SettingsStore, AnEmptyIniFileSwitchesTheNextStartToIniMode) {
  StartIn(TStoreMode::Registry);
  WriteText(IniPath(), "");
  EXPECT_FALSE(SettingsInIniMode()) << "the mode is chosen once, at start";
  StartSettings(program.Path());
  ASSERT_TRUE(SettingsInIniMode());
  ASSERT_TRUE(OpenSettings(true));
  Settings().WriteBool("", "AutoClose", false);
  Settings().WriteInteger("MainWindow", "SplitterW", 200);
  CloseSettings();
  EXPECT_EQ(ReadText(IniPath()), "[Options]\nAutoClose=0\n\n[MainWindow]\nSplitterW=200\n");
  EXPECT_FALSE(TRegKey::Open(THive::CurrentUser, "Software\\Corvane"));
}

TEST_F(SettingsStore, IniFileWrittenByHandIsReadAndKeptWhenChanged) {
  WriteText(IniPath(),
            "; written by the administrator\r\n"
            "[options]\r\n"
            "  autoclosetimesec = 60  \r\n"
            "UiFont=\"  Spaced  \"\r\n"
            "\r\n"
            "[Other]\r\n"
            "Key=value=with=equals\r\n");
  StartSettings(program.Path());
  ASSERT_TRUE(OpenSettings(true));
  EXPECT_EQ(Settings().ReadInteger("", "AutoCloseTimeSec", 0), 60);
  EXPECT_EQ(Settings().ReadString("", "UiFont", ""), "  Spaced  ");
  EXPECT_EQ(Settings().ReadString("OTHER", "key", ""), "value=with=equals");
  Settings().WriteInteger("", "BackupCnt", 3);
  Settings().WriteString("Other", "Key", " padded");
  CloseSettings();
  EXPECT_EQ(ReadText(IniPath()),
            "; written by the administrator\n"
            "[options]\n"
            "  autoclosetimesec = 60  \n"
            "UiFont=\"  Spaced  \"\n"
            "BackupCnt=3\n"
            "\n"
            "[Other]\n"
            "Key=\" padded\"\n");
}

TEST_P(SettingsStoreModes, ValuesReadBackWithTheirTypes) {
  ASSERT_TRUE(OpenSettings(true));
  TSettingsStore& store = Settings();
  store.WriteString("", "Text", "Grüße, = ; [x]");
  store.WriteInteger("", "Negative", -42);
  store.WriteBool("", "Flag", true);
  store.WriteBool("Section", "Off", false);
  store.WriteString("", "NumberAsText", "90");
  store.WriteString("", "NotANumber", "ninety");
  CloseSettings();

  ASSERT_TRUE(OpenSettings(false));
  EXPECT_EQ(store.ReadString("", "Text", ""), "Grüße, = ; [x]");
  EXPECT_EQ(store.ReadInteger("", "Negative", 0), -42);
  EXPECT_TRUE(store.ReadBool("", "Flag", false));
  EXPECT_FALSE(store.ReadBool("Section", "Off", true));
  EXPECT_EQ(store.ReadInteger("", "NumberAsText", 0), 90) << "DefExpTime is written as text and read as a number";
  EXPECT_EQ(store.ReadInteger("", "NotANumber", 7), 7);
  EXPECT_TRUE(store.ReadBool("", "NotANumber", true));
  EXPECT_FALSE(store.ReadBool("", "NotANumber", false));
  EXPECT_EQ(store.ReadString("", "Missing", "default"), "default");
  EXPECT_EQ(store.ReadInteger("Section", "Missing", 5), 5);
  EXPECT_EQ(store.ReadString("NoSuchSection", "Text", "d"), "d");
  CloseSettings();

  store.DeleteValue("", "Flag");
  EXPECT_FALSE(store.ReadBool("", "Flag", false));
}

TEST_P(SettingsStoreModes, AnyNumberOtherThanZeroReadsAsTrue) {
  Settings().WriteInteger("", "Two", 2);
  Settings().WriteInteger("", "Zero", 0);
  EXPECT_TRUE(Settings().ReadBool("", "Two", false));
  EXPECT_FALSE(Settings().ReadBool("", "Zero", true));
}

INSTANTIATE_TEST_SUITE_P(BothModes, SettingsStoreModes, ::testing::Values(TStoreMode::Ini, TStoreMode::Registry),
                         testing::ModeName);

TEST_F(SettingsStore, RegistryStoreOpensForReadingOnlyWhenItsKeyExists) {
  StartIn(TStoreMode::Registry);
  EXPECT_FALSE(OpenSettings(false));
  EXPECT_FALSE(TRegKey::Open(THive::CurrentUser, "Software\\Corvane")) << "reading creates nothing";
  EXPECT_TRUE(OpenSettings(true));
  CloseSettings();
  EXPECT_TRUE(OpenSettings(false));
  CloseSettings();
}

TEST_F(SettingsStore, IniStoreCannotBeOpenedForWritingWhileReadOnlyOrHeldByAWriter) {
  StartIn(TStoreMode::Ini);
  EXPECT_TRUE(OpenSettings(false));
  CloseSettings();

  ASSERT_EQ(::chmod(IniPath().c_str(), 0444), 0);
  EXPECT_FALSE(OpenSettings(true));
  ASSERT_EQ(::chmod(IniPath().c_str(), 0644), 0);

  {
    TFile holder = TFile::Open(IniPath(), TFile::TMode::kWrite);
    EXPECT_FALSE(OpenSettings(true));
  }
  EXPECT_TRUE(OpenSettings(true));
  CloseSettings();
}

TEST_F(SettingsStore, IniWritesOfABracketReachTheFileTogetherWhenItCloses) {
  StartIn(TStoreMode::Ini);
  ASSERT_TRUE(OpenSettings(true));
  Settings().WriteInteger("", "BackupCnt", 9);
  EXPECT_EQ(Settings().ReadInteger("", "BackupCnt", 0), 9);
  EXPECT_EQ(ReadText(IniPath()), "") << "another reader still sees the old file";
  CloseSettings();
  EXPECT_EQ(ReadText(IniPath()), "[Options]\nBackupCnt=9\n");
}

TEST_F(SettingsStore, IniRefusesTextsThatWouldReadBackDifferently) {
  StartIn(TStoreMode::Ini);
  WriteText(IniPath(), "[Options]\nA=1\n");
  EXPECT_THROW(Settings().WriteString("", "LastSaveFolder", "line\n[Options]\nAutoClose=0"), TError);
  EXPECT_THROW(Settings().WriteString("RecentLogins", "/db/a=b.dat", "Admin"), TError);
  EXPECT_THROW(Settings().WriteString("Bad]Section", "Key", "v"), TError);
  EXPECT_EQ(ReadText(IniPath()), "[Options]\nA=1\n");
}

TEST_F(SettingsStore, IniFileThatCannotBeReadIsNeverReplaced) {
  StartIn(TStoreMode::Ini);
  const std::string huge(TAppIniFile::kMaxFileSize + 1, 'x');
  WriteText(IniPath(), huge);
  EXPECT_FALSE(OpenSettings(true));
  EXPECT_THROW(Settings().WriteBool("", "AutoClose", false), TError);
  EXPECT_EQ(Settings().ReadInteger("", "AutoCloseTimeSec", 77), 77);
  EXPECT_EQ(std::filesystem::file_size(IniPath()), huge.size());
}

}  // namespace
}  // namespace corvane
