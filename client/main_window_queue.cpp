// The song queue: which entry plays next, the play state and its lamps, the quick selection,
// and the handlers of the queue and library lists.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/playlist_file.h"
#include "client/queue_row.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/message_dialogs.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/event_guard.h"
#include "platform/files.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/text_sort.h"

namespace sonpad {
namespace {

using queue_row::kPlayedRole;
using queue_row::kTitleColumn;

std::string RowText(const QTreeWidgetItem* row, int column) {
    return platform::fromLatin1(row->text(column));
}

std::vector<QTreeWidgetItem*> SelectedInListOrder(QTreeWidget* view) {
    std::vector<QTreeWidgetItem*> rows;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        if (view->topLevelItem(i)->isSelected())
            rows.push_back(view->topLevelItem(i));
    return rows;
}

}  // namespace

bool TaMain::QueueRowPlayed(const QTreeWidgetItem* row) {
    return row->data(0, kPlayedRole).toBool();
}

void TaMain::MarkQueueRow(QTreeWidgetItem* row, bool played) {
    row->setData(0, kPlayedRole, played);
    const std::size_t image = played ? 1 : 0;
    if (image < ImageList1.size())
        row->setIcon(0, ImageList1[image]);
}

int TaMain::RandomPick(int n) {
    const auto clock = [this] {
        return static_cast<std::uint32_t>(env_.now().toUTC().time().msecsSinceStartOfDay());
    };
    return sonpad::RandomPick(Random, n, clock, env_.pause);
}

void TaMain::ClearPlayTags() {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        MarkQueueRow(ListView1->topLevelItem(i), false);
    PlayedCount = 0;
    RepeatCount = 0;
    forms_.Dm->UpdateSongQueCaption();
}

bool TaMain::PlayNextFromQueue() {
    TDm& dm = *forms_.Dm;
    const int count = ListView1->topLevelItemCount();
    if (count == 0) {
        dm.SetStatusText(1, "There are no songs selected.");
        Playing = false;
        SetPlayState("STOP");
        return false;
    }
    // A song another client's rescan answered for the server is still the next to go.
    if (!LocalMode && IdTCPClient1.connected()) {
        if (QTreeWidgetItem* owed = OwedQueueRow()) {
            SubmitQueueRow(owed);
            dm.UpdateSongQueCaption();
            return true;
        }
    }
    // A row whose song is on its way to the server is neither chosen nor a pass's end.
    std::vector<QTreeWidgetItem*> unplayed;
    bool allOnTheirWay = true;
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* row = ListView1->topLevelItem(i);
        if (QueueRowOnItsWay(row))
            continue;
        allOnTheirWay = false;
        if (!QueueRowPlayed(row))
            unplayed.push_back(row);
    }
    if (allOnTheirWay)
        return false;

    bool result = false;
    QTreeWidgetItem* chosen = nullptr;
    if (unplayed.empty()) {
        for (int i = 0; i < count; ++i)
            MarkQueueRow(ListView1->topLevelItem(i), false);
        PlayedCount = 0;
        ++RepeatCount;
        dm.UpdateSongQueCaption();
        result = true;
        if (cbPlayListOnce->isChecked()) {
            dm.SetStatusText(1, "All songs in Song Que have been played.");
            Playing = false;
            SetPlayState("STOP");
            return result;
        }
    } else {
        const int u = static_cast<int>(unplayed.size());
        const bool sequential = seSeqLimit->Value() >= u || cbSeqPlay->isChecked();
        chosen = unplayed[sequential ? 0 : static_cast<std::size_t>(RandomPick(u))];
    }
    const std::string chosenNo = chosen ? RowText(chosen, 0) : std::string();

    const auto removeChosen = [&] {
        if (chosen && cbRemoveSong->isChecked())
            RemoveFirstQueueEntry(platform::latin1(chosenNo));
    };

    if (LocalMode) {
        dm.SetStatusText(0, "LOCAL");
        if (chosen)
            MarkQueueRow(chosen, true);
        if (chosen && PlayLocalSong(chosenNo)) {
            result = true;
            SetPlayState("PLAY");
            ++PlayedCount;
        }
        removeChosen();
    } else if (chosen && IdTCPClient1.connected()) {
        // Taken, and removed when the queue loses played songs, once the server answered.
        SubmitQueueRow(chosen);
        result = true;
    } else if (chosen) {
        MarkQueueRow(chosen, true);
        result = true;
        ++PlayedCount;
        dm.SetStatusText(1, SubmittedText(chosen));
        removeChosen();
    }
    dm.UpdateSongQueCaption();
    return result;
}

// The first entry of the number, which need not be the row that was chosen.
void TaMain::RemoveFirstQueueEntry(const QString& songNo) {
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = ListView1->topLevelItem(i);
        if (platform::widgets::CompareListText(row->text(0), songNo) == 0) {
            delete row;
            return;
        }
    }
}

void TaMain::SetPlayState(std::string_view command) {
    for (QFrame* lamp : {Panel3, Panel4, Panel5})
        SetLamp(lamp, false);
    const bool wasPlaying = Playing;
    TDm& dm = *forms_.Dm;
    if (command == "STOP") {
        SetLamp(Panel3, true);
        if (LocalSongOpen) {
            ClearNowPlaying();
            if (MediaPlayer1)
                MediaPlayer1->close();
            LocalSongOpen = false;
        }
        Playing = false;
        dm.SetStatusText(2, "STOP");
        SpeedButton5->show();
        SpeedButton3->show();
        Animate1->setActive(false);
        Animate2->setActive(false);
    } else if (command == "PLAY") {
        SetLamp(Panel4, true);
        Playing = true;
        if (!Timer1->Enabled())
            Timer1->SetEnabled(true);
        dm.SetStatusText(2, "PLAY");
        SpeedButton5->hide();
        SpeedButton3->hide();
        if (SpeedButton2->isChecked())
            Animate1->setActive(true);
        else
            Animate2->setActive(true);
        if (!wasPlaying && IdTCPClient1.connected())
            SendCis();
    } else if (command == "NEXT") {
        SetLamp(Panel5, true);
        if (LocalSongOpen) {
            LocalSongOpen = false;
            if (MediaPlayer1)
                MediaPlayer1->close();
            ClearNowPlaying();
        }
        if (!LocalMode) {
            if (IdTCPClient1.connected())
                SendRequest("#COMNEXT");
            btnNext->setEnabled(false);
        }
    }
}

void TaMain::btnStopClick() {
    SetPlayState("STOP");
}

void TaMain::btnPlayClick() {
    if (QueueScreenShown)
        btnSongQueClick();
    forms_.Dm->SetStatusText(1, "");
    SetPlayState("PLAY");
}

void TaMain::btnNextClick() {
    SetPlayState("NEXT");
}

void TaMain::LoadGenreSelection() {
    btnGenreGo->setEnabled(false);
    QuickSelection.clear();
    const std::string genre =
        kv::UpperCase(kv::Trim(platform::fromLatin1(ComboBox1->currentText())));
    int count = 0;
    bool matching = false;
    for (const std::string& line : GenreIndex) {
        const bool match = kv::Trim(kv::LeftChars(line, 30)) == genre;
        if (!match && matching)
            break;
        if (!match)
            continue;
        matching = true;
        QuickSelection.push_back(kv::RightChars(line, 6) + " " +
                                 line.substr(std::min<std::size_t>(30, line.size()), 30));
        ++count;
    }
    Label4->setText(QString::number(count));
    btnGenreGo->setEnabled(count > 0);
}

void TaMain::LoadPlaylistSelection() {
    btnPlaylistGo->setEnabled(false);
    int found = 0;
    Label6->setText("0");
    TDm& dm = *forms_.Dm;
    const std::string path = kv::Trim(platform::fromFileName(forms_.aSetup->Edit2->text())) +
                             kv::Trim(platform::fromFileName(ComboBox2->currentText()));
    if (platform::files::fileExists(platform::files::Name(path))) {
        QuickSelection.clear();
        const std::vector<std::string> lines = playlist::ReadEntries(path);
        Label6->setText(QString::number(lines.size()));
        for (const std::string& line : lines) {
            const int index = dm.FindSongByListEntry(line);
            if (index < 0) {
                platform::dialogs().showMessage("Song \"" + kv::Trim(line) + "\" not loaded!");
                continue;
            }
            ++found;
            QuickSelection.push_back(dm.GetSongNo(index) + " " + dm.GetTitle(index));
        }
    } else {
        platform::dialogs().showMessage("I cannot locate Playlist \"" + path + "\"");
    }
    btnPlaylistGo->setEnabled(found > 0);
}

// Either go button adds what the combo changed last found.
void TaMain::AddQuickSelection(QPushButton* go) {
    for (const std::string& line : std::vector<std::string>(QuickSelection))
        forms_.Dm->AddSongToQue(kv::LeftChars(line, 6));
    QuickSelection.clear();
    go->setEnabled(false);
    forms_.Dm->UpdateSongQueCaption();
}

void TaMain::btnGenreGoClick() {
    AddQuickSelection(btnGenreGo);
}

void TaMain::btnPlaylistGoClick() {
    AddQuickSelection(btnPlaylistGo);
}

void TaMain::btnCopyToselectionClick() {
    const int n = ListView1->topLevelItemCount();
    if (n < 1 || !kv::ConfirmDlg("Copy " + std::to_string(n) + " songs. Are you sure?"))
        return;
    // The question lets ticks run; take the rows as they are now.
    std::vector<std::string> numbers;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        numbers.push_back(RowText(ListView1->topLevelItem(i), 0));
    for (const std::string& number : numbers)
        forms_.aSongSel->AddToSelection(number);
}

void TaMain::btnClearTagClick() {
    if (kv::ConfirmDlg("Clear tags? Are you sure?"))
        ClearPlayTags();
}

void TaMain::btnClearQueClick() {
    if (ListView1->topLevelItemCount() == 0 || !kv::ConfirmDlg("Clear Song Que?"))
        return;
    ListView1->clear();
    forms_.Dm->UpdateSongQueCaption();
}

void TaMain::ListView1DblClick() {
    const std::vector<QTreeWidgetItem*> selected = SelectedInListOrder(ListView1);
    if (selected.empty()) {
        platform::dialogs().showMessage("Please select Song to delete.");
        return;
    }
    QTreeWidgetItem* first = selected.front();
    const std::string number = RowText(first, 0);
    if (!kv::ConfirmDlg("Delete \"" + platform::boxPart(first->text(kTitleColumn)) + "\"?"))
        return;
    // The question lets ticks run, which may have removed the row meanwhile.
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        if (ListView1->topLevelItem(i) == first) {
            delete first;
            break;
        }
    forms_.Dm->UpdateSongQueCaption();
}

void TaMain::ListView1KeyDown(int key) {
    if (key != Qt::Key_Delete)
        return;
    qDeleteAll(ListView1->selectedItems());
    forms_.Dm->UpdateSongQueCaption();
}

void TaMain::ListView1ColumnClick(QTreeWidget* view, int column) {
    if (Timer3->Tag == 1) {
        // The search panel slides back; its own timer moves it.
        Timer3->SetEnabled(true);
        edKeylook->clear();
    }
    SortColumn = column;
    platform::widgets::SortRowsByColumnText(view, column);
}

void TaMain::ListView2DblClick() {
    const std::vector<QTreeWidgetItem*> selected = SelectedInListOrder(ListView2);
    if (selected.empty())
        return;
    QTreeWidgetItem* row = selected.front();
    forms_.Dm->AddSongToQue(RowText(row, 0));
    forms_.Dm->SetStatusText(1, "\"" + kv::Trim(RowText(row, kTitleColumn)) + "\" added to que.");
    if (ImageList1.size() > 1)
        row->setIcon(0, ImageList1[1]);
}

void TaMain::ListView2Click() {
    const bool several = SelectedInListOrder(ListView2).size() >= 2;
    SendSelectedSongstoMusicQue1->setEnabled(several);
    SendSelectedSongstomySelections1->setEnabled(several);
}

void TaMain::SendSelectedSongstoMusicQue1Click() {
    const std::vector<QTreeWidgetItem*> selected = SelectedInListOrder(ListView2);
    for (QTreeWidgetItem* row : selected)
        forms_.Dm->AddSongToQue(RowText(row, 0));
    if (!selected.empty())
        forms_.Dm->SetStatusText(
            1, std::to_string(selected.size()) + " songs submitted to \"Song Que\".");
}

void TaMain::SendSelectedSongstomySelections1Click() {
    const std::vector<QTreeWidgetItem*> selected = SelectedInListOrder(ListView2);
    for (QTreeWidgetItem* row : selected)
        forms_.aSongSel->AddToSelection(RowText(row, 0));
    if (!selected.empty())
        forms_.Dm->SetStatusText(
            1, std::to_string(selected.size()) + " songs copied to \"my Selection\".");
}

bool TaMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        platform::guarded([this, key] { ListView1KeyDown(key); });
        return key == Qt::Key_Delete;
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ListView1->viewport()) {
            platform::guarded([this] { ListView1DblClick(); });
            return true;
        }
        if (watched == ListView2->viewport()) {
            platform::guarded([this] { ListView2DblClick(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TaMain::ConnectQueueEvents() {
    On(btnStop, &QToolButton::clicked, &TaMain::btnStopClick);
    On(btnPlay, &QToolButton::clicked, &TaMain::btnPlayClick);
    On(btnNext, &QToolButton::clicked, &TaMain::btnNextClick);
    On(btnClearTag, &QPushButton::clicked, &TaMain::btnClearTagClick);
    On(btnClearQue, &QPushButton::clicked, &TaMain::btnClearQueClick);
    On(btnCopyToselection, &QPushButton::clicked, &TaMain::btnCopyToselectionClick);
    On(btnGenreGo, &QPushButton::clicked, &TaMain::btnGenreGoClick);
    On(btnPlaylistGo, &QPushButton::clicked, &TaMain::btnPlaylistGoClick);
    // Only the user's changes, a choice from the list or a typed key: the scan and the
    // playlist refresh fill the combos quietly.
    On(ComboBox1, &QComboBox::textActivated, &TaMain::LoadGenreSelection);
    On(ComboBox1->lineEdit(), &QLineEdit::textEdited, &TaMain::LoadGenreSelection);
    On(ComboBox2, &QComboBox::textActivated, &TaMain::LoadPlaylistSelection);
    On(ComboBox2->lineEdit(), &QLineEdit::textEdited, &TaMain::LoadPlaylistSelection);
    On(ListView2, &QTreeWidget::itemSelectionChanged, &TaMain::ListView2Click);
    On(SendSelectedSongstoMusicQue1, &QAction::triggered,
       &TaMain::SendSelectedSongstoMusicQue1Click);
    On(SendSelectedSongstomySelections1, &QAction::triggered,
       &TaMain::SendSelectedSongstomySelections1Click);
    for (QTreeWidget* view : {ListView1, ListView2}) {
        connect(view->header(), &QHeaderView::sectionClicked, this, [this, view](int column) {
            platform::guarded([this, view, column] { ListView1ColumnClick(view, column); });
        });
    }
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    ListView2->viewport()->installEventFilter(this);
    Timer1->OnTimer = [this] { platform::guarded([this] { Timer1Timer(); }); };
}

}  // namespace sonpad
