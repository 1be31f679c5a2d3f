// The main window's controls and their arrangement.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "client/main_window.h"
#include "client/row_images.h"
#include "client/volume_bar.h"
#include "client/windows/all_songs_window.h"
#include "platform/event_guard.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/colours.h"
#include "platform/widgets/gauge.h"
#include "platform/widgets/own_click.h"
#include "platform/widgets/report_view.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"
#include "platform/widgets/two_state_button.h"

namespace sonpad {
namespace {

QLabel* label(const QString& text, QWidget* parent, const QColor& colour, bool bold = false) {
    auto* l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// A flat button that shows only its glyph; its hint is also its accessible name.
QToolButton* glyphButton(QWidget* parent, QStyle::StandardPixmap glyph, const QString& hint,
                         bool twoState = false) {
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(glyph));
    b->setIconSize(QSize(16, 16));
    b->setAutoRaise(true);
    if (twoState)
        platform::widgets::MakeTwoState(b);
    b->setFocusPolicy(Qt::TabFocus);
    TaMain::SetHint(b, hint);
    return b;
}

QFrame* lamp(QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(3, 3, 3, 3);
    return panel;
}

}  // namespace

void TaMain::CreateImages() {
    ImageList1 = RowImages();
    setWindowIcon(ApplicationIcon());
}

void TaMain::CreateControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 4, 4, 2);
    column->setSpacing(3);
    column->addWidget(CreateDisplayScreen(central), 1);
    column->addWidget(CreateSongQueueScreen(central), 1);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(4);
    bottom->addWidget(CreateBottomBar(central), 1);
    bottom->addWidget(CreatePlayButtons(central));
    column->addLayout(bottom);

    StatusBar1 = new platform::widgets::StatusPanels(3, this);
    StatusBar1->SetWidth(0, 100);
    StatusBar1->SetWidth(1, 450);
    StatusBar1->SetWidth(2, 50);
    StatusBar1->SetAlignment(2, Qt::AlignHCenter);
    setStatusBar(StatusBar1);

    Timer1 = new platform::TickTimer(1000, env_.realTimers, this);
    Timer2 = new platform::TickTimer(100, env_.realTimers, this);
    Timer3 = new platform::TickTimer(50, env_.realTimers, this);
}

QWidget* TaMain::CreateDisplayScreen(QWidget* parent) {
    pnlClientScreen = new QWidget(parent);
    auto* screen = new QVBoxLayout(pnlClientScreen);
    screen->setContentsMargins(0, 0, 0, 0);
    screen->setSpacing(2);

    // The now-playing panel: title line, three captioned lines, the pie with the times.
    Panel11 = new QFrame(pnlClientScreen);
    Panel11->setFrameShape(QFrame::Panel);
    Panel11->setFrameShadow(QFrame::Sunken);
    platform::widgets::SetColours(Panel11, Qt::black, QColor(0, 255, 0));
    Panel11->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* now = new QGridLayout(Panel11);
    now->setContentsMargins(6, 3, 6, 3);
    now->setHorizontalSpacing(8);
    now->setVerticalSpacing(1);
    const QColor yellow(255, 255, 0), lime(0, 255, 0), aqua(0, 255, 255);
    Label7 = label(QString(), Panel11, yellow, true);
    QFont titleFont = Label7->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    Label7->setFont(titleFont);
    // The title scrolls through the panel: it lies over an empty first row, outside the grid,
    // and is as wide as its text (main_window_conveniences.cpp keeps it so).
    now->setRowMinimumHeight(0, QFontMetrics(titleFont).height());
    Label7->move(2, 0);
    Label11 = label("Artist", Panel11, aqua);
    Label12 = label("Genre", Panel11, aqua);
    Label13 = label("Album", Panel11, aqua);
    Label8 = label(QString(), Panel11, lime);
    Label9 = label(QString(), Panel11, lime);
    Label10 = label(QString(), Panel11, lime);
    now->addWidget(Label11, 1, 0);
    now->addWidget(Label8, 1, 1);
    now->addWidget(Label12, 2, 0);
    now->addWidget(Label9, 2, 1);
    now->addWidget(Label13, 3, 0);
    now->addWidget(Label10, 3, 1);
    now->setColumnStretch(1, 1);
    Gauge1 = new platform::widgets::Gauge(Panel11, platform::widgets::Gauge::Kind::Pie);
    Gauge1->SetColors(QColor(0, 128, 0), QColor(0, 255, 0));
    Gauge1->SetMaxValue(100);
    Gauge1->setFixedSize(44, 44);
    now->addWidget(Gauge1, 1, 2, 3, 1, Qt::AlignRight | Qt::AlignVCenter);
    auto* times = new QVBoxLayout;
    Label15 = label("00:00", Panel11, yellow, true);
    Label24 = label(QString(), Panel11, lime);
    Label15->setAlignment(Qt::AlignRight);
    Label24->setAlignment(Qt::AlignRight);
    Label15->setMinimumWidth(60);
    times->addWidget(Label15);
    times->addWidget(Label24);
    times->addStretch(1);
    now->addLayout(times, 1, 3, 3, 1);
    screen->addWidget(Panel11);

    // The tool bar above the library.
    Panel13 = new QFrame(pnlClientScreen);
    platform::widgets::SetColours(Panel13, QColor(0, 128, 128), Qt::white);
    Panel13->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* tools = new QHBoxLayout(Panel13);
    tools->setContentsMargins(2, 1, 2, 1);
    tools->setSpacing(2);
    SpeedButton2 = glyphButton(Panel13, QStyle::SP_DriveNetIcon, "Connect to Sonhall", true);
    SpeedButton5 =
        glyphButton(Panel13, QStyle::SP_BrowserReload, "Scan directories for new songs", true);
    SpeedButton3 = glyphButton(Panel13, QStyle::SP_FileDialogDetailedView, "Client Configuration");
    for (QToolButton* b : {SpeedButton2, SpeedButton5, SpeedButton3})
        tools->addWidget(b);
    tools->addSpacing(12);
    Label16 = label("0", Panel13, Qt::white);
    Label17 = label("0", Panel13, Qt::white);
    Label18 = label("0", Panel13, Qt::white);
    Label19 = label("Connected Users:", Panel13, Qt::yellow);
    Label20 = label("Que/Ever:", Panel13, Qt::yellow);
    Label21 = label("/", Panel13, Qt::yellow);
    // Users; then queue length / songs played.
    for (QLabel* l : {Label19, Label16})
        tools->addWidget(l);
    tools->addSpacing(8);
    for (QLabel* l : {Label20, Label18, Label21, Label17})
        tools->addWidget(l);
    tools->addStretch(1);
    screen->addWidget(Panel13);

    ListView2 = platform::widgets::NewReportView(
        pnlClientScreen,
        {"Song #", "Title", "Artist", "Genre", "Album", "Year", "Comments", "Path", "Filename"},
        {84, 150, 120, 80, 120, 40, 100, 150, 120});
    ListView2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // "Song #" starts wide enough for its row image beside six digits.
    ListView2->setIconSize(QSize(16, 16));
    screen->addWidget(ListView2, 1);

    // The incremental search floats over the library's lower right corner.
    pnlSearch = new QFrame(ListView2);
    pnlSearch->setFrameShape(QFrame::Panel);
    pnlSearch->setFrameShadow(QFrame::Raised);
    platform::widgets::SetColours(pnlSearch, QColor(255, 255, 0), Qt::black);
    pnlSearch->setFixedSize(185, 70);
    auto* search = new QGridLayout(pnlSearch);
    search->setContentsMargins(4, 2, 4, 4);
    search->setVerticalSpacing(1);
    Label14 = label("SEARCH", pnlSearch, QColor(0, 0, 128), true);
    Label26 = label(QString(), pnlSearch, Qt::black);
    edKeylook = new QLineEdit(pnlSearch);
    search->addWidget(Label14, 0, 0);
    search->addWidget(Label26, 0, 1);
    QLabel* lookingFor = label("Looking for", pnlSearch, Qt::black);
    lookingFor->setBuddy(edKeylook);
    search->addWidget(lookingFor, 1, 0, 1, 2);
    search->addWidget(edKeylook, 2, 0, 1, 2);
    pnlSearch->hide();
    return pnlClientScreen;
}

QWidget* TaMain::CreateSongQueueScreen(QWidget* parent) {
    GroupSongQue = new QGroupBox("[  SONG QUE  ]", parent);
    auto* queue = new QVBoxLayout(GroupSongQue);
    queue->setContentsMargins(4, 4, 4, 4);
    ListView1 = platform::widgets::NewReportView(
        GroupSongQue, {"Song #", "Title", "Artist", "Path", "Filename"}, {84, 150, 120, 150, 120});
    ListView1->setIconSize(QSize(16, 16));

    // Beside the queue, a column: the quick selection, and below it the queue control, which
    // takes the height that is left. Its buttons show only where that height has room for them.
    auto* controls = new QVBoxLayout;
    auto* columns = new QHBoxLayout;
    columns->addWidget(ListView1, 1);
    columns->addLayout(controls);
    queue->addLayout(columns, 1);
    GroupBox2 = new QGroupBox("| Quick Selection |", GroupSongQue);
    GroupBox2->setFixedWidth(230);
    auto* quick = new QGridLayout(GroupBox2);
    quick->setContentsMargins(4, 2, 4, 2);
    ComboBox1 = new QComboBox(GroupBox2);
    Label4 = new QLabel("0", GroupBox2);
    btnGenreGo = new QPushButton("go", GroupBox2);
    ComboBox2 = new QComboBox(GroupBox2);
    Label6 = new QLabel("0", GroupBox2);
    btnPlaylistGo = new QPushButton("go", GroupBox2);
    for (QPushButton* go : {btnGenreGo, btnPlaylistGo}) {
        go->setEnabled(false);
        go->setFixedWidth(32);
    }
    // No caption stands beside them: a screen reader names them by what they list.
    ComboBox1->setAccessibleName("Genre");
    ComboBox2->setAccessibleName("Playlist");
    // The user may type a name; the text stays as typed, and no typed text joins the list.
    for (QComboBox* combo : {ComboBox1, ComboBox2}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
    }
    SpeedButton6 =
        glyphButton(GroupBox2, QStyle::SP_TitleBarMaxButton, "Click for SONG QUE CONTROL");
    quick->addWidget(ComboBox1, 0, 0);
    quick->addWidget(Label4, 0, 1);
    quick->addWidget(btnGenreGo, 0, 2);
    quick->addWidget(ComboBox2, 1, 0);
    quick->addWidget(Label6, 1, 1);
    quick->addWidget(btnPlaylistGo, 1, 2);
    quick->addWidget(SpeedButton6, 0, 3, 2, 1);
    quick->setColumnStretch(0, 1);
    controls->addWidget(GroupBox2);

    GroupBox3 = new QGroupBox("| Song Que Control |", GroupSongQue);
    GroupBox3->setFixedWidth(230);
    GroupBox3->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    auto* control = new QGridLayout(GroupBox3);
    control->setContentsMargins(4, 2, 4, 4);
    control->setVerticalSpacing(1);
    cbSeqPlay = new QCheckBox("Sequential Play", GroupBox3);
    cbRemoveSong = new QCheckBox("Remove Song After Play", GroupBox3);
    cbPlayListOnce = new QCheckBox("Play Selection only Once", GroupBox3);
    seSeqLimit = new platform::widgets::SpinEdit(GroupBox3);
    seSeqLimit->setRange(3, 10);
    seSeqLimit->SetValue(5);
    control->addWidget(cbSeqPlay, 0, 0, 1, 2);
    control->addWidget(cbRemoveSong, 1, 0, 1, 2);
    control->addWidget(cbPlayListOnce, 2, 0, 1, 2);
    auto* sequentialText = new QLabel("Sequential  play when there are", GroupBox3);
    sequentialText->setWordWrap(true);  // the column is narrow
    sequentialText->setBuddy(seSeqLimit);
    control->addWidget(sequentialText, 3, 0);
    control->addWidget(seSeqLimit, 3, 1);
    control->addWidget(new QLabel("songs or less to play.", GroupBox3), 4, 0, 1, 2);
    control->setRowStretch(5, 1);
    // From the top, the button that stays longest as the box gets shorter.
    btnCopyToselection = new QPushButton("Copy to my Selection", GroupBox3);
    btnClearTag = new QPushButton("Clear Play Tags", GroupBox3);
    btnClearQue = new QPushButton("Clear Song Que", GroupBox3);
    int row = 6;
    for (QPushButton* b : {btnCopyToselection, btnClearTag, btnClearQue})
        control->addWidget(b, row++, 0, 1, 2);
    controls->addWidget(GroupBox3, 1);
    GroupSongQue->hide();
    return GroupSongQue;
}

QWidget* TaMain::CreateBottomBar(QWidget* parent) {
    Panel2 = new QWidget(parent);
    auto* bar = new QHBoxLayout(Panel2);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(3);
    btnSongQue = glyphButton(Panel2, QStyle::SP_FileDialogListView, "CTRL+T: Song Que");
    SpeedButton4 = glyphButton(Panel2, QStyle::SP_MediaVolume, "Mute", true);
    Animate1 = new platform::widgets::AnimateControl(Panel2);
    Animate1->setToolTip("Client Mode");
    Animate2 = new platform::widgets::AnimateControl(Panel2);
    Animate2->setToolTip("Local Player Mode");
    for (auto* animation : {Animate1, Animate2})
        animation->setMinimumSize(32, 24);
    GroupBox1 = new QGroupBox("|  Volume  |", Panel2);
    auto* volume = new QHBoxLayout(GroupBox1);
    volume->setContentsMargins(4, 0, 4, 2);
    TrackBar1 = new VolumeBar(GroupBox1);
    TrackBar1->setRange(0, 65535);
    TrackBar1->setPageStep(65535 / 10);
    TrackBar1->setMinimumWidth(110);
    SetHint(TrackBar1, "Volume");
    volume->addWidget(TrackBar1);
    ProgressBar1 = new QProgressBar(Panel2);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(14);
    SetProgressBar(0, 0);
    SpeedButton1 = glyphButton(Panel2, QStyle::SP_TitleBarMaxButton, "Maximize Window", true);
    btnSongSel = glyphButton(Panel2, QStyle::SP_DirOpenIcon, "CTRL+S: Song Selection");
    bar->addWidget(btnSongQue);
    bar->addWidget(SpeedButton4);
    bar->addWidget(Animate1);
    bar->addWidget(Animate2);
    bar->addWidget(GroupBox1);
    bar->addWidget(ProgressBar1, 1);
    bar->addWidget(SpeedButton1);
    bar->addWidget(btnSongSel);
    return Panel2;
}

QWidget* TaMain::CreatePlayButtons(QWidget* parent) {
    pnlButtons = new QWidget(parent);
    auto* row = new QHBoxLayout(pnlButtons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    Panel3 = lamp(pnlButtons);
    Panel4 = lamp(pnlButtons);
    Panel5 = lamp(pnlButtons);
    // These have no hint; the screen reader says what they do.
    btnStop = glyphButton(Panel3, QStyle::SP_MediaStop, QString());
    btnPlay = glyphButton(Panel4, QStyle::SP_MediaPlay, QString());
    btnNext = glyphButton(Panel5, QStyle::SP_MediaSkipForward, QString());
    for (auto [button, name] :
         {std::pair{btnStop, "Stop"}, std::pair{btnPlay, "Play"}, std::pair{btnNext, "Next"}}) {
        button->setAccessibleName(name);
        button->setAutoRaise(false);
        button->parentWidget()->layout()->addWidget(button);
    }
    for (QFrame* panel : {Panel3, Panel4, Panel5})
        row->addWidget(panel);
    pnlButtons->setEnabled(false);
    return pnlButtons;
}

void TaMain::CreateMenus() {
    PopupMenu1 = new QMenu(this);
    ShowServerMessages1 = PopupMenu1->addAction("Sho&w Server Messages");
    ShowServerMessages1->setCheckable(true);
    PopupMenu1->addSeparator();
    SendSelectedSongstoMusicQue1 = PopupMenu1->addAction("S&end Selected Songs to \"Song Que\"");
    SendSelectedSongstomySelections1 =
        PopupMenu1->addAction("Se&nd Selected Songs to  \"my Selection\"");
    SendSelectedSongstoMusicQue1->setEnabled(false);
    SendSelectedSongstomySelections1->setEnabled(false);
    PopupMenu1->addSeparator();
    Help1 = PopupMenu1->addAction("&Help");
    // Two entries that only carry their shortcuts, which work anywhere in the window. They are
    // the window's and not the menu's: an invisible action is a disabled one, shortcut and all.
    ToggleScreens1 = new QAction("&Toggle Screens", this);
    ToggleScreens1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    MusicSelection1 = new QAction("&Music Selection", this);
    MusicSelection1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    for (QAction* hidden : {ToggleScreens1, MusicSelection1}) {
        hidden->setShortcutContext(Qt::WindowShortcut);
        addAction(hidden);
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(mapToGlobal(at)); });

    PopupMenu2 = new QMenu(this);
    Hide1 = PopupMenu2->addAction("Hide");
    Show1 = PopupMenu2->addAction("Show");
    Show1->setEnabled(false);
    PopupMenu2->addSeparator();
    Exit1 = PopupMenu2->addAction("Exit");
}

void TaMain::ConnectEvents() {
    connect(TrackBar1, &QSlider::valueChanged, this,
            [this] { platform::guarded([this] { TrackBar1Change(); }); });
    connect(SpeedButton4, &QToolButton::clicked, this,
            [this] { platform::guarded([this] { SpeedButton4Click(); }); });
    // The glyph says whether the sound is off, however the button came down.
    connect(SpeedButton4, &QToolButton::toggled, this, [this](bool muted) {
        SpeedButton4->setIcon(
            style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    });
    connect(Hide1, &QAction::triggered, this,
            [this] { platform::guarded([this] { Hide1Click(); }); });
    connect(Show1, &QAction::triggered, this,
            [this] { platform::guarded([this] { Show1Click(); }); });
    connect(Exit1, &QAction::triggered, this,
            [this] { platform::guarded([this] { Exit1Click(); }); });
    platform::widgets::OnOwnClick(Panel13,
                                  [this] { platform::guardedCommand([this] { Panel13Click(); }); });
    ConnectQueueEvents();
    ConnectConvenienceEvents();
}

void TaMain::Panel13Click() {
    forms_.aAllSongs->show();
    forms_.aAllSongs->raise();
    forms_.aAllSongs->activateWindow();
}

void TaMain::SetProgressBar(std::int32_t maximum, std::int32_t position) {
    progressMaximum_ = maximum;
    // A range of 0 to 0 would make the bar a busy indicator that animates for ever.
    ProgressBar1->setRange(0, maximum > 0 ? maximum : 1);
    ProgressBar1->setValue(maximum > 0 ? std::clamp(position, 0, maximum) : 0);
}

}  // namespace sonpad
