#pragma once
// Machine policies: values that an administrator puts in the registry to
// override (and lock) settings. A policy is looked up by name in three keys,
// and the first key that holds a readable value of that name wins:
//   1. "Software\Policies\Halvern\Corvane" of the current user,
//   2. the same key of the local machine,
//   3. "Software\Corvane\Policies" of the current user.
// Keys are opened for reading only and never created. A key that cannot be
// opened, or a value that cannot be read as the type asked, counts as holding
// nothing.

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr std::string_view kPolicyKey = "Software\\Policies\\Halvern\\Corvane";
inline constexpr std::string_view kUserPolicyKey = "Software\\Corvane\\Policies";
// The policy database folders (the local machine's hive), read by the folder list.
inline constexpr std::string_view kPolicyLocationsKey = "Software\\Policies\\Halvern\\Corvane\\DBLocations";

namespace policy {
// Boolean; the options editor reads it as an integer (absent -1, 0 backups allowed).
inline constexpr std::string_view DisableAutoBackup = "DisableAutoBackup";
inline constexpr std::string_view AutoBackupFolder = "AutoBackupFolder";
inline constexpr std::string_view DbFileNameTemplate = "DbFileNameTemplate";
inline constexpr std::string_view DisableUserLocations = "DisableUserLocations";
inline constexpr std::string_view DisableOptions = "DisableOptions";
}  // namespace policy

// The policy's value, or `defaultValue` when no key holds it.
bool ReadPolicyBool(std::string_view name, bool defaultValue);
std::int32_t ReadPolicyInteger(std::string_view name, std::int32_t defaultValue);
std::string ReadPolicyString(std::string_view name, std::string_view defaultValue);

}  // namespace corvane
