#include "tests/support/temporary_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace allot::testing {

TemporaryDirectory::TemporaryDirectory() {
  std::error_code error;
  const fs::path shm("/dev/shm");
  const bool onShm = fs::is_directory(shm, error) && ::access(shm.c_str(), W_OK) == 0;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = test != nullptr ? test->name() : "outside-a-test";
  static int made = 0;  // tests that need two directories get two
  path_ = (onShm ? shm : fs::temp_directory_path()) /
          ("allot-test-" + std::to_string(::getpid()) + "-" + name + "-" + std::to_string(++made));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::set<fs::path> TemporaryDirectory::listing() const {
  return {fs::recursive_directory_iterator(path_), fs::recursive_directory_iterator()};
}

}  // namespace allot::testing
