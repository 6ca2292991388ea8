#include "platform/defaults/private_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace fs = std::filesystem;

namespace allot {
namespace {

std::string quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

std::string systemError() {
  return std::strerror(errno);
}

Status refuseFolder(const fs::path& folder, const std::string& why) {
  return Status::notOurs("The folder " + quoted(folder) + " " + why +
                         "; Allot keeps your budget only in a folder that is yours alone.");
}

}  // namespace

Status preparePrivateFolder(const fs::path& folder) {
  if (folder.empty()) return Status::ok();
  struct stat status {};
  if (::stat(folder.c_str(), &status) != 0) {
    if (errno != ENOENT) {
      return Status::failed("Cannot use the folder " + quoted(folder) + " (" + systemError() +
                            ").");
    }
    if (folder.has_parent_path() && folder.parent_path() != folder) {
      // Folders above the data folder are only created, never checked: they may be shared.
      std::error_code ignored;
      if (!fs::exists(folder.parent_path(), ignored)) {
        if (Status above = preparePrivateFolder(folder.parent_path()); !above.isOk()) {
          return above;
        }
      }
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
      return Status::failed("Cannot create the folder " + quoted(folder) + " (" + systemError() +
                            ").");
    }
    if (::stat(folder.c_str(), &status) != 0) {
      return Status::failed("Cannot use the folder " + quoted(folder) + " (" + systemError() +
                            ").");
    }
    ::chmod(folder.c_str(), 0700);  // exactly 0700, whatever the umask took away
    status.st_mode = (status.st_mode & ~07777) | 0700;
  }
  if (!S_ISDIR(status.st_mode)) return refuseFolder(folder, "is not a folder");
  if (status.st_uid != ::geteuid()) return refuseFolder(folder, "belongs to another user");
  if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return refuseFolder(folder, "may be written by other users");
  }
  if ((status.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
    return Status::failed("Cannot make the folder " + quoted(folder) + " private (" +
                          systemError() + ").");
  }
  return Status::ok();
}

Status createPrivateFile(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    return Status::failed("Cannot create the file " + quoted(file) + " (" + systemError() + ").");
  }
  ::fchmod(fd, 0600);
  ::close(fd);
  return Status::ok();
}

Status makePrivate(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) return Status::ok();
  const auto refused = [&file] {
    return Status::failed("Cannot make the file " + quoted(file) + " private (" + systemError() +
                          ").");
  };
  if (fd < 0) return refused();
  struct stat status {};
  Status made = Status::ok();
  const bool statted = ::fstat(fd, &status) == 0;
  const bool openToOthers = (status.st_mode & 077) != 0;
  if (!statted) {
    made = refused();
  } else if (!S_ISREG(status.st_mode)) {
    made = Status::notOurs("The file " + quoted(file) + " is not a regular file.");
  } else if (openToOthers && status.st_uid != ::geteuid()) {
    made = Status::notOurs("The file " + quoted(file) + " belongs to another user.");
  } else if (openToOthers && ::fchmod(fd, 0600) != 0) {
    made = refused();
  }
  ::close(fd);
  return made;
}

}  // namespace allot
