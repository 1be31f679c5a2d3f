#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"

namespace sonpad {

// One song file to copy: its folder (with the trailing separator) and its name, and the file
// itself when known (its exact name; else folder and name are looked up).
struct SongFile {
    std::string folder;
    std::string fileName;
    platform::files::Name source;
};

struct CopyOutcome {
    int copied = 0;
    int failed = 0;
    std::string firstFailure;  // why the first failed copy failed
    // The files not copied because the job had already written their target from another one.
    std::vector<std::string> notOverwritten;
};

// Copies each file, in order, into folder (without a trailing separator) under its own name,
// replacing a file there, but never a target this job has already written: a second file for
// that target fails (the same file again, also through another folder, counts as copied). A
// file whose folder is the target folder (by its identity on the disk, a link included)
// counts as copied and stays as it is. A copy that fails is skipped and the job goes on. Each
// copy first removes what killed copies of its target left (nothing else of the folder) and
// keeps a replaced file's owner and mode. starting runs before each copy, finished after it
// (whatever its result), each with the file's position.
CopyOutcome CopySongFiles(const std::vector<SongFile>& songs, std::string_view folder,
                          const std::function<void(size_t, const SongFile&)>& starting,
                          const std::function<void(size_t)>& finished);

// The one message at the end of a job with failures; empty when every copy succeeded.
std::string CopyFailureText(const CopyOutcome& outcome);

}  // namespace sonpad
