#include "client/copy_job.h"

#include <exception>
#include <map>
#include <stdexcept>

#include "common/text_helpers.h"

namespace sonpad {

CopyOutcome CopySongFiles(const std::vector<SongFile>& songs, std::string_view folder,
                          const std::function<void(size_t, const SongFile&)>& starting,
                          const std::function<void(size_t)>& finished) {
    CopyOutcome outcome;
    // Targets written so far, as the case-insensitive look-up finds them, with their source.
    std::map<std::string, std::string> written;
    for (size_t i = 0; i < songs.size(); ++i) {
        const SongFile& song = songs[i];
        if (starting)
            starting(i, song);
        const platform::files::Name source =
            song.source.text().empty() ? platform::files::Name(song.folder + song.fileName)
                                       : song.source;
        const std::string target = std::string(folder) + "/" + song.fileName;
        const std::string key = kv::UpperCase(target);
        try {
            const auto done = written.find(key);
            if (done == written.end()) {
                platform::files::copyFile(source, target);
                written.emplace(key, source.text());
                ++outcome.copied;
            } else if (done->second == source.text()) {
                ++outcome.copied;  // already there
            } else {
                outcome.notOverwritten.push_back(source.text());
                throw std::runtime_error("Cannot copy " + source.text() + " to " + target +
                                         ": this job already copied " + done->second + " there");
            }
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
    std::string text = std::to_string(outcome.failed) + " of " + std::to_string(total) +
                       (total == 1 ? " song" : " songs") +
                       " could not be copied. The first failure: " + outcome.firstFailure;
    if (!outcome.notOverwritten.empty()) {
        text += "\n\nNot copied over a file of the same name copied before:";
        for (const std::string& name : outcome.notOverwritten)
            text += "\n\"" + name + "\"";
    }
    return text;
}

}  // namespace sonpad
