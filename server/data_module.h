#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "server/server_forms.h"

namespace sonhall {

// The server's look-ups over the song library and the song queue, and two helpers for the
// windows. User-interface thread only, like the state it reads.
//
// A queue record is 186 characters: song number (6), client name (40, trimmed, upper case,
// blank-filled or cut), the song's path (140, blank-filled or cut).
class TaDm {
  public:
    explicit TaDm(ServerForms& forms);

    void DataModuleCreate();

    // 0 while a scan runs, else the library's line count.
    std::int32_t LibraryCount = 0;

    static std::string LibraryPathOf(std::string_view line);
    static std::string SongIdOf(std::string_view line);
    std::string SongTitleById(std::string_view id) const;
    // The record a file name from the wire names: the name as it stands, else trimmed, a name
    // of any case, but one exactly as the scan found it before a case twin. -1 for none.
    std::int32_t FindLibraryIndex(std::string_view name) const;
    // The record's own file: the exact name its scan found, or for a record the scan did not
    // make, its path looked up from outside.
    platform::files::Name GetSongFile(std::int32_t index) const;
    std::int32_t CountQueuedForClient(std::string_view name);
    // False also for a song whose path is longer than the record's column: it could not play.
    bool QueueSong(std::string_view fileName, std::string_view clientName);
    // The client name as a queue record holds it, trimmed: what CountQueuedForClient compares.
    static std::string QueueClientOf(std::string_view clientName);
    void ShowStatus(std::string_view text);
    static int ColumnWidthFor(std::string_view text, int width);

  private:
    // FindLibraryIndex among the first `end` records.
    std::int32_t FindSongByName(std::string_view name, size_t end) const;

    ServerForms& forms_;
};

}  // namespace sonhall
