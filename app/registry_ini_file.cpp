#include "app/registry_ini_file.h"

#include "app/registry_values.h"
#include "platform/error.h"

namespace corvane {

bool TRegistryIniFile::Open(bool forWriting) {
  Close();
  try {
    if (forWriting) {
      key_ = TRegKey::Create(THive::CurrentUser, keyPath_);
    } else {
      key_ = TRegKey::Open(THive::CurrentUser, keyPath_);
    }
  } catch (const TError&) {
    key_.reset();
  }
  return key_.has_value();
}

std::optional<TRegKey> TRegistryIniFile::OpenSection(std::string_view section) const {
  if (key_) return key_->OpenSubKey(section);
  std::optional<TRegKey> root = TRegKey::Open(THive::CurrentUser, keyPath_);
  return root ? root->OpenSubKey(section) : std::nullopt;
}

std::optional<TRegValue> TRegistryIniFile::Query(std::string_view section, std::string_view key) const {
  try {
    std::optional<TRegKey> sectionKey = OpenSection(section);
    if (!sectionKey) return std::nullopt;
    return sectionKey->Query(key);
  } catch (const TError&) {
    return std::nullopt;
  }
}

TRegKey TRegistryIniFile::WritableSection(std::string_view section) const {
  if (key_) return key_->CreateSubKey(section);
  return TRegKey::Create(THive::CurrentUser, keyPath_).CreateSubKey(section);
}

std::string TRegistryIniFile::ReadString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) {
  const std::optional<TRegValue> value = Query(section, key);
  const std::optional<std::string> text = value ? RegValueText(*value) : std::nullopt;
  return text ? *text : std::string(defaultValue);
}

std::int32_t TRegistryIniFile::ReadInteger(std::string_view section, std::string_view key,
                                           std::int32_t defaultValue) {
  const std::optional<TRegValue> value = Query(section, key);
  const std::optional<std::int32_t> number = value ? RegValueInteger(*value) : std::nullopt;
  return number ? *number : defaultValue;
}

bool TRegistryIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) {
  const std::optional<TRegValue> value = Query(section, key);
  const std::optional<bool> flag = value ? RegValueBool(*value) : std::nullopt;
  return flag ? *flag : defaultValue;
}

void TRegistryIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  WritableSection(section).SetString(key, value);
}

void TRegistryIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WritableSection(section).SetDWord(key, static_cast<std::uint32_t>(value));
}

void TRegistryIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WritableSection(section).SetDWord(key, value ? 1 : 0);
}

void TRegistryIniFile::DeleteValue(std::string_view section, std::string_view key) {
  std::optional<TRegKey> sectionKey = OpenSection(section);
  if (sectionKey) sectionKey->DeleteValue(key);
}

}  // namespace corvane
