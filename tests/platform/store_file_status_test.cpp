// What SQLite's failures mean for the settings file: only content that SQLite found unusable is
// damage, anything else left the file unread, and a read the user stopped says so.
#include "platform/defaults/store_file_status.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace allot {

TEST(StoreFileStatusTest, OnlyContentThatSQLiteFoundUnusableIsDamage) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  const std::filesystem::path file = "/data/defaults.sqlite3";
  sqlite3_exec(db, "SELECT * FROM nowhere", nullptr, nullptr, nullptr);
  EXPECT_EQ(readFailure(db, file, "key").kind(), Status::Kind::Failed);
  EXPECT_EQ(saveFailure(db, file).message(),
            "Could not save to the settings file \"/data/defaults.sqlite3\": no such table: "
            "nowhere.");
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 10);  // too big: damage, also when no key is named
  sqlite3_exec(db, "SELECT zeroblob(100)", nullptr, nullptr, nullptr);
  EXPECT_EQ(readFailure(db, file).kind(), Status::Kind::Unreadable);
  sqlite3_progress_handler(
      db, 1, [](void*) { return 1; }, nullptr);
  sqlite3_exec(db, "SELECT 1", nullptr, nullptr, nullptr);
  EXPECT_EQ(readFailure(db, file).message(),
            "Reading the settings file \"/data/defaults.sqlite3\" was stopped.");
  sqlite3_close(db);
}

}  // namespace allot
