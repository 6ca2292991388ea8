// The platform under the core: values and their CBOR encoding, the SQLite store and what it meets
// on a desktop, and the number formatter.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <vector>

#include "platform/defaults/cbor_codec.h"
#include "platform/defaults/cbor_list_reader.h"
#include "platform/defaults/private_files.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/defaults/stop_request.h"
#include "platform/defaults/store_file_status.h"
#include "platform/format/number_formatter.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace fs = std::filesystem;

namespace allot {
namespace {

using testing::budgetWith;
using testing::fileBytes;
using testing::integers;
using testing::loadFrom;
using testing::LockHolder;
using testing::runSql;

// Values and their CBOR encoding.
using Bytes = std::vector<std::uint8_t>;

// What decodeCbor makes of the bytes: nothing when it refuses them, as unreadable.
std::optional<Value> decoded(const Bytes& bytes) {
  std::optional<Value> value;
  const Status status = decodeCbor(bytes, &value);
  EXPECT_EQ(status.kind(), value ? Status::Kind::Ok : Status::Kind::Unreadable);
  return value;
}

Value nestedLists(std::size_t depth) {
  Value value(1);
  for (std::size_t i = 0; i < depth; ++i) value = Value(Value::List{value});
  return value;
}

TEST(ValueTest, EqualityComparesKindAndExactContents) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(Value(nan), Value(nan));
  EXPECT_NE(Value(nan), Value(-nan));
  EXPECT_NE(Value(0.0), Value(-0.0));
  EXPECT_NE(Value(1.0), Value(1));
  EXPECT_NE(Value("1"), Value(1));
  EXPECT_EQ(Value(std::string("a\0b", 3)), Value(std::string("a\0b", 3)));
  EXPECT_NE(Value(std::string("a\0b", 3)), Value("a"));

  const Value nested(Value::List{Value::List{"x", 1}, 2.5});
  EXPECT_EQ(nested, Value(Value::List{Value::List{"x", 1}, 2.5}));
  EXPECT_NE(nested, Value(Value::List{Value::List{"x", 1.0}, 2.5}));
  EXPECT_NE(nested, Value(Value::List{2.5, Value::List{"x", 1}}));
  EXPECT_NE(Value(Value::List{}), Value(Value::List{Value(Value::List{})}));
}

// Every kind of value round-trips exactly, and short floats read as the same double.
TEST(CborCodecTest, RoundTripsEveryKindExactly) {
  const double inf = std::numeric_limits<double>::infinity();
  const double negativeNanWithPayload = std::bit_cast<double>(std::uint64_t{0xFFF8000000000123});
  // clang-format off
  const std::vector<Value> values = {
      0.0, -0.0, 1e-310, 12.5, inf, -inf, std::numeric_limits<double>::quiet_NaN(),
      negativeNanWithPayload, std::numeric_limits<std::int64_t>::min(),
      std::numeric_limits<std::int64_t>::max(), -1, 23, 24, std::int64_t{0xFFFFFFFF},
      std::int64_t{1} << 32, "", std::string("l'\"été\" \0 ok", 14),
      Value::List{}, Value::List{"Food", Value::List{1.5, -2}, Value::List{}, std::string(300, 'x')},
      nestedLists(kMaxCborNesting)};
  // clang-format on
  for (const Value& value : values) EXPECT_EQ(decoded(encodeCbor(value)), value);
  EXPECT_EQ(decoded(Bytes{0xF9, 0x80, 0x00}), Value(-0.0));  // half -0.0
  EXPECT_EQ(decoded(Bytes{0xF9, 0x7C, 0x00}), Value(inf));
  EXPECT_EQ(decoded(Bytes{0xFA, 0x41, 0x48, 0x00, 0x00}), Value(12.5));  // float 12.5
}

TEST(CborCodecTest, RefusesWhatIsNotAValue) {
  const std::vector<Bytes> refused = {
      {},                                                      // nothing
      {0xF6},                                                  // null
      {0xF5},                                                  // true
      {0xA1, 0x61, 0x6B, 0x01},                                // map {"k": 1}
      {0x41, 0x00},                                            // binary string
      {0xC1, 0x01},                                            // tag 1
      {0x1B, 0x80, 0, 0, 0, 0, 0, 0, 0},                       // 2^63
      {0x3B, 0x80, 0, 0, 0, 0, 0, 0, 0},                       // -1 - 2^63
      {0x3B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // -2^64
      {0x01, 0x02},                                            // trailing byte
      {0xFB, 0x40, 0x29},                                      // truncated double
      {0x63, 0x61, 0x62},                                      // string shorter than said
      {0x9B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // list longer than the input
      {0x5B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // string longer than the input
      {0x82, 0x01, 0xF6},                                      // null inside a list
  };
  for (const Bytes& bytes : refused) EXPECT_FALSE(decoded(bytes).has_value());

  EXPECT_FALSE(decoded(encodeCbor(nestedLists(kMaxCborNesting + 1))).has_value());
  // Far deeper than any stack could recurse: refused at the cap, not by a crash.
  EXPECT_FALSE(decoded(Bytes(1'000'000, 0x81)).has_value());
  EXPECT_FALSE(decoded(Bytes(1'000'000, 0x9F)).has_value());
}

// Lists of texts and of numbers also decode straight into vectors: the same contents, and only the
// forms that the encoder writes, the rest being left to decodeCbor.
TEST(CborCodecTest, ListsOfTextsAndNumbersDecodeStraightIntoVectors) {
  const std::vector<std::string> texts = {"", "Food", std::string("a\0b", 3),
                                          std::string(300, 'x')};
  std::vector<std::string> decodedTexts;
  ASSERT_TRUE(decodeCborTexts(encodeCbor(Value::List(texts.begin(), texts.end())), decodedTexts));
  EXPECT_EQ(decodedTexts, texts);

  const double nan = std::bit_cast<double>(std::uint64_t{0xFFF8000000000123});
  const Value::List numbers = {-0.0, nan, 1e-310, std::numeric_limits<std::int64_t>::min(), 23};
  std::vector<double> decodedNumbers;
  ASSERT_TRUE(decodeCborNumbers(encodeCbor(numbers), decodedNumbers));
  EXPECT_EQ(testing::bitsOf(decodedNumbers), testing::bitsOf({-0.0, nan, 1e-310, -0x1p63, 23.0}));

  EXPECT_FALSE(decodeCborTexts(encodeCbor(Value::List{"a", 1}), decodedTexts));
  EXPECT_FALSE(decodeCborTexts(Bytes{0x9F, 0x61, 0x61, 0xFF}, decodedTexts));  // indefinite
  EXPECT_FALSE(decodeCborTexts(Bytes{0x81, 0x62, 0x61}, decodedTexts));        // cut short
  EXPECT_FALSE(decodeCborNumbers(encodeCbor(Value::List{1.5, "a"}), decodedNumbers));
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0xF9, 0x80, 0x00}, decodedNumbers));  // half float
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0x1B, 0x80, 0, 0, 0, 0, 0, 0, 0}, decodedNumbers));
  EXPECT_FALSE(decodeCborNumbers(Bytes{0x81, 0x01, 0x01}, decodedNumbers));  // trailing byte
}

// The SQLite store.
// A rewritten row gets a new rowid; an untouched one keeps its own.
std::vector<std::int64_t> itemRowids(const fs::path& file) {
  return integers(file, "SELECT rowid FROM inner_lists WHERE key = 'k' ORDER BY position");
}

class SqliteUserDefaultsTest : public ::testing::Test {
 protected:
  testing::TemporaryDirectory directory_;
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

// Every value is stored as its CBOR encoding (CborCodecTest checks each kind of value); here, a
// value alone, and items of lists, which are stored row by row, come back exactly.
TEST_F(SqliteUserDefaultsTest, ValuesComeBackInALaterProcessOnlyAfterSynchronize) {
  static constexpr char kText[] = "Rock 'n' \"roll\" \xE2\x82\xAC \0 end";
  const std::string text(kText, sizeof kText - 1);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Value texts = Value::List{Value::List{"Added 'Food'", text}, Value::List{}};
  const Value numbers = Value::List{Value::List{nan, -0.0, 1e-310}};
  const std::pair<const char*, Value> samples[] = {
      {"nan", nan},     {"int min", std::numeric_limits<std::int64_t>::min()},
      {"text", text},   {"lists", Value::List{texts, Value::List{nan, -0.0, 1e-310, -12.5}}},
      {"texts", texts}, {"numbers", numbers},
      {"total", 7.0}};
  const fs::path file = dir_ / "data" / "allot" / "defaults.sqlite3";
  SqliteUserDefaults writer(file);
  EXPECT_FALSE(writer.valueForKey("nan").has_value());
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

TEST_F(SqliteUserDefaultsTest, ListsShrinkGrowAndChangeKindAcrossCommits) {
  const fs::path file = dir_ / "defaults.sqlite3";
  const Value listOfAnEmptyList = Value::List{Value::List{}};
  const std::vector<Value> values = {sampleList(10),    sampleList(3), sampleList(12), 2.5,
                                     sampleList(5),     Value::List(), sampleList(2),  "text",
                                     listOfAnEmptyList, sampleList(1)};
  SqliteUserDefaults writer(file);
  for (std::size_t step = 0; step < values.size(); ++step) {
    writer.setObject(values[step], "k");
    ASSERT_EQ(writer.synchronize().message(), "");
    SqliteUserDefaults reader(file);
    EXPECT_EQ(reader.valueForKey("k"), values[step]) << "step " << step;
    EXPECT_TRUE(reader.readStatus().message().empty()) << reader.readStatus().message();
    EXPECT_EQ(writer.valueForKey("k"), values[step]) << "step " << step;
  }
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
    ASSERT_TRUE(testing::writeOlderLayoutFile(file, layout, stored));
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
    EXPECT_EQ(integers(file, "SELECT count(*) FROM inner_lists WHERE key = 'detailArrays'"),
              std::vector<std::int64_t>{2});
    EXPECT_EQ(integers(file, "SELECT count(*) FROM inner_lists WHERE key = 'damaged'"),
              std::vector<std::int64_t>{layout - 1});  // moved along, not dropped
    EXPECT_EQ(integers(file, "SELECT count(*) FROM sqlite_schema WHERE name = 'list_items'"),
              std::vector<std::int64_t>{0});
    SqliteUserDefaults converted(file);
    for (const auto& [key, value] : stored) {
      EXPECT_EQ(converted.valueForKey(key), key == "totalAmount" ? Value(13.0) : value) << key;
    }
    EXPECT_TRUE(converted.readStatus().message().empty()) << converted.readStatus().message();
    EXPECT_FALSE(converted.valueForKey("damaged").has_value());  // still damaged, not lost
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

// What the store file meets on a real desktop: another program's lock (and a quit asked while
// waiting for it), a newer version's file, permissive umasks, links, and values far beyond any
// budget. Each through the real SqliteUserDefaults file and the load.

unsigned modeOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

// Each test starts with a store holding the envelope "Food" and a total of 7.
class StoreGuards : public ::testing::Test {
 protected:
  StoreGuards() {
    testing::saveAndCommit(budgetWith("Food"), file_);
    bytes_ = fileBytes(file_);
  }
  testing::TemporaryDirectory directory_;
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

// A file from a newer version is read with what this one knows and never written; one whose
// tables this version does not know is not read either.
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

  runSql(file_, "DROP TABLE inner_lists;");
  SqliteUserDefaults unknown(file_);
  const auto unread = loadFrom(unknown);
  EXPECT_EQ(unread.status.kind(), Status::Kind::Newer);
  EXPECT_EQ(unread.store.envelopeCount(), 0u);
}

// Whatever the umask: the folders it creates are 0700, the store 0600, and a store that an
// earlier version left readable by others becomes 0600 when opened. A folder that others may
// write, or that belongs to another user, is refused; so is making a link, a folder or another
// user's file private.
TEST_F(StoreGuards, FoldersAndFilesAreTheUsersAlone) {
  const mode_t umask = ::umask(0);
  const fs::path nested = directory_.path() / "data" / "allot" / "defaults.sqlite3";
  testing::saveAndCommit(budgetWith("Food"), nested);
  ::umask(umask);
  EXPECT_EQ(modeOf(directory_.path() / "data"), 0700u);
  EXPECT_EQ(modeOf(nested.parent_path()), 0700u);
  EXPECT_EQ(modeOf(nested), 0600u);

  fs::permissions(nested, fs::perms(0644));
  EXPECT_EQ(SqliteUserDefaults(nested).valueForKey("totalAmount"), Value(7.0));
  EXPECT_EQ(modeOf(nested), 0600u);

  const fs::path shared = directory_.path() / "shared";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms(0777));
  EXPECT_EQ(preparePrivateFolder(shared).kind(), Status::Kind::NotOurs);
  fs::permissions(shared, fs::perms(0755));
  EXPECT_TRUE(preparePrivateFolder(shared).isOk());
  EXPECT_EQ(modeOf(shared), 0700u) << "tightened";
  fs::permissions(nested, fs::perms(0640));
  EXPECT_TRUE(makePrivate(nested).isOk());
  EXPECT_TRUE(makePrivate(shared / "absent").isOk());
  EXPECT_EQ(makePrivate(shared).kind(), Status::Kind::NotOurs);
  fs::create_symlink(nested, shared / "link");
  EXPECT_EQ(makePrivate(shared / "link").kind(), Status::Kind::Failed);
  if (::geteuid() == 0) {
    fs::permissions(nested, fs::perms(0640));
    ASSERT_EQ(::chown(nested.c_str(), 65534, 65534), 0);
    EXPECT_EQ(makePrivate(nested).kind(), Status::Kind::NotOurs);
    ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    const Status refused = preparePrivateFolder(shared);
    EXPECT_EQ(refused.kind(), Status::Kind::NotOurs);
    EXPECT_NE(refused.message().find("belongs to another user"), std::string::npos);
  }
}

// What SQLite's failures mean for the settings file: only content that SQLite found unusable is
// damage, anything else left the file unread, and a read the user stopped says so.
TEST(StoreFileStatusTest, OnlyContentThatSQLiteFoundUnusableIsDamage) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
  const fs::path file = "/data/defaults.sqlite3";
  sqlite3_exec(db, "SELECT * FROM nowhere", nullptr, nullptr, nullptr);
  EXPECT_EQ(readFailure(db, file).kind(), Status::Kind::Failed);
  EXPECT_EQ(saveFailure(db, file).message(),
            "Could not save to the settings file \"/data/defaults.sqlite3\": no such table: "
            "nowhere.");
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 10);
  sqlite3_exec(db, "SELECT zeroblob(100)", nullptr, nullptr, nullptr);
  EXPECT_EQ(readFailure(db, file).kind(), Status::Kind::Unreadable);
  EXPECT_NE(readFailure(db, file, "detailArrays").message().find("larger than 16 MiB"),
            std::string::npos);
  sqlite3_progress_handler(
      db, 1, [](void*) { return 1; }, nullptr);
  sqlite3_exec(db, "SELECT 1", nullptr, nullptr, nullptr);
  EXPECT_EQ(readFailure(db, file).message(),
            "Reading the settings file \"/data/defaults.sqlite3\" was stopped.");
  sqlite3_close(db);
}

// A link in the store's place is never followed: the file it points to is neither read nor
// written, and a dangling one creates nothing.
TEST_F(StoreGuards, ALinkInTheStoresPlaceIsNotFollowed) {
  const fs::path link = directory_.path() / "link.sqlite3";
  fs::create_symlink(file_, link);
  SqliteUserDefaults linked(link);
  const auto refused = loadFrom(linked);
  EXPECT_EQ(refused.status.kind(), Status::Kind::NotOurs);
  EXPECT_NE(refused.status.message().find("symbolic link"), std::string::npos);
  saveStore(budgetWith("Rent"), linked);
  EXPECT_FALSE(linked.synchronize().isOk());
  EXPECT_EQ(fileBytes(file_), bytes_);

  const fs::path dangling = directory_.path() / "dangling.sqlite3";
  const fs::path nowhere = directory_.path() / "nowhere.sqlite3";
  fs::create_symlink(nowhere, dangling);
  SqliteUserDefaults defaults(dangling);
  saveStore(budgetWith("Rent"), defaults);
  EXPECT_FALSE(defaults.synchronize().isOk());
  EXPECT_FALSE(fs::exists(nowhere));
}

// A stored value beyond 16 MiB is taken for damage, not read into memory.
TEST_F(StoreGuards, AValueLargerThanSixteenMebibytesIsUnreadable) {
  // A list of one CBOR text string of 17 MiB (major type 3, 4-byte length), standing in for
  // the envelope's descriptions.
  runSql(file_,
         "UPDATE inner_lists SET value = x'817a01100000' || zeroblob(17825792) "
         "WHERE key = 'detailArrays' AND position = 0;");
  SqliteUserDefaults defaults(file_);
  const auto huge = loadFrom(defaults);
  EXPECT_EQ(huge.status.kind(), Status::Kind::Unreadable);
  EXPECT_NE(huge.status.message().find("larger than 16 MiB"), std::string::npos);
  EXPECT_EQ(huge.store.envelopeCount(), 0u);
}

// The number formatter.
TEST(NumberFormatterTest, StylesStartFromThePlatformDefaults) {
  NumberFormatter formatter("en_US");
  EXPECT_EQ(formatter.stringFromNumber(1234.6), "1235");  // no style: whole, ungrouped
  formatter.setNumberStyle(NumberStyle::Decimal);
  EXPECT_EQ(formatter.stringFromNumber(1234.5678), "1,234.568");
  formatter.setMinimumFractionDigits(2);
  EXPECT_EQ(formatter.stringFromNumber(1234.0), "1,234.00");
  formatter.setMaximumFractionDigits(0);  // below the minimum: both become 0
  EXPECT_EQ(formatter.stringFromNumber(1234.0), "1,234");
  formatter.setMinimumFractionDigits(4);  // above the maximum: both become 4
  EXPECT_EQ(formatter.stringFromNumber(1.5), "1.5000");
  formatter.setNumberStyle(NumberStyle::None);
  EXPECT_EQ(formatter.stringFromNumber(1234.6), "1235");
}

void setOrUnset(const char* name, const char* value) {
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

TEST(NumberFormatterTest, DefaultLocaleComesFromTheEnvironment) {
  const char* names[] = {"LC_ALL", "LC_NUMERIC", "LANG"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names) {
    const char* value = std::getenv(name);
    saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
  }

  const std::array<const char*, 4> cases[] = {
      // LC_ALL, LC_NUMERIC, LANG, expected locale
      {"de_DE.UTF-8", "fr_FR", "hi_IN", "de_DE"}, {"", "fr_FR.UTF-8@euro", "de_DE", "fr_FR"},
      {nullptr, nullptr, "de_DE@euro", "de_DE"},  {nullptr, "", "C.UTF-8", "en_US_POSIX"},
      {"POSIX", "de_DE", nullptr, "en_US_POSIX"}, {nullptr, nullptr, nullptr, "en_US_POSIX"},
  };
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) setOrUnset(names[i], c[i]);
    NumberFormatter formatter;
    EXPECT_EQ(formatter.localeName(), c[3]);
  }

  for (int i = 0; i < 3; ++i) setOrUnset(names[i], saved[i] ? saved[i]->c_str() : nullptr);
}

}  // namespace
}  // namespace allot
