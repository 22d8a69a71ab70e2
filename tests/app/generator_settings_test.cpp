#include "app/generator_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/error.h"
#include "platform/file.h"
#include "tests/app/app_test_support.h"

namespace corvane {
namespace {

using testing::TAppModeTest;
using testing::TAppTest;
using testing::TStoreMode;
using TList = std::vector<std::string>;

constexpr std::string_view kSection = "PwdGenerator";

class GeneratorSettings : public TAppModeTest {
 protected:
  // A value of the section as stored; nullopt when missing.
  static std::optional<std::string> Stored(std::string_view key) {
    EXPECT_TRUE(OpenSettings(false));
    std::string value = Settings().ReadString(kSection, key, "");
    const bool missing = value.empty() && Settings().ReadString(kSection, key, "?") == "?";
    CloseSettings();
    if (missing) return std::nullopt;
    return value;
  }
  static void Store(std::initializer_list<std::pair<std::string_view, std::string_view>> values) {
    ASSERT_TRUE(OpenSettings(true));
    for (const auto& [key, value] : values) Settings().WriteString(kSection, key, value);
    CloseSettings();
  }
  static void StoreCount(std::int32_t count) {
    ASSERT_TRUE(OpenSettings(true));
    Settings().WriteInteger(kSection, "TemplatesCount", count);
    CloseSettings();
  }
};

INSTANTIATE_TEST_SUITE_P(Store, GeneratorSettings, ::testing::Values(TStoreMode::Ini, TStoreMode::Registry),
                         testing::ModeName);

TEST_P(GeneratorSettings, FreshStoreGivesTheDefaultsAndTheTwoDefaultTemplates) {
  const TGeneratorSettings loaded = LoadGeneratorSettings();
  EXPECT_EQ(loaded.length, "8");
  EXPECT_TRUE(loaded.lowerCase);
  EXPECT_TRUE(loaded.upperCase);
  EXPECT_TRUE(loaded.digits);
  EXPECT_FALSE(loaded.special);
  EXPECT_EQ(loaded.customChars, "");
  EXPECT_EQ(loaded.excludeChars, "");
  EXPECT_EQ(loaded.templates, (TList{"\"PW\"Aa$C9", "AA9$$"}));
  EXPECT_EQ(loaded.templateText, "");
  EXPECT_EQ(loaded.Classes(), kPwdUpperCase | kPwdLowerCase | kPwdDigits);
}

TEST_P(GeneratorSettings, SavedValuesComeBack) {
  TGeneratorSettings settings;
  settings.length = "12";
  settings.lowerCase = false;
  settings.upperCase = false;
  settings.digits = false;
  settings.special = true;
  settings.customChars = "xyz";
  settings.excludeChars = "!@";
  settings.templateText = "\"id-\"999";
  SaveGeneratorSettings(settings);

  const TGeneratorSettings loaded = LoadGeneratorSettings();
  EXPECT_EQ(loaded.length, "12");
  EXPECT_EQ(loaded.Classes(), kPwdSpecial);
  EXPECT_EQ(loaded.customChars, "xyz");
  EXPECT_EQ(loaded.excludeChars, "!@");
  EXPECT_EQ(loaded.templates, (TList{"\"id-\"999", "\"PW\"Aa$C9", "AA9$$"}));
  EXPECT_EQ(loaded.templateText, "\"id-\"999");
}

TEST_P(GeneratorSettings, TrimmedTemplateInUseMovesToTheHeadAndTheTextIsKeptAsTyped) {
  TGeneratorSettings settings;
  settings.templateText = "  AA9$$ ";
  SaveGeneratorSettings(settings);
  EXPECT_EQ(Stored("TemplatesCount"), "2");
  EXPECT_EQ(Stored("Template"), "  AA9$$ ");
  EXPECT_EQ(Stored("Template0"), "AA9$$");
  EXPECT_EQ(Stored("Template1"), "\"PW\"Aa$C9");
}

TEST_P(GeneratorSettings, TemplateListIsSavedMostRecentlyUsedFirstWithoutLosingEntries) {
  struct TCase {
    const char* scenario;
    TList list;
    std::string text;
    TList saved;
  };
  const std::vector<TCase> cases = {
      {"a new template goes to the head", {"X", "Y"}, "Z", {"Z", "X", "Y"}},
      {"a used entry moves to the head", {"X", "Y"}, "Y", {"Y", "X"}},
      {"no template text keeps the first entry at the head", {"X", "Y"}, "", {"X", "Y"}},
      {"blanks and control characters count as no text", {"X", "Y"}, " \t\x01 ", {"X", "Y"}},
      {"an empty list stays empty", {}, "", {}},
      {"an entry differing only in case stays beside the one in use", {"X", "aa9", "Y"}, "AA9",
       {"AA9", "X", "aa9", "Y"}},
      {"entries equal to the one in use are written once", {"X", "Y", "X"}, "X", {"X", "Y"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.scenario);
    TGeneratorSettings settings;
    settings.templates = c.list;
    settings.templateText = c.text;
    SaveGeneratorSettings(settings);
    EXPECT_EQ(Stored("TemplatesCount"), std::to_string(c.saved.size()));
    EXPECT_EQ(Stored("Template"), c.text);
    EXPECT_EQ(LoadGeneratorSettings().templates, c.saved);
  }
}

TEST_P(GeneratorSettings, StoredCountIsBelievedOnlyAsFarAsEntriesExist) {
  StoreCount(0);
  Store({{"Template0", "unused"}});
  EXPECT_EQ(LoadGeneratorSettings().templates, TList{}) << "a count of 0 is an empty list";

  StoreCount(1000000);
  Store({{"Template0", "A"}, {"Template1", ""}, {"Template2", "9"}});
  EXPECT_EQ(LoadGeneratorSettings().templates, (TList{"A", "", "9"})) << "an empty entry is an entry";

  StoreCount(-7);
  EXPECT_EQ(LoadGeneratorSettings().templates, TList{});
}

TEST_P(GeneratorSettings, LengthTextBeyondItsBoxIsCut) {
  Store({{"Length", "2000000000"}});
  EXPECT_EQ(LoadGeneratorSettings().length, "200");
}

TEST_F(TAppTest, GeneratorSettingsAreNotSavedToAStoreThatCannotBeWritten) {
  StartIn(TStoreMode::Ini);
  TFile holder = TFile::Open(IniPath(), TFile::TMode::kWrite);
  TGeneratorSettings settings;
  settings.length = "20";
  EXPECT_NO_THROW(SaveGeneratorSettings(settings));
  EXPECT_TRUE(frontEnd.messages.empty());
  EXPECT_EQ(file_testing::ReadText(IniPath()), "");
}

TEST(GeneratorLength, GenerateIsEnabledOnlyForADecimalLengthAboveZero) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"8", 8}, {"999", 999}, {"0", 0}, {"", 0}, {"-5", -5}, {"abc", 0}, {"1x", 0}, {"$10", 0}};
  for (const auto& [text, value] : cases) {
    TGeneratorSettings settings;
    settings.length = text;
    EXPECT_EQ(settings.LengthValue(), value) << text;
    EXPECT_EQ(settings.CanGenerate(), value > 0) << text;
  }
}

TEST(GeneratorLength, GenerateUsesTheBoxesOfTheSettings) {
  TGeneratorSettings settings;
  settings.length = "6";
  settings.lowerCase = settings.upperCase = settings.digits = false;
  settings.customChars = "xyz";
  settings.excludeChars = "y";
  settings.templateText = "\"-\"";
  const TSecretText password = GeneratePassword(settings);
  ASSERT_EQ(password.Text().size(), 6u);
  EXPECT_EQ(password.Text()[0], '-');
  EXPECT_EQ(password.Text().find_first_not_of("xz", 1), std::string::npos) << password.Text();

  settings.templateText = "AAx";
  settings.length = "3";
  EXPECT_THROW(GeneratePassword(settings), TError);
  settings.length = "0";
  EXPECT_EQ(GeneratePassword(settings).Text(), "");
}

}  // namespace
}  // namespace corvane
