// The configuration window's controls and the events that connect them.
#include "server/setup_window.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/event_guard.h"
#include "platform/widgets/field_events.h"
#include "platform/widgets/help_window.h"
#include "platform/widgets/spin_edit.h"
#include "server/main_window.h"

namespace sonhall {
namespace {

QLabel* boldLabel(const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

using platform::widgets::FocusOnEnter;

QPushButton* button(const char* text, QWidget* parent) {
    return platform::widgets::PlainButton(text, parent);
}

}  // namespace

TaSetup::TaSetup(ServerForms& forms, const ServerEnvironment& env)
    : FormDialog(nullptr), forms_(forms), env_(env) {
    setWindowTitle("Server Configuration");
    CreateControls();
    FormCreate();
}

void TaSetup::CreateControls() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 6, 8, 8);
    column->setSpacing(6);

    GroupBox1 = new QGroupBox("[ MP3 sub-directories ]", this);
    auto* folders = new QHBoxLayout(GroupBox1);
    folders->setContentsMargins(6, 4, 6, 6);
    ListBox1 = new QListWidget(GroupBox1);
    folders->addWidget(ListBox1, 1);
    auto* folderButtons = new QVBoxLayout;
    folderButtons->setSpacing(3);
    buttonAdd = button("Add a directory", GroupBox1);
    buttonRemove = button("Remove directory", GroupBox1);
    buttonScan = button("Scan directory", GroupBox1);
    buttonRemove->setEnabled(false);
    buttonScan->setEnabled(false);
    for (QPushButton* b : {buttonAdd, buttonRemove, buttonScan})
        folderButtons->addWidget(b);
    auto* count = new QHBoxLayout;
    Label4 = new QLabel("Songs:", GroupBox1);
    Label3 = new QLabel("0", GroupBox1);
    Label4->hide();
    Label3->hide();
    count->addWidget(Label4);
    count->addWidget(Label3, 1);
    folderButtons->addLayout(count);
    folderButtons->addStretch(1);
    folders->addLayout(folderButtons);
    column->addWidget(GroupBox1, 1);

    auto* settings = new QGridLayout;
    settings->setHorizontalSpacing(6);
    settings->setVerticalSpacing(5);
    Label1 = boldLabel("Crossfade", this);
    edCrossfade = new QLineEdit("98", this);
    edCrossfade->setFixedWidth(44);
    Label2 = new QLabel("% of song", this);
    auto* crossfade = new QHBoxLayout;
    crossfade->addWidget(edCrossfade);
    crossfade->addWidget(Label2, 1);
    settings->addWidget(Label1, 0, 0);
    settings->addLayout(crossfade, 0, 1);

    Label5 = boldLabel("Song/Client Limit", this);
    SpinEdit1 = new platform::widgets::SpinEdit(this);
    SpinEdit1->setRange(1, 5);
    SpinEdit1->SetValue(1);
    SpinEdit1->setFixedWidth(56);
    settings->addWidget(Label5, 0, 2);
    settings->addWidget(SpinEdit1, 0, 3);

    Label6 = boldLabel("TCP/IP Port", this);
    SpinEdit2 = new platform::widgets::SpinEdit(this);
    SpinEdit2->setRange(1, 9999);
    SpinEdit2->SetValue(23);
    SpinEdit2->setFixedWidth(68);
    settings->addWidget(Label6, 1, 0);
    settings->addWidget(SpinEdit2, 1, 1, Qt::AlignLeft);

    Label7 = boldLabel("Playlist folder", this);
    Edit1 = new QLineEdit(this);
    BitBtn1 = button("Playlist Folder", this);
    settings->addWidget(Label7, 2, 0);
    settings->addWidget(Edit1, 2, 1, 1, 2);
    settings->addWidget(BitBtn1, 2, 3);
    // A screen reader names each field by the caption beside it; a list takes no name from its
    // box.
    ListBox1->setAccessibleName(GroupBox1->title());
    Label1->setBuddy(edCrossfade);
    Label5->setBuddy(SpinEdit1);
    Label6->setBuddy(SpinEdit2);
    Label7->setBuddy(Edit1);
    settings->setColumnStretch(1, 1);
    settings->setColumnStretch(2, 1);
    column->addLayout(settings);

    auto* bottom = new QHBoxLayout;
    Button1 = button("Read Songs", this);
    buttonClose = button("Close", this);
    bottom->addStretch(1);
    bottom->addWidget(Button1);
    bottom->addWidget(buttonClose);
    column->addLayout(bottom);

    setFixedSize(462, 236);

    const auto on = [this](QPushButton* b, void (TaSetup::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] {
            platform::guardedCommand([this, handler] { (this->*handler)(); });
        });
    };
    on(buttonAdd, &TaSetup::buttonAddClick);
    on(buttonRemove, &TaSetup::buttonRemoveClick);
    on(buttonScan, &TaSetup::buttonScanClick);
    on(Button1, &TaSetup::Button1Click);
    on(BitBtn1, &TaSetup::BitBtn1Click);
    on(buttonClose, &TaSetup::buttonCloseClick);
    SpinEdit1->OnExit = [this] { platform::guarded([this] { SpinEdit1Exit(); }); };
    for (QWidget* w : std::initializer_list<QWidget*>{edCrossfade, SpinEdit1, SpinEdit2})
        w->installEventFilter(this);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        platform::guarded([this] { platform::widgets::showHelp(this, forms_.aMain->HelpFile, 2); });
    });
}

bool TaSetup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        bool handled = false;
        platform::guarded([&] {
            if (watched == edCrossfade)
                handled = edCrossfadeKeyDown(key);
            if (watched == SpinEdit1)
                handled = SpinEdit1KeyDown(key);
            if (watched == SpinEdit2)
                handled = SpinEdit2KeyDown(key);
        });
        if (handled)
            return true;
    }
    if (watched == edCrossfade && event->type() == QEvent::FocusOut &&
        platform::widgets::LeavesForAnotherControl(*static_cast<QFocusEvent*>(event)))
        platform::guarded([this] { edCrossfadeExit(); });
    return FormDialog::eventFilter(watched, event);
}

bool TaSetup::edCrossfadeKeyDown(int key) {
    return FocusOnEnter(key, buttonClose);
}
bool TaSetup::SpinEdit1KeyDown(int key) {
    return FocusOnEnter(key, buttonClose);
}
bool TaSetup::SpinEdit2KeyDown(int key) {
    return FocusOnEnter(key, buttonClose);
}

void TaSetup::FormCreate() {
    Edit1->clear();
}

void TaSetup::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    FormActivate();
}

void TaSetup::FormActivate() {
    FolderListChanged = false;
}

void TaSetup::ShowModal() {
    exec();
}

void TaSetup::buttonCloseClick() {
    reject();
}

std::string TaSetup::ConfigurationFile() const {
    return env_.programFolder + "sonhall2.kvc";
}

}  // namespace sonhall
