#include "tests/support/store_files.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/persistence.h"
#include "platform/defaults/cbor_codec.h"
#include "platform/defaults/in_memory_user_defaults.h"
#include "platform/defaults/sqlite_user_defaults.h"

namespace allot::testing {

void runSql(const std::filesystem::path& file, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

void saveAndCommit(const BudgetStore& store, const std::filesystem::path& file) {
  SqliteUserDefaults defaults(file);
  saveStore(store, defaults);
  ASSERT_TRUE(defaults.synchronize()) << defaults.lastError();
}

bool writeFirstLayoutFile(const std::filesystem::path& file,
                          const std::vector<std::pair<std::string, Value>>& values) {
  sqlite3* db = nullptr;
  bool written = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                 sqlite3_exec(db,
                              "PRAGMA application_id = 1097624692; PRAGMA user_version = 1; "
                              "CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, value BLOB "
                              "NOT NULL) WITHOUT ROWID;",
                              nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_stmt* insert = nullptr;
  written = written && sqlite3_prepare_v2(db, "INSERT INTO defaults VALUES(?1, ?2)", -1, &insert,
                                          nullptr) == SQLITE_OK;
  for (const auto& [key, value] : values) {
    if (!written) break;
    const std::vector<std::uint8_t> bytes = encodeCbor(value);
    sqlite3_bind_text(insert, 1, key.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_blob(insert, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    written = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  EXPECT_TRUE(written) << sqlite3_errmsg(db);
  sqlite3_finalize(insert);
  sqlite3_close(db);
  return written;
}

bool writeFirstLayoutFile(const std::filesystem::path& file, const BudgetStore& store) {
  InMemoryUserDefaults saved;
  saveStore(store, saved);
  std::vector<std::pair<std::string, Value>> values;
  for (const char* key : {"totalAmount", "categoryNames", "envelopeColors", "categoryAmounts",
                          "detailArrays", "detailAmountArrays"}) {
    values.emplace_back(key, *saved.valueForKey(key));
  }
  return writeFirstLayoutFile(file, values);
}

}  // namespace allot::testing
