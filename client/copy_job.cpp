#include "client/copy_job.h"

#include <exception>

#include "platform/files.h"

namespace sonpad {

CopyOutcome CopySongFiles(const std::vector<SongFile>& songs, std::string_view folder,
                          const std::function<void(size_t, const SongFile&)>& starting,
                          const std::function<void(size_t)>& finished) {
    CopyOutcome outcome;
    for (size_t i = 0; i < songs.size(); ++i) {
        const SongFile& song = songs[i];
        if (starting)
            starting(i, song);
        try {
            platform::files::copyFile(
                song.source.empty() ? song.folder + song.fileName : song.source,
                std::string(folder) + "/" + song.fileName);
            ++outcome.copied;
        } catch (const std::exception& e) {
            if (outcome.failed++ == 0)
                outcome.firstFailure = e.what();
        }
        if (finished)
            finished(i);
    }
    return outcome;
}

std::string CopyFailureText(const CopyOutcome& outcome) {
    if (outcome.failed == 0)
        return {};
    const int total = outcome.copied + outcome.failed;
    return std::to_string(outcome.failed) + " of " + std::to_string(total) +
           (total == 1 ? " song" : " songs") +
           " could not be copied. The first failure: " + outcome.firstFailure;
}

}  // namespace sonpad
