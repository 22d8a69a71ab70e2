// props: the properties of a database, as the properties dialog shows them,
// and changing them with that dialog's checks.

#include <charconv>
#include <functional>
#include <variant>
#include <vector>

#include "app/backup.h"
#include "app/session_auto_close.h"
#include "app/session_properties.h"
#include "cli/ciphers.h"
#include "cli/command.h"
#include "cli/commands/user_support.h"
#include "cli/context.h"
#include "cli/json.h"
#include "engine/base.h"
#include "engine/messages.h"
#include "platform/error.h"

namespace corvane {

namespace {

constexpr std::string_view scli_unknownproperty = "Unknown property '%s'.";
constexpr std::string_view scli_propertysyntax = "A property is given as KEY=VALUE, not '%s'.";
constexpr std::string_view scli_propertybool = "The property %s takes true or false, not '%s'.";
constexpr std::string_view scli_propertynumber = "The property %s takes a whole number from %d to %d, not '%s'.";
constexpr std::string_view scli_logononeuser =
    "A user logon can only be required when the database has more than one user.";

using TTextField = std::string TDatabaseProperties::*;
using TFlagField = bool TDatabaseProperties::*;
using TNumberField = std::int32_t TDatabaseProperties::*;
// A bit of the option flags.
struct TOptionBit {
  std::uint32_t bit;
};
struct TCiphers {};

struct TPropertyKey {
  std::string_view name;
  std::string_view jsonName;
  std::variant<TTextField, TFlagField, TNumberField, TOptionBit, TCiphers> field;
  int minimum = 0;
  int maximum = 0;
};

const TPropertyKey kKeys[] = {
    {"name", "name", &TDatabaseProperties::name},
    {"description", "description", &TDatabaseProperties::description},
    {"ciphers", "ciphers", TCiphers{}},
    {"require-logon", "requireLogon", &TDatabaseProperties::requireLogon},
    {"concurrent-write", "concurrentWrite", &TDatabaseProperties::concurrentWrite},
    {"log-changes", "logChanges", &TDatabaseProperties::logChanges},
    {"remember-sort", "rememberSort", TOptionBit{TPwdBase::kRememberSortOrder}},
    {"auto-close-override", "autoCloseOverride", TOptionBit{kOverrideAutoClose}},
    {"close-when-inactive", "closeWhenInactive", TOptionBit{kCloseWhenInactive}},
    {"auto-close-seconds", "autoCloseSeconds", &TDatabaseProperties::autoCloseSeconds, 3, 9999},
    {"backup-override", "backupOverride", TOptionBit{kIndividualBackup}},
    {"backup-on-save", "backupOnSave", TOptionBit{kMakeBackupCopies}},
    {"backup-count", "backupCount", &TDatabaseProperties::backupCount, 0, 99},
    {"backup-folder", "backupFolder", &TDatabaseProperties::backupFolder},
};

const TPropertyKey& FindKey(std::string_view name) {
  for (const TPropertyKey& key : kKeys)
    if (key.name == name) return key;
  throw TUsageError(FormatMessage(scli_unknownproperty, name), "props");
}

bool ParseBool(const TPropertyKey& key, std::string_view text) {
  for (std::string_view yes : {"true", "1", "yes", "on"})
    if (text == yes) return true;
  for (std::string_view no : {"false", "0", "no", "off"})
    if (text == no) return false;
  throw TUsageError(FormatMessage(scli_propertybool, key.name, text), "props");
}

std::int32_t ParseNumber(const TPropertyKey& key, std::string_view text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < key.minimum || value > key.maximum)
    throw TUsageError(FormatMessage(scli_propertynumber, key.name, key.minimum, key.maximum, text), "props");
  return value;
}

using TSetter = std::function<void(TDatabaseProperties&)>;

// The change that KEY=VALUE makes, checked before the database is opened.
TSetter SetterOf(const std::string& given) {
  const std::size_t equals = given.find('=');
  if (equals == std::string::npos || equals == 0)
    throw TUsageError(FormatMessage(scli_propertysyntax, given), "props");
  const TPropertyKey& key = FindKey(std::string_view(given).substr(0, equals));
  const std::string text = given.substr(equals + 1);
  struct TParse {
    const TPropertyKey& key;
    const std::string& text;
    TSetter operator()(TTextField field) const {
      return [field, value = text](TDatabaseProperties& values) { values.*field = value; };
    }
    TSetter operator()(TFlagField field) const {
      const bool value = ParseBool(key, text);
      if (field == &TDatabaseProperties::requireLogon && value)
        return [](TDatabaseProperties& values) {
          if (values.users->Count() < 2) throw TError(std::string(scli_logononeuser));
          values.requireLogon = true;
        };
      return [field, value](TDatabaseProperties& values) { values.*field = value; };
    }
    TSetter operator()(TNumberField field) const {
      return [field, value = ParseNumber(key, text)](TDatabaseProperties& values) { values.*field = value; };
    }
    TSetter operator()(TOptionBit option) const {
      return [bit = option.bit, value = ParseBool(key, text)](TDatabaseProperties& values) {
        values.optionFlags = value ? values.optionFlags | bit : values.optionFlags & ~bit;
      };
    }
    TSetter operator()(TCiphers) const {
      return [value = ParseCipherList(text)](TDatabaseProperties& values) { values.algorithms = value; };
    }
  };
  return std::visit(TParse{key, text}, key.field);
}

// A property's value as a text; flags are "true" or "false".
std::string ValueText(const TPropertyKey& key, const TDatabaseProperties& values) {
  struct TShow {
    const TDatabaseProperties& values;
    std::string operator()(TTextField field) const { return values.*field; }
    std::string operator()(TFlagField field) const { return values.*field ? "true" : "false"; }
    std::string operator()(TNumberField field) const { return std::to_string(values.*field); }
    std::string operator()(TOptionBit option) const { return (values.optionFlags & option.bit) ? "true" : "false"; }
    std::string operator()(TCiphers) const { return CipherNames(values.algorithms); }
  };
  return std::visit(TShow{values}, key.field);
}

void PrintJson(std::ostream& out, const TDatabaseProperties& values) {
  TJsonWriter json(out);
  json.BeginObject();
  for (const TPropertyKey& key : kKeys) {
    const std::string text = ValueText(key, values);
    if (std::holds_alternative<TNumberField>(key.field))
      json.Member(key.jsonName, values.*std::get<TNumberField>(key.field));
    else if (std::holds_alternative<TFlagField>(key.field) || std::holds_alternative<TOptionBit>(key.field))
      json.Member(key.jsonName, text == "true");
    else
      json.Member(key.jsonName, text);
  }
  json.EndObject();
}

int RunProps(TCliContext& context, const TArguments& args) {
  if (args.Has("--set")) {
    std::vector<TSetter> setters;
    for (const std::string& given : args.Values("--set")) setters.push_back(SetterOf(given));
    EditDatabaseValues(context, [&](TDatabaseProperties& values) {
      for (const TSetter& set : setters) set(values);
    });
    return 0;
  }
  const TDatabaseProperties values = ReadDatabaseProperties(context.Open(TOpenFor::Reading));
  if (context.Json()) {
    PrintJson(context.Out(), values);
    return 0;
  }
  for (const TPropertyKey& key : kKeys) context.Out() << key.name << " = " << ValueText(key, values) << '\n';
  return 0;
}

}  // namespace

extern const TCommand kPropsCommand = {
    {
        .name = "props",
        .summary = "Show or change the properties of a database.",
        .arguments = {{"DATABASE", "the database file"}},
        .options = {{"--set", "KEY=VALUE", "change the property KEY (as props shows it) to VALUE", false, true},
                    kJsonOption,
                    kPasswordStdinOption,
                    kUserOption},
        .description =
            "Without --set the properties are shown as KEY = VALUE lines: name, description, ciphers, "
            "require-logon, concurrent-write, log-changes, remember-sort, auto-close-override, "
            "close-when-inactive, auto-close-seconds (3 to 9999), backup-override, backup-on-save, "
            "backup-count (0 to 99) and backup-folder. Flags take true or false; ciphers are names or "
            "ids, comma separated. Where the database has no value of its own, the program's is shown.\n\n"
            "Changes need administrator rights and pass the checks of the properties dialog; a logon can "
            "only be required with more than one user. The database is saved. The master password is "
            "changed with passwd.",
        .example = "corvane-cli props Private.cvd --set \"description=Family accounts\" --set backup-count=3",
    },
    &RunProps,
};

}  // namespace corvane
