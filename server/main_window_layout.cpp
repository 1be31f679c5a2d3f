// The main window's controls and their arrangement.
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/event_guard.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/gauge.h"
#include "platform/widgets/help_window.h"
#include "platform/widgets/status_panels.h"
#include "server/main_window.h"

namespace sonhall {
namespace {

// A black panel with its caption on the left and a level meter beside it.
QFrame* meterPanel(const char* caption, platform::widgets::AnimateControl*& meter,
                   QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    platform::widgets::SetColours(panel, Qt::black, QColor(0, 255, 0));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(3, 2, 3, 2);
    row->setSpacing(2);
    auto* label = new QLabel(caption, panel);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 0.85);
    label->setFont(f);
    // Both panels' captions take the width of the wider one, so the meters line up.
    label->setFixedWidth(QFontMetrics(f).horizontalAdvance("RIGHT") + 4);
    row->addWidget(label);
    meter = new platform::widgets::AnimateControl(panel);
    meter->setTransparent(false);
    // The whole frame of the meter animation.
    meter->setMinimumSize(81, 16);
    meter->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    row->addWidget(meter);
    row->addStretch(1);
    return panel;
}

}  // namespace

void TaMain::CreateControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(6, 4, 6, 2);
    column->setSpacing(4);

    // Top band: the gauge, volume and meters with the buttons; the connected clients.
    auto* band = new QWidget(central);
    band->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* top = new QHBoxLayout(band);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(6);
    GroupBox1 = new QGroupBox("|  Sonhall 2  |", band);
    auto* grid = new QGridLayout(GroupBox1);
    grid->setContentsMargins(5, 4, 5, 4);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(3);
    SongProgress = new platform::widgets::Gauge(GroupBox1);
    SongProgress->setFixedSize(96, 52);
    grid->addWidget(SongProgress, 0, 0, 2, 1);
    Panel4 = meterPanel(" LEFT ", Animate1, GroupBox1);
    Panel4->setToolTip("Double click to view song play log");
    Panel6 = meterPanel(" RIGHT ", Animate2, GroupBox1);
    Panel6->setToolTip("Double click to view all songs read");
    grid->addWidget(Panel4, 0, 1);
    grid->addWidget(Panel6, 1, 1);
    TrackBar1 = new QSlider(Qt::Horizontal, GroupBox1);
    TrackBar1->setRange(0, 65535);  // the wave-out scale from the start; tick 3 reads the device
    grid->addWidget(TrackBar1, 2, 0, 1, 2);
    btnActivate = new QPushButton("activate Server", GroupBox1);
    btnDeactivate = new QPushButton("Deactivate Server", GroupBox1);
    btnSetup = new QPushButton("Setup", GroupBox1);
    btnSetup->setToolTip("Server Configuration");
    // One size for the two buttons at the same place, so swapping them moves nothing.
    const int buttonWidth =
        std::max(btnActivate->sizeHint().width(), btnDeactivate->sizeHint().width());
    for (QPushButton* b : {btnActivate, btnDeactivate, btnSetup}) {
        b->setAutoDefault(false);
        b->setFixedWidth(buttonWidth);
    }
    grid->addWidget(btnActivate, 0, 2);
    grid->addWidget(btnDeactivate, 0, 2);
    grid->addWidget(btnSetup, 2, 2);
    grid->setColumnStretch(1, 1);
    top->addWidget(GroupBox1, 1);

    GroupBox3 = new QGroupBox("|  Connected Clients  |", band);
    GroupBox3->setFixedWidth(158);
    auto* clients = new QHBoxLayout(GroupBox3);
    clients->setContentsMargins(6, 4, 6, 6);
    clients->setSpacing(4);
    ListBox2 = new QListWidget(GroupBox3);
    platform::widgets::SetColours(ListBox2, Qt::black, QColor(0, 255, 0));
    ListBox2->setFocusPolicy(Qt::NoFocus);
    // The band's height follows the gauge and buttons, not the list's wish.
    ListBox2->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    clients->addWidget(ListBox2, 1);
    Animate3 = new platform::widgets::AnimateControl(GroupBox3);
    Animate3->setMinimumSize(64, 32);
    clients->addWidget(Animate3, 0, Qt::AlignTop);
    top->addWidget(GroupBox3);
    column->addWidget(band);

    // The playing song.
    GroupBox2 = new QGroupBox("|  Song Playing  |", central);
    auto* song = new QHBoxLayout(GroupBox2);
    song->setContentsMargins(6, 2, 6, 4);
    edtCurrSong = new QLineEdit(GroupBox2);
    edtCurrSong->setReadOnly(true);
    song->addWidget(edtCurrSong, 1);
    Label10 = new QLabel(":000000", GroupBox2);
    Label10->hide();
    song->addWidget(Label10);
    GroupBox2->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    column->addWidget(GroupBox2);

    // The queue; its colour tells the server's state.
    ListBox1 = new QListWidget(central);
    ListBox1->setUniformItemSizes(true);  // appending costs the same at any queue length
    ListBox1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    platform::widgets::SetColours(ListBox1, QColor(192, 220, 192), Qt::black);
    column->addWidget(ListBox1, 1);

    StatusBar1 = new platform::widgets::StatusPanels(3, this);
    StatusBar1->SetWidth(0, 300);
    StatusBar1->SetWidth(1, 130);
    StatusBar1->SetWidth(2, 50);
    setStatusBar(StatusBar1);

    Timer1 = new platform::TickTimer(1000, env_.realTimers, this);
    // The tick does not wait for the box of an error that escapes it.
    Timer1->OnTimer = [this] {
        platform::guarded([this] { Timer1Timer(); }, platform::BoxWait::No);
    };

    connect(btnActivate, &QPushButton::clicked, this,
            [this] { platform::guardedCommand([this] { btnActivateClick(); }); });
    connect(btnDeactivate, &QPushButton::clicked, this, [this] {
        platform::guardedCommand(
            [this] { platform::qt::whenWorkEnds(*this, [this] { btnDeactivateClick(); }); });
    });
    connect(btnSetup, &QPushButton::clicked, this, [this] {
        platform::guardedCommand(
            [this] { platform::qt::whenWorkEnds(*this, [this] { btnSetupClick(); }); });
    });
    connect(TrackBar1, &QSlider::valueChanged, this,
            [this] { platform::guarded([this] { TrackBar1Change(); }); });
    Panel4->installEventFilter(this);
    Panel6->installEventFilter(this);
    edtCurrSong->installEventFilter(this);
    platform::widgets::AddHelpKey(
        this, [this] { return HelpFile; }, [] { return 1; });
}

bool TaMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == Panel4) {
            platform::guarded([this] { Panel4DblClick(); });
            return true;
        }
        if (watched == Panel6) {
            platform::guarded([this] { Panel6DblClick(); });
            return true;
        }
        if (watched == edtCurrSong) {
            // The edit still selects the word under the mouse.
            platform::guarded([this] { edtCurrSongDblClick(); });
            return false;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace sonhall
