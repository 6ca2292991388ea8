// TemporaryDirectory: an empty directory for one test, on /dev/shm when there is one (commits
// there cost no disk flushes), named after the process and the test, and removed with everything
// in it when the test ends.
#pragma once

#include <filesystem>
#include <set>

#include "tests/support/file_bytes.h"

namespace allot::testing {

class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Every file and folder below the directory.
  std::set<std::filesystem::path> listing() const;

 private:
  std::filesystem::path path_;
};

}  // namespace allot::testing
