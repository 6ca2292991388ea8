// InstanceLock: keeps a second Allot from running on the same store, where each would save over
// the other's changes. It holds an advisory lock on a private file (0600, never through a link)
// beside the store for as long as it lives; the system releases it when the process ends, however
// it ends. The store's folder must exist already.
#pragma once

#include <filesystem>
#include <string>

namespace allot {

class InstanceLock {
 public:
  // ReadOnlyFolder: the lock file does not exist and the folder cannot be written, so no Allot can
  // save there either; the budget may be shown, never saved.
  enum class Outcome { Acquired, HeldByAnother, ReadOnlyFolder, Failed };

  explicit InstanceLock(const std::filesystem::path& storeFile);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  Outcome outcome() const { return outcome_; }
  bool acquired() const { return outcome_ == Outcome::Acquired; }
  // Why the lock was not acquired, in one sentence.
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  Outcome outcome_ = Outcome::Failed;
  std::string error_;
};

}  // namespace allot
