// The song selection window's controls.
#include "client/song_sel_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "client/genre_names.h"
#include "client/main_window.h"
#include "platform/event_guard.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/frame_placement.h"
#include "platform/widgets/help_window.h"

namespace sonpad {
namespace {

const QColor kMoneyGreen(192, 220, 192);
constexpr int kSearchRightMargin = 8;

void Paint(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

}  // namespace

TaSongSel::TaSongSel(ClientForms& forms, const ClientEnvironment& env)
    : QWidget(nullptr), forms_(forms), env_(env), buildPacer_(env.progressIntervalMs) {
    setWindowTitle("Song Selection");
    setMinimumSize(800, 600);
    resize(800, 600);
    CentreOnScreen();
    CreateControls();
    FormCreate();
    platform::widgets::AddHelpKey(
        this, [this] { return forms_.aMain->HelpFile; }, [] { return 2; });
}

void TaSongSel::CentreOnScreen() {
    if (!env_.screenSize)
        return;
    const QSize screen = env_.screenSize();
    const QSize inner = size();
    // Until the window manager has framed this window once, the main window's frame tells what
    // it adds. On a screen smaller than the window its title bar stays on the screen.
    platform::widgets::PlaceFrame(
        *this,
        [screen, inner](QSize frameExtra) {
            const QSize frame = inner + frameExtra;
            return QRect(QPoint(std::max(0, (screen.width() - frame.width()) / 2),
                                std::max(0, (screen.height() - frame.height()) / 2)),
                         frame);
        },
        forms_.aMain);
}

void TaSongSel::CreateControls() {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    Panel1 = new QWidget(this);
    Paint(Panel1, kMoneyGreen);
    row->addWidget(Panel1, 1);
    CreateTreeControls(Panel1);

    Panel2 = new QWidget(this);
    Panel2->setFixedWidth(352);
    row->addWidget(Panel2);
    CreateSelectionControls(Panel2);
    auto* column = static_cast<QVBoxLayout*>(Panel2->layout());
    GroupBox1 = new QGroupBox(" Song Information ", Panel2);
    CreateInfoControls(GroupBox1);
    column->insertWidget(0, GroupBox1);
    Panel5 = new QWidget(Panel2);
    Panel5->setFixedHeight(88);
    CreateSearchControls(Panel5);
    column->insertWidget(1, Panel5);
}

void TaSongSel::OnClick(QPushButton* button, void (TaSongSel::*handler)()) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { platform::guardedCommand([this, handler] { (this->*handler)(); }); });
}

void TaSongSel::CreateTreeControls(QWidget* parent) {
    auto* column = new QVBoxLayout(parent);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    TreeView1 = new QTreeWidget(parent);
    TreeView1->setHeaderHidden(true);
    TreeView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setIndentation(19);
    TreeView1->setIconSize(QSize(16, 16));
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    TreeView1->setFont(font);
    Paint(TreeView1, kMoneyGreen);
    TreeView1->setToolTip("Use CTRL+Left Click to multi-select. CTRL-S to get selection.");
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    column->addWidget(TreeView1, 1);
    // Hidden while a branch is built, the tree keeps its place for the animation.
    QSizePolicy keep = TreeView1->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    TreeView1->setSizePolicy(keep);

    Panel3 = new QWidget(parent);
    Panel3->setFixedHeight(46);
    auto* buttons = new QHBoxLayout(Panel3);
    btnArtists = new QPushButton("Artists", Panel3);
    btnGenre = new QPushButton("Genre", Panel3);
    btnAlbum = new QPushButton("Album", Panel3);
    for (QPushButton* b : {btnArtists, btnGenre, btnAlbum})
        buttons->addWidget(b);
    column->addWidget(Panel3);

    Animate1 = new platform::widgets::AnimateControl(parent);
    Animate1->resize(80, 50);
    Animate1->setStopFrame(29);
    Animate1->hide();

    PopupMenu1 = new QMenu(this);
    Select1 = PopupMenu1->addMenu("Select");
    Yes1 = Select1->addAction("&Yes");
    Select1->addSeparator();
    No1 = Select1->addAction("&No");

    OnClick(btnArtists, &TaSongSel::btnArtistsClick);
    OnClick(btnGenre, &TaSongSel::btnGenreClick);
    OnClick(btnAlbum, &TaSongSel::btnAlbumClick);
    connect(Yes1, &QAction::triggered, this,
            [this] { platform::guardedCommand([this] { Yes1Click(); }); });
    connect(No1, &QAction::triggered, this,
            [this] { platform::guardedCommand([this] { No1Click(); }); });
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (questionAttached_)
            PopupMenu1->popup(TreeView1->viewport()->mapToGlobal(at));
    });
    connect(TreeView1, &QTreeWidget::itemClicked, this,
            [this] { platform::guardedCommand([this] { TreeView1Click(); }); });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this,
            [this] { platform::guardedCommand([this] { TreeView1DblClick(); }); });
    TreeView1->installEventFilter(this);
    parent->installEventFilter(this);
}

void TaSongSel::CreateInfoControls(QWidget* parent) {
    auto* grid = new QGridLayout(parent);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(2);
    const char* labels[] = {"Title", "Artist",   "Album", "Genre",
                            "Year",  "Comments", "DRIVE", "FILENAME"};
    QLineEdit** edits[] = {&Edit1, &Edit2, &Edit3, &Edit4, &Edit5, &Edit6, &Edit7, &Edit8};
    for (int i = 0; i < 8; ++i) {
        auto* caption = new QLabel(labels[i], parent);
        grid->addWidget(caption, i, 0);
        *edits[i] = new QLineEdit(parent);
        (*edits[i])->setReadOnly(true);
        grid->addWidget(*edits[i], i, 1);
        caption->setBuddy(*edits[i]);  // what a screen reader calls the field
    }
    cbGenre = new QComboBox(parent);
    cbGenre->setAccessibleName(labels[3]);  // it stands in the genre field's place
    grid->addWidget(cbGenre, 3, 1);
    cbGenre->hide();
    // Tab follows the fields as they stand: the genre box, made last, takes the genre's turn.
    QWidget* const order[] = {Edit1, Edit2, Edit3, cbGenre, Edit4, Edit5, Edit6, Edit7, Edit8};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // In edit mode Save takes Edit's place, Cancel and Remove stand to its left.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnTagRemove = new QPushButton("Remove", parent);
    btnTagCancel = new QPushButton("Cancel", parent);
    btnTagSave = new QPushButton("Save", parent);
    btnTagEdit = new QPushButton("Edit", parent);
    btnTagEdit->setToolTip("Edit MP3 tag for this song");
    btnTagSave->setToolTip("Save edits to MP3 file");
    btnTagCancel->setToolTip("Cancel ");
    btnTagRemove->setToolTip("Remove Tag");
    for (QPushButton* b : {btnTagRemove, btnTagCancel, btnTagSave, btnTagEdit}) {
        buttons->addWidget(b);
        b->hide();
    }
    grid->addLayout(buttons, 8, 0, 1, 2);
    const int limits[] = {30, 30, 30, 0, 4, 30};
    for (int i = 0; i < 6; ++i)
        if (limits[i] > 0)
            (*edits[i])->setMaxLength(limits[i]);

    OnClick(btnTagEdit, &TaSongSel::btnTagEditClick);
    OnClick(btnTagSave, &TaSongSel::btnTagSaveClick);
    OnClick(btnTagCancel, &TaSongSel::btnTagCancelClick);
    OnClick(btnTagRemove, &TaSongSel::btnTagRemoveClick);
    connect(cbGenre, &QComboBox::activated, this,
            [this] { platform::guarded([this] { cbGenreExit(); }); });
    cbGenre->installEventFilter(this);
}

void TaSongSel::CreateSearchControls(QWidget* parent) {
    auto* row = new QHBoxLayout(parent);
    row->setContentsMargins(0, 0, kSearchRightMargin, 0);  // Go and the bar off the edge
    RadioGroup1 = new QGroupBox("( Search )", parent);
    auto* radios = new QVBoxLayout(RadioGroup1);
    radios->setContentsMargins(4, 0, 4, 0);
    radios->setSpacing(0);
    RadioButton1 = new QRadioButton("Title", RadioGroup1);
    RadioButton2 = new QRadioButton("Artist", RadioGroup1);
    RadioButton3 = new QRadioButton("Album", RadioGroup1);
    for (QRadioButton* r : {RadioButton1, RadioButton2, RadioButton3})
        radios->addWidget(r);
    RadioButton1->setChecked(true);
    RadioButton2->setEnabled(false);
    RadioButton3->setEnabled(false);
    row->addWidget(RadioGroup1);

    auto* right = new QVBoxLayout;
    right->setSpacing(2);
    Label10 = new QLabel("Item to search", parent);
    right->addWidget(Label10);
    auto* line = new QHBoxLayout;
    Edit9 = new QLineEdit(parent);
    Label10->setBuddy(Edit9);
    btnGo = new QPushButton("Go", parent);
    btnGo->setToolTip("Perform Search");
    line->addWidget(Edit9, 1);
    line->addWidget(btnGo);
    right->addLayout(line);
    Panel4 = new QWidget(parent);
    auto* strip = new QVBoxLayout(Panel4);
    strip->setContentsMargins(0, 0, 0, 0);
    ProgressBar2 = new QProgressBar(Panel4);
    ProgressBar2->setRange(0, 100);
    ProgressBar2->setValue(0);
    ProgressBar2->setFixedHeight(8);
    ProgressBar2->setTextVisible(false);
    strip->addWidget(ProgressBar2);
    right->addWidget(Panel4);
    Label11 = new QLabel(parent);
    right->addWidget(Label11);
    row->addLayout(right, 1);

    connect(btnGo, &QPushButton::clicked, this,
            [this] { platform::guardedCommand([this] { btnGoClick(); }); });
    Edit9->installEventFilter(this);
}

void TaSongSel::FormCreate() {
    ListView1->clear();
    Label11->clear();
    Label12->clear();
    Label12->hide();
    UpdateSelectionCaption();
    UpdateListButtons();
    RootNode = AllSongsNode = ArtistsNode = GenreNode = AlbumNode = nullptr;
    cbGenre->clear();
    cbGenre->addItem(QString());
    for (int genre = 0; genre < kNamedGenres; ++genre)
        cbGenre->addItem(platform::latin1(sonpad::GenreName(static_cast<std::uint8_t>(genre))));
}

void TaSongSel::FormResize() {
    // Over the tree's place, which the button bar leaves while it stands.
    const QRect place = TreeView1->geometry();
    Animate1->move(place.x() + place.width() / 2 - Animate1->width() / 2,
                   place.y() + place.height() / 2 - Animate1->height() / 2);
}

void TaSongSel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

bool TaSongSel::event(QEvent* event) {
    // Showing counts as activating: a modal window offscreen is never made active. A late
    // activation of a window already hidden builds nothing.
    if ((event->type() == QEvent::WindowActivate || event->type() == QEvent::Show) && isVisible())
        platform::guarded([this] { FormActivate(); });
    return QWidget::event(event);
}

bool TaSongSel::eventFilter(QObject* watched, QEvent* event) {
    if (TreeEventFilter(watched, event) || TagEventFilter(watched, event))
        return true;
    if (watched == Edit9 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        platform::guarded([this, key] { Edit9KeyDown(key); });
        return false;
    }
    return SelectionEventFilter(watched, event);
}

std::string TaSongSel::GenreName(std::uint8_t genre) const {
    return sonpad::GenreName(genre);
}

}  // namespace sonpad
