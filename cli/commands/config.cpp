// config: the program's settings as they are in force, which policy locks
// which, and setting one of the main options.

#include <algorithm>
#include <charconv>
#include <functional>
#include <iostream>
#include <variant>

#include "app/app_path.h"
#include "app/front_end.h"
#include "app/known_databases.h"
#include "app/locations.h"
#include "app/locations_file_names.h"
#include "app/messages.h"
#include "app/policies.h"
#include "app/runtime_settings.h"
#include "app/settings.h"
#include "app/settings_keys.h"
#include "cli/command.h"
#include "cli/commands/locations_front_end.h"
#include "cli/context.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_unknownsetting = "Unknown setting '%s'.";
constexpr std::string_view scli_settinglocked = "The setting %s is set by the policy %s and cannot be changed.";
constexpr std::string_view scli_settingreadonly = "The setting %s is only read, never written.";
constexpr std::string_view scli_settingnumber = "The setting %s takes a whole number from %d to %d, not '%s'.";
constexpr std::string_view scli_settingbool = "The setting %s takes true or false, not '%s'.";
constexpr std::string_view scli_settingsnotwritable = "The settings cannot be written.";
constexpr std::string_view scli_lockedby = " (set by the policy %s)";

// One setting of the main options as config shows and sets it.
struct TConfigKey {
  std::variant<const TBoolSetting*, const TIntSetting*, const TTextSetting*> key;
  std::string_view policy = {};  // the policy that locks it, if any
  int minimum = 0;               // the range a number is set within
  int maximum = 0;
  bool folder = false;  // stored with "%APP%" for the program's folder
  bool writable = true;

  std::string_view Name() const {
    return std::visit([](const auto* setting) { return setting->name; }, key);
  }
};

const TConfigKey kKeys[] = {
    {&setting::AutoClose},
    {&setting::AutoCloseTime, {}, 0, 0, false, false},
    {&setting::AutoCloseTimeSec, {}, 3, 9999},
    {&setting::MinBasePassword, {}, 5, 999},
    {&setting::BackupOnSave, policy::DisableAutoBackup},
    {&setting::BackupCnt, {}, 1, 99},
    {&setting::BackupPath, policy::AutoBackupFolder, 0, 0, true},
    {&setting::ExpandFolders},
    {&setting::DefShowPassword},
    {&setting::DefExpTimeEnabled},
    {&setting::DefExpTime, {}, 1, 999},
    {&setting::DbFileNameTemplate, policy::DbFileNameTemplate},
    {&setting::DefBasesPath, {}, 0, 0, true},
    {&setting::RememberLastDbUser},
    {&setting::UiFont},
    {&setting::UiScaling, {}, 0, 1000},
    {&setting::LastSaveFolder},
    {&setting::CodePage, {}, 0, 65535},
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

const TConfigKey& FindKey(std::string_view name) {
  for (const TConfigKey& key : kKeys)
    if (EqualIgnoringCase(key.Name(), name)) return key;
  throw TUsageError(FormatMessage(scli_unknownsetting, name), "config");
}

// DisableAutoBackup is read as a number: absent -1, 0 backups allowed.
bool Locked(const TConfigKey& key) {
  if (key.policy.empty()) return false;
  if (key.policy == policy::DisableAutoBackup) return ReadPolicyInteger(key.policy, -1) != -1;
  return !ReadPolicyString(key.policy, "").empty();
}

std::string BoolText(bool value) { return value ? "true" : "false"; }

std::string FirstDatabaseFolder() {
  const std::vector<TDatabaseFolder>& folders = DatabaseFolders();
  return folders.empty() ? DefaultDatabaseFolder() : ExpandAppPath(folders.front().path);
}

// The value the program works with; read inside a bracket.
std::string EffectiveValue(const TConfigKey& key) {
  if (key.policy == policy::DisableAutoBackup && Locked(key))
    return BoolText(ReadPolicyInteger(key.policy, -1) == 0);
  if (key.policy == policy::AutoBackupFolder && Locked(key)) return ExpandAppPath(ReadPolicyString(key.policy, ""));
  if (key.Name() == setting::DbFileNameTemplate.name) return GetDbFileNameTemplate();
  if (key.Name() == setting::AutoCloseTimeSec.name) return std::to_string(ReadAutoCloseSeconds());
  if (key.Name() == setting::BackupPath.name)
    return ExpandAppPath(ReadSetting(setting::BackupPath, DefaultBackupFolder(FirstDatabaseFolder())));
  struct TRead {
    std::string operator()(const TBoolSetting* setting) const { return BoolText(ReadSetting(*setting)); }
    std::string operator()(const TIntSetting* setting) const { return std::to_string(ReadSetting(*setting)); }
    std::string operator()(const TTextSetting* setting) const { return ExpandAppPath(ReadSetting(*setting)); }
  };
  return std::visit(TRead{}, key.key);
}

void PrintKey(std::ostream& out, const TConfigKey& key) {
  out << key.Name() << " = " << EffectiveValue(key);
  if (Locked(key)) out << FormatMessage(scli_lockedby, key.policy);
  out << '\n';
}

bool ParseBool(const TConfigKey& key, std::string_view text) {
  for (std::string_view yes : {"true", "1", "yes", "on"})
    if (EqualIgnoringCase(text, yes)) return true;
  for (std::string_view no : {"false", "0", "no", "off"})
    if (EqualIgnoringCase(text, no)) return false;
  throw TError(FormatMessage(scli_settingbool, key.Name(), text));
}

std::int32_t ParseNumber(const TConfigKey& key, std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < key.minimum || value > key.maximum)
    throw TError(FormatMessage(scli_settingnumber, key.Name(), key.minimum, key.maximum, text));
  return value;
}

// A template that changes renames every database file by it, as the options
// editor does once the person agreed: the files stay found.
void SetTemplate(std::string_view text) {
  std::string fileNameTemplate(text);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!fileNameTemplate.empty() && blank(fileNameTemplate.back())) fileNameTemplate.pop_back();
  while (!fileNameTemplate.empty() && blank(fileNameTemplate.front())) fileNameTemplate.erase(0, 1);
  if (fileNameTemplate.find('*') == std::string::npos) throw TError(std::string(soptinvalidtemplate));
  const bool changed = fileNameTemplate != GetDbFileNameTemplate();
  if (changed) RefreshDatabases(false, false);
  {
    TSettingsAccess access(true);
    if (!access) throw TError(std::string(scli_settingsnotwritable));
    WriteSetting(setting::DbFileNameTemplate, fileNameTemplate);
    access.Close();
  }
  if (changed) RenameAllDatabases();
}

void SetValue(const TConfigKey& key, std::string_view text) {
  if (!key.writable) throw TError(FormatMessage(scli_settingreadonly, key.Name()));
  if (Locked(key)) throw TError(FormatMessage(scli_settinglocked, key.Name(), key.policy));
  if (key.Name() == setting::DbFileNameTemplate.name) return SetTemplate(text);
  // Checked before the store is opened, so that a wrong value writes nothing.
  struct TWrite {
    const TConfigKey& key;
    std::string_view text;
    std::function<void()> operator()(const TBoolSetting* target) const {
      return [target, value = ParseBool(key, text)] { WriteSetting(*target, value); };
    }
    std::function<void()> operator()(const TIntSetting* target) const {
      const std::int32_t value = ParseNumber(key, text);
      // The expiry period is kept as the text typed for it, as the options editor writes it.
      if (target == &setting::DefExpTime)
        return [target, value = std::to_string(value)] { WriteSettingText(*target, value); };
      return [target, value] { WriteSetting(*target, value); };
    }
    std::function<void()> operator()(const TTextSetting* target) const {
      return [target, value = key.folder ? CompactAppPath(text) : std::string(text)] { WriteSetting(*target, value); };
    }
  };
  const std::function<void()> write = std::visit(TWrite{key, text}, key.key);
  TSettingsAccess access(true);
  if (!access) throw TError(std::string(scli_settingsnotwritable));
  write();
  access.Close();
}

int RunConfig(TCliContext& context, const TArguments& args) {
  TLocationsFrontEnd frontEnd(context.Out(), std::cerr);
  TFrontEndInstallation installed(frontEnd);
  LoadDatabaseFolders();
  const std::string& name = args.Argument("KEY");
  const std::string& value = args.Argument("VALUE");
  const bool changing = !value.empty() || args.Has("--empty");
  if (name.empty()) {
    TSettingsAccess access(false);
    for (const TConfigKey& key : kKeys) PrintKey(context.Out(), key);
    return 0;
  }
  const TConfigKey& key = FindKey(name);
  if (changing) SetValue(key, value);
  TSettingsAccess access(false);
  PrintKey(context.Out(), key);
  return 0;
}

}  // namespace

extern const TCommand kConfigCommand = {
    {
        .name = "config",
        .summary = "Show the settings in force, or set one.",
        .arguments = {{"KEY", "the setting to show or set", false}, {"VALUE", "the new value", false}},
        .options = {{"--empty", "", "set KEY to the empty text"}},
        .description = "Without KEY every main setting is shown as the program uses it: the settings file or "
                       "registry with the defaults filled in, and the value of a policy where one locks the "
                       "setting (marked with the policy's name). With KEY only that one; with VALUE too it is "
                       "set first. Settings locked by a policy cannot be set. Yes/no settings take true or "
                       "false; numbers are checked against the range the options allow. A new file-name "
                       "template must contain \"*\" and renames every database file by it.",
        .example = "corvane-cli config BackupCnt 10",
    },
    &RunConfig,
};

}  // namespace corvane
