#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace allot {

InstanceLock::InstanceLock(const std::filesystem::path& storeFile) {
  const std::filesystem::path lockFile = storeFile.string() + ".lock";
  std::error_code ignored;
  std::filesystem::create_directories(storeFile.parent_path(), ignored);
  fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    acquired_ = true;
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    acquired_ = true;
  } else if (errno == EWOULDBLOCK) {
    error_ = "allot: another Allot is already running with the budget in " + storeFile.string() +
             "; close it first.";
  } else {
    acquired_ = true;  // no locking on this file system; nothing more can be done
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace allot
