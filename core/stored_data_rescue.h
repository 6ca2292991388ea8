// Keeps stored data that the load could not take: copies the store file (and its write-ahead log,
// when there is one) to a sibling named with the current UTC time, before anything is saved over
// it, and says so in one line. It never moves or deletes the original.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace allot {

// The copy's path: "<file>.unloadable-YYYYMMDDTHHMMSSZ", with "-2", "-3"... added if taken.
// Nothing when the file does not exist or could not be copied; `error` then says why.
std::optional<std::filesystem::path> copyStoreAside(const std::filesystem::path& file,
                                                    std::string* error = nullptr);

// Copies the file aside and writes one line about it (the reason, the copy's path, or why no copy
// could be made) to `out`. Returns the copy's path when there is one; without one, the caller
// must not save over the file.
std::optional<std::filesystem::path> rescueUnloadableStore(const std::filesystem::path& file,
                                                           const std::string& reason,
                                                           std::ostream& out);

}  // namespace allot
