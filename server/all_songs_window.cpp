#include "server/all_songs_window.h"

#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/event_guard.h"
#include "platform/widgets/report_view.h"
#include "platform/widgets/text_sort.h"
#include "server/setup_window.h"

namespace sonhall {

TaAllSongs::TaAllSongs(ServerForms& forms) : QWidget(nullptr), forms_(forms) {
    setWindowTitle("All Songs");
    resize(720, 360);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 0);
    GroupBox1 = new QGroupBox("|  Available Songs  |", this);
    auto* inner = new QVBoxLayout(GroupBox1);
    inner->setContentsMargins(4, 4, 4, 4);
    ListView1 = platform::widgets::NewReportView(
        GroupBox1,
        {"Song Id", "Title", "Artist", "Genre", "Album", "Year", "Played", "Comment", "Filespec"},
        {60, 150, 130, 50, 130, 45, 50, 130});
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    inner->addWidget(ListView1);
    column->addWidget(GroupBox1, 1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    column->addWidget(StatusBar1);

    PopupMenu1 = new QMenu(this);
    connect(PopupMenu1->addAction("&Save List"), &QAction::triggered, this,
            [this] { platform::guardedCommand([this] { SaveList1Click(); }); });
    connect(PopupMenu1->addAction("&Load List"), &QAction::triggered, this,
            [this] { platform::guardedCommand([this] { LoadList1Click(); }); });
    PopupMenu1->addSeparator();
    connect(PopupMenu1->addAction("&Clear List"), &QAction::triggered, this,
            [this] { platform::guardedCommand([this] { ClearList1Click(); }); });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(ListView1->viewport()->mapToGlobal(at));
    });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int c) { platform::guarded([this, c] { ListView1ColumnClick(c); }); });
    FormCreate();
}

void TaAllSongs::FormCreate() {
    SortColumn = 0;
}

void TaAllSongs::SaveLibrary() {
    SaveList1Click();
}

// The server writes and reads no library list file.
void TaAllSongs::SaveList1Click() {}
void TaAllSongs::LoadList1Click() {}

void TaAllSongs::ClearList1Click() {
    ListView1->clear();
}

bool TaAllSongs::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        platform::guarded([this] { FormActivate(); });
    return QWidget::event(e);
}

void TaAllSongs::FormActivate() {
    setWindowTitle(forms_.aSetup->Edit1->text() + "songlib.lst");
}

void TaAllSongs::closeEvent(QCloseEvent* event) {
    platform::guarded([this] { FormClose(); });
    QWidget::closeEvent(event);
}

void TaAllSongs::FormClose() {
    StatusBar1->clearMessage();
}

void TaAllSongs::ListView1ColumnClick(int column) {
    SortColumn = column;
    platform::widgets::SortRowsByColumnText(ListView1, SortColumn);
}

}  // namespace sonhall
