#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace allot {

InstanceLock::InstanceLock(const std::filesystem::path& storeFile) {
  const std::filesystem::path lockFile = storeFile.string() + ".lock";
  fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ >= 0) ::fchmod(fd_, 0600);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS) && !std::filesystem::exists(lockFile)) {
    outcome_ = Outcome::ReadOnlyFolder;
    error_ = "The folder " + lockFile.parent_path().string() +
             " cannot be written, so your budget is shown read-only: nothing will be saved.";
  } else if (fd_ < 0) {
    error_ = "Allot cannot lock its budget: the lock file " + lockFile.string() +
             " cannot be opened (" + std::strerror(errno) + ").";
  } else if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    outcome_ = Outcome::Acquired;
  } else if (errno == EWOULDBLOCK) {
    outcome_ = Outcome::HeldByAnother;
    error_ = "Another Allot is already running with the budget in " + storeFile.string() +
             "; close it first.";
  } else {
    error_ = "Allot cannot lock its budget: the lock file " + lockFile.string() +
             " cannot be locked (" + std::strerror(errno) + ").";
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace allot
