#include "platform/defaults/store_file_status.h"

#include <sqlite3.h>

namespace fs = std::filesystem;

namespace allot {
namespace {

Status busy(const fs::path& file, const std::string& detail) {
  return Status::busy("The " + describeFile(file) + " is in use by another program (" + detail +
                      ").");
}

bool isBusy(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace

std::string describeFile(const fs::path& file) {
  return "settings file \"" + file.string() + "\"";
}

Status leftAlone(const fs::path& file, const std::string& reason) {
  return Status::notOurs("The " + describeFile(file) + " " + reason + "; it is left untouched.");
}

Status unreadable(const fs::path& file, const std::string& reason) {
  return Status::unreadable("The " + describeFile(file) + " " + reason + ".");
}

Status notReached(const fs::path& file, const std::string& what, const std::string& reason) {
  return Status::failed("The " + describeFile(file) + " " + what + " (" + reason +
                        "); it is left untouched.");
}

bool isContentFault(int code) {
  const int primary = code & 0xff;
  return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FORMAT ||
         primary == SQLITE_TOOBIG || primary == SQLITE_SCHEMA || primary == SQLITE_MISMATCH;
}

Status readFailure(sqlite3* db, const fs::path& file, std::string_view key) {
  const int code = sqlite3_extended_errcode(db);
  const std::string message = sqlite3_errmsg(db);
  if (isBusy(code)) return busy(file, message);
  if (code == SQLITE_INTERRUPT) {
    return Status::failed("Reading the " + describeFile(file) + " was stopped.");
  }
  if (code == SQLITE_TOOBIG && !key.empty()) {
    return unreadable(
        file, "holds a value larger than 16 MiB under the key \"" + std::string(key) + "\"");
  }
  if (!isContentFault(code)) return notReached(file, "cannot be read", message);
  return unreadable(file, "cannot be read (" + message + ")");
}

Status saveFailure(sqlite3* db, const fs::path& file, std::string_view /*key*/) {
  return Status::failed("Could not save to the " + describeFile(file) + ": " + sqlite3_errmsg(db) +
                        ".");
}

}  // namespace allot
