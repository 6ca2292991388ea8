// Files and folders for the user alone, whatever the umask; folders that others may write, links
// and other users' files are refused.
#include "platform/defaults/private_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/defaults/sqlite_user_defaults.h"
#include "tests/support/samples.h"
#include "tests/support/store_files.h"
#include "tests/support/temporary_directory.h"

namespace allot {
namespace {

namespace fs = std::filesystem;

unsigned modeOf(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

// Whatever the umask: folders 0700, the store 0600 (also one an earlier version left readable);
// folders others may write or own, links, folders and others' files are refused.
TEST(PrivateFiles, FoldersAndFilesAreTheUsersAlone) {
  testing::TemporaryDirectory directory;
  const mode_t umask = ::umask(0);
  const fs::path nested = directory.path() / "data" / "allot" / "defaults.sqlite3";
  testing::saveAndCommit(testing::budgetWith("Food"), nested);
  ::umask(umask);
  EXPECT_EQ(modeOf(directory.path() / "data"), 0700u);
  EXPECT_EQ(modeOf(nested.parent_path()), 0700u);
  EXPECT_EQ(modeOf(nested), 0600u);

  fs::permissions(nested, fs::perms(0644));
  EXPECT_EQ(SqliteUserDefaults(nested).valueForKey("totalAmount"), Value(7.0));
  EXPECT_EQ(modeOf(nested), 0600u);

  const fs::path shared = directory.path() / "shared";
  fs::create_directory(shared);
  fs::permissions(shared, fs::perms(0777));
  EXPECT_EQ(preparePrivateFolder(shared).kind(), Status::Kind::NotOurs);
  fs::permissions(shared, fs::perms(0755));
  EXPECT_TRUE(preparePrivateFolder(shared).isOk());
  EXPECT_EQ(modeOf(shared), 0700u) << "tightened";
  fs::permissions(nested, fs::perms(0640));
  EXPECT_TRUE(makePrivate(nested).isOk());
  EXPECT_TRUE(makePrivate(shared / "absent").isOk());
  EXPECT_EQ(makePrivate(shared).kind(), Status::Kind::NotOurs);
  fs::create_symlink(nested, shared / "link");
  EXPECT_EQ(makePrivate(shared / "link").kind(), Status::Kind::Failed);
  if (::geteuid() == 0) {
    fs::permissions(nested, fs::perms(0640));
    ASSERT_EQ(::chown(nested.c_str(), 65534, 65534), 0);
    EXPECT_EQ(makePrivate(nested).kind(), Status::Kind::NotOurs);
    ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    const Status refused = preparePrivateFolder(shared);
    EXPECT_EQ(refused.kind(), Status::Kind::NotOurs);
    EXPECT_NE(refused.message().find("belongs to another user"), std::string::npos);
  }
}

}  // namespace
}  // namespace allot
