// InstanceLock: keeps a second Allot from running on the same store, where each would save over
// the other's changes. It holds an advisory lock on a file beside the store for as long as it
// lives; the system releases it when the process ends, however it ends.
#pragma once

#include <filesystem>
#include <string>

namespace allot {

class InstanceLock {
 public:
  explicit InstanceLock(const std::filesystem::path& storeFile);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // False when another process holds the lock; error() then says so. When the lock file cannot
  // be made at all (a read-only folder), the lock is not needed: nothing can be saved there.
  bool acquired() const { return acquired_; }
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  bool acquired_ = false;
  std::string error_;
};

}  // namespace allot
