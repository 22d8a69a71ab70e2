// corvane-reg: reads and writes the registry store that Corvane's programs share
// (settings, policies, synchronisation records).
//
// Exit status: 0 success, 1 an error (its message on standard error), 2 wrong usage.

#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/registry.h"
#include "platform/registry_location.h"
#include "platform/tools/reg_text.h"

namespace corvane {
namespace {

constexpr int kError = 1;
constexpr int kUsage = 2;

// Wrong usage: the message is shown with a hint to --help.
struct TUsageError {
  std::string message;
};

using TArgs = std::vector<std::string_view>;

struct TCommand {
  const char* name;
  const char* arguments;
  const char* summary;
  std::size_t minArgs;
  std::size_t maxArgs;
  int (*run)(THive hive, const TArgs& args);
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

TRegKey OpenExisting(THive hive, std::string_view path) {
  auto key = TRegKey::Open(hive, path);
  if (!key) throw TError("The registry key " + Quoted(path) + " does not exist.");
  return std::move(*key);
}

TRegValue QueryExisting(const TRegKey& key, std::string_view name) {
  auto value = key.Query(name);
  if (!value) throw TError("The registry value " + Quoted(name) + " does not exist in " + Quoted(key.Path()) + ".");
  return std::move(*value);
}

int Get(THive hive, const TArgs& args) {
  TRegKey key = OpenExisting(hive, args[0]);
  std::cout << PlainValue(QueryExisting(key, args[1])) << '\n';
  return 0;
}

int Set(THive hive, const TArgs& args) {
  std::string_view type = args[2];
  std::string_view text = args[3];
  // The value is checked before the key is created, so that wrong usage changes nothing.
  if (type == "sz") {
    TRegKey::Create(hive, args[0]).SetString(args[1], text);
  } else if (type == "dword") {
    auto number = ParseDWord(text);
    if (!number) throw TUsageError{"the dword value " + Quoted(text) + " is not a decimal or 0x hexadecimal 32-bit number"};
    TRegKey::Create(hive, args[0]).SetDWord(args[1], *number);
  } else if (type == "binary") {
    auto bytes = ParseHex(text);
    if (!bytes) throw TUsageError{"the binary value " + Quoted(text) + " is not an even number of hex digits"};
    TRegKey::Create(hive, args[0]).SetBinary(args[1], *bytes);
  } else {
    throw TUsageError{"unknown value type " + Quoted(type) + " (use sz, dword or binary)"};
  }
  return 0;
}

int Delete(THive hive, const TArgs& args) {
  if (args.size() == 1) {
    if (!TRegKey::DeleteKey(hive, args[0])) throw TError("The registry key " + Quoted(args[0]) + " does not exist.");
    return 0;
  }
  TRegKey key = OpenExisting(hive, args[0]);
  if (!key.DeleteValue(args[1])) {
    throw TError("The registry value " + Quoted(args[1]) + " does not exist in " + Quoted(key.Path()) + ".");
  }
  return 0;
}

// As OpenExisting, except that the root of a hive with no store yet is an empty key
// (nullopt) rather than an error.
std::optional<TRegKey> OpenForListing(THive hive, std::string_view path) {
  if (!path.empty()) return OpenExisting(hive, path);
  return TRegKey::Open(hive, path);
}

int List(THive hive, const TArgs& args) {
  auto found = OpenForListing(hive, args[0]);
  if (!found) return 0;
  const TRegKey& key = *found;
  for (const std::string& name : key.SubKeys()) std::cout << name << "\\\n";
  for (const TRegValue& value : key.Values()) std::cout << ValueLine(value) << '\n';
  return 0;
}

// Each key as a "[HIVE\path]" line followed by its values, then its subkeys.
void ExportTree(const TRegKey& key, const std::string& header) {
  std::cout << '[' << header << "]\n";
  for (const TRegValue& value : key.Values()) std::cout << ValueLine(value) << '\n';
  for (const std::string& name : key.SubKeys()) {
    // A subkey deleted meanwhile by another process is simply left out.
    if (auto sub = key.OpenSubKey(name)) {
      std::cout << '\n';
      ExportTree(*sub, header + '\\' + name);
    }
  }
}

int Export(THive hive, const TArgs& args) {
  std::string_view path = args.empty() ? std::string_view() : args[0];
  std::string header = HiveName(hive);
  if (!path.empty()) header += '\\' + std::string(path);
  if (auto key = OpenForListing(hive, path)) {
    ExportTree(*key, header);
  } else {
    std::cout << '[' << header << "]\n";
  }
  return 0;
}

const TCommand kCommands[] = {
    {"get", "KEY NAME", "print a value", 2, 2, Get},
    {"set", "KEY NAME sz|dword|binary VALUE", "write a value, creating the key if needed", 4, 4, Set},
    {"delete", "KEY [NAME]", "delete a value, or the key with all its subkeys", 1, 2, Delete},
    {"list", "KEY", "list the subkeys and values of a key", 1, 1, List},
    {"export", "[KEY]", "print the tree below a key (default: the whole hive)", 0, 1, Export},
};

void PrintHelp(std::ostream& out) {
  out << "Usage: corvane-reg [--machine] COMMAND ARGUMENTS\n"
         "Reads and writes Corvane's registry store.\n\nCommands:\n";
  for (const TCommand& command : kCommands) {
    std::string call = std::string(command.name) + " " + command.arguments;
    out << "  " << call << std::string(call.size() < 40 ? 40 - call.size() : 1, ' ') << command.summary << '\n';
  }
  out << "\nOptions:\n"
         "  --machine   use the local machine's hive instead of the current user's\n"
         "  --help      show this help\n\n"
         "KEY is a path of names separated by backslashes, such as Software\\Corvane\\Policies;\n"
         "\"\" is the hive's root. A dword VALUE is decimal or hexadecimal after 0x; a binary\n"
         "VALUE is hex digits, two per byte. get prints values in the form set reads.\n"
         "The hives are the files named by CORVANE_USER_REGISTRY and CORVANE_MACHINE_REGISTRY,\n"
         "by default ~/.config/corvane/registry.sqlite and /etc/corvane/registry.sqlite.\n\n"
         "Exit status: 0 success, 1 error, 2 wrong usage.\n";
}

int Run(const TArgs& args) {
  THive hive = THive::CurrentUser;
  std::size_t next = 0;
  for (; next < args.size() && args[next].starts_with("-"); ++next) {
    if (args[next] == "--help" || args[next] == "-h") {
      PrintHelp(std::cout);
      return 0;
    }
    if (args[next] != "--machine") throw TUsageError{"unknown option " + Quoted(args[next])};
    hive = THive::LocalMachine;
  }
  if (next == args.size()) throw TUsageError{"no command given"};
  for (const TCommand& command : kCommands) {
    if (args[next] != command.name) continue;
    TArgs rest(args.begin() + static_cast<std::ptrdiff_t>(next) + 1, args.end());
    if (rest.size() < command.minArgs || rest.size() > command.maxArgs) {
      throw TUsageError{std::string("usage: corvane-reg [--machine] ") + command.name + " " + command.arguments};
    }
    return command.run(hive, rest);
  }
  throw TUsageError{"unknown command " + Quoted(args[next])};
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
  corvane::TArgs args(argv + 1, argv + argc);
  try {
    int status = corvane::Run(args);
    std::cout.flush();
    if (!std::cout) throw corvane::TError("The output could not be written.");
    return status;
  } catch (const corvane::TUsageError& error) {
    std::cerr << "corvane-reg: " << error.message << "\nTry 'corvane-reg --help'.\n";
    return corvane::kUsage;
  } catch (const std::exception& error) {
    std::cerr << "corvane-reg: " << error.what() << '\n';
    return corvane::kError;
  }
}
