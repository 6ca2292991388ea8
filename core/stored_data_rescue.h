// Keeps stored data that the load could not take: copies the store file (and its write-ahead log,
// when there is one) to a sibling named with the current UTC time, before anything is saved over
// it. The copies are the user's alone (0600). It never moves or deletes the original, and says
// nothing itself: the caller tells the user.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace allot {

// The copy's path: "<file>.unloadable-YYYYMMDDTHHMMSSZ", with "-2", "-3"... added if taken.
// Nothing when the file does not exist or could not be copied; `error` then says why.
std::optional<std::filesystem::path> copyStoreAside(const std::filesystem::path& file,
                                                    std::string* error = nullptr);

}  // namespace allot
