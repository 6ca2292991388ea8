#include "core/stored_data_rescue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/temporary_directory.h"

namespace allot {
namespace {

using testing::fileBytes;

TEST(StoredDataRescue, CopiesTheFileAndItsLogAsideAndSaysWhere) {
  testing::TemporaryDirectory directory;
  const auto file = directory.path() / "defaults.sqlite3";
  std::ofstream(file, std::ios::binary) << "stored bytes";
  std::ofstream(file.string() + "-wal", std::ios::binary) << "log bytes";

  std::ostringstream out;
  const auto first = rescueUnloadableStore(file, "\"x\" is missing", out);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->parent_path(), directory.path());
  EXPECT_EQ(first->filename().string().rfind("defaults.sqlite3.unloadable-", 0), 0u);
  EXPECT_EQ(fileBytes(*first), "stored bytes");
  EXPECT_EQ(fileBytes(first->string() + "-wal"), "log bytes");
  EXPECT_EQ(fileBytes(file), "stored bytes") << "the original stays";
  const std::string line = out.str();
  EXPECT_NE(line.find("(\"x\" is missing)"), std::string::npos) << line;
  EXPECT_NE(line.find(first->string()), std::string::npos) << line;
  EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line";

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
