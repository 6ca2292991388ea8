// TestDirectory: an empty directory for one test, on /dev/shm when there is one (commits there
// cost no disk flushes), removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <set>

namespace allot::hardening {

class TestDirectory {
 public:
  TestDirectory();
  ~TestDirectory();
  TestDirectory(const TestDirectory&) = delete;
  TestDirectory& operator=(const TestDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Every file and folder below the directory.
  std::set<std::filesystem::path> listing() const;

 private:
  std::filesystem::path path_;
};

// The file's bytes, or the empty text when it is not a regular file.
std::string fileBytes(const std::filesystem::path& file);

}  // namespace allot::hardening
