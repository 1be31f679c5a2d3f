#pragma once

#include <string>
#include <string_view>

#include "client/client_forms.h"

namespace sonpad {

// The client's shared routines: the main window's status text and queue caption, the
// playlist combo, read access to the library's song records and the look-ups over them.
// User-interface thread only, like the state it reads.
class TDm {
  public:
    explicit TDm(ClientForms& forms);

    void SetStatusText(int panel, std::string_view text);
    void UpdateSongQueCaption();
    void RefreshPlaylistCombo();

    // Fields of the record at a valid library index.
    std::string GetSongNo(int index) const;
    std::string GetTitle(int index) const;
    std::string GetArtist(int index) const;
    std::string GetGenreName(int index) const;
    std::string GetAlbum(int index) const;
    std::string GetYear(int index) const;
    std::string GetComment(int index) const;
    std::string GetFilePath(int index) const;
    std::string GetFileName(int index) const;

    // The first library index whose record matches, or -1.
    int FindSongByFileName(std::string_view fileName) const;
    int FindSongByNo(std::string_view songNo) const;

    void AddSongToQue(std::string_view songNo);

    // Columns grow to 9 pixels a character and 5 more; they never shrink.
    static int FitColumnWidth(std::string_view text, int width);

  private:
    [[maybe_unused]] ClientForms& forms_;
};

}  // namespace sonpad
