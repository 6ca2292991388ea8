#include "core/stored_data_rescue.h"

#include <ctime>
#include <system_error>

namespace allot {
namespace {

std::string utcStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
  return text;
}

bool taken(const std::filesystem::path& path) {
  std::error_code unknown;  // a path that cannot even be examined is left to copy_file to refuse
  return std::filesystem::symlink_status(path, unknown).type() !=
             std::filesystem::file_type::not_found &&
         !unknown;
}

// A sibling path that does not exist yet, for the file and (with "-wal" added) its log.
std::filesystem::path freeCopyPath(const std::filesystem::path& file) {
  const std::string base = file.string() + ".unloadable-" + utcStamp();
  std::filesystem::path candidate = base;
  for (int n = 2; taken(candidate) || taken(candidate.string() + "-wal"); ++n) {
    candidate = base + "-" + std::to_string(n);
  }
  return candidate;
}

// Copies `from` to the new file `to`, readable and writable by the user alone.
bool copyPrivately(const std::filesystem::path& from, const std::filesystem::path& to,
                   std::error_code& failure) {
  if (!std::filesystem::copy_file(from, to, failure)) return false;
  std::filesystem::permissions(
      to, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, failure);
  return !failure;
}

}  // namespace

Status copyStoreAside(const std::filesystem::path& file, std::filesystem::path* copy) {
  std::error_code failure;
  if (!std::filesystem::is_regular_file(file, failure)) {
    return Status::failed(file.string() + " is not a file that can be copied");
  }
  const std::filesystem::path made = freeCopyPath(file);
  if (!copyPrivately(file, made, failure)) {
    return Status::failed("cannot copy " + file.string() + ": " + failure.message());
  }
  // Committed changes may still sit in SQLite's write-ahead log; the copy needs it too.
  const std::filesystem::path log = file.string() + "-wal";
  if (std::filesystem::exists(log, failure) &&
      !copyPrivately(log, made.string() + "-wal", failure)) {
    return Status::failed("cannot copy " + log.string() + ": " + failure.message());
  }
  *copy = made;
  return Status::ok();
}

}  // namespace allot
