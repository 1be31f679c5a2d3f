// my Selection: the list of songs the user gathers, its caption and buttons, sorting,
// deleting, and handing it to the song queue.
#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/song_sel_window.h"
#include "common/at_exit.h"
#include "common/message_dialogs.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/event_guard.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/report_view.h"
#include "platform/widgets/text_sort.h"

namespace sonpad {
namespace {

enum Column { kSongNo, kTitle, kArtist, kPath, kFileName };

// The row's own file, the exact name its scan found, as bytes; none for a song whose file the
// scan did not give.
constexpr int kSongFileRole = Qt::UserRole;

std::string Cell(const QTreeWidgetItem* row, int column) {
    return column < kPath ? platform::fromLatin1(row->text(column))
                          : platform::fromFileName(row->text(column));
}

std::string RowFile(const QTreeWidgetItem* row) {
    return row->data(kSongNo, kSongFileRole).toByteArray().toStdString();
}

// A font that stays normal under a bold parent.
void KeepNormalFont(QWidget* w) {
    QFont f = w->font();
    f.setBold(false);
    w->setFont(f);
}

}  // namespace

void TaSongSel::CreateSelectionControls(QWidget* parent) {
    auto* column = new QVBoxLayout(parent);
    column->setContentsMargins(0, 0, 0, 0);  // the song information and the search come above
    GroupBox2 = new QGroupBox("  my Selection ", parent);
    auto* group = new QVBoxLayout(GroupBox2);
    group->setContentsMargins(4, 4, 4, 4);
    ListView1 = platform::widgets::NewReportView(
        GroupBox2, {"Song #", "Title", "Artist", "Path", "Filename"}, {60, 100, 100, 100, 100});
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    KeepNormalFont(ListView1);
    group->addWidget(ListView1, 1);

    Panel6 = new QWidget(GroupBox2);
    auto* buttons = new QHBoxLayout(Panel6);
    buttons->setContentsMargins(0, 0, 0, 0);
    btnClear = new QPushButton("Clear", Panel6);
    btnSave = new QPushButton("Save List", Panel6);
    btnLoad = new QPushButton("Load List", Panel6);
    btnClose = new QPushButton("&Exit", Panel6);
    for (QPushButton* b : {btnClear, btnSave, btnLoad, btnClose})
        buttons->addWidget(b);
    btnClear->setEnabled(false);
    btnSave->setEnabled(false);
    KeepNormalFont(Panel6);
    group->addWidget(Panel6);
    column->addWidget(GroupBox2, 3);

    Label12 = new QLabel(parent);
    Label12->hide();

    PopupMenu2 = new QMenu(this);
    Copysongstoanotherlocation1 = PopupMenu2->addAction("&Copy songs to another location");

    OnClick(btnClear, &TaSongSel::btnClearClick);
    OnClick(btnSave, &TaSongSel::btnSaveClick);
    OnClick(btnLoad, &TaSongSel::btnLoadClick);
    OnClick(btnClose, &TaSongSel::btnCloseClick);
    connect(Copysongstoanotherlocation1, &QAction::triggered, this,
            [this] { platform::guardedCommand([this] { Copysongstoanotherlocation1Click(); }); });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu2->popup(ListView1->viewport()->mapToGlobal(at));
    });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int c) { platform::guarded([this, c] { ListView1ColumnClick(c); }); });
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
}

bool TaSongSel::SelectionEventFilter(QObject* watched, QEvent* event) {
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        platform::guarded([this, key] { ListView1KeyDown(key); });
        return key == Qt::Key_Delete;
    }
    if (watched == ListView1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        platform::guarded([this] { ListView1DblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TaSongSel::AddSongsToSelection(const std::vector<std::string>& songNos) {
    const kv::AtExit refresh([this] {
        loadingPlaylist_ = false;
        UpdateSelectionCaption();
        UpdateListButtons();
    });
    loadingPlaylist_ = true;
    for (const std::string& songNo : songNos)
        AddToSelection(songNo);
}

void TaSongSel::AddToSelection(std::string_view songNo) {
    TDm& dm = *forms_.Dm;
    const int index = dm.FindSongByNo(songNo);
    if (index < 0)
        return;
    // The file name whole: the blanks it starts with are its own.
    const std::string cells[] = {std::string(songNo), dm.GetTitle(index), dm.GetArtist(index),
                                 kv::Trim(dm.GetFilePath(index)), dm.GetFileName(index)};
    QStringList texts;
    for (int c = kSongNo; c <= kFileName; ++c) {
        const std::string& cell = cells[c];
        texts.append(c < kPath ? platform::latin1(cell) : platform::fileName(cell));
        const int width = TDm::FitColumnWidth(cell, ListView1->columnWidth(c));
        if (width != ListView1->columnWidth(c))
            ListView1->setColumnWidth(c, width);
    }
    auto* row = new platform::widgets::TextSortItem(texts);
    if (const platform::files::Name file = dm.GetSongFile(index); file.isExact())
        row->setData(kSongNo, kSongFileRole, QByteArray::fromStdString(file.text()));
    ListView1->addTopLevelItem(row);
    UpdateSelectionCaption();
    UpdateListButtons();
}

int TaSongSel::SelectionRowSong(const QTreeWidgetItem* row) const {
    const TDm& dm = *forms_.Dm;
    const std::string file = RowFile(row);
    const std::string path = Cell(row, kPath) + Cell(row, kFileName);
    const int index = dm.FindSongByNo(Cell(row, kSongNo));
    if (index >= 0) {
        const platform::files::Name own = dm.GetSongFile(index);
        if (file.empty() ? dm.GetFilePath(index) + dm.GetFileName(index) == path
                         : own.isExact() && own.text() == file)
            return index;
    }
    return file.empty() ? dm.FindSongByPath(path) : dm.FindSongByFile(file);
}

std::string TaSongSel::PlaylistName() const {
    return platform::fromFileName(Label12->text());
}

void TaSongSel::SetPlaylistName(std::string_view name) {
    Label12->setText(platform::fileName(name));
}

void TaSongSel::UpdateSelectionCaption() {
    const std::string name = PlaylistName();
    const int n = ListView1->topLevelItemCount();
    std::string caption = name.empty() ? "  my Selection " : "  " + name + " ";
    caption += n == 0 ? "  " : "(" + std::to_string(n) + ")  ";
    GroupBox2->setTitle(platform::fileName(caption));
    if (GroupBox2->font().bold() != !name.empty()) {
        QFont f = GroupBox2->font();
        f.setBold(!name.empty());
        GroupBox2->setFont(f);
    }
    // A load repaints once at its end, not once for each of its rows.
    if (!loadingPlaylist_)
        GroupBox2->repaint();
}

void TaSongSel::UpdateListButtons() {
    const bool any = ListView1->topLevelItemCount() > 0;
    btnClear->setEnabled(any);
    btnSave->setEnabled(any);
    btnLoad->setEnabled(!any);
}

bool TaSongSel::GetSongInfo(std::string_view songNo, SongInfo& info) const {
    info = SongInfo{};
    if (songNo < std::string_view("000001") || songNo > std::string_view("999999"))
        return false;
    const TDm& dm = *forms_.Dm;
    const int index = dm.FindSongByNo(songNo);
    if (index < 0)
        return false;
    info.title = dm.GetTitle(index);
    info.artist = dm.GetArtist(index);
    info.album = dm.GetAlbum(index);
    info.genre = dm.GetGenreName(index);
    info.year = dm.GetYear(index);
    info.comment = dm.GetComment(index);
    info.filePath = dm.GetFilePath(index) + dm.GetFileName(index);
    info.songFile = dm.GetSongFile(index);
    for (std::string* field : {&info.title, &info.artist, &info.album})
        if (field->empty())
            *field = kv::PadRight("BLANK", 30, " ");
    return true;
}

void TaSongSel::ClearSelection() {
    ListView1->clear();
    SaveDialogFileName.clear();
    OpenDialogFileName.clear();
    SetPlaylistName("");
}

void TaSongSel::btnCloseClick() {
    const int n = ListView1->topLevelItemCount();
    if (n > 0 && kv::ConfirmDlg("Add selection to Song Que?")) {
        TDm& dm = *forms_.Dm;
        // The song each row shows, also when a scan since gave its number to another song.
        std::string missing;
        for (int i = 0; i < n; ++i) {
            const QTreeWidgetItem* row = ListView1->topLevelItem(i);
            const int index = SelectionRowSong(row);
            if (index >= 0) {
                dm.AddSongToQue(dm.GetSongNo(index));
            } else {
                const std::string file = RowFile(row);
                missing +=
                    "\n\"" + (file.empty() ? Cell(row, kPath) + Cell(row, kFileName) : file) + "\"";
            }
        }
        ClearSelection();
        UpdateSelectionCaption();
        UpdateListButtons();
        dm.UpdateSongQueCaption();
        if (!missing.empty())
            platform::dialogs().showMessage(
                "These songs are no longer in the library and were not added to the Song Que:" +
                missing);
    }
    close();
}

void TaSongSel::btnClearClick() {
    if (kv::ConfirmDlg("Clear selection? Are you sure?"))
        ClearSelection();
    UpdateSelectionCaption();
    UpdateListButtons();
}

void TaSongSel::ListView1ColumnClick(int column) {
    forms_.aMain->SortColumn = column;
    platform::widgets::SortRowsByColumnText(ListView1, column);
}

void TaSongSel::ListView1DblClick() {
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < ListView1->topLevelItemCount() && !first; ++i)
        if (ListView1->topLevelItem(i)->isSelected())
            first = ListView1->topLevelItem(i);
    if (!first) {
        platform::dialogs().showMessage("Please select Song to delete.");
        return;
    }
    if (!kv::ConfirmDlg("Delete \"" + platform::boxPart(first->text(kTitle)) + "\"?"))
        return;
    delete first;
    UpdateSelectionCaption();
    UpdateListButtons();
}

void TaSongSel::ListView1KeyDown(int key) {
    if (key != Qt::Key_Delete)
        return;
    qDeleteAll(ListView1->selectedItems());
    UpdateSelectionCaption();
    UpdateListButtons();
}

}  // namespace sonpad
