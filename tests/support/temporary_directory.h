// A file's bytes, and TemporaryDirectory: an empty directory for one test (on /dev/shm when there
// is one, so commits cost no disk flushes), removed with everything in it at the end.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace allot::testing {

// The file's bytes, or the empty text when it is not a regular file.
inline std::string fileBytes(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return "";
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TemporaryDirectory {
 public:
  TemporaryDirectory() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path shm("/dev/shm");
    const bool onShm = fs::is_directory(shm, error) && ::access(shm.c_str(), W_OK) == 0;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    static int made = 0;  // tests that need two directories get two
    path_ = (onShm ? shm : fs::temp_directory_path()) /
            ("allot-test-" + std::to_string(::getpid()) + "-" +
             (test != nullptr ? test->name() : "outside-a-test") + "-" + std::to_string(++made));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Every file and folder below the directory.
  std::set<std::filesystem::path> listing() const {
    return {std::filesystem::recursive_directory_iterator(path_), {}};
  }

 private:
  std::filesystem::path path_;
};

}  // namespace allot::testing
