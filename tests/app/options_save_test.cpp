#include <gtest/gtest.h>

#include "app/message_box.h"
#include "app/messages.h"
#include "app/options_save.h"
#include "app/runtime_settings.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "platform/error.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "tests/app/app_test_support.h"

namespace corvane {
namespace {

using testing::TStoreMode;

// Options as an editor opened on an empty store shows them, with one folder.
TOptionsValues EditorValues() {
  TOptionsValues values;
  values.userFolders = {"/home/me/Documents/My databases"};
  values.fileNameTemplate = values.shownTemplate = "CVBase*.dat";
  values.autoCloseSeconds = "300";
  values.defExpTime = "90";
  values.backupCount = "5";
  values.backupFolder = "/home/me/Documents/My databases/Backup";
  return values;
}

class OptionsSave : public testing::TAppTest {
 protected:
  OptionsSave() {
    StartIn(TStoreMode::Registry);
    hooks.saveUserFolders = [this](const std::vector<std::string>& folders) { savedFolders = folders; };
    hooks.renameDatabaseFiles = [this](const std::string& newTemplate) { renamedWith = newTemplate; };
  }
  std::optional<std::string> Stored(std::string_view name) {
    std::optional<TRegKey> key = TRegKey::Open(THive::CurrentUser, "Software\\Corvane");
    if (!key) return std::nullopt;
    std::optional<TRegValue> value = key->Query(name);
    if (!value) return std::nullopt;
    return value->type == TRegType::String ? value->text : std::to_string(value->number);
  }

  TOptionsSaveHooks hooks;
  std::optional<std::vector<std::string>> savedFolders;
  std::optional<std::string> renamedWith;
};

TEST_F(OptionsSave, WritesEveryValueInTheStoreAndAppliesThem) {
  TOptionsValues values = EditorValues();
  values.userFolders.push_back("/media/card");
  values.minBasePassword = 10;
  values.autoCloseSeconds = "60";
  values.defExpTimeEnabled = true;
  values.defExpTime = "30";
  values.defShowPassword = true;
  values.expandFolders = false;
  values.backupCount = "3";
  values.backupFolder = program.Path() + "/Backup";

  ASSERT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved);
  EXPECT_TRUE(frontEnd.messages.empty());
  EXPECT_EQ(Stored("DefExpTimeEnabled"), "1");
  EXPECT_EQ(Stored("DefExpTime"), "30");
  EXPECT_EQ(TRegKey::Open(THive::CurrentUser, "Software\\Corvane")->Query("DefExpTime")->type, TRegType::String)
      << "the expiry period is written as the box's text";
  EXPECT_EQ(Stored("AutoClose"), "1");
  EXPECT_EQ(Stored("AutoCloseTimeSec"), "60");
  EXPECT_EQ(Stored("MinBasePassword"), "10");
  EXPECT_EQ(Stored("BackupOnSave"), "1");
  EXPECT_EQ(Stored("BackupCnt"), "3");
  EXPECT_EQ(Stored("BackupPath"), "%APP%/Backup");
  EXPECT_EQ(Stored("DefShowPassword"), "1");
  EXPECT_EQ(Stored("ExpandFolders"), "0");
  EXPECT_EQ(Stored("DbFileNameTemplate"), "CVBase*.dat");
  EXPECT_EQ(savedFolders, values.userFolders);
  EXPECT_FALSE(renamedWith) << "the template did not change";
  EXPECT_EQ(RuntimeSettings().autoCloseIntervalMs, 60000u);
  EXPECT_EQ(RuntimeSettings().backupFolder, program.Path() + "/Backup");
  EXPECT_EQ(frontEnd.hooks, std::vector<std::string>{"RepaintTree"});
  EXPECT_FALSE(frontEnd.Busy());
}

TEST_F(OptionsSave, RefusesAnEmptyFolderListAndATemplateWithoutStar) {
  TOptionsValues values = EditorValues();
  values.userFolders.clear();
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::FixFolders);
  values.policyFolderCount = 1;
  values.fileNameTemplate = "  Base.dat ";
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::FixTemplate);
  EXPECT_EQ(frontEnd.MessageTexts(),
            (std::vector<std::string>{std::string(soptnofolders), std::string(soptinvalidtemplate)}));
  EXPECT_EQ(frontEnd.messages.at(0).icon, TMsgIcon::Error);
  EXPECT_FALSE(Stored("AutoClose")) << "nothing was written";
  EXPECT_FALSE(savedFolders);

  values.fileNameTemplate = "Base.dat";
  values.templateShown = false;
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved) << "a template set by policy is not checked";
  EXPECT_FALSE(Stored("DbFileNameTemplate"));
}

TEST_F(OptionsSave, AChangedTemplateIsConfirmedBeforeTheFilesAreRenamed) {
  TOptionsValues values = EditorValues();
  values.fileNameTemplate = " Pwd*.dat ";
  frontEnd.messageAnswers = {kIdCancel};
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Canceled);
  ASSERT_EQ(frontEnd.messages.size(), 1u);
  const TMessageRequest& question = frontEnd.messages[0];
  EXPECT_EQ(question.text,
            "All database files will be renamed using new database file name template 'Pwd*.dat'.\n\n"
            "Do you want to change database file name template?");
  EXPECT_EQ(question.icon, TMsgIcon::Question);
  EXPECT_EQ(question.buttons.size(), 3u);
  EXPECT_EQ(question.buttons.at(question.defaultButton).result, kIdNo);
  EXPECT_FALSE(Stored("DbFileNameTemplate"));

  frontEnd.messageAnswers = {kIdNo};
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved);
  EXPECT_EQ(values.fileNameTemplate, "CVBase*.dat") << "No puts the old template back";
  EXPECT_EQ(Stored("DbFileNameTemplate"), "CVBase*.dat");
  EXPECT_FALSE(renamedWith);

  values.fileNameTemplate = "Pwd*.dat";
  frontEnd.messageAnswers = {kIdYes};
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved);
  EXPECT_EQ(Stored("DbFileNameTemplate"), "Pwd*.dat");
  EXPECT_EQ(renamedWith, "Pwd*.dat");
}

TEST_F(OptionsSave, EmptyBoxesSwitchTheirCheckBoxesOff) {
  struct TCase {
    std::string seconds, days, count;
    bool autoClose, expiry, backup;
  } const cases[] = {
      {"", "90", "5", false, true, true},
      {"300", "", "5", true, false, true},
      {"300", "90", "0", true, true, false},
      {"300", "90", "", true, true, false},
  };
  for (const TCase& c : cases) {
    TOptionsValues values = EditorValues();
    values.defExpTimeEnabled = true;
    values.autoCloseSeconds = c.seconds;
    values.defExpTime = c.days;
    values.backupCount = c.count;
    ASSERT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved);
    EXPECT_EQ(values.autoClose, c.autoClose);
    EXPECT_EQ(values.defExpTimeEnabled, c.expiry);
    EXPECT_EQ(values.backupOnSave, c.backup);
    EXPECT_EQ(Stored("AutoClose"), c.autoClose ? "1" : "0");
    EXPECT_EQ(Stored("BackupOnSave"), c.backup ? "1" : "0");
  }
  EXPECT_EQ(Stored("BackupCnt"), "5") << "a count that means nothing keeps the stored one";
  EXPECT_EQ(RuntimeSettings().backupCount, 5);
}

TEST_F(OptionsSave, ValuesDecidedByPolicyAreNotWritten) {
  TOptionsValues values = EditorValues();
  values.backupOnSaveEditable = false;
  values.backupOnSave = false;
  values.backupFolderEditable = false;
  values.backupFolder = "/srv/policy-backups";
  values.templateShown = false;
  ASSERT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved);
  EXPECT_FALSE(Stored("BackupOnSave"));
  EXPECT_FALSE(Stored("BackupPath"));
  EXPECT_FALSE(Stored("DbFileNameTemplate"));
  EXPECT_EQ(Stored("BackupCnt"), "5");
}

TEST_F(OptionsSave, AStoreThatCannotBeWrittenIsSkippedQuietly) {
  StartIn(TStoreMode::Ini);
  TFile holder = TFile::Open(IniPath(), TFile::TMode::kWrite);
  TOptionsValues values = EditorValues();
  values.minBasePassword = 20;
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Saved);
  EXPECT_TRUE(frontEnd.messages.empty());
  EXPECT_EQ(file_testing::ReadText(IniPath()), "");
  EXPECT_EQ(RuntimeSettings().minBasePassword, 8) << "the copies follow the store, not the editor";
  EXPECT_TRUE(savedFolders) << "the folder list is saved on its own";
}

TEST_F(OptionsSave, AFailedWriteIsShownAndKeepsTheEditorOpen) {
  hooks.saveUserFolders = [](const std::vector<std::string>&) { throw TError("Cannot write the folder list."); };
  TOptionsValues values = EditorValues();
  EXPECT_EQ(SaveOptions(values, hooks), TOptionsSaveResult::Failed);
  EXPECT_EQ(frontEnd.MessageTexts(), std::vector<std::string>{"Cannot write the folder list."});
  EXPECT_EQ(frontEnd.messages.at(0).icon, TMsgIcon::Error);
  EXPECT_FALSE(frontEnd.Busy());
}

}  // namespace
}  // namespace corvane
