// SqlRunner: SQL run on the open settings file for one purpose (reading it, or saving to it), each
// failure said at once, in that purpose's words, as a Status, so that no caller has to look the
// reason up in the connection afterwards. Statements with parameters or several rows go through
// SqliteStatement; when one of them fails, failure() says why. It neither opens nor closes.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/defaults/sqlite_statement.h"
#include "platform/defaults/store_file_status.h"

namespace allot {

class SqlRunner {
 public:
  // `file` names the database in the sentences and must outlive the runner.
  SqlRunner(sqlite3* db, const std::filesystem::path& file, SqliteFailure words)
      : db_(db), file_(file), words_(words) {}

  sqlite3* db() const { return db_; }

  // SQLite's latest failure on the connection, in this runner's words.
  Status failure(std::string_view key = {}) const { return words_(db_, file_, key); }

  // Runs SQL that returns no rows.
  Status execute(const char* sql) const {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return Status::ok();
    return failure();
  }

  // The integer in the first column of the first row that `sql` returns, into *value.
  // The failure is read once the statement is finalized, as SQLite leaves it then.
  Status queryInteger(const char* sql, std::int64_t* value) const {
    bool found = false;
    {
      SqliteStatement statement(db_, sql);
      found = statement && statement.step() == SQLITE_ROW;
      if (found) *value = statement.integer(0);
    }
    return found ? Status::ok() : failure();
  }

 private:
  sqlite3* db_;
  const std::filesystem::path& file_;
  SqliteFailure words_;
};

}  // namespace allot
