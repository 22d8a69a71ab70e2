#pragma once
// The settings store in registry mode: the key "Software\Corvane" of the
// current user's hive. The empty section addresses values of that key itself;
// any other section is a subkey of that name. Strings are registry strings,
// integers and booleans 32-bit numbers (a boolean is true when not 0). A
// number stored as text reads as that number.
//
// Each write is its own change of the hive, made at once.

#include <optional>
#include <string>

#include "app/settings_store.h"
#include "platform/registry.h"

namespace corvane {

class TRegistryIniFile : public TSettingsStore {
 public:
  explicit TRegistryIniFile(std::string keyPath) : keyPath_(std::move(keyPath)) {}

  // Opens the key; for writing it is created when missing. False when the key
  // is missing (reading) or cannot be created (writing).
  bool Open(bool forWriting) override;
  void Close() override { key_.reset(); }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) override;
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) override;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) override;

  void WriteString(std::string_view section, std::string_view key, std::string_view value) override;
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value) override;
  void WriteBool(std::string_view section, std::string_view key, bool value) override;
  void DeleteValue(std::string_view section, std::string_view key) override;

 private:
  // The section's key, opened without creating anything; nullopt when missing.
  std::optional<TRegKey> OpenSection(std::string_view section) const;
  std::optional<TRegValue> Query(std::string_view section, std::string_view key) const;
  TRegKey WritableSection(std::string_view section) const;

  std::string keyPath_;
  std::optional<TRegKey> key_;
};

}  // namespace corvane
