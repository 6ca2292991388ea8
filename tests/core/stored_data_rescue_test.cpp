// Copying a store that cannot be loaded aside, for the user alone.
#include "core/stored_data_rescue.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "tests/support/temporary_directory.h"

namespace allot {

TEST(StoredDataRescue, CopiesTheFileAndItsLogAsideForTheUserAlone) {
  testing::TemporaryDirectory directory;
  const auto file = directory.path() / "defaults.sqlite3";
  std::ofstream(file, std::ios::binary) << "stored bytes";
  std::ofstream(file.string() + "-wal", std::ios::binary) << "log bytes";

  ::umask(0);
  std::filesystem::path first;
  const Status copied = copyStoreAside(file, &first);
  ::umask(022);
  ASSERT_TRUE(copied.isOk()) << copied.message();
  for (const auto& copy : {first, std::filesystem::path(first.string() + "-wal")}) {
    EXPECT_EQ(std::filesystem::status(copy).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  EXPECT_EQ(first.parent_path(), directory.path());
  EXPECT_EQ(first.filename().string().rfind("defaults.sqlite3.unloadable-", 0), 0u);
  EXPECT_EQ(testing::fileBytes(first), "stored bytes");
  EXPECT_EQ(testing::fileBytes(first.string() + "-wal"), "log bytes");
  EXPECT_EQ(testing::fileBytes(file), "stored bytes") << "the original stays";

  // A second rescue in the same second does not overwrite the first copy, nor a third its log
  // where that alone is left.
  std::filesystem::path second;
  ASSERT_TRUE(copyStoreAside(file, &second).isOk());
  EXPECT_NE(second, first);
  std::filesystem::remove(first);
  std::filesystem::path third;
  ASSERT_TRUE(copyStoreAside(file, &third).isOk());
  EXPECT_NE(third, first);

  std::filesystem::path none;
  const Status absent = copyStoreAside(directory.path() / "absent", &none);
  EXPECT_EQ(absent.kind(), Status::Kind::Failed);
  EXPECT_NE(absent.message().find("absent"), std::string::npos);
  EXPECT_TRUE(none.empty());
  // A copy that cannot be made, here for a name too long for one, is reported.
  const auto longName = directory.path() / std::string(240, 'd');
  std::ofstream(longName) << "stored bytes";
  EXPECT_FALSE(copyStoreAside(longName, &none).isOk());
}

}  // namespace allot
