#include "platform/defaults/value_rows.h"

#include <sqlite3.h>

#include <algorithm>

#include "platform/defaults/cbor_codec.h"
#include "platform/defaults/cbor_list_reader.h"
#include "platform/defaults/sql_runner.h"
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

Status executeWithKey(const SqlRunner& sql, const char* statementText, std::string_view key) {
  SqliteStatement statement(sql.db(), statementText);
  if (!statement) return sql.failure();
  statement.bind(1, key);
  return statement.run() ? Status::ok() : sql.failure();
}

// Steps `head`, a kSelectHead statement, onto the row of `key`: NotFound when there is none.
Status stepToHead(const SqlRunner& sql, SqliteStatement& head, std::string_view key) {
  if (!head) return sql.failure(key);
  head.bind(1, key);
  const int step = head.step();
  if (step == SQLITE_DONE) {
    return Status::notFound("No value is stored under the key \"" + std::string(key) + "\".");
  }
  return step == SQLITE_ROW ? Status::ok() : sql.failure(key);
}

// Only a list of lists is worth a row per item: each item is then a whole list of its own (an
// envelope's descriptions), while the items of a flat list are a few bytes each.
bool keptItemByItem(const Value& value) {
  const Value::List* items = value.asList();
  return items != nullptr && !items->empty() &&
         std::all_of(items->begin(), items->end(), [](const Value& item) { return item.isList(); });
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

Status ValueRows::read(std::string_view key, std::optional<Value>* value) {
  ValueItems items;
  return readRows(key, items, value);
}

Status ValueRows::readLists(std::string_view key, std::vector<std::vector<std::string>>& out,
                            std::optional<Value>* whole) {
  ListItems items(out);
  const Status read = readRows(key, items, whole);
  // An item that is not a list of texts: damaged, or of another kind, as a read of Values says.
  return read.kind() == Status::Kind::Unreadable ? this->read(key, whole) : read;
}

Status ValueRows::readLists(std::string_view key, std::vector<std::vector<double>>& out,
                            std::optional<Value>* whole) {
  ListItems items(out);
  const Status read = readRows(key, items, whole);
  return read.kind() == Status::Kind::Unreadable ? this->read(key, whole) : read;
}

Status ValueRows::damaged(std::string_view key) const {
  return unreadable(file_, "holds a damaged value under the key \"" + std::string(key) + "\"");
}

template <typename Items>
Status ValueRows::readRows(std::string_view key, Items& items, std::optional<Value>* value) {
  value->reset();
  const SqlRunner reading(db_, file_, readFailure);
  if (layout_ < kItemLayout) return readWhole(reading, key, value);
  // One read transaction, so that the head, the items and the version number agree.
  const bool ownTransaction = sqlite3_get_autocommit(db_) != 0;
  if (ownTransaction) {
    if (Status begun = reading.execute("BEGIN"); !begun.isOk()) return begun;
  }
  Stored stored;
  Status result = readSplit(reading, key, stored, items, value);
  // Without the version, what was read cannot be kept; a file that could not be reached counts
  // for more than what it was found to hold.
  std::int64_t version = 0;
  const Status versioned = reading.queryInteger("PRAGMA data_version", &version);
  const bool reached = result.isOk() || result.kind() == Status::Kind::NotFound ||
                       result.kind() == Status::Kind::Unreadable;
  if (!versioned.isOk() && reached) result = versioned;
  // Ending a read transaction changes nothing in the file; a failure to is the next read's.
  if (ownTransaction) (void)reading.execute("COMMIT");
  if (result.isOk()) {
    noteVersion(version);
    known_.insert_or_assign(std::string(key), std::move(stored));
  }
  return result;
}

Status ValueRows::readWhole(const SqlRunner& sql, std::string_view key,
                            std::optional<Value>* value) {
  SqliteStatement head(db_, kSelectHead);
  if (Status found = stepToHead(sql, head, key); !found.isOk()) return found;
  return decodeCbor(head.bytes(0), value).isOk() ? Status::ok() : damaged(key);
}

template <typename Items>
Status ValueRows::readSplit(const SqlRunner& sql, std::string_view key, Stored& stored,
                            Items& items, std::optional<Value>* value) {
  SqliteStatement head(db_, kSelectHead);
  if (Status found = stepToHead(sql, head, key); !found.isOk()) return found;
  const std::span<const std::uint8_t> headBytes = head.bytes(0);
  stored.head = RowFingerprint::of(headBytes);
  // A head alone stands for a list kept item by item; anything else is the whole value.
  const std::optional<std::uint64_t> length = decodeCborListHead(headBytes);
  if (!length) return decodeCbor(headBytes, value).isOk() ? Status::ok() : damaged(key);

  SqliteStatement rows(db_, selectItems(layout_).c_str());
  if (!rows) return sql.failure(key);
  rows.bind(1, key);
  // The head's length is not trusted for more than a modest reservation.
  items.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(*length, 1 << 16)));
  std::uint64_t position = 0;
  int step;
  while ((step = rows.step()) == SQLITE_ROW) {
    if (position >= *length || !rows.isInteger(0) ||
        rows.integer(0) != static_cast<std::int64_t>(position)) {
      return damaged(key);
    }
    const std::span<const std::uint8_t> bytes = rows.bytes(1);
    if (!items.take(bytes)) return damaged(key);
    stored.items.push_back(RowFingerprint::of(bytes));
    ++position;
  }
  if (step != SQLITE_DONE) return sql.failure(key);
  if (position != *length) return damaged(key);
  *value = items.result();
  return Status::ok();
}

void ValueRows::noteVersion(std::int64_t version) {
  if (version == knownVersion_) return;
  known_.clear();
  knownVersion_ = version;
}

Status ValueRows::beginWrite(std::int64_t layoutFound) {
  written_.clear();
  layoutBefore_ = layout_;
  layout_ = layoutFound;
  const SqlRunner saving(db_, file_, saveFailure);
  std::int64_t version = 0;
  if (Status versioned = saving.queryInteger("PRAGMA data_version", &version); !versioned.isOk()) {
    return versioned;
  }
  noteVersion(version);
  if (layoutFound == 0) {
    const std::string create = std::string(kCreateDefaults) + "; " + kCreateInnerLists +
                               "; PRAGMA user_version = " + std::to_string(kLayout);
    if (Status created = saving.execute(create.c_str()); !created.isOk()) return created;
    layout_ = kLayout;
  } else if (layoutFound < kLayout) {
    return convertOlderLayout(saving, layoutFound);
  }
  return Status::ok();
}

// Rewrites every list through write(), which keeps lists of lists item by item and every other
// list whole. Values that do not read stay as they are, their item rows moved along: a damaged
// one still reads as damaged afterwards.
Status ValueRows::convertOlderLayout(const SqlRunner& sql, std::int64_t layoutFound) {
  if (Status created = sql.execute(kCreateInnerLists); !created.isOk()) return created;
  known_.clear();  // what reads saw is in the old tables, not in the new one
  std::vector<std::string> keys;
  {
    SqliteStatement all(db_, "SELECT key FROM defaults WHERE typeof(key) = 'text'");
    if (!all) return sql.failure();
    int step;
    while ((step = all.step()) == SQLITE_ROW) keys.emplace_back(all.text(0));
    if (step != SQLITE_DONE) return sql.failure();
  }
  for (const std::string& key : keys) {
    Stored stored;
    ValueItems items;
    std::optional<Value> value;
    layout_ = layoutFound;
    const Status read = layoutFound < kItemLayout ? readWhole(sql, key, &value)
                                                  : readSplit(sql, key, stored, items, &value);
    layout_ = kLayout;
    // A save says SQLite's failures as failed, so an unreadable value is one found damaged.
    const bool isDamaged = read.kind() == Status::Kind::Unreadable;
    if (!read.isOk() && !isDamaged && read.kind() != Status::Kind::NotFound) return read;
    if (isDamaged && layoutFound == kItemLayout) {
      const Status moved = executeWithKey(
          sql, "INSERT INTO inner_lists SELECT key, position, value FROM list_items WHERE key = ?1",
          key);
      if (!moved.isOk()) return moved;
    }
    if (value && value->isList()) {
      if (Status written = write(key, rowsOf(*value)); !written.isOk()) return written;
    }
  }
  const std::string finish =
      std::string(layoutFound == kItemLayout ? "DROP TABLE list_items; " : "") +
      "PRAGMA user_version = " + std::to_string(kLayout);
  return sql.execute(finish.c_str());
}

// What is stored under one key, as fingerprints, into *stored.
Status ValueRows::scan(const SqlRunner& sql, std::string_view key, Stored* stored) {
  SqliteStatement head(db_, kSelectHead);
  if (!head) return sql.failure();
  head.bind(1, key);
  const int headStep = head.step();
  if (headStep == SQLITE_ROW) {
    stored->head = RowFingerprint::of(head.bytes(0));
  } else if (headStep != SQLITE_DONE) {
    return sql.failure();
  }
  SqliteStatement rows(db_, selectItems(layout_).c_str());
  if (!rows) return sql.failure();
  rows.bind(1, key);
  int step;
  while ((step = rows.step()) == SQLITE_ROW) {
    if (!stored->stray && rows.isInteger(0) &&
        rows.integer(0) == static_cast<std::int64_t>(stored->items.size())) {
      stored->items.push_back(RowFingerprint::of(rows.bytes(1)));
    } else {
      stored->stray = true;
    }
  }
  return step == SQLITE_DONE ? Status::ok() : sql.failure();
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

Status ValueRows::write(std::string_view key, const Rows& rows) {
  const SqlRunner saving(db_, file_, saveFailure);
  Stored scanned;
  const Stored* before = nullptr;
  if (auto found = written_.find(key); found != written_.end()) {
    before = &found->second;
  } else if (auto known = known_.find(key); known != known_.end()) {
    before = &known->second;
  } else {
    if (Status read = scan(saving, key, &scanned); !read.isOk()) return read;
    before = &scanned;
  }

  Stored after;
  after.head = RowFingerprint::of(rows.head);
  if (after.head != before->head) {
    SqliteStatement put(db_, "INSERT OR REPLACE INTO defaults(key, value) VALUES(?1, ?2)");
    if (!put) return saving.failure();
    put.bind(1, key);
    put.bind(2, rows.head);
    if (!put.run()) return saving.failure();
  }

  std::size_t kept = before->items.size();  // item rows whose fingerprints we know
  if (before->stray) {
    const Status cleared = executeWithKey(saving, "DELETE FROM inner_lists WHERE key = ?1", key);
    if (!cleared.isOk()) return cleared;
    kept = 0;
  }
  if (!rows.itemEnds.empty()) {
    SqliteStatement put(db_,
                        "INSERT OR REPLACE INTO inner_lists(key, position, value) "
                        "VALUES(?1, ?2, ?3)");
    if (!put) return saving.failure();
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
      if (!put.run()) return saving.failure();
    }
  }
  if (kept > after.items.size()) {
    SqliteStatement trim(db_, "DELETE FROM inner_lists WHERE key = ?1 AND position >= ?2");
    if (!trim) return saving.failure();
    trim.bind(1, key);
    trim.bind(2, static_cast<std::int64_t>(after.items.size()));
    if (!trim.run()) return saving.failure();
  }
  written_.insert_or_assign(std::string(key), std::move(after));
  return Status::ok();
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
