// SqliteUserDefaults: the real per-user key-value store, one SQLite file per user with each value
// encoded as CBOR (how values sit in rows is ValueRows' business). Writes wait in memory (and are
// visible to valueForKey at once) until synchronize() commits them all in one transaction, which
// writes only the rows that changed.
//
// What it guards against: a file that is not a SQLite database, a database that is not ours, or a
// symbolic link in the store's place is reported through readStatus() and never written to, moved
// or deleted; links in the folders above the store are the user's and are followed. A file that
// cannot be opened or read at all (permission, an I/O error) is reported as such, never as damage.
// A file of ours that SQLite's check finds damaged is reported the same way and left as it is until
// startAfresh(), which the application calls once it has copied the file aside. A store that
// another program holds locked is waited for a little, then reported as busy, never as damaged. A
// store written by a newer version, or one whose file or folder cannot be written, is read but
// never written (writability()). No value longer than 16 MiB is read or written. The folder is
// created 0700 and the files 0600 on the first commit, not before.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/defaults/user_defaults.h"
#include "platform/defaults/value_rows.h"

struct sqlite3;

namespace allot {

class SqliteUserDefaults : public UserDefaults {
 public:
  // The largest value, in bytes, that is read or written; anything larger is taken for damage.
  static constexpr int kLargestValue = 16 * 1024 * 1024;

  explicit SqliteUserDefaults(std::filesystem::path file);
  ~SqliteUserDefaults() override;
  SqliteUserDefaults(const SqliteUserDefaults&) = delete;
  SqliteUserDefaults& operator=(const SqliteUserDefaults&) = delete;

  // $XDG_DATA_HOME/allot/defaults.sqlite3, or ~/.local/share/allot/defaults.sqlite3 when
  // XDG_DATA_HOME is unset, empty or not an absolute path.
  static std::filesystem::path defaultPath();

  std::optional<Value> valueForKey(std::string_view key) const override;
  Status readTextLists(std::string_view key,
                       std::vector<std::vector<std::string>>& out) const override;
  Status readNumberLists(std::string_view key,
                         std::vector<std::vector<double>>& out) const override;
  void setDouble(double value, std::string_view key) override;
  void setObject(Value value, std::string_view key) override;
  void setTextLists(const std::vector<std::vector<std::string>>& lists,
                    std::string_view key) override;
  void setNumberLists(const std::vector<std::vector<double>>& lists, std::string_view key) override;
  Status synchronize() override;
  Status beginReading() override;
  void endReading() override;
  Status startAfresh() override;
  Status readStatus() const override { return readStatus_; }
  Status writability() const override { return writability_; }

  const std::filesystem::path& path() const { return file_; }

  // How long a read waits for another program's lock before it gives up. A commit waits a second
  // at most (less when this is less): the window does not freeze for longer, and a failed commit
  // is tried again later.
  void setBusyWait(int milliseconds) { busyWaitMs_ = milliseconds; }

 private:
  // Looks at the file as it is now. Ok when it is ours (db_ is then open for reading and writing)
  // or may become ours (missing, or an empty SQLite database); not ok, saying why, when it must be
  // left alone or cannot be read.
  Status examine() const;
  Status openOwnDatabase() const;
  bool reachDatabase() const;
  Status openAndCommit();
  Status commitPending();
  Status failCommit(const Status& failure);
  void openedDatabase(sqlite3* db, std::int64_t layout) const;
  template <typename Item>
  Status readLists(std::string_view key, std::vector<std::vector<Item>>& out) const;
  void closeDatabase() const;
  static int waitWhileBusy(void* self, int attempt);

  std::filesystem::path file_;
  mutable sqlite3* db_ = nullptr;
  mutable std::unique_ptr<ValueRows> rows_;  // while db_ is open
  // Each pending value, encoded as it will be written.
  std::map<std::string, ValueRows::Rows, std::less<>> pending_;
  mutable Status readStatus_;
  mutable Status writability_;
  int busyWaitMs_ = 3000;
  bool committing_ = false;
};

}  // namespace allot
