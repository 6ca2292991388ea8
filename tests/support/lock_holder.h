// LockHolder: another program holding a store's write lock, as a backup or sync tool might: a
// child process that opens the file with SQLite, takes an exclusive lock (no one else may read
// either) and keeps it until released, or for a set time. The child is always reaped.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>

namespace allot::testing {

class LockHolder {
 public:
  // Returns once the lock is held. With a duration, the child lets go by itself after it.
  explicit LockHolder(const std::filesystem::path& file,
                      std::chrono::milliseconds duration = std::chrono::minutes(1));
  ~LockHolder();
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool holding() const { return pid_ > 0; }
  // Lets go of the lock and waits for the child to end.
  void release();

 private:
  pid_t pid_ = -1;
  int releaseFd_ = -1;
};

}  // namespace allot::testing
