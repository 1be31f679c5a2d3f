// The song selection window's controls.
#include "client/song_sel_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/genre_names.h"
#include "platform/qt/text_edge.h"

namespace sonpad {

TaSongSel::TaSongSel(ClientForms& forms) : QWidget(nullptr), forms_(forms) {
    setWindowTitle("Song Selection");
    CreateControls();
    FormCreate();
}

void TaSongSel::CreateControls() {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 4, 4, 4);
    auto* column = new QVBoxLayout;
    row->addLayout(column, 1);
    TreeView1 = new QTreeWidget(this);
    TreeView1->setHeaderHidden(true);
    column->addWidget(TreeView1, 1);

    Panel3 = new QWidget(this);
    auto* search = new QGridLayout(Panel3);
    btnArtists = new QPushButton("Artists", Panel3);
    btnAlbum = new QPushButton("Album", Panel3);
    btnGenre = new QPushButton("Genre", Panel3);
    RadioButton1 = new QRadioButton("Title", Panel3);
    RadioButton2 = new QRadioButton("Artist", Panel3);
    RadioButton3 = new QRadioButton("Album", Panel3);
    search->addWidget(btnArtists, 0, 0);
    search->addWidget(btnAlbum, 0, 1);
    search->addWidget(btnGenre, 0, 2);
    search->addWidget(RadioButton1, 1, 0);
    search->addWidget(RadioButton2, 1, 1);
    search->addWidget(RadioButton3, 1, 2);
    column->addWidget(Panel3);

    cbGenre = new QComboBox(this);
    column->addWidget(cbGenre);

    Panel2 = new QWidget(this);
    Panel2->setFixedWidth(352);
    row->addWidget(Panel2);
    CreateSelectionControls(Panel2);
}

void TaSongSel::FormCreate() {
    ListView1->clear();
    Label12->clear();
    Label12->hide();
    UpdateSelectionCaption();
    UpdateListButtons();
    cbGenre->clear();
    cbGenre->addItem(QString());
    for (int genre = 0; genre < kNamedGenres; ++genre)
        cbGenre->addItem(platform::latin1(sonpad::GenreName(static_cast<std::uint8_t>(genre))));
}

std::string TaSongSel::GenreName(std::uint8_t genre) const {
    return sonpad::GenreName(genre);
}

}  // namespace sonpad
