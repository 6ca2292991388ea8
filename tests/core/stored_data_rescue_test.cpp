#include "core/stored_data_rescue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "tests/support/temporary_directory.h"

namespace allot {
namespace {

using testing::fileBytes;

TEST(StoredDataRescue, CopiesTheFileAndItsLogAsideForTheUserAlone) {
  testing::TemporaryDirectory directory;
  const auto file = directory.path() / "defaults.sqlite3";
  std::ofstream(file, std::ios::binary) << "stored bytes";
  std::ofstream(file.string() + "-wal", std::ios::binary) << "log bytes";

  ::umask(0);
  const auto first = copyStoreAside(file);
  ::umask(022);
  ASSERT_TRUE(first.has_value());
  for (const auto& copy : {*first, std::filesystem::path(first->string() + "-wal")}) {
    EXPECT_EQ(std::filesystem::status(copy).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  EXPECT_EQ(first->parent_path(), directory.path());
  EXPECT_EQ(first->filename().string().rfind("defaults.sqlite3.unloadable-", 0), 0u);
  EXPECT_EQ(fileBytes(*first), "stored bytes");
  EXPECT_EQ(fileBytes(first->string() + "-wal"), "log bytes");
  EXPECT_EQ(fileBytes(file), "stored bytes") << "the original stays";

  // A second rescue in the same second does not overwrite the first copy.
  const auto second = copyStoreAside(file);
  ASSERT_TRUE(second.has_value());
  EXPECT_NE(*second, *first);

  std::string error;
  EXPECT_FALSE(copyStoreAside(directory.path() / "absent", &error).has_value());
  EXPECT_NE(error.find("absent"), std::string::npos);
}

}  // namespace
}  // namespace allot
