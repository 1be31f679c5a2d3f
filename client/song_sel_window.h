#pragma once

#include <QWidget>
#include <cstdint>
#include <string>
#include <string_view>

#include "client/client_forms.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace sonpad {

// What GetSongInfo gives for a song: the record's fields, trimmed.
struct SongInfo {
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;  // the genre's name
    std::string year;
    std::string comment;
    std::string filePath;  // folder and file name
};

// The song selection window: the tree of the library and its search, my Selection and the
// playlists, tag editing.
//
// The methods live in files by concern: song_sel_window.cpp (creation), my_selection.cpp (the
// my Selection list), my_selection_files.cpp (playlist files and the copy of songs).
class TaSongSel : public QWidget {
    Q_OBJECT
  public:
    explicit TaSongSel(ClientForms& forms);

    // Controls.
    QTreeWidget* TreeView1 = nullptr;
    QWidget* Panel3 = nullptr;  // search and branch controls
    QPushButton* btnAlbum = nullptr;
    QPushButton* btnArtists = nullptr;
    QPushButton* btnGenre = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // Title
    QRadioButton* RadioButton2 = nullptr;  // Artist
    QRadioButton* RadioButton3 = nullptr;  // Album
    QComboBox* cbGenre = nullptr;  // "" then the 126 named genres: position p is genre p - 1

    // my Selection.
    QWidget* Panel2 = nullptr;  // the right-hand column
    QGroupBox* GroupBox2 = nullptr;
    QTreeWidget* ListView1 = nullptr;  // Song #, Title, Artist, Path, Filename
    QLabel* Label12 = nullptr;         // hidden: the playlist's name, upper case
    QWidget* Panel6 = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnLoad = nullptr;
    QPushButton* btnClose = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* Copysongstoanotherlocation1 = nullptr;

    // The playlist dialogs: the folders they start in and the names they remember.
    std::string SaveDialogFolder;
    std::string OpenDialogFolder;
    std::string SaveDialogFileName;
    std::string OpenDialogFileName;

    std::string GenreName(std::uint8_t genre) const;

    void FormCreate();

    // my Selection, for the other windows too.
    void AddToSelection(std::string_view songNo);  // nothing for an unknown number
    void UpdateSelectionCaption();
    void UpdateListButtons();
    // False (info emptied) unless the number lies in "000001" to "999999" and names a song.
    // An empty title, artist or album reads "BLANK" padded to 30.
    bool GetSongInfo(std::string_view songNo, SongInfo& info) const;
    std::string PlaylistName() const;

    // Handlers.
    void btnCloseClick();
    void btnClearClick();
    void btnSaveClick();
    void btnLoadClick();
    void ListView1ColumnClick(int column);
    void ListView1DblClick();
    void ListView1KeyDown(int key);
    void Copysongstoanotherlocation1Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void CreateSelectionControls(QWidget* parent);
    void ClearSelection();  // rows, both dialogs' names, the playlist name
    void SetPlaylistName(std::string_view name);

    ClientForms& forms_;
    bool loadingPlaylist_ = false;
};

}  // namespace sonpad
