#include "platform/defaults/sqlite_user_defaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/defaults/value_rows.h"

namespace fs = std::filesystem;

namespace allot {
namespace {

// Stored in the database header (PRAGMA application_id) so that we know our own files: "Allt".
constexpr std::int64_t kApplicationId = 0x416C6C74;
// Another process in the middle of a commit holds the lock for milliseconds; wait that out.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kForeign = "is a SQLite database of another application";

// What the first bytes of the file say, read without SQLite so that SQLite never touches a file
// that is not a database, or belongs to someone else.
enum class Header { Missing, Empty, Ours, Unclaimed, Refused };
struct HeaderFinding {
  Header kind;
  std::string reason;  // for Refused
};

HeaderFinding readHeader(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (status.type() == fs::file_type::not_found) return {Header::Missing, {}};
  if (error) return {Header::Refused, "cannot be examined (" + error.message() + ")"};
  if (fs::is_directory(status)) return {Header::Refused, "is a directory, not a file"};
  if (!fs::is_regular_file(status)) return {Header::Refused, "is not a regular file"};

  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return {Header::Refused, "cannot be read (" + std::string(std::strerror(errno)) + ")"};
  std::array<unsigned char, 100> header{};
  std::size_t filled = 0;
  while (filled < header.size()) {
    const ssize_t got = ::read(fd, header.data() + filled, header.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const std::string reason = "cannot be read (" + std::string(std::strerror(errno)) + ")";
      ::close(fd);
      return {Header::Refused, reason};
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);

  // SQLite treats a zero-length file as an empty database.
  if (filled == 0) return {Header::Empty, {}};
  if (filled < header.size() || std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
    return {Header::Refused, "is not a SQLite database"};
  }
  const std::int64_t applicationId =
      (std::int64_t{header[68]} << 24) | (header[69] << 16) | (header[70] << 8) | header[71];
  if (applicationId == kApplicationId) return {Header::Ours, {}};
  // We never use write-ahead logging, and opening such a file even read-only may create
  // files beside it; an unclaimed one in that mode is not ours.
  const bool writeAheadLog = header[18] == 2 || header[19] == 2;
  if (applicationId != 0 || writeAheadLog) return {Header::Refused, kForeign};
  return {Header::Unclaimed, {}};
}

std::optional<std::int64_t> queryInteger(sqlite3* db, const char* sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return std::nullopt;
  std::optional<std::int64_t> result;
  if (sqlite3_step(statement) == SQLITE_ROW) result = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return result;
}

bool execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Whose the open database is, asked of SQLite itself (after any crash recovery it did).
enum class Ownership { Ours, Unclaimed, Refused };
struct OwnershipFinding {
  Ownership kind;
  std::string reason;       // for Refused
  std::int64_t layout = 0;  // for Ours: PRAGMA user_version, the first layout when unset
};

OwnershipFinding checkOwnership(sqlite3* db) {
  const auto applicationId = queryInteger(db, "PRAGMA application_id");
  const auto objectCount = queryInteger(db, "SELECT count(*) FROM sqlite_schema");
  const auto schemaVersion = queryInteger(db, "PRAGMA user_version");
  if (!applicationId || !objectCount || !schemaVersion) {
    return {Ownership::Refused, "cannot be read (" + std::string(sqlite3_errmsg(db)) + ")"};
  }
  if (*applicationId == 0 && *objectCount == 0) return {Ownership::Unclaimed, {}};
  if (*applicationId != kApplicationId) return {Ownership::Refused, kForeign};
  // A file with a larger number comes from a newer Allot.
  if (*schemaVersion > ValueRows::kLayout) {
    return {Ownership::Refused, "was written by a newer version of Allot"};
  }
  const std::int64_t layout = std::max(*schemaVersion, ValueRows::kFirstLayout);
  if (!ValueRows::hasTables(db, layout)) {
    return {Ownership::Refused, "is an Allot file without its tables of values"};
  }
  return {Ownership::Ours, {}, layout};
}

// What SQLite's own consistency check finds wrong with the database; empty when nothing is.
// Rows lost to a file cut short or overwritten would otherwise read as keys never stored.
std::string damageIn(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  std::string damage;
  if (sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &statement, nullptr) != SQLITE_OK) {
    damage = sqlite3_errmsg(db);
  } else if (sqlite3_step(statement) != SQLITE_ROW) {
    damage = sqlite3_errmsg(db);
  } else {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    damage = text != nullptr ? text : "no answer";
    if (damage == "ok") damage.clear();
  }
  sqlite3_finalize(statement);
  // SQLite lists its findings on separate lines; the report is one line.
  for (char& c : damage) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return damage;
}

// Debian's SQLite reads a name that starts with "file:" as a URI; an absolute path never does.
int openDatabase(const fs::path& file, int flags, sqlite3** db) {
  std::error_code error;
  fs::path absolute = fs::absolute(file, error);
  if (error) absolute = file;
  return sqlite3_open_v2(absolute.c_str(), db, flags, nullptr);
}

std::string describeFile(const fs::path& file) {
  return "settings file \"" + file.string() + "\"";
}

std::string refusal(const fs::path& file, const std::string& reason) {
  return "The " + describeFile(file) + " " + reason + "; it is left untouched.";
}

}  // namespace

SqliteUserDefaults::SqliteUserDefaults(fs::path file) : file_(std::move(file)) {}

SqliteUserDefaults::~SqliteUserDefaults() {
  closeDatabase();
}

fs::path SqliteUserDefaults::defaultPath() {
  const fs::path relative = fs::path("allot") / "defaults.sqlite3";
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome != nullptr && fs::path(dataHome).is_absolute()) return dataHome / relative;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    const passwd* entry = ::getpwuid(::getuid());
    home = entry != nullptr ? entry->pw_dir : "";
  }
  return fs::path(home) / ".local" / "share" / relative;
}

void SqliteUserDefaults::openedDatabase(sqlite3* db, std::int64_t layout) const {
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  db_ = db;
  rows_ = std::make_unique<ValueRows>(db, layout);
}

void SqliteUserDefaults::closeDatabase() const {
  rows_.reset();
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool SqliteUserDefaults::examine() const {
  closeDatabase();
  readProblem_.clear();
  const HeaderFinding header = readHeader(file_);
  if (header.kind == Header::Missing || header.kind == Header::Empty) return true;
  if (header.kind == Header::Refused) {
    readProblem_ = refusal(file_, header.reason);
    return false;
  }

  // An unclaimed database is only looked at, read-only; ours is opened for writing as well, so
  // that SQLite can roll back a commit that a crash interrupted.
  const bool ours = header.kind == Header::Ours;
  sqlite3* db = nullptr;
  const int flags = ours ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
  if (openDatabase(file_, flags, &db) != SQLITE_OK) {
    readProblem_ = refusal(file_, "cannot be opened (" + std::string(sqlite3_errmsg(db)) + ")");
    sqlite3_close_v2(db);
    return false;
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  const OwnershipFinding owner = checkOwnership(db);
  if (owner.kind == Ownership::Refused) {
    readProblem_ = refusal(file_, owner.reason);
    sqlite3_close_v2(db);
    return false;
  }
  if (owner.kind == Ownership::Ours && ours) {
    if (const std::string damage = damageIn(db); !damage.empty()) {
      readProblem_ = "The " + describeFile(file_) + " is damaged (" + damage +
                     "); it was not read and nothing will be saved over it.";
      sqlite3_close_v2(db);
      return false;
    }
    openedDatabase(db, owner.layout);
  } else {
    sqlite3_close_v2(db);
  }
  return true;
}

std::optional<Value> SqliteUserDefaults::valueForKey(std::string_view key) const {
  if (auto waiting = pending_.find(key); waiting != pending_.end()) return waiting->second;
  if (db_ == nullptr && !examine()) return std::nullopt;
  if (db_ == nullptr) return std::nullopt;  // nothing stored yet

  ValueRows::Read read = rows_->read(key);
  if (read.outcome == ValueRows::Outcome::Damaged) {
    readProblem_ = "The " + describeFile(file_) + " holds a damaged value under the key \"" +
                   std::string(key) + "\"; it was not read.";
  } else if (read.outcome == ValueRows::Outcome::Failed) {
    readProblem_ = refusal(file_, "cannot be read (" + read.failure + ")");
  }
  return std::move(read.value);
}

void SqliteUserDefaults::setDouble(double value, std::string_view key) {
  setObject(Value(value), key);
}

void SqliteUserDefaults::setObject(Value value, std::string_view key) {
  pending_.insert_or_assign(std::string(key), std::move(value));
}

bool SqliteUserDefaults::startAfresh() {
  if (readHeader(file_).kind != Header::Ours) return false;
  closeDatabase();
  std::error_code error;
  fs::remove(file_, error);
  if (error) {
    lastError_ = "Could not start a new " + describeFile(file_) + ": " + error.message() + ".";
    return false;
  }
  fs::remove(file_.string() + "-journal", error);
  readProblem_.clear();
  return true;
}

bool SqliteUserDefaults::synchronize() {
  if (pending_.empty()) return true;
  if (db_ == nullptr && !examine()) {
    lastError_ = "Nothing was saved. " + readProblem_;
    return false;
  }
  if (db_ == nullptr) {
    std::error_code error;
    if (file_.has_parent_path()) fs::create_directories(file_.parent_path(), error);
    if (error) {
      return failCommit("cannot create the folder \"" + file_.parent_path().string() + "\" (" +
                        error.message() + ")");
    }
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3* db = nullptr;
    if (openDatabase(file_, flags, &db) != SQLITE_OK) {
      std::string failure = sqlite3_errmsg(db);
      sqlite3_close_v2(db);
      return failCommit(std::move(failure));
    }
    openedDatabase(db, 0);
  }
  if (!commitPending()) return false;
  pending_.clear();
  lastError_.clear();
  return true;
}

// One transaction for every pending write, and for bringing an older layout up to date. The
// rollback journal (journal_mode DELETE, SQLite's default, which we keep) leaves everything
// committed in the one file, so a plain copy of that file is a complete copy of the store;
// synchronous FULL makes the commit durable before it returns.
bool SqliteUserDefaults::commitPending() {
  if (!execute(db_, "PRAGMA synchronous = FULL") || !execute(db_, "BEGIN IMMEDIATE")) {
    return failCommit(sqlite3_errmsg(db_));
  }
  // Checked again under the write lock: another process may have claimed the file meanwhile.
  const OwnershipFinding owner = checkOwnership(db_);
  if (owner.kind == Ownership::Refused) {
    execute(db_, "ROLLBACK");
    readProblem_ = refusal(file_, owner.reason);
    lastError_ = "Nothing was saved. " + readProblem_;
    closeDatabase();
    return false;
  }
  if (owner.kind == Ownership::Unclaimed) {
    const std::string claim = "PRAGMA application_id = " + std::to_string(kApplicationId);
    if (!execute(db_, claim.c_str())) return failCommit(sqlite3_errmsg(db_));
  }
  if (!rows_->beginWrite(owner.kind == Ownership::Ours ? owner.layout : 0)) {
    return failCommit(sqlite3_errmsg(db_));
  }
  for (const auto& [key, value] : pending_) {
    if (!rows_->write(key, value)) return failCommit(sqlite3_errmsg(db_));
  }
  if (!execute(db_, "COMMIT")) return failCommit(sqlite3_errmsg(db_));
  rows_->endWrite(true);
  return true;
}

// Undoes whatever the failed commit began and keeps the pending writes for the next try.
bool SqliteUserDefaults::failCommit(std::string message) {
  lastError_ = "Could not save to the " + describeFile(file_) + ": " + message + ".";
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) execute(db_, "ROLLBACK");
  if (rows_) rows_->endWrite(false);
  closeDatabase();
  return false;
}

}  // namespace allot
