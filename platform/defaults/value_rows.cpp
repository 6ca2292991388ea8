#include "platform/defaults/value_rows.h"

#include <sqlite3.h>

#include <algorithm>

#include "platform/defaults/cbor_codec.h"
#include "platform/defaults/cbor_list_reader.h"
#include "platform/defaults/sqlite_statement.h"

namespace allot {
namespace {

// Each key's own row holds its value encoded whole, except for a list of lists, whose row holds
// only the list's head and whose items are rows of inner_lists. Concatenated in order, the rows
// of a list are its whole encoding. Files of the second layout kept every list that way, in a
// table named list_items; the new name makes the versions that knew only list_items refuse a
// file of this layout as one they cannot read, instead of misreading its flat lists as damaged.
constexpr const char* kCreateDefaults =
    "CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID";
// Items are often a few kilobytes: an ordinary table keeps up to a page of each row in place,
// where a WITHOUT ROWID one would spill all but a kilobyte into half-empty overflow pages.
constexpr const char* kCreateInnerLists =
    "CREATE TABLE inner_lists(key TEXT NOT NULL, position INTEGER NOT NULL, value BLOB NOT NULL, "
    "UNIQUE(key, position))";
constexpr const char* kSelectHead = "SELECT value FROM defaults WHERE key = ?1";

// The table that holds the item rows in a layout that has one.
std::string itemTable(std::int64_t layout) {
  return layout == ValueRows::kItemLayout ? "list_items" : "inner_lists";
}

std::string selectItems(std::int64_t layout) {
  return "SELECT position, value FROM " + itemTable(layout) + " WHERE key = ?1 ORDER BY position";
}

bool execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool executeWithKey(sqlite3* db, const char* sql, std::string_view key) {
  SqliteStatement statement(db, sql);
  if (!statement) return false;
  statement.bind(1, key);
  return statement.run();
}

// Only a list of lists is worth a row per item: each item is then a whole list of its own (an
// envelope's descriptions), while the items of a flat list are a few bytes each.
bool keptItemByItem(const Value& value) {
  const Value::List* items = value.asList();
  return items != nullptr && !items->empty() &&
         std::all_of(items->begin(), items->end(), [](const Value& item) { return item.isList(); });
}

ValueRows::Read failed(sqlite3* db) {
  return {ValueRows::Outcome::Failed, std::nullopt, sqlite3_errmsg(db),
          sqlite3_extended_errcode(db)};
}

}  // namespace

bool ValueRows::hasTables(sqlite3* db, std::int64_t layout) {
  if (!SqliteStatement(db, "SELECT key, value FROM defaults LIMIT 0")) return false;
  return layout < kItemLayout ||
         static_cast<bool>(SqliteStatement(
             db, ("SELECT key, position, value FROM " + itemTable(layout) + " LIMIT 0").c_str()));
}

namespace {

// Where the item rows of a list go: into Values, one per item.
class ValueItems {
 public:
  void reserve(std::size_t count) { items_.reserve(count); }
  bool take(std::span<const std::uint8_t> bytes) {
    std::optional<Value> item;
    if (!decodeCborListItem(bytes, &item).isOk()) return false;
    items_.push_back(std::move(*item));
    return true;
  }
  std::optional<Value> result() { return Value(std::move(items_)); }

 private:
  Value::List items_;
};

bool decodeList(std::span<const std::uint8_t> bytes, std::vector<std::string>& out) {
  return decodeCborTexts(bytes, out);
}

bool decodeList(std::span<const std::uint8_t> bytes, std::vector<double>& out) {
  return decodeCborNumbers(bytes, out);
}

// Or straight into the caller's lists, each item row being one inner list.
template <typename Item>
class ListItems {
 public:
  explicit ListItems(std::vector<std::vector<Item>>& out) : out_(out) { out_.clear(); }
  void reserve(std::size_t count) { out_.reserve(count); }
  bool take(std::span<const std::uint8_t> bytes) { return decodeList(bytes, out_.emplace_back()); }
  std::optional<Value> result() { return std::nullopt; }

 private:
  std::vector<std::vector<Item>>& out_;
};

}  // namespace

ValueRows::Read ValueRows::read(std::string_view key) {
  ValueItems items;
  return readRows(key, items);
}

ValueRows::Read ValueRows::readLists(std::string_view key,
                                     std::vector<std::vector<std::string>>& out) {
  ListItems items(out);
  Read read = readRows(key, items);
  // An item that is not a list of texts: damaged, or of another kind, as a read of Values says.
  return read.outcome == Outcome::Damaged ? this->read(key) : std::move(read);
}

ValueRows::Read ValueRows::readLists(std::string_view key, std::vector<std::vector<double>>& out) {
  ListItems items(out);
  Read read = readRows(key, items);
  return read.outcome == Outcome::Damaged ? this->read(key) : std::move(read);
}

template <typename Items>
ValueRows::Read ValueRows::readRows(std::string_view key, Items& items) {
  if (layout_ < kItemLayout) return readWhole(key);
  // One read transaction, so that the head, the items and the version number agree.
  const bool ownTransaction = sqlite3_get_autocommit(db_) != 0;
  if (ownTransaction && !execute(db_, "BEGIN")) return failed(db_);
  Stored stored;
  Read result = readSplit(key, stored, items);
  const std::optional<std::int64_t> version = dataVersion();
  if (!version && result.outcome != Outcome::Failed) result = failed(db_);
  if (ownTransaction) execute(db_, "COMMIT");
  if (result.outcome == Outcome::Found) {
    noteVersion(*version);
    known_.insert_or_assign(std::string(key), std::move(stored));
  }
  return result;
}

ValueRows::Read ValueRows::readWhole(std::string_view key) {
  SqliteStatement head(db_, kSelectHead);
  if (!head) return failed(db_);
  head.bind(1, key);
  const int step = head.step();
  if (step == SQLITE_DONE) return {};
  if (step != SQLITE_ROW) return failed(db_);
  std::optional<Value> value;
  if (!decodeCbor(head.bytes(0), &value).isOk()) return {Outcome::Damaged, std::nullopt, {}};
  return {Outcome::Found, std::move(value), {}};
}

template <typename Items>
ValueRows::Read ValueRows::readSplit(std::string_view key, Stored& stored, Items& items) {
  SqliteStatement head(db_, kSelectHead);
  if (!head) return failed(db_);
  head.bind(1, key);
  const int headStep = head.step();
  if (headStep == SQLITE_DONE) return {};
  if (headStep != SQLITE_ROW) return failed(db_);
  const std::span<const std::uint8_t> headBytes = head.bytes(0);
  stored.head = RowFingerprint::of(headBytes);
  const Read damaged{Outcome::Damaged, std::nullopt, {}};
  // A head alone stands for a list kept item by item; anything else is the whole value.
  const std::optional<std::uint64_t> length = decodeCborListHead(headBytes);
  if (!length) {
    std::optional<Value> value;
    if (!decodeCbor(headBytes, &value).isOk()) return damaged;
    return {Outcome::Found, std::move(value), {}};
  }

  SqliteStatement rows(db_, selectItems(layout_).c_str());
  if (!rows) return failed(db_);
  rows.bind(1, key);
  // The head's length is not trusted for more than a modest reservation.
  items.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*length, 1 << 16)));
  std::uint64_t position = 0;
  int step;
  while ((step = rows.step()) == SQLITE_ROW) {
    if (position >= *length || !rows.isInteger(0) ||
        rows.integer(0) != static_cast<std::int64_t>(position)) {
      return damaged;
    }
    const std::span<const std::uint8_t> bytes = rows.bytes(1);
    if (!items.take(bytes)) return damaged;
    stored.items.push_back(RowFingerprint::of(bytes));
    ++position;
  }
  if (step != SQLITE_DONE) return failed(db_);
  if (position != *length) return damaged;
  return {Outcome::Found, items.result(), {}};
}

std::optional<std::int64_t> ValueRows::dataVersion() {
  SqliteStatement pragma(db_, "PRAGMA data_version");
  if (!pragma || pragma.step() != SQLITE_ROW) return std::nullopt;
  return pragma.integer(0);
}

void ValueRows::noteVersion(std::int64_t version) {
  if (version == knownVersion_) return;
  known_.clear();
  knownVersion_ = version;
}

bool ValueRows::beginWrite(std::int64_t layoutFound) {
  written_.clear();
  layoutBefore_ = layout_;
  layout_ = layoutFound;
  const std::optional<std::int64_t> version = dataVersion();
  if (!version) return false;
  noteVersion(*version);
  if (layoutFound == 0) {
    const std::string create = std::string(kCreateDefaults) + "; " + kCreateInnerLists +
                               "; PRAGMA user_version = " + std::to_string(kLayout);
    if (!execute(db_, create.c_str())) return false;
    layout_ = kLayout;
  } else if (layoutFound < kLayout) {
    if (!convertOlderLayout(layoutFound)) return false;
  }
  return true;
}

// Rewrites every list through write(), which keeps lists of lists item by item and every other
// list whole. Values that do not read stay as they are, their item rows moved along: a damaged
// one still reads as damaged afterwards.
bool ValueRows::convertOlderLayout(std::int64_t layoutFound) {
  if (!execute(db_, kCreateInnerLists)) return false;
  known_.clear();  // what reads saw is in the old tables, not in the new one
  std::vector<std::string> keys;
  {
    SqliteStatement all(db_, "SELECT key FROM defaults WHERE typeof(key) = 'text'");
    if (!all) return false;
    int step;
    while ((step = all.step()) == SQLITE_ROW) keys.emplace_back(all.text(0));
    if (step != SQLITE_DONE) return false;
  }
  for (const std::string& key : keys) {
    Stored stored;
    ValueItems items;
    layout_ = layoutFound;
    const Read read = layoutFound < kItemLayout ? readWhole(key) : readSplit(key, stored, items);
    layout_ = kLayout;
    if (read.outcome == Outcome::Failed) return false;
    if (read.outcome == Outcome::Damaged && layoutFound == kItemLayout &&
        !executeWithKey(db_,
                        "INSERT INTO inner_lists SELECT key, position, value FROM list_items "
                        "WHERE key = ?1",
                        key)) {
      return false;
    }
    if (read.value && read.value->isList() && !write(key, rowsOf(*read.value))) return false;
  }
  const std::string finish =
      std::string(layoutFound == kItemLayout ? "DROP TABLE list_items; " : "") +
      "PRAGMA user_version = " + std::to_string(kLayout);
  return execute(db_, finish.c_str());
}

std::optional<ValueRows::Stored> ValueRows::scan(std::string_view key) {
  Stored stored;
  SqliteStatement head(db_, kSelectHead);
  if (!head) return std::nullopt;
  head.bind(1, key);
  const int headStep = head.step();
  if (headStep == SQLITE_ROW) {
    stored.head = RowFingerprint::of(head.bytes(0));
  } else if (headStep != SQLITE_DONE) {
    return std::nullopt;
  }
  SqliteStatement rows(db_, selectItems(layout_).c_str());
  if (!rows) return std::nullopt;
  rows.bind(1, key);
  int step;
  while ((step = rows.step()) == SQLITE_ROW) {
    if (!stored.stray && rows.isInteger(0) &&
        rows.integer(0) == static_cast<std::int64_t>(stored.items.size())) {
      stored.items.push_back(RowFingerprint::of(rows.bytes(1)));
    } else {
      stored.stray = true;
    }
  }
  if (step != SQLITE_DONE) return std::nullopt;
  return stored;
}

ValueRows::Rows ValueRows::rowsOf(const Value& value) {
  Rows rows;
  if (!keptItemByItem(value)) {
    appendCbor(rows.head, value);
    return rows;
  }
  const Value::List& items = *value.asList();
  appendCborListHead(rows.head, items.size());
  rows.itemEnds.reserve(items.size());
  for (const Value& item : items) {
    appendCbor(rows.items, item);
    rows.itemEnds.push_back(rows.items.size());
  }
  return rows;
}

namespace {

// A list of lists straight from its vectors; an empty one is its head alone, as when whole.
template <typename Item>
ValueRows::Rows listRows(const std::vector<std::vector<Item>>& lists) {
  ValueRows::Rows rows;
  appendCborListHead(rows.head, lists.size());
  rows.itemEnds.reserve(lists.size());
  std::size_t size = 0;
  for (const std::vector<Item>& list : lists) size += cborSize(list);
  rows.items.reserve(size);
  for (const std::vector<Item>& list : lists) {
    appendCbor(rows.items, list);
    rows.itemEnds.push_back(rows.items.size());
  }
  return rows;
}

}  // namespace

ValueRows::Rows ValueRows::rowsOf(const std::vector<std::vector<std::string>>& lists) {
  return listRows(lists);
}

ValueRows::Rows ValueRows::rowsOf(const std::vector<std::vector<double>>& lists) {
  return listRows(lists);
}

std::optional<Value> ValueRows::valueOf(const Rows& rows) {
  std::vector<std::uint8_t> whole = rows.head;
  whole.insert(whole.end(), rows.items.begin(), rows.items.end());
  std::optional<Value> value;
  // Rows that rowsOf made always decode; should they not, there is no value.
  (void)decodeCbor(whole, &value);
  return value;
}

bool ValueRows::write(std::string_view key, const Rows& rows) {
  std::optional<Stored> scanned;
  const Stored* before = nullptr;
  if (auto found = written_.find(key); found != written_.end()) {
    before = &found->second;
  } else if (auto known = known_.find(key); known != known_.end()) {
    before = &known->second;
  } else {
    scanned = scan(key);
    if (!scanned) return false;
    before = &*scanned;
  }

  Stored after;
  after.head = RowFingerprint::of(rows.head);
  if (after.head != before->head) {
    SqliteStatement put(db_, "INSERT OR REPLACE INTO defaults(key, value) VALUES(?1, ?2)");
    if (!put) return false;
    put.bind(1, key);
    put.bind(2, rows.head);
    if (!put.run()) return false;
  }

  std::size_t kept = before->items.size();  // item rows whose fingerprints we know
  if (before->stray) {
    if (!executeWithKey(db_, "DELETE FROM inner_lists WHERE key = ?1", key)) return false;
    kept = 0;
  }
  if (!rows.itemEnds.empty()) {
    SqliteStatement put(db_,
                        "INSERT OR REPLACE INTO inner_lists(key, position, value) "
                        "VALUES(?1, ?2, ?3)");
    if (!put) return false;
    after.items.reserve(rows.itemEnds.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < rows.itemEnds.size(); ++i) {
      const std::span<const std::uint8_t> item(rows.items.data() + start, rows.itemEnds[i] - start);
      start = rows.itemEnds[i];
      after.items.push_back(RowFingerprint::of(item));
      if (i < kept && before->items[i] == after.items.back()) continue;
      put.bind(1, key);
      put.bind(2, static_cast<std::int64_t>(i));
      put.bind(3, item);
      if (!put.run()) return false;
    }
  }
  if (kept > after.items.size()) {
    SqliteStatement trim(db_, "DELETE FROM inner_lists WHERE key = ?1 AND position >= ?2");
    if (!trim) return false;
    trim.bind(1, key);
    trim.bind(2, static_cast<std::int64_t>(after.items.size()));
    if (!trim.run()) return false;
  }
  written_.insert_or_assign(std::string(key), std::move(after));
  return true;
}

void ValueRows::endWrite(bool committed) {
  if (committed) {
    for (auto& [key, stored] : written_) known_.insert_or_assign(key, std::move(stored));
  } else {
    // The file is as it was before beginWrite, but whatever was learnt meanwhile is suspect.
    known_.clear();
    layout_ = layoutBefore_;
  }
  written_.clear();
}

}  // namespace allot
