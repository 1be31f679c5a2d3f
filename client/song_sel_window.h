#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "client/client_forms.h"

class QComboBox;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace sonpad {

// The song selection window: the tree of the library and its search, my Selection and the
// playlists, tag editing.
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

    // The folders the playlist save and open dialogs start in.
    std::string SaveDialogFolder;
    std::string OpenDialogFolder;

    std::string GenreName(std::uint8_t genre) const;

    void FormCreate();

  private:
    void CreateControls();

    [[maybe_unused]] ClientForms& forms_;
};

}  // namespace sonpad
