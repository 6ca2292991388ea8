#include "platform/defaults/sqlite_user_defaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/defaults/cbor_codec.h"

namespace fs = std::filesystem;

namespace allot {
namespace {

// Stored in the database header (PRAGMA application_id) so that we know our own files: "Allt".
constexpr std::int64_t kApplicationId = 0x416C6C74;
// PRAGMA user_version of the layout below; a file with a larger number comes from a newer Allot.
constexpr std::int64_t kSchemaVersion = 1;
// Another process in the middle of a commit holds the lock for milliseconds; wait that out.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kCreateTable =
    "CREATE TABLE defaults(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL) WITHOUT ROWID";
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
  std::string reason;  // for Refused
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
  if (*schemaVersion > kSchemaVersion) {
    return {Ownership::Refused, "was written by a newer version of Allot"};
  }
  if (!queryInteger(db, "SELECT count(*) FROM (SELECT key, value FROM defaults LIMIT 0)")) {
    return {Ownership::Refused, "is an Allot file without its table of values"};
  }
  return {Ownership::Ours, {}};
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

void SqliteUserDefaults::closeDatabase() const {
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
    db_ = db;
  } else {
    sqlite3_close_v2(db);
  }
  return true;
}

std::optional<Value> SqliteUserDefaults::valueForKey(std::string_view key) const {
  if (auto waiting = pending_.find(key); waiting != pending_.end()) return waiting->second;
  if (db_ == nullptr && !examine()) return std::nullopt;
  if (db_ == nullptr) return std::nullopt;  // nothing stored yet

  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT value FROM defaults WHERE key = ?1", -1, &statement,
                         nullptr) != SQLITE_OK) {
    readProblem_ = refusal(file_, "cannot be read (" + std::string(sqlite3_errmsg(db_)) + ")");
    return std::nullopt;
  }
  sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
  std::optional<Value> value;
  const int step = sqlite3_step(statement);
  if (step == SQLITE_ROW) {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement, 0));
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, 0));
    value = decodeCbor({bytes, size});
    if (!value) {
      readProblem_ = "The " + describeFile(file_) + " holds a damaged value under the key \"" +
                     std::string(key) + "\"; it was not read.";
    }
  } else if (step != SQLITE_DONE) {
    readProblem_ = refusal(file_, "cannot be read (" + std::string(sqlite3_errmsg(db_)) + ")");
  }
  sqlite3_finalize(statement);
  return value;
}

void SqliteUserDefaults::setDouble(double value, std::string_view key) {
  setObject(Value(value), key);
}

void SqliteUserDefaults::setObject(Value value, std::string_view key) {
  pending_.insert_or_assign(std::string(key), std::move(value));
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
    if (openDatabase(file_, flags, &db_) != SQLITE_OK) {
      return failCommit(sqlite3_errmsg(db_));
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  }
  if (!commitPending()) return false;
  pending_.clear();
  lastError_.clear();
  return true;
}

// One transaction for every pending write. The rollback journal (journal_mode DELETE, SQLite's
// default, which we keep) leaves everything committed in the one file, so a plain copy of that
// file is a complete copy of the store; synchronous FULL makes the commit durable before it
// returns.
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
    const std::string claim = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                              "; PRAGMA user_version = " + std::to_string(kSchemaVersion) + "; " +
                              kCreateTable;
    if (!execute(db_, claim.c_str())) return failCommit(sqlite3_errmsg(db_));
  }

  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db_, "INSERT OR REPLACE INTO defaults(key, value) VALUES(?1, ?2)", -1,
                         &statement, nullptr) != SQLITE_OK) {
    return failCommit(sqlite3_errmsg(db_));
  }
  for (const auto& [key, value] : pending_) {
    const std::vector<std::uint8_t> bytes = encodeCbor(value);
    sqlite3_bind_text(statement, 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
    sqlite3_bind_blob(statement, 2, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
    if (sqlite3_step(statement) != SQLITE_DONE) {
      std::string failure = sqlite3_errmsg(db_);
      sqlite3_finalize(statement);
      return failCommit(std::move(failure));
    }
    sqlite3_reset(statement);
  }
  sqlite3_finalize(statement);
  if (!execute(db_, "COMMIT")) return failCommit(sqlite3_errmsg(db_));
  return true;
}

// Undoes whatever the failed commit began and keeps the pending writes for the next try.
bool SqliteUserDefaults::failCommit(std::string message) {
  lastError_ = "Could not save to the " + describeFile(file_) + ": " + message + ".";
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) execute(db_, "ROLLBACK");
  closeDatabase();
  return false;
}

}  // namespace allot
