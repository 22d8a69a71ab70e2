#include "platform/sqlite.h"

#include <sqlite3.h>

#include <limits>
#include <utility>

#include "platform/error.h"

namespace corvane {

TSqliteDb::TSqliteDb(const std::string& file, std::string failurePrefix, std::string damagedMessage)
    : failurePrefix_(std::move(failurePrefix)), damagedMessage_(std::move(damagedMessage)) {
  int rc = sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    std::string reason = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    throw TError(failurePrefix_ + reason);
  }
}

TSqliteDb::~TSqliteDb() { sqlite3_close_v2(db_); }

void TSqliteDb::Check(int rc) const {
  if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) Fail(rc);
}

void TSqliteDb::Fail(int rc) const {
  int primary = rc & 0xFF;
  if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) throw TError(damagedMessage_);
  throw TError(failurePrefix_ + sqlite3_errmsg(db_));
}

void TSqliteDb::Exec(const char* sql) { Check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }

TSqliteStatement TSqliteDb::Prepare(std::string_view sql) {
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr));
  return TSqliteStatement(*this, stmt);
}

int TSqliteDb::Changes() const { return sqlite3_changes(db_); }

TSqliteStatement::~TSqliteStatement() { sqlite3_finalize(stmt_); }

TSqliteStatement::TSqliteStatement(TSqliteStatement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)) {}

namespace {

// SQLite takes lengths as int; anything longer cannot be stored.
int CheckedLength(const TSqliteDb& db, std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) db.Fail(SQLITE_TOOBIG);
  return static_cast<int>(size);
}

}  // namespace

TSqliteStatement& TSqliteStatement::Bind(int index, std::int64_t value) {
  db_->Check(sqlite3_bind_int64(stmt_, index, value));
  return *this;
}

TSqliteStatement& TSqliteStatement::Bind(int index, std::string_view text) {
  // A null pointer would bind NULL, not the empty text.
  const char* data = text.empty() ? "" : text.data();
  db_->Check(sqlite3_bind_text(stmt_, index, data, CheckedLength(*db_, text.size()), SQLITE_TRANSIENT));
  return *this;
}

TSqliteStatement& TSqliteStatement::BindBlob(int index, std::span<const std::uint8_t> bytes) {
  // An empty span may carry a null pointer, which SQLite would store as NULL.
  static const std::uint8_t kNothing = 0;
  const void* data = bytes.empty() ? &kNothing : bytes.data();
  db_->Check(sqlite3_bind_blob(stmt_, index, data, CheckedLength(*db_, bytes.size()), SQLITE_TRANSIENT));
  return *this;
}

bool TSqliteStatement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  db_->Fail(rc);
}

void TSqliteStatement::Run() {
  while (Step()) {
  }
}

void TSqliteStatement::Reset() { sqlite3_reset(stmt_); }

std::int64_t TSqliteStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

bool TSqliteStatement::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }

bool TSqliteStatement::IsInteger(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_INTEGER;
}

std::span<const std::uint8_t> TSqliteStatement::Bytes(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  if (!data || size <= 0) return {};
  return {static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)};
}

std::string TSqliteStatement::Text(int column) const {
  auto bytes = Bytes(column);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace corvane
