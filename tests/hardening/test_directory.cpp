#include "tests/hardening/test_directory.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace allot::hardening {
namespace {

fs::path scratchRoot() {
  std::error_code error;
  const fs::path shm("/dev/shm");
  if (fs::is_directory(shm, error) && ::access(shm.c_str(), W_OK) == 0) return shm;
  return fs::temp_directory_path();
}

}  // namespace

TestDirectory::TestDirectory() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = test != nullptr ? test->name() : "fuzz";
  path_ = scratchRoot() / ("allot-hardening-" + std::to_string(::getpid()) + "-" + name);
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TestDirectory::~TestDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::set<fs::path> TestDirectory::listing() const {
  return {fs::recursive_directory_iterator(path_), fs::recursive_directory_iterator()};
}

std::string fileBytes(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return "";
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace allot::hardening
