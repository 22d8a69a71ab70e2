#include "platform/registry_store.h"

#include <sys/stat.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <type_traits>

#include "platform/error.h"
#include "platform/registry_location.h"

namespace corvane {

namespace {

// Marks a file as a Corvane registry ("CVRG") and numbers its table layout.
constexpr std::int64_t kApplicationId = 0x43565247;
constexpr std::int64_t kLayoutVersion = 1;

// Names compare with NOCASE, SQLite's ASCII case folding, and keep their case.
// Rows are numbered in creation order, which is the order of listings; key numbers
// are never reused, so a key opened before another process deleted it can never
// reach a key created later.
constexpr const char* kCreateTables = R"(
  CREATE TABLE reg_keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER REFERENCES reg_keys(id),
    name TEXT NOT NULL COLLATE NOCASE,
    UNIQUE(parent, name));
  CREATE TABLE reg_values(
    id INTEGER PRIMARY KEY,
    key_id INTEGER NOT NULL REFERENCES reg_keys(id),
    name TEXT NOT NULL COLLATE NOCASE,
    type INTEGER NOT NULL CHECK(type IN (1, 3, 4)),
    data NOT NULL,
    UNIQUE(key_id, name));
  INSERT INTO reg_keys(id, parent, name) VALUES (1, NULL, '');
)";

std::string DamagedMessage(const std::string& file) {
  return "The registry store \"" + file + "\" is damaged or is not a registry store.";
}

// The process's store per hive, with what identifies the file it was opened on.
struct TStoreSlot {
  std::string file;
  pid_t pid = 0;
  dev_t device = 0;
  ino_t inode = 0;
  std::shared_ptr<TRegStore> store;
};

// A connection inherited from the parent process must be neither used nor closed
// in the child (closing could disturb the parent's locks), so it is kept forever.
void Abandon(std::shared_ptr<TRegStore> store) {
  static auto* inherited = new std::vector<std::shared_ptr<TRegStore>>;
  inherited->push_back(std::move(store));
}

}  // namespace

std::shared_ptr<TRegStore> TRegStore::ForHive(THive hive, bool create) {
  std::string file = HiveFile(hive);
  static std::mutex slotsMutex;
  static TStoreSlot slots[2];
  std::lock_guard lock(slotsMutex);

  struct stat info {};
  if (stat(file.c_str(), &info) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) {
      throw TError("The registry store \"" + file + "\" cannot be used: " + std::strerror(errno));
    }
    if (!create) return nullptr;
    CreateHiveFile(hive, file);
    if (stat(file.c_str(), &info) != 0) {
      throw TError("The registry store \"" + file + "\" cannot be used: " + std::strerror(errno));
    }
  }

  TStoreSlot& slot = slots[hive == THive::CurrentUser ? 0 : 1];
  pid_t pid = getpid();
  if (!slot.store || slot.file != file || slot.pid != pid || slot.device != info.st_dev ||
      slot.inode != info.st_ino) {
    if (slot.store && slot.pid != pid) Abandon(std::move(slot.store));
    slot = {file, pid, info.st_dev, info.st_ino, std::make_shared<TRegStore>(hive, file)};
  }
  std::shared_ptr<TRegStore> store = slot.store;
  if (!store->PrepareTables(create)) return nullptr;
  return store;
}

TRegStore::TRegStore(THive hive, std::string file)
    : hive_(hive),
      file_(std::move(file)),
      db_(file_, "The registry store \"" + file_ + "\" cannot be used: ", DamagedMessage(file_)) {
  // Another process's transaction holds the file for a few milliseconds at most;
  // wait for it rather than fail.
  db_.Check(sqlite3_busy_timeout(db_.Handle(), 5000));
  db_.Exec("PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL;");
}

template <class F>
auto TRegStore::RunTransaction(bool write, F work) {
  db_.Exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
  try {
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      db_.Exec("COMMIT");
    } else {
      auto result = work();
      db_.Exec("COMMIT");
      return result;
    }
  } catch (...) {
    sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

template <class F>
auto TRegStore::InTransaction(bool write, F work) {
  std::lock_guard lock(mutex_);
  return RunTransaction(write, work);
}

bool TRegStore::PrepareTables(bool create) {
  std::lock_guard lock(mutex_);
  if (ready_) return true;
  ready_ = RunTransaction(false, [&] { return HasTables(); });
  if (ready_ || !create) return ready_;
  // Readers of the machine's hive usually may not write its folder, where a
  // write-ahead log would need its index file; it keeps a rollback journal.
  db_.Exec(hive_ == THive::LocalMachine ? "PRAGMA journal_mode = DELETE" : "PRAGMA journal_mode = WAL");
  RunTransaction(true, [&] {
    if (HasTables()) return;  // another process was first
    db_.Exec(kCreateTables);
    db_.Exec(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
    db_.Exec(("PRAGMA user_version = " + std::to_string(kLayoutVersion)).c_str());
  });
  ready_ = true;
  return true;
}

bool TRegStore::HasTables() {
  auto id = db_.Prepare("PRAGMA application_id");
  id.Step();
  if (id.Int(0) == kApplicationId) {
    auto version = db_.Prepare("PRAGMA user_version");
    version.Step();
    if (version.Int(0) != kLayoutVersion) {
      throw TError("The registry store \"" + file_ + "\" was written by another version of Corvane.");
    }
    return true;
  }
  // A new store: the empty file made before the tables, or one whose creation
  // stopped before the tables were written. (SQLite itself refuses any other
  // file that is not a database.)
  auto tables = db_.Prepare("SELECT count(*) FROM sqlite_master");
  tables.Step();
  if (id.Int(0) == 0 && tables.Int(0) == 0) return false;
  throw TError(DamagedMessage(file_));
}

bool TRegStore::Exists(std::int64_t key) {
  return db_.Prepare("SELECT 1 FROM reg_keys WHERE id = ?1").Bind(1, key).Step();
}

std::optional<std::int64_t> TRegStore::Find(std::int64_t base, const std::vector<std::string_view>& names) {
  if (!Exists(base)) return std::nullopt;
  auto child = db_.Prepare("SELECT id FROM reg_keys WHERE parent = ?1 AND name = ?2");
  std::int64_t key = base;
  for (std::string_view name : names) {
    child.Reset();
    if (!child.Bind(1, key).Bind(2, name).Step()) return std::nullopt;
    key = child.Int(0);
  }
  return key;
}

std::optional<std::int64_t> TRegStore::FindKey(std::int64_t base, const std::vector<std::string_view>& names) {
  return InTransaction(false, [&] { return Find(base, names); });
}

std::optional<std::int64_t> TRegStore::CreateKey(std::int64_t base, const std::vector<std::string_view>& names) {
  return InTransaction(true, [&]() -> std::optional<std::int64_t> {
    if (!Exists(base)) return std::nullopt;
    auto child = db_.Prepare("SELECT id FROM reg_keys WHERE parent = ?1 AND name = ?2");
    auto insert = db_.Prepare("INSERT INTO reg_keys(parent, name) VALUES (?1, ?2)");
    std::int64_t key = base;
    for (std::string_view name : names) {
      child.Reset();
      if (child.Bind(1, key).Bind(2, name).Step()) {
        key = child.Int(0);
      } else {
        insert.Reset();
        insert.Bind(1, key).Bind(2, name).Run();
        key = sqlite3_last_insert_rowid(db_.Handle());
      }
    }
    return key;
  });
}

bool TRegStore::DeleteKey(std::int64_t base, const std::vector<std::string_view>& names) {
  return InTransaction(true, [&] {
    std::optional<std::int64_t> key = Find(base, names);
    if (!key) return false;
    // The whole subtree, gathered first: nesting may be deeper than any limit on
    // recursive deletes.
    constexpr const char* kTree =
        "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
        "SELECT k.id FROM reg_keys k JOIN tree t ON k.parent = t.id) ";
    db_.Prepare(std::string(kTree) + "DELETE FROM reg_values WHERE key_id IN tree").Bind(1, *key).Run();
    db_.Prepare(std::string(kTree) + "DELETE FROM reg_keys WHERE id IN tree").Bind(1, *key).Run();
    return true;
  });
}

TRegValue TRegStore::ReadValue(const TSqliteStatement& row) const {
  TRegValue value;
  value.name = row.Text(0);
  std::int64_t type = row.Int(1);
  constexpr int data = 2;
  if (type == static_cast<std::int64_t>(TRegType::String) && !row.IsInteger(data)) {
    value.type = TRegType::String;
    value.text = row.Text(data);
  } else if (type == static_cast<std::int64_t>(TRegType::Binary) && !row.IsInteger(data)) {
    value.type = TRegType::Binary;
    auto bytes = row.Bytes(data);
    value.binary.assign(bytes.begin(), bytes.end());
  } else if (type == static_cast<std::int64_t>(TRegType::DWord) && row.IsInteger(data) && row.Int(data) >= 0 &&
             row.Int(data) <= std::numeric_limits<std::uint32_t>::max()) {
    value.type = TRegType::DWord;
    value.number = static_cast<std::uint32_t>(row.Int(data));
  } else {
    throw TError(DamagedMessage(file_));
  }
  return value;
}

std::optional<TRegValue> TRegStore::QueryValue(std::int64_t key, std::string_view name) {
  return InTransaction(false, [&]() -> std::optional<TRegValue> {
    auto row = db_.Prepare("SELECT name, type, data FROM reg_values WHERE key_id = ?1 AND name = ?2");
    if (!row.Bind(1, key).Bind(2, name).Step()) return std::nullopt;
    return ReadValue(row);
  });
}

bool TRegStore::SetValue(std::int64_t key, std::string_view name, TRegType type, std::uint32_t number,
                         std::span<const std::uint8_t> data) {
  return InTransaction(true, [&] {
    if (!Exists(key)) return false;
    // An existing value keeps its row, and so its place in the order.
    auto upsert = db_.Prepare(
        "INSERT INTO reg_values(key_id, name, type, data) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT(key_id, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.Bind(1, key).Bind(2, name).Bind(3, static_cast<std::int64_t>(type));
    if (type == TRegType::DWord) {
      upsert.Bind(4, static_cast<std::int64_t>(number));
    } else {
      upsert.BindBlob(4, data);
    }
    upsert.Run();
    return true;
  });
}

bool TRegStore::DeleteValue(std::int64_t key, std::string_view name) {
  return InTransaction(true, [&] {
    db_.Prepare("DELETE FROM reg_values WHERE key_id = ?1 AND name = ?2").Bind(1, key).Bind(2, name).Run();
    return db_.Changes() > 0;
  });
}

std::vector<std::string> TRegStore::SubKeys(std::int64_t key) {
  return InTransaction(false, [&] {
    std::vector<std::string> names;
    auto rows = db_.Prepare("SELECT name FROM reg_keys WHERE parent = ?1 ORDER BY id");
    rows.Bind(1, key);
    while (rows.Step()) names.push_back(rows.Text(0));
    return names;
  });
}

std::vector<TRegValue> TRegStore::Values(std::int64_t key) {
  return InTransaction(false, [&] {
    std::vector<TRegValue> values;
    auto rows = db_.Prepare("SELECT name, type, data FROM reg_values WHERE key_id = ?1 ORDER BY id");
    rows.Bind(1, key);
    while (rows.Step()) values.push_back(ReadValue(rows));
    return values;
  });
}

}  // namespace corvane
