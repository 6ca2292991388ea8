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
#include "platform/defaults/sql_runner.h"
#include "platform/defaults/sqlite_statement.h"
#include "platform/defaults/stop_request.h"
#include "platform/defaults/store_file_status.h"
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

constexpr const char* kWithoutTables = "is an Allot file without its tables of values";

// A database not known to be ours: what SQLite could not read in it is left alone, never taken
// for damage of ours.
Status examineFailure(sqlite3* db, const fs::path& file, std::string_view key) {
  Status failure = readFailure(db, file, key);
  if (failure.kind() != Status::Kind::Unreadable) return failure;
  return leftAlone(file, "cannot be read (" + std::string(sqlite3_errmsg(db)) + ")");
}

// What the first bytes of the file say, read without SQLite so that SQLite never touches a file
// that is not a database, or belongs to someone else. A link is never followed. A file that must
// be left alone is none of these: readHeader then says why.
enum class Header { Missing, Empty, Ours, Unclaimed };

Status readHeader(const fs::path& file, Header* kind) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(file, error);
  if (status.type() == fs::file_type::not_found) {
    *kind = Header::Missing;
    return Status::ok();
  }
  if (error) return leftAlone(file, "cannot be examined (" + error.message() + ")");
  if (fs::is_symlink(status)) return leftAlone(file, "is a symbolic link, which is not followed");
  if (fs::is_directory(status)) return leftAlone(file, "is a directory, not a file");
  if (!fs::is_regular_file(status)) return leftAlone(file, "is not a regular file");

  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return leftAlone(file, "cannot be read (" + std::string(std::strerror(errno)) + ")");
  std::array<unsigned char, 100> header{};
  std::size_t filled = 0;
  while (filled < header.size()) {
    const ssize_t got = ::read(fd, header.data() + filled, header.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      const std::string reason = "cannot be read (" + std::string(std::strerror(errno)) + ")";
      ::close(fd);
      return leftAlone(file, reason);
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  ::close(fd);

  // SQLite treats a zero-length file as an empty database.
  if (filled == 0) {
    *kind = Header::Empty;
    return Status::ok();
  }
  if (filled < header.size() || std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
    return leftAlone(file, "is not a SQLite database");
  }
  const std::int64_t applicationId =
      (std::int64_t{header[68]} << 24) | (header[69] << 16) | (header[70] << 8) | header[71];
  // We never use write-ahead logging, and opening such a file even read-only may create
  // files beside it; an unclaimed one in that mode is not ours.
  const bool writeAheadLog = header[18] == 2 || header[19] == 2;
  if (applicationId != kApplicationId && (applicationId != 0 || writeAheadLog)) {
    return leftAlone(file, kForeign);
  }
  *kind = applicationId == kApplicationId ? Header::Ours : Header::Unclaimed;
  return Status::ok();
}

// Whether the file's header reads as `kind`; a file to be left alone reads as none.
bool headerIs(const fs::path& file, Header kind) {
  Header found{};
  return readHeader(file, &found).isOk() && found == kind;
}

// Whose the open database is, asked of SQLite itself (after any crash recovery it did). An
// answer, not a failure: that a file is another's decides only what is done with it.
enum class Ownership { Ours, Newer, Unclaimed, Foreign, WithoutTables };
struct Owner {
  Ownership kind = Ownership::Unclaimed;
  std::int64_t layout = 0;  // for Ours: PRAGMA user_version, the first layout when unset
};

// Not ok when SQLite could not answer (busy, or an I/O error), in the words of `sql`.
Status checkOwnership(const SqlRunner& sql, Owner* owner) {
  std::int64_t applicationId = 0;
  std::int64_t objectCount = 0;
  std::int64_t schemaVersion = 0;
  Status asked = sql.queryInteger("PRAGMA application_id", &applicationId);
  if (asked.isOk()) asked = sql.queryInteger("SELECT count(*) FROM sqlite_schema", &objectCount);
  if (asked.isOk()) asked = sql.queryInteger("PRAGMA user_version", &schemaVersion);
  if (!asked.isOk()) return asked;
  if (applicationId == 0 && objectCount == 0) {
    *owner = {Ownership::Unclaimed};
  } else if (applicationId != kApplicationId) {
    *owner = {Ownership::Foreign};
  } else if (schemaVersion > ValueRows::kLayout) {
    // A file with a larger number comes from a newer Allot.
    *owner = {Ownership::Newer, ValueRows::kLayout};
  } else {
    const std::int64_t layout = std::max(schemaVersion, ValueRows::kFirstLayout);
    *owner = {ValueRows::hasTables(sql.db(), layout) ? Ownership::Ours : Ownership::WithoutTables,
              layout};
  }
  return Status::ok();
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
// The cache's size decides only how fast the check runs, so a failure to set it is let pass.
Status checkIntegrity(const SqlRunner& sql, const fs::path& file) {
  std::int64_t cacheSize = 0;
  const bool sized = sql.queryInteger("PRAGMA cache_size", &cacheSize).isOk();
  if (sized) (void)sql.execute("PRAGMA cache_size = 2");
  Status found = findDamage(sql.db(), file);
  if (sized) (void)sql.execute(("PRAGMA cache_size = " + std::to_string(cacheSize)).c_str());
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

// Opens the file with SQLite into *db, never through a link in the file's own place. When SQLite
// cannot, *db stays null and the failure is said in the words of `words`.
Status openDatabase(const fs::path& file, int flags, SqliteFailure words, sqlite3** db) {
  sqlite3* opened = nullptr;
  if (sqlite3_open_v2(resolvedPath(file).c_str(), &opened, flags | SQLITE_OPEN_NOFOLLOW, nullptr) ==
      SQLITE_OK) {
    *db = opened;
    return Status::ok();
  }
  Status failure = words(opened, file, {});
  sqlite3_close_v2(opened);
  return failure;
}

// Why SQLite could not open the file, as a status: never damage, since nothing was read.
Status openFailure(sqlite3* db, const fs::path& file, std::string_view /*key*/) {
  return notReached(file, "cannot be opened", sqlite3_errmsg(db));
}

// The same for a database not known to be ours, which is left alone.
Status examineOpenFailure(sqlite3* db, const fs::path& file, std::string_view /*key*/) {
  return leftAlone(file, "cannot be opened (" + std::string(sqlite3_errmsg(db)) + ")");
}

// A read that found no value: whether it says something about the store as a whole.
bool isReadProblem(const Status& read) {
  return !read.isOk() && read.kind() != Status::Kind::NotFound;
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
  rows_ = std::make_unique<ValueRows>(db, layout, file_);
}

void SqliteUserDefaults::closeDatabase() const {
  rows_.reset();
  if (db_ != nullptr) sqlite3_close_v2(db_);
  db_ = nullptr;
}

Status SqliteUserDefaults::examine() const {
  closeDatabase();
  writability_ = Status::ok();
  Header header{};
  if (Status readable = readHeader(file_, &header); !readable.isOk()) return readable;
  if (header == Header::Missing || header == Header::Empty) {
    writability_ = checkWritable(file_, header == Header::Empty);
    return Status::ok();
  }
  if (header == Header::Ours) return openOwnDatabase();

  // An unclaimed database is only looked at, read-only, to see that it is empty.
  sqlite3* db = nullptr;
  if (Status opened = openDatabase(file_, SQLITE_OPEN_READONLY, examineOpenFailure, &db);
      !opened.isOk()) {
    return opened;
  }
  sqlite3_busy_handler(db, &SqliteUserDefaults::waitWhileBusy,
                       const_cast<SqliteUserDefaults*>(this));
  Owner owner;
  Status found = checkOwnership(SqlRunner(db, file_, examineFailure), &owner);
  if (found.isOk() && owner.kind != Ownership::Unclaimed) {
    found = leftAlone(file_, owner.kind == Ownership::WithoutTables ? kWithoutTables : kForeign);
  }
  sqlite3_close_v2(db);
  if (!found.isOk()) return found;
  writability_ = checkWritable(file_, true);
  return Status::ok();
}

// Opens a file whose header says it is ours for reading and writing, so that SQLite can roll back
// a commit that a crash interrupted, and checks it before anything is read.
Status SqliteUserDefaults::openOwnDatabase() const {
  // Files that an older version or a copy left open to others are tightened here. One that
  // cannot be (another user's, or on a read-only disk) is read all the same: reading it shows no
  // one anything new.
  (void)makePrivate(file_);
  (void)makePrivate(file_.string() + "-journal");
  sqlite3* db = nullptr;
  if (Status opened = openDatabase(file_, SQLITE_OPEN_READWRITE, openFailure, &db);
      !opened.isOk()) {
    return opened;
  }
  sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kLargestValue);
  sqlite3_busy_handler(db, &SqliteUserDefaults::waitWhileBusy,
                       const_cast<SqliteUserDefaults*>(this));
  sqlite3_progress_handler(db, kStopPollSteps, stopWhenAsked, nullptr);

  const SqlRunner reading(db, file_, readFailure);
  Owner owner;
  Status found = checkOwnership(reading, &owner);
  if (!found.isOk()) {
    // SQLite could not say whose the file is; `found` says why.
  } else if (owner.kind == Ownership::Foreign) {
    found = leftAlone(file_, kForeign);
  } else if (owner.kind == Ownership::WithoutTables) {
    found = unreadable(file_, kWithoutTables);
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
    found = checkIntegrity(reading, file_);
  }
  if (!found.isOk()) {
    sqlite3_close_v2(db);
    return found;
  }
  openedDatabase(db, owner.layout);
  if (writability_.isOk()) {
    writability_ = sqlite3_db_readonly(db, "main") == 1
                       ? Status::readOnly("The " + describeFile(file_) +
                                          " cannot be written; nothing will be saved to it.")
                       : checkWritable(file_, true);
  }
  return Status::ok();
}

// Opens the file when no database is open yet; what it finds becomes the read status. True when
// a database is open afterwards: false for a file left alone, and for one with nothing stored.
bool SqliteUserDefaults::reachDatabase() const {
  if (db_ == nullptr) readStatus_ = examine();
  return db_ != nullptr;
}

std::optional<Value> SqliteUserDefaults::valueForKey(std::string_view key) const {
  if (auto waiting = pending_.find(key); waiting != pending_.end()) {
    return ValueRows::valueOf(waiting->second);
  }
  if (!reachDatabase()) return std::nullopt;

  std::optional<Value> value;
  if (Status read = rows_->read(key, &value); isReadProblem(read)) readStatus_ = read;
  return value;
}

Status SqliteUserDefaults::readTextLists(std::string_view key,
                                         std::vector<std::vector<std::string>>& out) const {
  return readLists(key, out);
}

Status SqliteUserDefaults::readNumberLists(std::string_view key,
                                           std::vector<std::vector<double>>& out) const {
  return readLists(key, out);
}

template <typename Item>
Status SqliteUserDefaults::readLists(std::string_view key,
                                     std::vector<std::vector<Item>>& out) const {
  if (pending_.find(key) != pending_.end() || db_ == nullptr) {
    return readListsThroughValue(key, out);
  }
  std::optional<Value> whole;
  const Status read = rows_->readLists(key, out, &whole);
  if (isReadProblem(read)) readStatus_ = read;
  // A value that could not be read counts as absent, as in valueForKey; readStatus() says why.
  if (!read.isOk()) return listsFrom(std::nullopt, key, out);
  return whole ? listsFrom(std::move(whole), key, out) : Status::ok();
}

Status SqliteUserDefaults::beginReading() {
  if (!reachDatabase()) return readStatus_;  // ok when nothing is stored yet
  // The first read takes the shared lock that keeps every later one on the same state.
  const SqlRunner reading(db_, file_, readFailure);
  std::int64_t objectCount = 0;
  Status begun = reading.execute("BEGIN");
  if (begun.isOk())
    begun = reading.queryInteger("SELECT count(*) FROM sqlite_schema", &objectCount);
  if (!begun.isOk()) {
    readStatus_ = begun;
    // Closing the database ends the transaction whether or not this does.
    if (sqlite3_get_autocommit(db_) == 0) (void)reading.execute("ROLLBACK");
    closeDatabase();
  }
  return begun;
}

void SqliteUserDefaults::endReading() {
  // A read transaction changed nothing, so nothing is lost if it cannot end here: the next
  // commit ends it first.
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) {
    (void)SqlRunner(db_, file_, readFailure).execute("COMMIT");
  }
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
  if (!headerIs(file_, Header::Ours) || !writability_.isOk()) return Status::ok();
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
  if (db_ == nullptr || writability_.kind() == Status::Kind::ReadOnly) {
    readStatus_ = examine();
    if (!readStatus_.isOk()) return readStatus_.withLead(kNothingSaved);
  }
  if (!writability_.isOk()) return writability_.withLead(kNothingSaved);
  if (db_ == nullptr) {
    const fs::path folder = file_.has_parent_path() ? file_.parent_path() : fs::path();
    if (Status prepared = preparePrivateFolder(folder); !prepared.isOk()) {
      return prepared.withLead(kNothingSaved);
    }
    if (headerIs(file_, Header::Missing)) {
      if (Status created = createPrivateFile(file_); !created.isOk()) {
        return created.withLead(kNothingSaved);
      }
    } else {
      // An empty or unclaimed database, examined above. The folder was just made the user's
      // alone, so no one else reaches the file whatever this says; tightening it is a second guard.
      (void)makePrivate(file_);
    }
    sqlite3* db = nullptr;
    if (Status opened = openDatabase(file_, SQLITE_OPEN_READWRITE, saveFailure, &db);
        !opened.isOk()) {
      return failCommit(opened);
    }
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kLargestValue);
    sqlite3_busy_handler(db, &SqliteUserDefaults::waitWhileBusy, this);
    sqlite3_progress_handler(db, kStopPollSteps, stopWhenAsked, nullptr);
    // A page holds a few envelopes' transactions, so a load reads a quarter as many pages as
    // with SQLite's 4 KiB; a new file only, since an existing one keeps its page size. Without
    // it the store only takes more pages.
    (void)SqlRunner(db, file_, saveFailure).execute("PRAGMA page_size = 16384");
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
  const SqlRunner saving(db_, file_, saveFailure);
  // A read left open ends here; should it not, BEGIN IMMEDIATE below fails and says why.
  if (sqlite3_get_autocommit(db_) == 0) (void)saving.execute("COMMIT");
  Status step = saving.execute("PRAGMA synchronous = FULL");
  if (step.isOk()) step = saving.execute("BEGIN IMMEDIATE");
  if (!step.isOk()) return failCommit(step);
  // Checked again under the write lock: another process may have claimed the file meanwhile.
  Owner owner;
  if (Status checked = checkOwnership(saving, &owner); !checked.isOk()) return failCommit(checked);
  if (owner.kind != Ownership::Ours && owner.kind != Ownership::Unclaimed) {
    // Nothing was written yet; should the rollback fail, closing the database rolls back.
    (void)saving.execute("ROLLBACK");
    readStatus_ =
        owner.kind == Ownership::Newer
            ? Status::newer("The " + describeFile(file_) +
                            " was written by a newer version of Allot meanwhile; it is "
                            "left untouched.")
            : leftAlone(file_, owner.kind == Ownership::WithoutTables ? kWithoutTables : kForeign);
    closeDatabase();
    return readStatus_.withLead(kNothingSaved);
  }
  if (owner.kind == Ownership::Unclaimed) {
    const std::string claim = "PRAGMA application_id = " + std::to_string(kApplicationId);
    if (Status claimed = saving.execute(claim.c_str()); !claimed.isOk()) {
      return failCommit(claimed);
    }
  }
  const std::int64_t layout = owner.kind == Ownership::Ours ? owner.layout : 0;
  if (Status begun = rows_->beginWrite(layout); !begun.isOk()) return failCommit(begun);
  for (const auto& [key, value] : pending_) {
    if (Status written = rows_->write(key, value); !written.isOk()) return failCommit(written);
  }
  if (Status committed = saving.execute("COMMIT"); !committed.isOk()) return failCommit(committed);
  rows_->endWrite(true);
  return Status::ok();
}

// Undoes whatever the failed commit began and keeps the pending writes for the next try.
Status SqliteUserDefaults::failCommit(const Status& failure) {
  if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) {
    // Closing the database below rolls back whatever this cannot.
    (void)SqlRunner(db_, file_, saveFailure).execute("ROLLBACK");
  }
  if (rows_) rows_->endWrite(false);
  closeDatabase();
  return failure;
}

}  // namespace allot
