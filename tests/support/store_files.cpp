#include "tests/support/store_files.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <optional>

#include "core/envelope_editing.h"
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

std::vector<std::int64_t> integers(const std::filesystem::path& file, const std::string& sql) {
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

void saveAndCommit(const BudgetStore& store, const std::filesystem::path& file) {
  SqliteUserDefaults defaults(file);
  saveStore(store, defaults);
  ASSERT_TRUE(defaults.synchronize()) << defaults.lastError();
}

Loaded loadFrom(UserDefaults& defaults) {
  Loaded loaded;
  addEnvelope(loaded.store, "from before", 2);
  loadStore(loaded.store, defaults, &loaded.report);
  return loaded;
}

namespace {

// One row inserted by `sql`: the key, then the position when there is one, then the bytes.
bool insertRow(sqlite3* db, const char* sql, const std::string& key,
               std::optional<std::int64_t> position, const std::vector<std::uint8_t>& bytes) {
  sqlite3_stmt* insert = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &insert, nullptr) != SQLITE_OK) return false;
  int column = 1;
  sqlite3_bind_text(insert, column++, key.c_str(), -1, SQLITE_STATIC);
  if (position) sqlite3_bind_int64(insert, column++, *position);
  sqlite3_bind_blob(insert, column, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
  const bool inserted = sqlite3_step(insert) == SQLITE_DONE;
  sqlite3_finalize(insert);
  return inserted;
}

// As the second layout kept a value: a list as its head and each item on its own row.
bool insertItemByItem(sqlite3* db, const std::string& key, const Value& value) {
  const Value::List* items = value.asList();
  if (items == nullptr)
    return insertRow(db, "INSERT INTO defaults VALUES(?1, ?2)", key, {}, encodeCbor(value));
  std::vector<std::uint8_t> head;
  appendCborListHead(head, items->size());
  bool written = insertRow(db, "INSERT INTO defaults VALUES(?1, ?2)", key, {}, head);
  for (std::size_t i = 0; written && i < items->size(); ++i) {
    written = insertRow(db, "INSERT INTO list_items VALUES(?1, ?2, ?3)", key,
                        static_cast<std::int64_t>(i), encodeCbor((*items)[i]));
  }
  return written;
}

}  // namespace

bool writeOlderLayoutFile(const std::filesystem::path& file, int layout,
                          const std::vector<std::pair<std::string, Value>>& values) {
  const std::string schema =
      "PRAGMA application_id = 1097624692; PRAGMA user_version = " + std::to_string(layout) +
      "; CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID;" +
      (layout == 2 ? "CREATE TABLE list_items(key TEXT NOT NULL, position INTEGER NOT NULL, "
                     "value BLOB NOT NULL, UNIQUE(key, position));"
                   : "");
  sqlite3* db = nullptr;
  bool written = sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
                 sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  for (const auto& [key, value] : values) {
    if (!written) break;
    written = layout == 2 ? insertItemByItem(db, key, value)
                          : insertRow(db, "INSERT INTO defaults VALUES(?1, ?2)", key, {},
                                      encodeCbor(value));
  }
  EXPECT_TRUE(written) << sqlite3_errmsg(db);
  sqlite3_close(db);
  return written;
}

bool writeOlderLayoutFile(const std::filesystem::path& file, int layout, const BudgetStore& store) {
  InMemoryUserDefaults saved;
  saveStore(store, saved);
  std::vector<std::pair<std::string, Value>> values;
  for (const char* key : {"totalAmount", "categoryNames", "envelopeColors", "categoryAmounts",
                          "detailArrays", "detailAmountArrays"}) {
    values.emplace_back(key, *saved.valueForKey(key));
  }
  return writeOlderLayoutFile(file, layout, values);
}

}  // namespace allot::testing
