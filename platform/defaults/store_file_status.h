// The sentences in which the settings file's problems are reported, as Status values, and what
// SQLite's result codes mean for the file: another program's lock (busy), content found unusable
// (unreadable), a stop the user asked for, or a file that could not be reached at all (failed,
// and never taken for damage). It says what happened; it decides nothing about the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/defaults/status.h"

struct sqlite3;

namespace allot {

// `settings file "<path>"`, as every sentence names the file.
std::string describeFile(const std::filesystem::path& file);

// Data that must be left alone: nothing will be copied, replaced or saved over it (not ours).
Status leftAlone(const std::filesystem::path& file, const std::string& reason);

// Our own data that cannot be taken; the application decides what becomes of it (unreadable).
Status unreadable(const std::filesystem::path& file, const std::string& reason);

// A store that could not be opened or read for a reason outside its content (failed): never
// taken for damaged data, so that nothing copies it aside or replaces it.
Status notReached(const std::filesystem::path& file, const std::string& what,
                  const std::string& reason);

// Whether SQLite's code says that it read the file's content and found it unusable, rather than
// that it could not read it at all (permission, a link, an I/O error, no memory).
bool isContentFault(int code);

// SQLite's latest failure on `db`, said at once where the call failed: as a read of `file` that
// failed (of the value under `key`, when there is one), or as a save that failed. Each has the
// shape of SqliteFailure, so that code shared by reads and saves is told which words to use.
Status readFailure(sqlite3* db, const std::filesystem::path& file, std::string_view key = {});
Status saveFailure(sqlite3* db, const std::filesystem::path& file, std::string_view key = {});
using SqliteFailure = Status (*)(sqlite3* db, const std::filesystem::path& file,
                                 std::string_view key);

}  // namespace allot
