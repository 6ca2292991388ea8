// SqliteStatement: one prepared SQLite statement for the length of a scope, finalized when the
// scope ends, so that no statement outlives its use and keeps a lock on the file. It does not
// report errors itself: a failed prepare leaves it empty, and the connection holds the message.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string_view>

namespace allot {

class SqliteStatement {
 public:
  SqliteStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) {
      sqlite3_finalize(statement_);
      statement_ = nullptr;
    }
  }
  ~SqliteStatement() { sqlite3_finalize(statement_); }
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  explicit operator bool() const { return statement_ != nullptr; }

  // Parameters are numbered from 1; the bound bytes must outlive the next step().
  void bind(int index, std::string_view text) {
    // A null pointer would bind NULL rather than the empty text.
    sqlite3_bind_text(statement_, index, text.empty() ? "" : text.data(),
                      static_cast<int>(text.size()), SQLITE_STATIC);
  }
  void bind(int index, std::span<const std::uint8_t> bytes) {
    sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_STATIC);
  }
  void bind(int index, std::int64_t number) { sqlite3_bind_int64(statement_, index, number); }

  int step() { return sqlite3_step(statement_); }
  // Runs a statement that returns no rows and makes it ready to run again; true when it ran.
  bool run() {
    const int result = sqlite3_step(statement_);
    sqlite3_reset(statement_);
    return result == SQLITE_DONE;
  }

  // Columns of the current row, numbered from 0.
  bool isInteger(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_INTEGER;
  }
  std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::span<const std::uint8_t> bytes(int column) const {
    const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    return {data, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
  }
  std::string_view text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return {data, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))};
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace allot
