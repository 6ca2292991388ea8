// ValueRows: how the values of an Allot database sit in its tables, and which rows a commit has
// to write. A list of lists (an envelope's descriptions per envelope, say) is kept as a head row
// (its kind and length) and one row per inner list, so that a commit rewrites only the inner lists
// that changed and a load reads one row for each; every other value, flat lists included, is one
// row. For every key it has read or written, it keeps a fingerprint of each row as stored and
// writes a row only when the fingerprint of its new encoding differs. Files of older layouts (each
// value whole in one row; every list item by item) are read as they are and converted inside the
// first write transaction. It does not open, claim or lock the file, nor begin or end write
// transactions: its owner does.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/defaults/row_fingerprint.h"
#include "platform/defaults/value.h"

struct sqlite3;

namespace allot {

class ValueRows {
 public:
  // PRAGMA user_version of each layout. 0 stands for a database without our tables yet.
  static constexpr std::int64_t kFirstLayout = 1;  // one row per key, the whole value in it
  static constexpr std::int64_t kItemLayout = 2;   // every list kept item by item
  static constexpr std::int64_t kLayout = 3;  // lists of lists kept item by item; what we write

  // Whether the tables that `layout` needs are there, with the columns we use.
  static bool hasTables(sqlite3* db, std::int64_t layout);

  ValueRows(sqlite3* db, std::int64_t layout) : db_(db), layout_(layout) {}

  enum class Outcome { Absent, Found, Damaged, Failed };
  struct Read {
    Outcome outcome = Outcome::Absent;
    std::optional<Value> value;  // when Found
    std::string failure;         // SQLite's message, when Failed
    int code = 0;                // and its extended result code
  };
  // The value of one key, read in a transaction of its own unless the owner has one open.
  Read read(std::string_view key);
  // A list of lists of texts, or of numbers (an integer taken as the nearest double), decoded
  // straight into `out` when it is kept item by item. Found without a value: `out` holds the
  // list. Found with a value: the value is kept whole, or is of another shape; the caller
  // converts it, and `out` is unspecified.
  Read readLists(std::string_view key, std::vector<std::vector<std::string>>& out);
  Read readLists(std::string_view key, std::vector<std::vector<double>>& out);

  // A value as the rows it takes, encoded when it is set and written at the next commit: the
  // head row, then the item rows end to end, item i ending at itemEnds[i]. Head and items
  // together are the value's whole encoding. Lists of lists can be encoded straight from vectors.
  struct Rows {
    std::vector<std::uint8_t> head;
    std::vector<std::uint8_t> items;
    std::vector<std::size_t> itemEnds;
  };
  static Rows rowsOf(const Value& value);
  static Rows rowsOf(const std::vector<std::vector<std::string>>& lists);
  static Rows rowsOf(const std::vector<std::vector<double>>& lists);
  // The value that rows made by rowsOf stand for.
  static std::optional<Value> valueOf(const Rows& rows);

  // Inside the owner's write transaction: beginWrite once (it brings the tables to the current
  // layout), then write each key; once the transaction has ended, endWrite says whether it
  // committed. False when SQLite refuses a step; the connection then holds the message.
  bool beginWrite(std::int64_t layoutFound);
  bool write(std::string_view key, const Rows& rows);
  void endWrite(bool committed);

 private:
  // What is stored under one key, as fingerprints.
  struct Stored {
    RowFingerprint head;                // the key's own row; size 0 when there is none
    std::vector<RowFingerprint> items;  // the item rows at positions 0, 1, 2, ...
    bool stray = false;                 // other item rows, which only a damaged file has
  };

  Read readWhole(std::string_view key);
  template <typename Items>
  Read readRows(std::string_view key, Items& items);
  template <typename Items>
  Read readSplit(std::string_view key, Stored& stored, Items& items);
  std::optional<std::int64_t> dataVersion();
  void noteVersion(std::int64_t version);
  std::optional<Stored> scan(std::string_view key);
  bool convertOlderLayout(std::int64_t layoutFound);

  sqlite3* db_;
  std::int64_t layout_;
  std::int64_t layoutBefore_ = 0;
  // What is stored as of the database state that PRAGMA data_version numbered knownVersion_;
  // a commit by another connection changes the number and makes all of it stale.
  std::map<std::string, Stored, std::less<>> known_;
  std::int64_t knownVersion_ = -1;
  std::map<std::string, Stored, std::less<>> written_;  // by the open write transaction
};

}  // namespace allot
