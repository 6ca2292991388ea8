// ValueRows: how the values of an Allot database sit in its tables, and which rows a commit has
// to write. A list of lists (an envelope's descriptions per envelope, say) is kept as a head row
// (its kind and length) and one row per inner list, so that a commit rewrites only the inner lists
// that changed and a load reads one row for each; every other value, flat lists included, is one
// row. For every key it has read or written, it keeps a fingerprint of each row as stored and
// writes a row only when the fingerprint of its new encoding differs. Files of older layouts (each
// value whole in one row; every list item by item) are read as they are and converted inside the
// first write transaction. Every failure is a Status that names the file. It does not open, claim
// or lock the file, nor begin or end write transactions: its owner does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/defaults/row_fingerprint.h"
#include "platform/defaults/status.h"
#include "platform/defaults/value.h"

struct sqlite3;

namespace allot {

class SqlRunner;

class ValueRows {
 public:
  // PRAGMA user_version of each layout. 0 stands for a database without our tables yet.
  static constexpr std::int64_t kFirstLayout = 1;  // one row per key, the whole value in it
  static constexpr std::int64_t kItemLayout = 2;   // every list kept item by item
  static constexpr std::int64_t kLayout = 3;  // lists of lists kept item by item; what we write

  // Whether the tables that `layout` needs are there, with the columns we use.
  static bool hasTables(sqlite3* db, std::int64_t layout);

  // `file` is the database's name in the sentences that report its failures.
  ValueRows(sqlite3* db, std::int64_t layout, std::filesystem::path file)
      : db_(db), layout_(layout), file_(std::move(file)) {}

  // The value of one key into *value, read in a transaction of its own unless the owner has one
  // open. NotFound when the key is absent, unreadable when its rows are damaged, and when SQLite
  // fails, what readFailure says.
  Status read(std::string_view key, std::optional<Value>* value);
  // A list of lists of texts, or of numbers (an integer taken as the nearest double), decoded
  // straight into `out` when it is kept item by item; *whole is then empty. When the value is
  // kept whole, or is of another shape, *whole holds it for the caller to convert, and `out` is
  // unspecified. Not ok as read() says.
  Status readLists(std::string_view key, std::vector<std::vector<std::string>>& out,
                   std::optional<Value>* whole);
  Status readLists(std::string_view key, std::vector<std::vector<double>>& out,
                   std::optional<Value>* whole);

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
  // committed. Not ok, in saveFailure's words, when SQLite refuses a step.
  Status beginWrite(std::int64_t layoutFound);
  Status write(std::string_view key, const Rows& rows);
  void endWrite(bool committed);

 private:
  // What is stored under one key, as fingerprints.
  struct Stored {
    RowFingerprint head;                // the key's own row; size 0 when there is none
    std::vector<RowFingerprint> items;  // the item rows at positions 0, 1, 2, ...
    bool stray = false;                 // other item rows, which only a damaged file has
  };

  // The reads say SQLite's failures in the words of `sql`: a read's, or a save's while the
  // older layouts are converted.
  Status readWhole(const SqlRunner& sql, std::string_view key, std::optional<Value>* value);
  template <typename Items>
  Status readRows(std::string_view key, Items& items, std::optional<Value>* value);
  template <typename Items>
  Status readSplit(const SqlRunner& sql, std::string_view key, Stored& stored, Items& items,
                   std::optional<Value>* value);
  Status damaged(std::string_view key) const;
  void noteVersion(std::int64_t version);
  Status scan(const SqlRunner& sql, std::string_view key, Stored* stored);
  Status convertOlderLayout(const SqlRunner& sql, std::int64_t layoutFound);

  sqlite3* db_;
  std::int64_t layout_;
  std::filesystem::path file_;
  std::int64_t layoutBefore_ = 0;
  // What is stored as of the database state that PRAGMA data_version numbered knownVersion_;
  // a commit by another connection changes the number and makes all of it stale.
  std::map<std::string, Stored, std::less<>> known_;
  std::int64_t knownVersion_ = -1;
  std::map<std::string, Stored, std::less<>> written_;  // by the open write transaction
};

}  // namespace allot
