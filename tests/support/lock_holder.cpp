#include "tests/support/lock_holder.h"

#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace allot::testing {

LockHolder::LockHolder(const std::filesystem::path& file, std::chrono::milliseconds duration) {
  int locked[2];
  int letGo[2];
  if (::pipe(locked) != 0) return;
  if (::pipe(letGo) != 0) {
    ::close(locked[0]);
    ::close(locked[1]);
    return;
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    ::close(locked[0]);
    ::close(letGo[1]);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) {
      std::_Exit(1);
    }
    const char byte = 1;
    if (::write(locked[1], &byte, 1) != 1) std::_Exit(1);
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

LockHolder::~LockHolder() { release(); }

void LockHolder::release() {
  if (releaseFd_ >= 0) ::close(releaseFd_);
  releaseFd_ = -1;
  if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace allot::testing
