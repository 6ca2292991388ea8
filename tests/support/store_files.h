// Store files for tests: SQL run on a file, a budget committed and loaded as the application does,
// files of the older layouts (1: each value whole; 2: lists item by item), a lock held elsewhere.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/envelope_editing.h"
#include "core/persistence.h"
#include "platform/defaults/cbor_codec.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"

namespace allot::testing {

// Runs `sql` on the SQLite database `file`, creating it when missing; fails the test on an error.
inline void runSql(const std::filesystem::path& file, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

// The first column of every row that `sql` returns on `file`, as integers.
inline std::vector<std::int64_t> integers(const std::filesystem::path& file,
                                          const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_stmt* query = nullptr;
  std::vector<std::int64_t> column;
  EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &query, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  while (sqlite3_step(query) == SQLITE_ROW) column.push_back(sqlite3_column_int64(query, 0));
  sqlite3_finalize(query);
  sqlite3_close(db);
  return column;
}

// Saves `store` through SqliteUserDefaults and commits it; fails the test when the commit fails.
inline void saveAndCommit(const BudgetStore& store, const std::filesystem::path& file) {
  SqliteUserDefaults defaults(file);
  saveStore(store, defaults);
  ASSERT_EQ(defaults.synchronize().message(), "");
}

// What the load made of `defaults`: its status, and the store it filled. That store held an
// envelope before, which the load must replace whatever it finds.
struct Loaded {
  Status status;
  BudgetStore store;
};

inline Loaded loadFrom(UserDefaults& defaults) {
  Loaded loaded;
  addEnvelope(loaded.store, "from before", 2);
  loaded.status = loadStore(loaded.store, defaults);
  return loaded;
}

// `bytes` as an SQL blob literal.
inline std::string blobLiteral(const std::vector<std::uint8_t>& bytes) {
  std::string literal = "x'";
  for (const std::uint8_t byte : bytes) {
    literal += "0123456789abcdef"[byte >> 4];
    literal += "0123456789abcdef"[byte & 15];
  }
  return literal + "'";
}

// Writes a new file of the older `layout` (1 or 2) holding `values`, or `store` as saveStore would
// write it; false (with a failed expectation) when SQLite refuses. The second layout kept a list
// as its head and each item on its own row.
inline bool writeOlderLayoutFile(const std::filesystem::path& file, int layout,
                                 const std::vector<std::pair<std::string, Value>>& values) {
  std::string sql =
      "PRAGMA application_id = 1097624692; PRAGMA user_version = " + std::to_string(layout) +
      "; CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID;" +
      (layout == 2 ? "CREATE TABLE list_items(key TEXT NOT NULL, position INTEGER NOT NULL, "
                     "value BLOB NOT NULL, UNIQUE(key, position));"
                   : "");
  for (const auto& [key, value] : values) {
    const Value::List* items = layout == 2 ? value.asList() : nullptr;
    std::vector<std::uint8_t> head;
    if (items != nullptr) appendCborListHead(head, items->size());
    sql += "INSERT INTO defaults VALUES('" + key + "', " +
           blobLiteral(items != nullptr ? head : encodeCbor(value)) + ");";
    for (std::size_t i = 0; items != nullptr && i < items->size(); ++i) {
      sql += "INSERT INTO list_items VALUES('" + key + "', " + std::to_string(i) + ", " +
             blobLiteral(encodeCbor((*items)[i])) + ");";
    }
  }
  sqlite3* db = nullptr;
  const bool written = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                       sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  EXPECT_TRUE(written) << sqlite3_errmsg(db);
  sqlite3_close(db);
  return written;
}

inline bool writeOlderLayoutFile(const std::filesystem::path& file, int layout,
                                 const BudgetStore& store) {
  InMemoryUserDefaults saved;
  saveStore(store, saved);
  std::vector<std::pair<std::string, Value>> values;
  for (const char* key : {"totalAmount", "categoryNames", "envelopeColors", "categoryAmounts",
                          "detailArrays", "detailAmountArrays"}) {
    values.emplace_back(key, *saved.valueForKey(key));
  }
  return writeOlderLayoutFile(file, layout, values);
}

// LockHolder: another program (a child process) holding a store's exclusive lock, as a backup
// tool might, until released or for a set time; the child is always reaped.
class LockHolder {
 public:
  // Returns once the lock is held. With a duration, the child lets go by itself after it.
  explicit LockHolder(const std::filesystem::path& file,
                      std::chrono::milliseconds duration = std::chrono::minutes(1)) {
    int locked[2], letGo[2];
    if (::pipe(locked) != 0) return;
    if (::pipe(letGo) != 0) {
      ::close(locked[0]);
      ::close(locked[1]);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      sqlite3* db = nullptr;
      const char byte = 1;
      if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
          sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK ||
          ::write(locked[1], &byte, 1) != 1) {
        std::_Exit(1);
      }
      ::close(letGo[1]);
      pollfd until{letGo[0], POLLIN, 0};
      ::poll(&until, 1, static_cast<int>(duration.count()));  // released, or the time is up
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      std::_Exit(0);
    }
    ::close(locked[1]);
    ::close(letGo[0]);
    releaseFd_ = letGo[1];
    char byte = 0;
    if (pid_ < 0 || ::read(locked[0], &byte, 1) != 1) release();
    ::close(locked[0]);
  }
  ~LockHolder() { release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool holding() const { return pid_ > 0; }
  // Lets go of the lock and waits for the child to end.
  void release() {
    if (releaseFd_ >= 0) ::close(releaseFd_);
    releaseFd_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int releaseFd_ = -1;
};

}  // namespace allot::testing
