#include "app/generator_settings.h"

#include <optional>

#include "app/settings.h"
#include "app/settings_keys.h"
#include "platform/locale.h"

namespace corvane {

namespace {

using setting::kPwdGenerator;

constexpr TTextSetting kLength{kPwdGenerator, "Length", "8"};
constexpr TBoolSetting kLowerCase{kPwdGenerator, "LowerCase", true};
constexpr TBoolSetting kUpperCase{kPwdGenerator, "UpperCase", true};
constexpr TBoolSetting kDigits{kPwdGenerator, "Digits", true};
constexpr TBoolSetting kSpecial{kPwdGenerator, "Special", false};
constexpr TTextSetting kCustomChars{kPwdGenerator, "CustomChars", ""};
constexpr TTextSetting kExcludeChars{kPwdGenerator, "ExcludeChars", ""};
// -1 (no count stored) stands for the default list.
constexpr TIntSetting kTemplatesCount{kPwdGenerator, "TemplatesCount", -1};
constexpr TTextSetting kTemplate{kPwdGenerator, "Template", ""};

std::string TemplateKeyName(std::size_t index) { return "Template" + std::to_string(index); }

// A list entry, or nullopt when the store holds none under its key.
std::optional<std::string> ReadTemplateEntry(std::size_t index) {
  const std::string name = TemplateKeyName(index);
  std::string entry = ReadSetting(TTextSetting{kPwdGenerator, name, ""});
  if (entry.empty() && ReadSetting(TTextSetting{kPwdGenerator, name, "?"}) == "?") return std::nullopt;
  return entry;
}

// Without leading and trailing blanks and control characters.
std::string_view Trimmed(std::string_view text) {
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

TPasswordClasses TGeneratorSettings::Classes() const {
  return (upperCase ? kPwdUpperCase : 0) | (lowerCase ? kPwdLowerCase : 0) | (digits ? kPwdDigits : 0) |
         (special ? kPwdSpecial : 0);
}

int TGeneratorSettings::LengthValue() const { return ParseInteger(length).value_or(0); }

TGeneratorSettings LoadGeneratorSettings() {
  TGeneratorSettings settings;
  TSettingsAccess access(false);
  if (!access) return settings;
  settings.length = ReadSetting(kLength).substr(0, kPwdLengthMaxChars);
  settings.lowerCase = ReadSetting(kLowerCase);
  settings.upperCase = ReadSetting(kUpperCase);
  settings.digits = ReadSetting(kDigits);
  settings.special = ReadSetting(kSpecial);
  settings.customChars = ReadSetting(kCustomChars);
  settings.excludeChars = ReadSetting(kExcludeChars);
  const std::int32_t count = ReadSetting(kTemplatesCount);
  if (count != kTemplatesCount.defaultValue) {
    // The count is only believed as far as the entries are really there.
    settings.templates.clear();
    for (std::int32_t i = 0; i < count; ++i) {
      std::optional<std::string> entry = ReadTemplateEntry(static_cast<std::size_t>(i));
      if (!entry) break;
      settings.templates.push_back(std::move(*entry));
    }
  }
  settings.templateText = ReadSetting(kTemplate);
  access.Close();
  return settings;
}

void SaveGeneratorSettings(const TGeneratorSettings& settings) {
  TSettingsAccess access(true);
  if (!access) return;
  WriteSetting(kLength, settings.length);
  WriteSetting(kLowerCase, settings.lowerCase);
  WriteSetting(kUpperCase, settings.upperCase);
  WriteSetting(kDigits, settings.digits);
  WriteSetting(kSpecial, settings.special);
  WriteSetting(kCustomChars, settings.customChars);
  WriteSetting(kExcludeChars, settings.excludeChars);

  std::string current(Trimmed(settings.templateText));
  if (current.empty() && !settings.templates.empty()) current = settings.templates.front();
  // The template in use heads the list; an entry that equals it exactly is not
  // written twice. The count is what was written, so that no entry drops off
  // the end when an entry differs from the one in use only in case.
  std::size_t written = 0;
  if (!current.empty()) {
    WriteSetting(TTextSetting{kPwdGenerator, TemplateKeyName(written++), ""}, current);
    for (const std::string& entry : settings.templates) {
      if (entry != current) WriteSetting(TTextSetting{kPwdGenerator, TemplateKeyName(written++), ""}, entry);
    }
  }
  WriteSetting(kTemplatesCount, static_cast<std::int32_t>(written));
  WriteSetting(kTemplate, settings.templateText);
  access.Close();
}

TSecretText GeneratePassword(const TGeneratorSettings& settings, TRandomSource& random) {
  return GeneratePassword(settings.LengthValue(), settings.Classes(), settings.customChars, settings.excludeChars,
                          settings.templateText, random);
}

}  // namespace corvane
