#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "client/client_forms.h"
#include "client/song_index.h"
#include "platform/files.h"

namespace sonpad {

// The routines the client's windows share: status texts, the queue caption, the playlist
// combo, the fields of the library records, the two look-ups, adding a song to the queue and
// the column rule. User-interface thread only, like the state it reads.
class TDm {
  public:
    explicit TDm(ClientForms& forms);

    void SetStatusText(int panel, std::string_view text);
    void UpdateSongQueCaption();
    void RefreshPlaylistCombo();

    // Fields of the record at a library index, trimmed. An index outside the library raises
    // an error.
    std::string GetSongNo(int index) const;
    std::string GetTitle(int index) const;
    std::string GetArtist(int index) const;
    // "BLANK" for an empty genre column, "<error>" for one that is not a number.
    std::string GetGenreName(int index) const;
    std::string GetAlbum(int index) const;
    std::string GetYear(int index) const;
    std::string GetComment(int index) const;
    std::string GetFilePath(int index) const;  // with its trailing separator
    std::string GetFileName(int index) const;
    // The record's own file, for reading and writing the file itself: the exact name its scan
    // found, or for a record the scan did not make, its path looked up from outside.
    platform::files::Name GetSongFile(int index) const;

    // The first record in library order whose file name equals the name in upper case (not
    // trimmed), or -1.
    int FindSongByFileName(std::string_view fileName) const;
    // The song a playlist line names: the line as it stands, since a file name may start with
    // blanks, else the line trimmed; -1 for none.
    int FindSongByListEntry(std::string_view entry) const;
    // The first record whose columns 1-6 equal the 6-character number, or -1.
    int FindSongByNo(std::string_view songNo) const;
    // The record whose own file the scan found under this exact name, or -1.
    int FindSongByFile(std::string_view file) const;
    // The first record of that folder and file name (upper case, as the records hold them),
    // or -1.
    int FindSongByPath(std::string_view path) const;

    // Appends a row for the song to the song queue (nothing for an unknown number), then
    // refreshes the queue caption.
    void AddSongToQue(std::string_view songNo);

    static int FitColumnWidth(std::string_view text, int width);

    // Kept by the scan as it fills the library.
    SongIndex& LibraryIndex() { return index_; }

  private:
    const std::string& Record(int index) const;

    ClientForms& forms_;
    mutable SongIndex index_;  // look-ups keep it in step with the library
};

}  // namespace sonpad
