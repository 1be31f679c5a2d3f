// The folder list, the playlist folder and the client name.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/qt/text_edge.h"

namespace sonpad {
namespace {

// The folder browser starts at the root of the program's drive: here the one root.
const char* const kBrowseRoot = "/";

}  // namespace

std::vector<std::string> TaSetup::Folders() const {
    return platform::fileNameLines(*ListBox1);
}

void TaSetup::UpdateButtons() {
    const bool any = ListBox1->count() > 0;
    btnRemove->setEnabled(any);
    btnScan->setEnabled(any);
}

void TaSetup::btnAddClick() {
    const auto chosen = platform::dialogs().browseForFolder("Select an MP3 directory", kBrowseRoot);
    if (!chosen)
        return;
    ListBox1->addItem(platform::fileName(kv::UpperCase(*chosen) + "/"));
    SaveConfig();
    UpdateButtons();
}

void TaSetup::btnRemoveClick() {
    QListWidgetItem* selected = ListBox1->currentItem();
    if (!selected || !selected->isSelected()) {
        platform::dialogs().showMessage("Please select a directory to remove first.");
        return;
    }
    delete selected;
    UpdateButtons();
    SaveConfig();
}

void TaSetup::Edit1Exit() {
    if (Edit1->text().isEmpty()) {
        Edit1->setFocus(Qt::OtherFocusReason);
        return;
    }
    ClientName = platform::fromLatin1(Edit1->text());
    SaveConfig();
}

void TaSetup::BitBtn1Click() {
    const auto chosen =
        platform::dialogs().browseForFolder("Select directory for Playlists", kBrowseRoot);
    if (!chosen)
        return;
    Edit2->setText(platform::fileName(*chosen + "/"));
    TaSongSel& songSel = *forms_.aSongSel;
    songSel.SaveDialogFolder = platform::fromFileName(Edit2->text());
    songSel.OpenDialogFolder = songSel.SaveDialogFolder;
    SaveConfig();
}

void TaSetup::cbAutoloadsqExit() {
    SaveConfig();
}

}  // namespace sonpad
