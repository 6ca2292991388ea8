// LockHolder: another program holding a store's write lock, as a backup or sync tool might: a
// child process that opens the file with SQLite, takes an exclusive lock (no one else may read
// either) and keeps it until released, or for a set time. The child is always reaped.
#pragma once

#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace allot::testing {

class LockHolder {
 public:
  // Returns once the lock is held. With a duration, the child lets go by itself after it.
  explicit LockHolder(const std::filesystem::path& file,
                      std::chrono::milliseconds duration = std::chrono::minutes(1)) {
    int locked[2], letGo[2];
    if (::pipe(locked) != 0) return;
    if (::pipe(letGo) != 0) {
      ::close(locked[0]);
      ::close(locked[1]);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      sqlite3* db = nullptr;
      const char byte = 1;
      if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
          sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK ||
          ::write(locked[1], &byte, 1) != 1) {
        std::_Exit(1);
      }
      ::close(letGo[1]);
      pollfd until{letGo[0], POLLIN, 0};
      ::poll(&until, 1, static_cast<int>(duration.count()));  // released, or the time is up
      sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
      sqlite3_close(db);
      std::_Exit(0);
    }
    ::close(locked[1]);
    ::close(letGo[0]);
    releaseFd_ = letGo[1];
    char byte = 0;
    if (pid_ < 0 || ::read(locked[0], &byte, 1) != 1) release();
    ::close(locked[0]);
  }
  ~LockHolder() { release(); }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;

  bool holding() const { return pid_ > 0; }
  // Lets go of the lock and waits for the child to end.
  void release() {
    if (releaseFd_ >= 0) ::close(releaseFd_);
    releaseFd_ = -1;
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  int releaseFd_ = -1;
};

}  // namespace allot::testing
