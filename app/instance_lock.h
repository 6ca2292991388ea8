// InstanceLock: keeps a second Allot from running on the same store, where each would save over
// the other's changes. Once acquired, it holds an advisory lock on a private file (0600, never
// through a link) beside the store for as long as it lives; the system releases it when the
// process ends, however it ends. The store's folder must exist already.
#pragma once

#include <filesystem>

#include "platform/defaults/status.h"

namespace allot {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock of the store in `storeFile`, once. Busy: another Allot holds it. Read-only:
  // the lock file does not exist and the folder cannot be written, so no Allot can save there
  // either; the budget may be shown, never saved. Failed when the lock file cannot be opened or
  // locked. Each says why in one sentence.
  Status acquire(const std::filesystem::path& storeFile);

 private:
  int fd_ = -1;
};

}  // namespace allot
