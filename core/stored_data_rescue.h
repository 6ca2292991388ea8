// Keeps stored data that the load could not take: copies the store file (and its write-ahead log,
// when there is one) to a sibling named with the current UTC time, before anything is saved over
// it. The copies are the user's alone (0600). It never moves or deletes the original, and says
// nothing itself: the caller tells the user.
#pragma once

#include <filesystem>

#include "platform/defaults/status.h"

namespace allot {

// Copies the file aside into *copy: "<file>.unloadable-YYYYMMDDTHHMMSSZ", with "-2", "-3"...
// added if taken. Failed, saying why in a phrase that fits inside a sentence, when the file does
// not exist or could not be copied; *copy is then untouched.
Status copyStoreAside(const std::filesystem::path& file, std::filesystem::path* copy);

}  // namespace allot
