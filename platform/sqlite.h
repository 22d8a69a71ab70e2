#pragma once
// Thin owners of an SQLite connection and its prepared statements. Failures throw
// TError: a damaged file gives the caller's "damaged" message, any other failure
// the caller's prefix followed by SQLite's own explanation.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace corvane {

class TSqliteStatement;

class TSqliteDb {
 public:
  // Opens the file for reading and writing (read-only when it is write-protected);
  // creates nothing. SQLite reads the file only at the first statement.
  TSqliteDb(const std::string& file, std::string failurePrefix, std::string damagedMessage);
  ~TSqliteDb();
  TSqliteDb(const TSqliteDb&) = delete;
  TSqliteDb& operator=(const TSqliteDb&) = delete;

  // Runs statements that return no rows.
  void Exec(const char* sql);
  TSqliteStatement Prepare(std::string_view sql);
  // Number of rows the last INSERT, UPDATE or DELETE changed.
  int Changes() const;

  // Throws for a result code other than the given success codes.
  void Check(int rc) const;
  [[noreturn]] void Fail(int rc) const;

  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string failurePrefix_;
  std::string damagedMessage_;
};

// A prepared statement; parameters are numbered from 1 and columns from 0.
class TSqliteStatement {
 public:
  TSqliteStatement(const TSqliteDb& db, sqlite3_stmt* stmt) : db_(&db), stmt_(stmt) {}
  ~TSqliteStatement();
  TSqliteStatement(TSqliteStatement&& other) noexcept;
  TSqliteStatement(const TSqliteStatement&) = delete;
  TSqliteStatement& operator=(const TSqliteStatement&) = delete;
  TSqliteStatement& operator=(TSqliteStatement&&) = delete;

  TSqliteStatement& Bind(int index, std::int64_t value);
  TSqliteStatement& Bind(int index, std::string_view text);
  TSqliteStatement& BindBlob(int index, std::span<const std::uint8_t> bytes);

  // Advances to the next row; false when there is none.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  // Makes the statement ready to run again; the parameters keep their values.
  void Reset();

  std::int64_t Int(int column) const;
  bool IsNull(int column) const;
  bool IsInteger(int column) const;
  // The column's bytes as stored (text or blob), without any conversion.
  std::span<const std::uint8_t> Bytes(int column) const;
  std::string Text(int column) const;

 private:
  const TSqliteDb* db_;
  sqlite3_stmt* stmt_;
};

}  // namespace corvane
