// The SQLite store: values back only after a commit, only changed items rewritten, older layouts
// read and converted, where the file lives, another program's lock and a newer version's file.
#include "platform/defaults/sqlite_user_defaults.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <vector>

#include "platform/defaults/stop_request.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace fs = std::filesystem;

namespace allot::testing {
namespace {

// A rewritten row gets a new rowid; an untouched one keeps its own.
std::vector<std::int64_t> itemRowids(const fs::path& file) {
  return integers(file, "SELECT rowid FROM inner_lists WHERE key = 'k' ORDER BY position");
}

class SqliteUserDefaultsTest : public ::testing::Test {
 protected:
  TemporaryDirectory directory_;
  const fs::path& dir_ = directory_.path();
};

// Lists of every kind of item, `count` long, item i differing from the others.
Value::List sampleList(std::size_t count) {
  Value::List items;
  for (std::size_t i = 0; i < count; ++i) {
    const auto n = static_cast<std::int64_t>(i);
    items.emplace_back(Value::List{"note " + std::to_string(i), 0.25 * n, -n});
  }
  return items;
}

// A value alone and lists stored row by row come back exactly (each kind's encoding:
// CborCodecTest).
TEST_F(SqliteUserDefaultsTest, ValuesComeBackInALaterProcessOnlyAfterSynchronize) {
  static constexpr char kText[] = "Rock 'n' \"roll\" \xE2\x82\xAC \0 end";
  const std::string text(kText, sizeof kText - 1);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Value texts = Value::List{Value::List{"Added 'Food'", text}, Value::List{}};
  const Value numbers = Value::List{Value::List{nan, -0.0, 1e-310}};
  const std::pair<const char*, Value> samples[] = {
      {"lists", Value::List{texts, Value::List{nan, -0.0, 1e-310, -12.5}}},
      {"texts", texts},
      {"numbers", numbers},
      {"total", 7.0},
      {"megabyte", Value::List{Value::List{std::string(1 << 20, '\x80') + text}}}};
  const fs::path file = dir_ / "data" / "allot" / "defaults.sqlite3";
  SqliteUserDefaults writer(file);
  EXPECT_FALSE(writer.valueForKey("total").has_value());
  EXPECT_EQ(writer.synchronize().message(), "");  // nothing pending: nothing created
  for (const auto& [key, value] : samples) writer.setObject(value, key);
  // Lists of lists set straight from vectors are stored as the equal Values would be.
  writer.setTextLists({{"Added 'Food'", text}, {}}, "texts");
  writer.setNumberLists({{nan, -0.0, 1e-310}}, "numbers");
  writer.setDouble(2.5, "total");
  EXPECT_EQ(writer.valueForKey("total"), Value(2.5));
  EXPECT_EQ(writer.valueForKey("texts"), texts);
  EXPECT_FALSE(SqliteUserDefaults(file).valueForKey("total").has_value());
  EXPECT_FALSE(fs::exists(dir_ / "data"));

  ASSERT_EQ(writer.synchronize().message(), "");
  writer.setDouble(7.0, "total");
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("total"), Value(2.5));
  ASSERT_EQ(writer.synchronize().message(), "");

  SqliteUserDefaults reader(file);
  for (const auto& [key, value] : samples) EXPECT_EQ(reader.valueForKey(key), value) << key;
  EXPECT_FALSE(reader.valueForKey("absent").has_value());
  EXPECT_TRUE(reader.readStatus().message().empty());
  // Our mark in the header, a rollback journal, and no file beside the store.
  const std::string header = fileBytes(file).substr(0, 100);
  EXPECT_EQ(header.substr(68, 4), "Allt");
  EXPECT_EQ(header[18], 1);
  EXPECT_EQ(std::set<fs::path>(fs::directory_iterator(file.parent_path()), {}), std::set{file});
}

TEST_F(SqliteUserDefaultsTest, AdoptsAnEmptyFileOrEmptyDatabase) {
  std::ofstream{dir_ / "zero-length"};
  runSql(dir_ / "no-tables", "CREATE TABLE t(x); DROP TABLE t;");
  for (const fs::path& file : {dir_ / "zero-length", dir_ / "no-tables"}) {
    SqliteUserDefaults defaults(file);
    EXPECT_FALSE(defaults.valueForKey("k").has_value());
    EXPECT_TRUE(defaults.readStatus().message().empty());
    defaults.setObject(Value::List{"a"}, "k");
    ASSERT_EQ(defaults.synchronize().message(), "");
    EXPECT_EQ(SqliteUserDefaults(file).valueForKey("k"), Value(Value::List{"a"}));
  }
}

// Fingerprints remembered from a read describe the file as it was then; a commit by someone else
// meanwhile must not be mistaken for what was read.
TEST_F(SqliteUserDefaultsTest, ACommitRewritesOnlyTheItemsThatChanged) {
  const fs::path file = dir_ / "defaults.sqlite3";
  Value::List items = sampleList(400);
  {
    SqliteUserDefaults first(file);
    first.setObject(items, "k");
    first.setDouble(1.5, "total");
    ASSERT_EQ(first.synchronize().message(), "");
  }
  const std::vector<std::int64_t> written = itemRowids(file);
  ASSERT_EQ(written.size(), items.size());

  // As the application does: read at launch, change one entry, write every key back.
  SqliteUserDefaults reader(file);
  ASSERT_EQ(reader.valueForKey("k"), Value(items));
  items[250] = Value::List{"changed", -0.0, 7};
  reader.setObject(items, "k");
  reader.setDouble(1.5, "total");
  ASSERT_EQ(reader.synchronize().message(), "");
  std::vector<std::int64_t> expected = written;
  std::vector<std::int64_t> rewritten = itemRowids(file);
  expected[250] = rewritten[250];
  EXPECT_NE(rewritten[250], written[250]);
  EXPECT_EQ(rewritten, expected);

  // Writing without having read first compares against what the file holds.
  SqliteUserDefaults stale(file);
  ASSERT_EQ(stale.valueForKey("k"), Value(items));
  SqliteUserDefaults blind(file);
  Value::List theirs = items;
  theirs[3] = Value::List{"now a text"};
  blind.setObject(theirs, "k");
  ASSERT_EQ(blind.synchronize().message(), "");
  expected[3] = itemRowids(file)[3];
  EXPECT_NE(expected[3], rewritten[3]);
  EXPECT_EQ(itemRowids(file), expected);
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("k"), Value(theirs));

  stale.setObject(items, "k");  // what it read, which `blind` has changed since
  ASSERT_EQ(stale.synchronize().message(), "");
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("k"), Value(items));
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("total"), Value(1.5));
}

// Earlier releases kept each value whole in one row (layout 1), then every list item by item
// (layout 2); now only a list of lists has a row per item.
TEST_F(SqliteUserDefaultsTest, ReadsOlderLayoutFilesAndConvertsThemOnTheFirstCommit) {
  const std::vector<std::pair<std::string, Value>> stored = {
      {"totalAmount", 12.5},
      {"categoryNames", Value::List{"Food", "Rent"}},
      {"detailArrays", Value::List{Value::List{"Added 'Food'", "bread"}, Value::List{}}},
      {"empty", Value::List{}},
  };
  for (int layout : {1, 2}) {
    const fs::path file = dir_ / ("layout" + std::to_string(layout) + ".sqlite3");
    ASSERT_TRUE(writeOlderLayoutFile(file, layout, stored));
    runSql(file, layout == 1 ? "INSERT INTO defaults VALUES('damaged', x'82f6');"
                             : "INSERT INTO defaults VALUES('damaged', x'81'); "
                               "INSERT INTO list_items VALUES('damaged', 0, x'f6');");
    const std::string bytes = fileBytes(file);

    SqliteUserDefaults defaults(file);
    for (const auto& [key, value] : stored) EXPECT_EQ(defaults.valueForKey(key), value) << key;
    EXPECT_TRUE(defaults.readStatus().message().empty()) << defaults.readStatus().message();
    EXPECT_EQ(fileBytes(file), bytes);  // reading converts nothing

    defaults.setDouble(13.0, "totalAmount");
    ASSERT_EQ(defaults.synchronize().message(), "");
    EXPECT_EQ(integers(file, "PRAGMA user_version"), std::vector<std::int64_t>{3});
    SqliteUserDefaults converted(file);
    for (const auto& [key, value] : stored) {
      EXPECT_EQ(converted.valueForKey(key), key == "totalAmount" ? Value(13.0) : value) << key;
    }
    EXPECT_TRUE(converted.readStatus().message().empty()) << converted.readStatus().message();
    EXPECT_FALSE(converted.valueForKey("damaged").has_value());  // still damaged, not lost
    if (layout == 2) {
      EXPECT_EQ(integers(file, "SELECT count(*) FROM inner_lists WHERE key = 'damaged'"),
                std::vector<std::int64_t>{1});
    }
    EXPECT_NE(converted.readStatus().message().find("\"damaged\""), std::string::npos);
    EXPECT_NE(converted.readStatus().message().find(file.string()), std::string::npos);
  }
}

TEST(SqliteUserDefaultsPathTest, FollowsXdgDataHomeWhenAbsolute) {
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const std::optional<std::string> savedXdg = xdg ? std::optional<std::string>(xdg) : std::nullopt;
  ::setenv("HOME", "/home/someone", 1);
  const fs::path fallback("/home/someone/.local/share/allot/defaults.sqlite3");

  ::setenv("XDG_DATA_HOME", "/data", 1);
  EXPECT_EQ(SqliteUserDefaults::defaultPath(), fs::path("/data/allot/defaults.sqlite3"));
  for (const char* unusable : {"", "relative/data"}) {
    ::setenv("XDG_DATA_HOME", unusable, 1);
    EXPECT_EQ(SqliteUserDefaults::defaultPath(), fallback) << unusable;
  }
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(SqliteUserDefaults::defaultPath(), fallback);

  ::setenv("HOME", home.c_str(), 1);
  if (savedXdg) ::setenv("XDG_DATA_HOME", savedXdg->c_str(), 1);
}

// Each test starts with a store holding the envelope "Food" and a total of 7.
class StoreGuards : public ::testing::Test {
 protected:
  StoreGuards() {
    saveAndCommit(budgetWith("Food"), file_);
    bytes_ = fileBytes(file_);
  }
  TemporaryDirectory directory_;
  const fs::path file_ = directory_.path() / "defaults.sqlite3";
  std::string bytes_;
};

// A lock held for a moment is waited out; one held longer is reported as busy, never as damage,
// and leaves the file and the pending writes alone until it is gone; a quit ends the wait.
TEST_F(StoreGuards, AStoreLockedByAnotherProgramIsWaitedForThenReportedBusy) {
  {
    LockHolder briefly(file_, std::chrono::milliseconds(300));
    ASSERT_TRUE(briefly.holding());
    SqliteUserDefaults defaults(file_);
    const auto loaded = loadFrom(defaults);
    EXPECT_TRUE(loaded.status.isOk()) << loaded.status.message();
    EXPECT_EQ(loaded.store.categoryNames(), std::vector<std::string>{"Food"});
  }

  LockHolder holder(file_);
  ASSERT_TRUE(holder.holding());
  SqliteUserDefaults defaults(file_);
  defaults.setBusyWait(100);
  const auto busy = loadFrom(defaults);
  EXPECT_EQ(busy.status.kind(), Status::Kind::Busy) << busy.status.message();
  EXPECT_NE(busy.status.message().find("in use by another program"), std::string::npos);
  EXPECT_EQ(busy.store.envelopeCount(), 0u);

  saveStore(budgetWith("Rent"), defaults);
  const Status locked = defaults.synchronize();
  EXPECT_NE(locked.message().find("locked"), std::string::npos) << locked.message();
  EXPECT_EQ(defaults.valueForKey("categoryNames"), Value(Value::List{"Rent"})) << "kept pending";

  // A quit asked during a long wait ends it at once, and the commit gives up too.
  defaults.setBusyWait(60'000);
  StopRequest::raise();
  EXPECT_FALSE(loadFrom(defaults).status.isOk());
  EXPECT_TRUE(StopRequest::wasHonoured());
  EXPECT_FALSE(defaults.synchronize().isOk());
  StopRequest::reset();
  holder.release();
  EXPECT_EQ(fileBytes(file_), bytes_);

  ASSERT_EQ(defaults.synchronize().message(), "");
  EXPECT_EQ(SqliteUserDefaults(file_).valueForKey("categoryNames"), Value(Value::List{"Rent"}));
}

// A file from a newer version is read with what this one knows and never written (one whose
// tables this version does not know is not read either: BadInput).
TEST_F(StoreGuards, AStoreOfANewerVersionIsReadButNeverWritten) {
  runSql(file_, "PRAGMA user_version = 4;");
  const std::string bytes = fileBytes(file_);
  SqliteUserDefaults defaults(file_);
  const auto newer = loadFrom(defaults);
  EXPECT_TRUE(newer.status.isOk()) << newer.status.message();
  EXPECT_EQ(newer.store.categoryNames(), std::vector<std::string>{"Food"});
  EXPECT_EQ(defaults.writability().kind(), Status::Kind::Newer);
  saveStore(budgetWith("Rent"), defaults);
  const Status refused = defaults.synchronize();
  EXPECT_EQ(refused.kind(), Status::Kind::Newer);
  EXPECT_NE(refused.message().find("newer version"), std::string::npos);
  EXPECT_TRUE(defaults.startAfresh().isOk()) << "nothing to do";
  EXPECT_EQ(fileBytes(file_), bytes);
}

}  // namespace
}  // namespace allot::testing
