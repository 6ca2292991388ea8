#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace allot {

Status InstanceLock::acquire(const std::filesystem::path& storeFile) {
  const std::filesystem::path lockFile = storeFile.string() + ".lock";
  const auto cannot = [&lockFile](const char* what) {
    return Status::failed("Allot cannot lock its budget: the lock file " + lockFile.string() +
                          " cannot be " + what + " (" + std::strerror(errno) + ").");
  };
  fd_ = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0 && (errno == EACCES || errno == EROFS) && !std::filesystem::exists(lockFile)) {
    return Status::readOnly("The folder " + lockFile.parent_path().string() +
                            " cannot be written, so your budget is shown read-only: nothing will "
                            "be saved.");
  }
  if (fd_ < 0) return cannot("opened");
  ::fchmod(fd_, 0600);
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) return Status::ok();
  if (errno == EWOULDBLOCK) {
    return Status::busy("Another Allot is already running with the budget in " +
                        storeFile.string() + "; close it first.");
  }
  return cannot("locked");
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace allot
