#include "platform/defaults/sqlite_user_defaults.h"

#include <fcntl.h>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "platform/defaults/private_files.h"
#include "platform/defaults/sqlite_statement.h"
#include "platform/defaults/stop_request.h"
#include "platform/defaults/value_lists.h"
#include "platform/defaults/value_rows.h"

namespace fs = std::filesystem;

namespace allot {
namespace {

// Stored in the database header (PRAGMA application_id) so that we know our own files: "Allt".
constexpr std::int64_t kApplicationId = 0x416C6C74;
// How often a wait for another program's lock looks again, and how often a long statement looks
// whether the user asked to quit (in SQLite's virtual machine steps).
constexpr int kBusyPollMs = 10;
constexpr int kStopPollSteps = 1000;
constexpr int kLongestCommitWaitMs = 1000;

constexpr const char* kForeign = "is a SQLite database of another application";
constexpr const char* kNothingSaved = "Nothing was saved. ";

std::string describeFile(const fs::path& file) {
  return "settings file \"" + file.string() + "\"";
}

// Data that must be left alone: nothing will be copied, replaced or saved over it.
Status leftAlone(const fs::path& file, const std::string& reason) {
  return Status::notOurs("The " + describeFile(file) + " " + reason + "; it is left untouched.");
}

// Our own data that cannot be taken; the application decides what becomes of it.
Status unreadable(const fs::path& file, const std::string& reason) {
  return Status::unreadable("The " + describeFile(file) + " " + reason + ".");
}

Status busy(const fs::path& file, const std::string& detail) {
  return Status::busy("The " + describeFile(file) + " is in use by another program (" + detail +
                      ").");
}

bool isBusy(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

// Whether SQLite's code says that it read the file's content and found it unusable, rather than
// that it could not read it at all (permission, a link, an I/O error, no memory).
bool isContentFault(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT ||
         primary == SQLITE_TOOBIG || primary == SQLITE_SCHEMA || primary == SQLITE_MISMATCH;
}

// A store that could not be opened or read for a reason outside its content: reported, and never
// taken for damaged data, so that nothing copies it aside or replaces it.
Status notReached(const fs::path& file, const std::string& what, const std::string& reason) {
  return Status::failed("The " + describeFile(file) + " " + what + " (" + reason +
                        "); it is left untouched.");
}

// What a failed read means, from SQLite's code and message.
Status readFailure(int code, const std::string& message, const fs::path& file,
                   std::string_view key = {}) {
  if (isBusy(code)) return busy(file, message);
  if (code == SQLITE_INTERRUPT) {
    return Status::failed("Reading the " + describeFile(file) + " was stopped.");
  }
  if (code == SQLITE_TOOBIG && !key.empty()) {
    return unreadable(
        file, "holds a value larger than 16 MiB under the key \"" + std::string(key) + "\"");
  }
  if (!isContentFault(code)) return notReached(file, "cannot be read", message);
  return unreadable(file, "cannot be read (" + message + ")");
}

// The same, for the failure the connection holds now.
Status readFailure(sqlite3* db, const fs::path& file) {
  return readFailure(sqlite3_errcode(db), sqlite3_errmsg(db), file);
}

// What the first bytes of the file say, read without SQLite so that SQLite never touches a file
// that is not a database, or belongs to someone else. A link is never followed.
enum class Header { Missing, Empty, Ours, Unclaimed, Refused };
struct HeaderFinding {
  Header kind;
  std::string reason;  // for Refused
};

HeaderFinding readHeader(const fs::path& file) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(file, error);
  if (status.type() == fs::file_type::not_found) return {Header::Missing, {}};
  if (error) return {Header::Refused, "cannot be examined (" + error.message() + ")"};
  if (fs::is_symlink(status)) return {Header::Refused, "is a symbolic link, which is not followed"};
  if (fs::is_directory(status)) return {Header::Refused, "is a directory, not a file"};
  if (!fs::is_regular_file(status)) return {Header::Refused, "is not a regular file"};

  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return {Header::Refused, "cannot be read (" + std::string(std::strerror(errno)) + ")"};
  }
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
  SqliteStatement statement(db, sql);
  if (!statement || statement.step() != SQLITE_ROW) return std::nullopt;
  return statement.integer(0);
}

bool execute(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Whose the open database is, asked of SQLite itself (after any crash recovery it did).
enum class Ownership { Ours, Newer, Unclaimed, Refused, Unknown };
struct OwnershipFinding {
  Ownership kind;
  std::string reason;       // for Refused
  std::int64_t layout = 0;  // for Ours: PRAGMA user_version, the first layout when unset
};

OwnershipFinding checkOwnership(sqlite3* db) {
  const auto applicationId = queryInteger(db, "PRAGMA application_id");
  const auto objectCount = queryInteger(db, "SELECT count(*) FROM sqlite_schema");
  const auto schemaVersion = queryInteger(db, "PRAGMA user_version");
  // Unknown: SQLite could not answer (busy, or an I/O error); the connection says why.
  if (!applicationId || !objectCount || !schemaVersion) return {Ownership::Unknown, {}};
  if (*applicationId == 0 && *objectCount == 0) return {Ownership::Unclaimed, {}};
  if (*applicationId != kApplicationId) return {Ownership::Refused, kForeign};
  // A file with a larger number comes from a newer Allot.
  if (*schemaVersion > ValueRows::kLayout) return {Ownership::Newer, {}, ValueRows::kLayout};
  const std::int64_t layout = std::max(*schemaVersion, ValueRows::kFirstLayout);
  if (!ValueRows::hasTables(db, layout)) {
    return {Ownership::Refused, "is an Allot file without its tables of values"};
  }
  return {Ownership::Ours, {}, layout};
}

// What SQLite's own consistency check (PRAGMA quick_check) finds wrong with the database; ok
// when nothing is. Rows lost to a file cut short or overwritten would otherwise read as keys never
// stored.
Status findDamage(sqlite3* db, const fs::path& file) {
  SqliteStatement check(db, "PRAGMA quick_check(1)");
  if (!check || check.step() != SQLITE_ROW) {
    if (!isContentFault(sqlite3_errcode(db))) return readFailure(db, file);
    return unreadable(file, "is damaged (" + std::string(sqlite3_errmsg(db)) + ")");
  }
  std::string damage(check.text(0));
  if (damage == "ok") return Status::ok();
  // SQLite lists its findings on separate lines; the report is one line.
  std::replace_if(
      damage.begin(), damage.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return unreadable(file, "is damaged (" + damage + ")");
}

// The check reads every page once, so it runs on a page cache of a few pages: a full-size cache
// would only fill megabytes of fresh memory with pages nothing reads again, which takes longer than
// the check itself. The cache is given back its size before anything else reads or writes.
Status checkIntegrity(sqlite3* db, const fs::path& file) {
  const auto cacheSize = queryInteger(db, "PRAGMA cache_size");
  if (cacheSize) execute(db, "PRAGMA cache_size = 2");
  Status found = findDamage(db, file);
  if (cacheSize) execute(db, ("PRAGMA cache_size = " + std::to_string(*cacheSize)).c_str());
  return found;
}

// Why the file (or, when it does not exist yet, its folder) cannot be written; ok when it can.
Status checkWritable(const fs::path& file, bool exists) {
  const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
  std::error_code error;
  const bool folderExists = fs::exists(folder, error);
  if (exists && ::access(file.c_str(), W_OK) != 0) {
    return Status::readOnly("The " + describeFile(file) + " cannot be written (" +
                            std::strerror(errno) + "); nothing will be saved to it.");
  }
  // Saving needs the folder too, for the journal that makes a commit safe.
  if (folderExists && ::access(folder.c_str(), W_OK | X_OK) != 0) {
    return Status::readOnly("The folder \"" + folder.string() + "\" cannot be written (" +
                            std::strerror(errno) + "); nothing will be saved to the " +
                            describeFile(file) + ".");
  }
  return Status::ok();
}

// The file in its folder as the system finds it, every link above it resolved: the folders above
// the store are the user's to arrange (a home on another disk, a synced folder), while SQLite,
// told not to follow links, would refuse a link anywhere in the path. A link in the file's own
// place is still refused. The name is absolute, and Debian's SQLite reads a name that starts with
// "file:" as a URI; an absolute path never does.
fs::path resolvedPath(const fs::path& file) {
  std::error_code error;
  fs::path absolute = fs::absolute(file, error);
  if (error) return file;
  fs::path folder = fs::weakly_canonical(absolute.parent_path(), error);
  return error ? absolute : folder / absolute.filename();
}

int openDatabase(const fs::path& file, int flags, sqlite3** db) {
  return sqlite3_open_v2(resolvedPath(file).c_str(), db, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
}

// Why SQLite could not open the file, as a status: never damage, since nothing was read.
Status openFailure(sqlite3* db, const fs::path& file) {
  return notReached(file, "cannot be opened", sqlite3_errmsg(db));
}

// What a read that found no value means for the store as a whole.
void noteReadProblem(Status& status, const ValueRows::Read& read, const fs::path& file,
                     std::string_view key) {
  if (read.outcome == ValueRows::Outcome::Damaged) {
    status = unreadable(file, "holds a damaged value under the key \"" + std::string(key) + "\"");
  } else if (read.outcome == ValueRows::Outcome::Failed) {
    status = readFailure(read.code, read.failure, file, key);
  }
}

// A long statement gives up when the user asked to quit.
int stopWhenAsked(void* /*unused*/) {
  return StopRequest::honour() ? 1 : 0;
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

int SqliteUserDefaults::waitWhileBusy(void* self, int attempt) {
  const auto* defaults = static_cast<const SqliteUserDefaults*>(self);
  const int wait = defaults->committing_ ? std::min(defaults->busyWaitMs_, kLongestCommitWaitMs)
                                         : defaults->busyWaitMs_;
  if (StopRequest::honour() || attempt * kBusyPollMs >= wait) return 0;
  sqlite3_sleep(kBusyPollMs);
  return 1;
}

void SqliteUserDefaults::openedDatabase(sqlite3* db, std::int64_t layout) const {
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
  readStatus_ = Status::ok();
  writability_ = Status::ok();
  const HeaderFinding header = readHeader(file_);
  if (header.kind == Header::Missing || header.kind == Header::Empty) {
    writability_ = checkWritable(file_, header.kind == Header::Empty);
    return true;
  }
  if (header.kind == Header::Refused) {
    readStatus_ = leftAlone(file_, header.reason);
    return false;
  }
  if (header.kind == Header::Ours) return openOwnDatabase();

  // An unclaimed database is only looked at, read-only, to see that it is empty.
  sqlite3* db = nullptr;
  if (openDatabase(file_, SQLITE_OPEN_READONLY, &db) != SQLITE_OK) {
    readStatus_ = leftAlone(file_, "cannot be opened (" + std::string(sqlite3_errmsg(db)) + ")");
    sqlite3_close_v2(db);
    return false;
  }
  sqlite3_busy_handler(db, &SqliteUserDefaults::waitWhileBusy,
                       const_cast<SqliteUserDefaults*>(this));
  const OwnershipFinding owner = checkOwnership(db);
  if (owner.kind == Ownership::Unknown) {
    readStatus_ = readFailure(db, file_);
    if (readStatus_.kind() == Status::Kind::Unreadable) {
      readStatus_ = leftAlone(file_, "cannot be read (" + std::string(sqlite3_errmsg(db)) + ")");
    }
  } else if (owner.kind != Ownership::Unclaimed) {
    readStatus_ = leftAlone(file_, owner.kind == Ownership::Refused ? owner.reason : kForeign);
  }
  sqlite3_close_v2(db);
  if (!readStatus_.isOk()) return false;
  writability_ = checkWritable(file_, true);
  return true;
}

// Opens a file whose header says it is ours for reading and writing, so that SQLite can roll back
// a commit that a crash interrupted, and checks it before anything is read.
bool SqliteUserDefaults::openOwnDatabase() const {
  // Files that an older version or a copy left open to others are tightened here. One that
  // cannot be (another user's, or on a read-only disk) is read all the same: reading it shows no
  // one anything new.
  (void)makePrivate(file_);
  (void)makePrivate(file_.string() + "-journal");
  sqlite3* db = nullptr;
  if (openDatabase(file_, SQLITE_OPEN_READWRITE, &db) != SQLITE_OK) {
    readStatus_ = openFailure(db, file_);
    sqlite3_close_v2(db);
    return false;
  }
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kLargestValue);
  sqlite3_busy_handler(db, &SqliteUserDefaults::waitWhileBusy,
                       const_cast<SqliteUserDefaults*>(this));
  sqlite3_progress_handler(db, kStopPollSteps, stopWhenAsked, nullptr);

  const OwnershipFinding owner = checkOwnership(db);
  Status found;
  if (owner.kind == Ownership::Unknown) {
    found = readFailure(db, file_);
  } else if (owner.kind == Ownership::Refused) {
    found =
        owner.reason == kForeign ? leftAlone(file_, owner.reason) : unreadable(file_, owner.reason);
  } else if (owner.kind == Ownership::Newer) {
    // Read with what this version knows, when the tables it knows are there; never written.
    writability_ = Status::newer("The " + describeFile(file_) +
                                 " was written by a newer version of Allot; it is read but never "
                                 "written by this one.");
    if (!ValueRows::hasTables(db, ValueRows::kLayout)) {
      found = Status::newer("The " + describeFile(file_) +
                            " was written by a newer version of Allot, which this one cannot "
                            "read; it is left untouched.");
    }
  } else {
    found = checkIntegrity(db, file_);
  }
  if (!found.isOk()) {
    readStatus_ = found;
    sqlite3_close_v2(db);
    return false;
  }
  openedDatabase(db, owner.layout);
  if (writability_.isOk()) {
    writability_ = sqlite3_db_readonly(db, "main") == 1
                       ? Status::readOnly("The " + describeFile(file_) +
                                          " cannot be written; nothing will be saved to it.")
                       : checkWritable(file_, true);
  }
  return true;
}

std::optional<Value> SqliteUserDefaults::valueForKey(std::string_view key) const {
  if (auto waiting = pending_.find(key); waiting != pending_.end()) {
    return ValueRows::valueOf(waiting->second);
  }
  if (db_ == nullptr && !examine()) return std::nullopt;
  if (db_ == nullptr) return std::nullopt;  // nothing stored yet

  ValueRows::Read read = rows_->read(key);
  noteReadProblem(readStatus_, read, file_, key);
  return std::move(read.value);
}

UserDefaults::ListsRead SqliteUserDefaults::readTextLists(
    std::string_view key, std::vector<std::vector<std::string>>& out) const {
  return readLists(key, out);
}

UserDefaults::ListsRead SqliteUserDefaults::readNumberLists(
    std::string_view key, std::vector<std::vector<double>>& out) const {
  return readLists(key, out);
}

template <typename Item>
UserDefaults::ListsRead SqliteUserDefaults::readLists(std::string_view key,
                                                      std::vector<std::vector<Item>>& out) const {
  if (pending_.find(key) != pending_.end() || db_ == nullptr) {
    return readListsThroughValue(key, out);
  }
  ValueRows::Read read = rows_->readLists(key, out);
  noteReadProblem(readStatus_, read, file_, key);
  if (read.outcome != ValueRows::Outcome::Found) return ListsRead::Absent;
  if (read.value && !takeLists(*read.value, out)) return ListsRead::OtherKind;
  return ListsRead::Read;
}

Status SqliteUserDefaults::beginReading() {
  if (db_ == nullptr && !examine()) return readStatus_;
  if (db_ == nullptr) return Status::ok();  // nothing stored yet
  // The first read takes the shared lock that keeps every later one on the same state.
  if (!execute(db_, "BEGIN") || !queryInteger(db_, "SELECT count(*) FROM sqlite_schema")) {
    readStatus_ = readFailure(db_, file_);
    if (sqlite3_get_autocommit(db_) == 0) execute(db_, "ROLLBACK");
    closeDatabase();
    return readStatus_;
  }
  return Status::ok();
}

void SqliteUserDefaults::endReading() {
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) execute(db_, "COMMIT");
}

void SqliteUserDefaults::setDouble(double value, std::string_view key) {
  setObject(Value(value), key);
}

void SqliteUserDefaults::setObject(Value value, std::string_view key) {
  pending_.insert_or_assign(std::string(key), ValueRows::rowsOf(value));
}

void SqliteUserDefaults::setTextLists(const std::vector<std::vector<std::string>>& lists,
                                      std::string_view key) {
  pending_.insert_or_assign(std::string(key), ValueRows::rowsOf(lists));
}

void SqliteUserDefaults::setNumberLists(const std::vector<std::vector<double>>& lists,
                                        std::string_view key) {
  pending_.insert_or_assign(std::string(key), ValueRows::rowsOf(lists));
}

Status SqliteUserDefaults::startAfresh() {
  if (readHeader(file_).kind != Header::Ours || !writability_.isOk()) return Status::ok();
  closeDatabase();
  std::error_code error;
  fs::remove(file_, error);
  if (error) {
    return Status::failed("Could not start a new " + describeFile(file_) + ": " + error.message() +
                          ".");
  }
  fs::remove(file_.string() + "-journal", error);
  readStatus_ = Status::ok();
  return Status::ok();
}

Status SqliteUserDefaults::synchronize() {
  if (pending_.empty()) return Status::ok();
  committing_ = true;
  Status committed = openAndCommit();
  committing_ = false;
  return committed;
}

Status SqliteUserDefaults::openAndCommit() {
  // A file that could not be written may have been made writable since.
  if ((db_ == nullptr || writability_.kind() == Status::Kind::ReadOnly) && !examine()) {
    return readStatus_.withLead(kNothingSaved);
  }
  if (!writability_.isOk()) return writability_.withLead(kNothingSaved);
  if (db_ == nullptr) {
    const fs::path folder = file_.has_parent_path() ? file_.parent_path() : fs::path();
    if (Status prepared = preparePrivateFolder(folder); !prepared.isOk()) {
      return prepared.withLead(kNothingSaved);
    }
    if (readHeader(file_).kind == Header::Missing) {
      if (Status created = createPrivateFile(file_); !created.isOk()) {
        return created.withLead(kNothingSaved);
      }
    } else {
      // An empty or unclaimed database, examined above. The folder was just made the user's
      // alone, so no one else reaches the file whatever this says; tightening it is a second guard.
      (void)makePrivate(file_);
    }
    sqlite3* db = nullptr;
    if (openDatabase(file_, SQLITE_OPEN_READWRITE, &db) != SQLITE_OK) {
      std::string failure = sqlite3_errmsg(db);
      sqlite3_close_v2(db);
      return failCommit(failure);
    }
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kLargestValue);
    sqlite3_busy_handler(db, &SqliteUserDefaults::waitWhileBusy, this);
    sqlite3_progress_handler(db, kStopPollSteps, stopWhenAsked, nullptr);
    // A page holds a few envelopes' transactions, so a load reads a quarter as many pages as
    // with SQLite's 4 KiB; a new file only, since an existing one keeps its page size.
    execute(db, "PRAGMA page_size = 16384");
    openedDatabase(db, 0);
  }
  if (Status committed = commitPending(); !committed.isOk()) return committed;
  pending_.clear();
  return Status::ok();
}

// One transaction for every pending write, and for bringing an older layout up to date. The
// rollback journal (journal_mode DELETE, SQLite's default, which we keep) leaves everything
// committed in the one file, so a plain copy of that file is a complete copy of the store;
// synchronous FULL makes the commit durable before it returns.
Status SqliteUserDefaults::commitPending() {
  if (sqlite3_get_autocommit(db_) == 0) execute(db_, "COMMIT");  // a read left open
  if (!execute(db_, "PRAGMA synchronous = FULL") || !execute(db_, "BEGIN IMMEDIATE")) {
    return failCommit(sqlite3_errmsg(db_));
  }
  // Checked again under the write lock: another process may have claimed the file meanwhile.
  const OwnershipFinding owner = checkOwnership(db_);
  if (owner.kind == Ownership::Unknown) return failCommit(sqlite3_errmsg(db_));
  if (owner.kind == Ownership::Refused || owner.kind == Ownership::Newer) {
    execute(db_, "ROLLBACK");
    readStatus_ = owner.kind == Ownership::Newer
                      ? Status::newer("The " + describeFile(file_) +
                                      " was written by a newer version of Allot meanwhile; it is "
                                      "left untouched.")
                      : leftAlone(file_, owner.reason);
    closeDatabase();
    return readStatus_.withLead(kNothingSaved);
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
  return Status::ok();
}

// Undoes whatever the failed commit began and keeps the pending writes for the next try.
Status SqliteUserDefaults::failCommit(const std::string& message) {
  Status failure =
      Status::failed("Could not save to the " + describeFile(file_) + ": " + message + ".");
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) execute(db_, "ROLLBACK");
  if (rows_) rows_->endWrite(false);
  closeDatabase();
  return failure;
}

}  // namespace allot
