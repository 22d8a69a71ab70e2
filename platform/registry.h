#pragma once
// The registry: a tree of keys holding named, typed values, in two hives (the
// current user's and the local machine's). Each hive is one SQLite file shared by
// every Corvane process; each change is one transaction, so several processes may
// read and write a hive at the same time without losing anything.
//
// Key paths are backslash separated ("Software\Corvane\Policies"); the empty path
// names the hive's root key. Key and value names compare without regard to ASCII
// case and keep the case in which they were first written.
//
// Where the hives live: CORVANE_USER_REGISTRY / CORVANE_MACHINE_REGISTRY (full file
// paths) when set, else $XDG_CONFIG_HOME/corvane/registry.sqlite (default
// ~/.config) for the current user and /etc/corvane/registry.sqlite for the machine.
// The variables are read at every open, so a change takes effect at the next one.
//
// All failures throw TError with a message a person can read. Thread-safe: a
// process keeps one connection per hive file and serialises its use. A child
// process made by fork() opens its own connection at its first Open or Create;
// keys opened before the fork belong to the parent.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

enum class THive { CurrentUser, LocalMachine };

// The numbers are the value types' numbers in the registry's own convention.
enum class TRegType : std::uint32_t { String = 1, Binary = 3, DWord = 4 };

// One value as read: `text` holds a string (UTF-8), `number` a DWord, `binary` the
// bytes of a binary value; the fields of the other types stay empty.
struct TRegValue {
  std::string name;
  TRegType type = TRegType::String;
  std::string text;
  std::uint32_t number = 0;
  std::vector<std::uint8_t> binary;
};

class TRegStore;

// An open key. Movable, not copyable. It stays bound to the hive file it was opened
// in. If another process deletes the key, reads find nothing (nullopt or empty
// lists) and writes throw TError.
class TRegKey {
 public:
  // Opens an existing key; nullopt when the hive's file or the key is absent.
  // Never creates anything. Throws on a malformed path or a damaged file.
  static std::optional<TRegKey> Open(THive hive, std::string_view path);

  // Opens the key, creating the hive's file and the key with all its parents as
  // needed.
  static TRegKey Create(THive hive, std::string_view path);

  // Deletes the key with all its subkeys and values; false when it is absent.
  // The root key cannot be deleted.
  static bool DeleteKey(THive hive, std::string_view path);

  TRegKey(TRegKey&&) noexcept;
  TRegKey& operator=(TRegKey&&) noexcept;
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  ~TRegKey();

  THive Hive() const { return hive_; }
  // The path as given when opened ("" for the root).
  const std::string& Path() const { return path_; }

  // Typed reads: nullopt when the value is absent; TError when it has another type.
  std::optional<std::string> QueryString(std::string_view name) const;
  std::optional<std::uint32_t> QueryDWord(std::string_view name) const;
  std::optional<std::vector<std::uint8_t>> QueryBinary(std::string_view name) const;
  // The value whatever its type; nullopt when absent.
  std::optional<TRegValue> Query(std::string_view name) const;

  // Writes a value, replacing one of the same name whatever its type. A value that
  // already exists keeps its place in the order of values.
  void SetString(std::string_view name, std::string_view value);
  void SetDWord(std::string_view name, std::uint32_t value);
  void SetBinary(std::string_view name, std::span<const std::uint8_t> value);

  // False when the value is absent.
  bool DeleteValue(std::string_view name);

  // Names of the direct subkeys, in the order they were created.
  std::vector<std::string> SubKeys() const;
  // All values, in the order they were created.
  std::vector<TRegValue> Values() const;

  // As Open and Create, with a path relative to this key (the empty path is this
  // key itself).
  std::optional<TRegKey> OpenSubKey(std::string_view relative) const;
  TRegKey CreateSubKey(std::string_view relative) const;

 private:
  TRegKey(THive hive, std::string path, std::shared_ptr<TRegStore> store, std::int64_t id);

  THive hive_;
  std::string path_;
  std::shared_ptr<TRegStore> store_;
  std::int64_t id_;
};

}  // namespace corvane
