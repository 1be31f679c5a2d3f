// The main window's controls and their arrangement.
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/main_window.h"
#include "platform/widgets/report_view.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"

namespace sonpad {
namespace {

QCheckBox* checkBox(const char* text, QWidget* parent) {
    return new QCheckBox(text, parent);
}

// A plain 16 x 16 image: a coloured square with a dark rim.
QIcon squareIcon(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(40, 40, 40));
    painter.setBrush(colour);
    painter.drawRect(2, 2, 11, 11);
    return QIcon(pixmap);
}

}  // namespace

void TaMain::CreateImages() {
    static const QColor kColours[] = {
        QColor(255, 255, 255), QColor(0, 160, 0),     QColor(0, 0, 200),   QColor(200, 0, 0),
        QColor(255, 200, 0),   QColor(0, 160, 200),   QColor(160, 0, 160), QColor(128, 128, 0),
        QColor(255, 128, 0),   QColor(128, 128, 128), QColor(0, 0, 0),     QColor(255, 128, 192),
    };
    ImageList1.clear();
    for (const QColor& colour : kColours)
        ImageList1.push_back(squareIcon(colour));
}

void TaMain::CreateControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 2);
    column->setSpacing(4);

    // The display screen's library list and the song queue screen share the middle.
    ListView2 = platform::widgets::NewReportView(
        central,
        {"Song #", "Title", "Artist", "Genre", "Album", "Year", "Comments", "Path", "Filename"},
        {60, 150, 120, 80, 120, 40, 100, 150, 120});
    ListView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    column->addWidget(ListView2, 1);

    GroupSongQue = new QGroupBox("[  SONG QUE  ]", central);
    auto* queue = new QVBoxLayout(GroupSongQue);
    queue->setContentsMargins(4, 4, 4, 4);
    ListView1 = platform::widgets::NewReportView(
        GroupSongQue, {"Song #", "Title", "Artist", "Path", "Filename"}, {60, 150, 120, 150, 120});
    queue->addWidget(ListView1, 1);

    auto* controls = new QHBoxLayout;
    auto* quick = new QGroupBox("| Quick Selection |", GroupSongQue);
    auto* quickGrid = new QGridLayout(quick);
    ComboBox1 = new QComboBox(quick);
    Label4 = new QLabel("0", quick);
    ComboBox2 = new QComboBox(quick);
    Label6 = new QLabel("0", quick);
    quickGrid->addWidget(ComboBox1, 0, 0);
    quickGrid->addWidget(Label4, 0, 1);
    quickGrid->addWidget(ComboBox2, 1, 0);
    quickGrid->addWidget(Label6, 1, 1);
    quickGrid->setColumnStretch(0, 1);
    controls->addWidget(quick, 1);

    auto* queueControl = new QGroupBox("| Song Que Control |", GroupSongQue);
    auto* queueGrid = new QGridLayout(queueControl);
    cbSeqPlay = checkBox("Sequential Play", queueControl);
    cbRemoveSong = checkBox("Remove Song After Play", queueControl);
    cbPlayListOnce = checkBox("Play Selection only Once", queueControl);
    seSeqLimit = new platform::widgets::SpinEdit(queueControl);
    seSeqLimit->setRange(3, 10);
    seSeqLimit->SetValue(5);
    queueGrid->addWidget(cbSeqPlay, 0, 0, 1, 3);
    queueGrid->addWidget(cbRemoveSong, 1, 0, 1, 3);
    queueGrid->addWidget(cbPlayListOnce, 2, 0, 1, 3);
    queueGrid->addWidget(new QLabel("Sequential  play when there are", queueControl), 3, 0);
    queueGrid->addWidget(seSeqLimit, 3, 1);
    queueGrid->addWidget(new QLabel("songs or less to play.", queueControl), 3, 2);
    controls->addWidget(queueControl);
    queue->addLayout(controls);
    GroupSongQue->hide();
    column->addWidget(GroupSongQue, 1);

    auto* bottom = new QHBoxLayout;
    Panel2 = new QWidget(central);
    pnlButtons = new QWidget(central);
    pnlButtons->setEnabled(false);
    bottom->addWidget(Panel2, 1);
    bottom->addWidget(pnlButtons);
    column->addLayout(bottom);

    StatusBar1 = new platform::widgets::StatusPanels(3, this);
    StatusBar1->SetWidth(0, 100);
    StatusBar1->SetWidth(1, 450);
    StatusBar1->SetWidth(2, 50);
    StatusBar1->SetAlignment(2, Qt::AlignHCenter);
    setStatusBar(StatusBar1);
}

}  // namespace sonpad
