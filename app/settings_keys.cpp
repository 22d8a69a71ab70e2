#include "app/settings_keys.h"

#include <algorithm>
#include <cstdint>

#include "app/settings.h"
#include "engine/messages.h"

namespace corvane {

std::string FolderKeyName(int number) { return FormatMessage(setting::kFolderKeyFormat, number); }

bool ReadSetting(const TBoolSetting& key) { return ReadSetting(key, key.defaultValue); }

bool ReadSetting(const TBoolSetting& key, bool defaultValue) {
  return Settings().ReadBool(key.section, key.name, defaultValue);
}

std::int32_t ReadSetting(const TIntSetting& key) { return ReadSetting(key, key.defaultValue); }

std::int32_t ReadSetting(const TIntSetting& key, std::int32_t defaultValue) {
  return Settings().ReadInteger(key.section, key.name, defaultValue);
}

std::string ReadSetting(const TTextSetting& key) { return ReadSetting(key, key.defaultValue); }

std::string ReadSetting(const TTextSetting& key, std::string_view defaultValue) {
  return Settings().ReadString(key.section, key.name, defaultValue);
}

void WriteSetting(const TBoolSetting& key, bool value) { Settings().WriteBool(key.section, key.name, value); }

void WriteSetting(const TIntSetting& key, std::int32_t value) {
  Settings().WriteInteger(key.section, key.name, value);
}

void WriteSetting(const TTextSetting& key, std::string_view value) {
  Settings().WriteString(key.section, key.name, value);
}

void WriteSettingText(const TIntSetting& key, std::string_view text) {
  Settings().WriteString(key.section, key.name, text);
}

std::int32_t ReadAutoCloseSeconds() {
  const std::int32_t minutes = ReadSetting(setting::AutoCloseTime);
  // Computed in 64 bits: a hand-edited minute count must not overflow.
  const std::int64_t seconds = static_cast<std::int64_t>(minutes) * 60;
  const auto defaultSeconds = static_cast<std::int32_t>(std::clamp<std::int64_t>(seconds, INT32_MIN, INT32_MAX));
  return ReadSetting(setting::AutoCloseTimeSec, defaultSeconds);
}

}  // namespace corvane
