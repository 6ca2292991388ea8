// What the store file meets on a real desktop: another program's lock (and a quit asked while
// waiting for it), a newer version's file, permissive umasks, links, and values far beyond any
// budget. Each through the real SqliteUserDefaults file and the load.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/persistence.h"
#include "platform/defaults/private_files.h"
#include "platform/defaults/sqlite_user_defaults.h"
#include "platform/defaults/stop_request.h"
#include "tests/support/samples.h"
#include "tests/support/lock_holder.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace fs = std::filesystem;

namespace allot {
namespace {

using testing::budgetWith;
using testing::fileBytes;
using testing::loadFrom;
using testing::LockHolder;
using testing::runSql;

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
    EXPECT_TRUE(loaded.report.status.isOk()) << loaded.report.reason();
    EXPECT_EQ(loaded.store.categoryNames(), std::vector<std::string>{"Food"});
  }

  LockHolder holder(file_);
  ASSERT_TRUE(holder.holding());
  SqliteUserDefaults defaults(file_);
  defaults.setBusyWait(100);
  const auto busy = loadFrom(defaults);
  EXPECT_EQ(busy.report.status.kind(), Status::Kind::Busy) << busy.report.reason();
  EXPECT_NE(busy.report.reason().find("in use by another program"), std::string::npos);
  EXPECT_EQ(busy.store.envelopeCount(), 0u);

  saveStore(budgetWith("Rent"), defaults);
  EXPECT_FALSE(defaults.synchronize());
  EXPECT_NE(defaults.lastError().find("locked"), std::string::npos) << defaults.lastError();
  EXPECT_TRUE(defaults.hasUncommittedChanges());

  // A quit asked during a long wait ends it at once, and the commit gives up too.
  defaults.setBusyWait(60'000);
  StopRequest::raise();
  EXPECT_FALSE(loadFrom(defaults).report.status.isOk());
  EXPECT_TRUE(StopRequest::wasHonoured());
  EXPECT_FALSE(defaults.synchronize());
  StopRequest::reset();
  holder.release();
  EXPECT_EQ(fileBytes(file_), bytes_);

  ASSERT_TRUE(defaults.synchronize()) << defaults.lastError();
  EXPECT_EQ(SqliteUserDefaults(file_).valueForKey("categoryNames"), Value(Value::List{"Rent"}));
}

// A file from a newer version is read with what this one knows and never written; one whose
// tables this version does not know is not read either.
TEST_F(StoreGuards, AStoreOfANewerVersionIsReadButNeverWritten) {
  runSql(file_, "PRAGMA user_version = 4;");
  const std::string bytes = fileBytes(file_);
  SqliteUserDefaults defaults(file_);
  const auto newer = loadFrom(defaults);
  EXPECT_TRUE(newer.report.status.isOk()) << newer.report.reason();
  EXPECT_EQ(newer.store.categoryNames(), std::vector<std::string>{"Food"});
  EXPECT_EQ(defaults.writability().kind(), Status::Kind::Newer);
  saveStore(budgetWith("Rent"), defaults);
  EXPECT_FALSE(defaults.synchronize());
  EXPECT_NE(defaults.lastError().find("newer version"), std::string::npos);
  EXPECT_FALSE(defaults.startAfresh());
  EXPECT_EQ(fileBytes(file_), bytes);

  runSql(file_, "DROP TABLE inner_lists;");
  SqliteUserDefaults unknown(file_);
  const auto unread = loadFrom(unknown);
  EXPECT_EQ(unread.report.status.kind(), Status::Kind::Newer);
  EXPECT_EQ(unread.store.envelopeCount(), 0u);
}

// Whatever the umask: the folders it creates are 0700, the store 0600, and a store that an
// earlier version left readable by others becomes 0600 when opened. A folder that others may
// write, or that belongs to another user, is refused.
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
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    const Status refused = preparePrivateFolder(shared);
    EXPECT_EQ(refused.kind(), Status::Kind::NotOurs);
    EXPECT_NE(refused.message().find("belongs to another user"), std::string::npos);
  }
}

// A link in the store's place is never followed: the file it points to is neither read nor
// written, and a dangling one creates nothing.
TEST_F(StoreGuards, ALinkInTheStoresPlaceIsNotFollowed) {
  const fs::path link = directory_.path() / "link.sqlite3";
  fs::create_symlink(file_, link);
  SqliteUserDefaults linked(link);
  const auto refused = loadFrom(linked);
  EXPECT_EQ(refused.report.status.kind(), Status::Kind::NotOurs);
  EXPECT_NE(refused.report.reason().find("symbolic link"), std::string::npos);
  saveStore(budgetWith("Rent"), linked);
  EXPECT_FALSE(linked.synchronize());
  EXPECT_EQ(fileBytes(file_), bytes_);

  const fs::path dangling = directory_.path() / "dangling.sqlite3";
  const fs::path nowhere = directory_.path() / "nowhere.sqlite3";
  fs::create_symlink(nowhere, dangling);
  SqliteUserDefaults defaults(dangling);
  saveStore(budgetWith("Rent"), defaults);
  EXPECT_FALSE(defaults.synchronize());
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
  EXPECT_EQ(huge.report.status.kind(), Status::Kind::Unreadable);
  EXPECT_NE(huge.report.reason().find("larger than 16 MiB"), std::string::npos);
  EXPECT_EQ(huge.store.envelopeCount(), 0u);
}

}  // namespace
}  // namespace allot
