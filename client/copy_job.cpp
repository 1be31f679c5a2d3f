#include "client/copy_job.h"

#include <exception>
#include <map>
#include <optional>
#include <stdexcept>

#include "common/song_record.h"
#include "common/text_helpers.h"

namespace sonpad {

CopyOutcome CopySongFiles(const std::vector<SongFile>& songs, std::string_view folder,
                          const std::function<void(size_t, const SongFile&)>& starting,
                          const std::function<void(size_t)>& finished) {
    namespace files = platform::files;
    CopyOutcome outcome;
    // Targets written so far, as the case-insensitive look-up finds them, with the file
    // copied there.
    struct Written {
        std::optional<files::FileIdentity> source;
        std::string name;
    };
    std::map<std::string, Written> written;
    for (size_t i = 0; i < songs.size(); ++i) {
        const SongFile& song = songs[i];
        if (starting)
            starting(i, song);
        // A row whose own file is not known names its file by its upper-case path.
        const files::Name source =
            song.source.text().empty() ? files::Name(song.folder + song.fileName) : song.source;
        const std::string target = std::string(folder) + "/" + song.fileName;
        const std::string key = kv::UpperCase(target);
        try {
            const std::optional<files::FileIdentity> from = files::identityOf(source);
            // The source under its own name in the folder, before any look-up of the target:
            // the look-up may find a file whose name differs only in case, another song.
            const files::Name own = files::Name::exact(std::string(folder) + "/" +
                                                       kv::ExtractFileName(files::resolve(source)));
            const auto done = written.find(key);
            if (from && from == files::identityOf(own)) {
                ++outcome.copied;  // already where it should be
            } else if (done == written.end()) {
                files::copyFile(source, target);
                written.emplace(key, Written{from, source.text()});
                ++outcome.copied;
            } else if ((from && from == done->second.source) ||
                       done->second.name == source.text()) {
                ++outcome.copied;  // already there, also when reached through another folder
            } else {
                outcome.notOverwritten.push_back(source.text());
                throw std::runtime_error("Cannot copy " + source.text() + " to " + target +
                                         ": this job already copied " + done->second.name +
                                         " there");
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
