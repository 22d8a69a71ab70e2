#pragma once
// One hive file as this process sees it: its SQLite connection, its table layout,
// and the operations on keys (named by row id) and their values. Each operation is
// one transaction; a store serialises its callers, so it is safe from any thread.
// TRegKey is its only user.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/sqlite.h"

namespace corvane {

class TRegStore {
 public:
  static constexpr std::int64_t kRootKey = 1;

  // The process's store of the hive's current file, opened at first use and opened
  // again when the file or the process changes. nullptr when the file is absent or
  // holds no registry yet and `create` is false; with `create` both are made.
  // Throws TError for a damaged file or one that is not a registry.
  static std::shared_ptr<TRegStore> ForHive(THive hive, bool create);

  TRegStore(THive hive, std::string file);

  // The key `names` below `base`; nullopt when it (or `base`) is absent.
  std::optional<std::int64_t> FindKey(std::int64_t base, const std::vector<std::string_view>& names);
  // As FindKey, creating the missing keys; nullopt only when `base` is absent.
  std::optional<std::int64_t> CreateKey(std::int64_t base, const std::vector<std::string_view>& names);
  // Deletes the key `names` below `base` with everything under it; false when absent.
  bool DeleteKey(std::int64_t base, const std::vector<std::string_view>& names);

  std::optional<TRegValue> QueryValue(std::int64_t key, std::string_view name);
  // Writes the value (`data` holds a string's or binary value's bytes, `number` a
  // DWord); false when the key is absent.
  bool SetValue(std::int64_t key, std::string_view name, TRegType type, std::uint32_t number,
                std::span<const std::uint8_t> data);
  bool DeleteValue(std::int64_t key, std::string_view name);
  std::vector<std::string> SubKeys(std::int64_t key);
  std::vector<TRegValue> Values(std::int64_t key);

 private:
  // Whether the file holds the registry's tables; with `create`, makes them first.
  bool PrepareTables(bool create);
  bool HasTables();
  void CreateTables();

  // Runs `work` in a transaction that reads (deferred) or writes (immediate, so
  // that writers queue on the busy time-out instead of failing). InTransaction
  // takes the store's lock; RunTransaction expects the caller to hold it.
  template <class F>
  auto InTransaction(bool write, F work);
  template <class F>
  auto RunTransaction(bool write, F work);

  bool Exists(std::int64_t key);
  std::optional<std::int64_t> Find(std::int64_t base, const std::vector<std::string_view>& names);
  // A value from a row of (name, type, data); TError when the row is damaged.
  TRegValue ReadValue(const TSqliteStatement& row) const;

  THive hive_;
  std::string file_;
  std::mutex mutex_;
  TSqliteDb db_;
  bool ready_ = false;
};

}  // namespace corvane
