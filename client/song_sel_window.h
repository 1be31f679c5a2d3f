#pragma once

#include <QIcon>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "client/client_environment.h"
#include "client/client_forms.h"
#include "platform/files.h"
#include "platform/qt/non_input_events.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform::widgets {
class AnimateControl;
}

namespace sonpad {

// What GetSongInfo gives for a song: the record's fields, trimmed.
struct SongInfo {
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;  // the genre's name
    std::string year;
    std::string comment;
    std::string filePath;            // folder and file name
    platform::files::Name songFile;  // the song's own file (TDm::GetSongFile)
};

// The song selection window: the tree of the library and its search, my Selection and the
// playlists, tag editing.
//
// The methods live in files by concern: song_sel_window.cpp (creation), song_tree.cpp (the
// tree, its branches and the song information), song_search.cpp (the search), tag_editing.cpp
// (editing the shown song's tag),
// my_selection.cpp (the my Selection list), my_selection_files.cpp (playlist files and the
// copy of songs).
class TaSongSel : public QWidget {
    Q_OBJECT
  public:
    TaSongSel(ClientForms& forms, const ClientEnvironment& env);

    // The tree.
    QWidget* Panel1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QWidget* Panel3 = nullptr;  // the branch buttons
    QPushButton* btnAlbum = nullptr;
    QPushButton* btnArtists = nullptr;
    QPushButton* btnGenre = nullptr;
    platform::widgets::AnimateControl* Animate1 = nullptr;  // shown while a branch is built
    QMenu* PopupMenu1 = nullptr;  // the group question, attached by a click on a group
    QMenu* Select1 = nullptr;
    QAction* Yes1 = nullptr;
    QAction* No1 = nullptr;

    // Song Information.
    QGroupBox* GroupBox1 = nullptr;
    int GroupBox1Tag = 0;        // the song number shown, 0 for none
    QLineEdit* Edit1 = nullptr;  // title
    QLineEdit* Edit2 = nullptr;  // artist
    QLineEdit* Edit3 = nullptr;  // album
    QLineEdit* Edit4 = nullptr;  // genre name
    QLineEdit* Edit5 = nullptr;  // year
    QLineEdit* Edit6 = nullptr;  // comment
    QLineEdit* Edit7 = nullptr;  // folder
    QLineEdit* Edit8 = nullptr;  // file name
    QPushButton* btnTagEdit = nullptr;
    QPushButton* btnTagSave = nullptr;
    QPushButton* btnTagCancel = nullptr;
    QPushButton* btnTagRemove = nullptr;
    QComboBox* cbGenre = nullptr;  // "" then the 126 named genres: position p is genre p - 1

    // The search.
    QWidget* Panel5 = nullptr;
    QWidget* Panel4 = nullptr;  // the progress bar's strip
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // Title
    QRadioButton* RadioButton2 = nullptr;  // Artist
    QRadioButton* RadioButton3 = nullptr;  // Album
    QLabel* Label10 = nullptr;
    QLineEdit* Edit9 = nullptr;
    QPushButton* btnGo = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QLabel* Label11 = nullptr;  // "Found!" or "Not Found!"

    // Nodes the tree owns; none until built, and none again once the tree is emptied.
    QTreeWidgetItem* RootNode = nullptr;
    QTreeWidgetItem* AllSongsNode = nullptr;
    QTreeWidgetItem* ArtistsNode = nullptr;
    QTreeWidgetItem* GenreNode = nullptr;
    QTreeWidgetItem* AlbumNode = nullptr;
    QTreeWidgetItem* ClickedNode = nullptr;
    QTreeWidgetItem* FoundNode = nullptr;

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
    // Puts the window's frame in the middle of the screen; before each show, when a move
    // places the frame.
    void CentreOnScreen();
    void FormActivate();  // builds the base tree when the tree is empty
    void FormResize();
    // Empties the tree for a new library: forgets every node and the group question.
    void ClearTree();

    // my Selection, for the other windows too.
    void AddToSelection(std::string_view songNo);  // nothing for an unknown number
    // The library index of the song a my Selection row shows: its number while that still
    // names the row's file (a later scan may have given it to another song), else the song of
    // the row's file; -1 when the library no longer holds it.
    int SelectionRowSong(const QTreeWidgetItem* row) const;
    void UpdateSelectionCaption();
    void UpdateListButtons();
    // False (info emptied) unless the number lies in "000001" to "999999" and names a song.
    // An empty title, artist or album reads "BLANK" padded to 30.
    bool GetSongInfo(std::string_view songNo, SongInfo& info) const;
    std::string PlaylistName() const;

    // The tree's handlers.
    void btnArtistsClick();
    void btnGenreClick();
    void btnAlbumClick();
    void TreeView1Click();
    void TreeView1DblClick();
    void TreeView1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void Yes1Click();
    void No1Click();
    void btnGoClick();
    void Edit9KeyDown(int key);

    // Tag editing of the song shown.
    void btnTagEditClick();
    void btnTagSaveClick();
    void btnTagCancelClick();
    void btnTagRemoveClick();
    void cbGenreExit();

    // my Selection's handlers.
    void btnCloseClick();
    void btnClearClick();
    void btnSaveClick();
    void btnLoadClick();
    void ListView1ColumnClick(int column);
    void ListView1DblClick();
    void ListView1KeyDown(int key);
    void Copysongstoanotherlocation1Click();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void CreateControls();
    void OnClick(QPushButton* button, void (TaSongSel::*handler)());  // guarded
    void CreateTreeControls(QWidget* parent);
    void CreateInfoControls(QWidget* parent);
    void CreateSearchControls(QWidget* parent);
    void CreateSelectionControls(QWidget* parent);
    bool TreeEventFilter(QObject* watched, QEvent* event);
    bool SelectionEventFilter(QObject* watched, QEvent* event);
    bool TagEventFilter(QObject* watched, QEvent* event);
    std::string TagFileSpec() const;                // the folder and file name the fields show
    platform::files::Name TagFile() const;          // the file of the song shown
    void ShowGenreChoice(const std::string& name);  // selects the item of that name
    void SetBusy(bool busy);
    void BuildAllSongsTree();
    // A branch of groups under the root: the groups in key order, each with its songs.
    QTreeWidgetItem* AddGroupBranch(
        const char* text, int image, int groupSelectedImage, const std::vector<std::string>& groups,
        const std::vector<std::pair<std::string, std::string>>& members);
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& text, int image,
                             int selectedImage);
    void AddChildrenToSelection(const QTreeWidgetItem* node);
    void AddSongsToSelection(const std::vector<std::string>& songNos);  // one repaint
    void RedrawPanel1();
    void ClearSelection();  // rows, both dialogs' names, the playlist name
    void SetPlaylistName(std::string_view name);

    ClientForms& forms_;
    const ClientEnvironment& env_;
    bool loadingPlaylist_ = false;  // rows come in a batch: one repaint at its end
    bool questionAttached_ = false;
    bool tagEditing_ = false;
    platform::files::Name shownSongFile_;  // the file of the song the fields show
    bool genreChecking_ = false;           // the genre message is up
    bool baseTreePending_ = false;         // from the window's show to the base tree's end
    platform::qt::NonInputEventPacer buildPacer_;
    std::optional<platform::qt::LongWork> building_;  // while a build runs
    std::vector<QIcon> nodeIcons_;                    // by image and selected image
};

}  // namespace sonpad
