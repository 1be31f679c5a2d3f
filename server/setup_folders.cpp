// The folder list, the song count and the checks on leaving a field.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include "common/conversion.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/spin_edit.h"
#include "server/progress_window.h"
#include "server/setup_window.h"

namespace sonhall {
namespace {

// Folders are held in upper case with one separator appended (a root gets a second one).
std::string folderEntry(const std::string& chosen) {
    return kv::UpperCase(chosen) + "/";
}

const char* const kBrowseRoot = "/";

}  // namespace

std::vector<std::string> TaSetup::Folders() const {
    return platform::fileNameLines(*ListBox1);
}

void TaSetup::AddFolderEntry(const std::string& folder) {
    ListBox1->addItem(platform::fileName(folder));
}

void TaSetup::UpdateButtons() {
    const bool any = ListBox1->count() > 0;
    buttonRemove->setEnabled(any);
    buttonScan->setEnabled(any);
    Label3->hide();
    Label4->hide();
}

void TaSetup::buttonAddClick() {
    const auto chosen = platform::dialogs().browseForFolder("Select a MP3 directory", kBrowseRoot);
    if (!chosen)
        return;
    AddFolderEntry(folderEntry(*chosen));
    UpdateButtons();
    FolderListChanged = true;
}

void TaSetup::buttonRemoveClick() {
    QListWidgetItem* selected = ListBox1->currentItem();
    if (!selected || !selected->isSelected()) {
        platform::dialogs().showMessage("Please select a directory to remove first.");
        return;
    }
    delete selected;
    UpdateButtons();
    FolderListChanged = true;
}

void TaSetup::buttonScanClick() {
    Label3->show();
    Label4->show();
    FileListBox1.SetMask("*.MP3");
    size_t total = 0;
    for (const std::string& folder : Folders()) {
        FileListBox1.SetDirectory(folder);
        total += FileListBox1.Items().size();
        Label3->setText(QString::number(total));
        repaint();
    }
    forms_.aProgRead->ProgressBar1->setMaximum(static_cast<int>(total));
}

void TaSetup::Button1Click() {
    ReadSongs();
}

void TaSetup::BitBtn1Click() {
    const auto chosen =
        platform::dialogs().browseForFolder("Select the playlist folder", kBrowseRoot);
    if (chosen)
        Edit1->setText(platform::fileName(folderEntry(*chosen)));
}

void TaSetup::edCrossfadeExit() {
    CrossfadePercent = kv::StrToInt(platform::fromLatin1(edCrossfade->text()));
    if (CrossfadePercent >= 90 && CrossfadePercent <= 100) {
        SaveConfig();
        return;
    }
    platform::dialogs().showMessage("Valid values are from 90 to 100 percent only.");
    edCrossfade->setFocus(Qt::OtherFocusReason);
}

void TaSetup::SpinEdit1Exit() {
    // A text that is not a number reads as the minimum, which passes.
    int typed = SpinEdit1->minimum();
    SpinEdit1->TypedValue(typed);
    if (typed >= 1 && typed <= 5)
        return;
    platform::dialogs().showMessage("Valid values are from 1 thru 5 only.");
    SpinEdit1->setFocus(Qt::OtherFocusReason);
}

void TaSetup::FormClose() {
    if (FolderListChanged)
        ReadSongs();
    FolderListChanged = false;
    CrossfadePercent = kv::StrToInt(platform::fromLatin1(edCrossfade->text()));
    SaveConfig();
}

}  // namespace sonhall
