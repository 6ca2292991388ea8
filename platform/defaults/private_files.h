// Private files: the budget is the user's alone, so the folder that holds it is 0700 and every file
// written there 0600, whatever the process's umask, and neither is reached through a symbolic
// link planted by someone else. These helpers create and check such folders and files; they do
// not decide what goes in them.
#pragma once

#include <filesystem>

#include "platform/defaults/status.h"

namespace allot {

// Makes `folder` (and any missing folder above it) exist, each one it creates 0700. An existing
// folder must belong to the user and must not be writable by group or others (a 0755 folder of
// the user's is tightened to 0700). Not ok, with a sentence naming the folder, otherwise.
Status preparePrivateFolder(const std::filesystem::path& folder);

// Creates `file`, which must not exist yet, as an empty 0600 file without following a link.
Status createPrivateFile(const std::filesystem::path& file);

// Sets an existing file of the user's to 0600 when group or others may read it; links are left
// alone. Ok when the file is private afterwards, or does not exist; not ok, with a sentence naming
// the file, when it is a link, not a regular file, another user's, or cannot be changed.
Status makePrivate(const std::filesystem::path& file);

}  // namespace allot
