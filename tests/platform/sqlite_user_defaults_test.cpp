#include "platform/defaults/sqlite_user_defaults.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>

namespace fs = std::filesystem;

namespace allot {
namespace {

class SqliteUserDefaultsTest : public ::testing::Test {
 protected:
  SqliteUserDefaultsTest() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("allot-test-" + std::to_string(::getpid()) + "-" + test->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  ~SqliteUserDefaultsTest() override { fs::remove_all(dir_); }

  static std::string bytesOf(const fs::path& file) {
    if (!fs::is_regular_file(file)) return "";
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::set<fs::path> listing() const {
    return {fs::recursive_directory_iterator(dir_), fs::recursive_directory_iterator()};
  }
  static void runSql(const fs::path& file, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
  }

  fs::path dir_;
};

TEST_F(SqliteUserDefaultsTest, ValuesComeBackInALaterProcessOnlyAfterSynchronize) {
  static constexpr char kText[] = "Rock 'n' \"roll\" \xE2\x82\xAC \0 end";
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<const char*, Value> samples[] = {
      {"nan", std::numeric_limits<double>::quiet_NaN()},
      {"inf", inf},
      {"-inf", -inf},
      {"negative zero", -0.0},
      {"subnormal", 1e-310},
      {"int min", std::numeric_limits<std::int64_t>::min()},
      {"int max", std::numeric_limits<std::int64_t>::max()},
      {"text", std::string(kText, sizeof kText - 1)},
      {"lists", Value::List{Value::List{"Added 'Food'", "caf\xC3\xA9"}, Value::List{},
                            Value::List{0.0, -12.5}}},
  };
  const fs::path file = dir_ / "data" / "allot" / "defaults.sqlite3";
  SqliteUserDefaults writer(file);
  EXPECT_FALSE(writer.valueForKey("nan").has_value());
  EXPECT_TRUE(writer.synchronize());  // nothing pending: nothing created
  for (const auto& [key, value] : samples) writer.setObject(value, key);
  writer.setDouble(2.5, "total");
  EXPECT_EQ(writer.valueForKey("total"), Value(2.5));
  EXPECT_FALSE(SqliteUserDefaults(file).valueForKey("total").has_value());
  EXPECT_FALSE(fs::exists(dir_ / "data"));

  ASSERT_TRUE(writer.synchronize()) << writer.lastError();
  writer.setDouble(7.0, "total");
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("total"), Value(2.5));
  ASSERT_TRUE(writer.synchronize());

  SqliteUserDefaults reader(file);
  for (const auto& [key, value] : samples) EXPECT_EQ(reader.valueForKey(key), value) << key;
  EXPECT_EQ(reader.valueForKey("total"), Value(7.0));
  EXPECT_FALSE(reader.valueForKey("absent").has_value());
  EXPECT_TRUE(reader.readProblem().empty());
  // Our mark in the header, a rollback journal, and no file beside the store.
  const std::string header = bytesOf(file).substr(0, 100);
  EXPECT_EQ(header.substr(68, 4), "Allt");
  EXPECT_EQ(header[18], 1);
  EXPECT_EQ(fs::directory_iterator(file.parent_path())->path(), file);
  EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
}

TEST_F(SqliteUserDefaultsTest, AdoptsAnEmptyFileOrEmptyDatabase) {
  std::ofstream{dir_ / "zero-length"};
  runSql(dir_ / "no-tables", "CREATE TABLE t(x); DROP TABLE t;");
  for (const fs::path& file : {dir_ / "zero-length", dir_ / "no-tables"}) {
    SqliteUserDefaults defaults(file);
    EXPECT_FALSE(defaults.valueForKey("k").has_value());
    EXPECT_TRUE(defaults.readProblem().empty());
    defaults.setObject(Value::List{"a"}, "k");
    ASSERT_TRUE(defaults.synchronize()) << defaults.lastError();
    EXPECT_EQ(SqliteUserDefaults(file).valueForKey("k"), Value(Value::List{"a"}));
  }
}

TEST_F(SqliteUserDefaultsTest, LeavesFilesThatAreNotOursUntouched) {
  std::ofstream(dir_ / "text") << "totalAmount = 12.5\n";
  runSql(dir_ / "other-schema", "CREATE TABLE notes(body); INSERT INTO notes VALUES('keep');");
  runSql(dir_ / "other-application",
         "PRAGMA application_id = 42; CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, "
         "value BLOB NOT NULL) WITHOUT ROWID;");
  {
    SqliteUserDefaults ours(dir_ / "newer");
    ours.setDouble(1.0, "k");
    ASSERT_TRUE(ours.synchronize());
  }
  runSql(dir_ / "newer", "PRAGMA user_version = 2;");
  fs::create_directory(dir_ / "directory");

  const std::set<fs::path> before = listing();
  for (const char* name : {"text", "other-schema", "other-application", "newer", "directory"}) {
    const fs::path file = dir_ / name;
    const std::string bytes = bytesOf(file);
    SqliteUserDefaults defaults(file);
    EXPECT_FALSE(defaults.valueForKey("k").has_value()) << name;
    EXPECT_NE(defaults.readProblem().find(file.string()), std::string::npos) << name;
    defaults.setDouble(2.0, "k");
    EXPECT_FALSE(defaults.synchronize()) << name;
    EXPECT_NE(defaults.lastError().find(file.string()), std::string::npos) << name;
    EXPECT_EQ(defaults.valueForKey("k"), Value(2.0)) << name;  // still pending
    EXPECT_EQ(bytesOf(file), bytes) << name;
  }
  EXPECT_EQ(listing(), before);
}

TEST_F(SqliteUserDefaultsTest, ReportsADamagedValueByKeyAndFile) {
  const fs::path file = dir_ / "defaults.sqlite3";
  {
    SqliteUserDefaults defaults(file);
    defaults.setObject(Value::List{"Food"}, "categoryNames");
    defaults.setDouble(3.0, "totalAmount");
    ASSERT_TRUE(defaults.synchronize());
  }
  runSql(file, "UPDATE defaults SET value = x'82f6' WHERE key = 'categoryNames';");
  const std::string bytes = bytesOf(file);

  SqliteUserDefaults defaults(file);
  EXPECT_EQ(defaults.valueForKey("totalAmount"), Value(3.0));
  EXPECT_TRUE(defaults.readProblem().empty());
  EXPECT_FALSE(defaults.valueForKey("categoryNames").has_value());
  EXPECT_NE(defaults.readProblem().find("\"categoryNames\""), std::string::npos);
  EXPECT_NE(defaults.readProblem().find(file.string()), std::string::npos);
  EXPECT_EQ(bytesOf(file), bytes);
}

TEST_F(SqliteUserDefaultsTest, FailedCommitKeepsPendingWritesForTheNextTry) {
  std::ofstream(dir_ / "allot") << "a file where the folder should be";
  const fs::path file = dir_ / "allot" / "defaults.sqlite3";
  SqliteUserDefaults defaults(file);
  defaults.setObject(Value::List{1, 2}, "envelopeColors");
  EXPECT_FALSE(defaults.synchronize());
  EXPECT_NE(defaults.lastError().find(file.string()), std::string::npos);
  EXPECT_EQ(defaults.valueForKey("envelopeColors"), Value(Value::List{1, 2}));

  fs::remove(dir_ / "allot");
  ASSERT_TRUE(defaults.synchronize()) << defaults.lastError();
  EXPECT_TRUE(defaults.lastError().empty());
  EXPECT_EQ(SqliteUserDefaults(file).valueForKey("envelopeColors"), Value(Value::List{1, 2}));
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

}  // namespace
}  // namespace allot
