// The configuration window's controls and the events that connect them.
#include "client/setup_window.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/config_keys.h"
#include "client/main_window.h"
#include "platform/event_guard.h"
#include "platform/qt/clock_texts.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/field_events.h"
#include "platform/widgets/help_window.h"
#include "platform/widgets/spin_edit.h"

namespace sonpad {
namespace {

using platform::widgets::FocusOnEnter;

QPushButton* button(const char* text, QWidget* parent) {
    return platform::widgets::PlainButton(text, parent);
}

}  // namespace

TaSetup::TaSetup(ClientForms& forms, const ClientEnvironment& env)
    : FormDialog(nullptr), forms_(forms), env_(env) {
    setWindowTitle("Client Configuration");
    CreateControls();
    const QSize screen = env_.screenSize();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    FormCreate();
    platform::widgets::AddHelpKey(
        this, [this] { return forms_.aMain->HelpFile; }, [] { return 4; });
}

void TaSetup::CreateControls() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 6, 8, 8);
    column->setSpacing(6);

    GroupBox1 = new QGroupBox("[ Folders where MP3 files are read ]", this);
    auto* folders = new QHBoxLayout(GroupBox1);
    folders->setContentsMargins(6, 4, 6, 6);
    ListBox1 = new QListWidget(GroupBox1);
    folders->addWidget(ListBox1, 1);
    auto* folderButtons = new QVBoxLayout;
    folderButtons->setSpacing(3);
    btnAdd = button("Add", GroupBox1);
    btnAdd->setToolTip("Add a new folder");
    btnRemove = button("Remove", GroupBox1);
    btnRemove->setToolTip("Remove a folder");
    btnRemove->setEnabled(false);
    btnScan = button("Scan", GroupBox1);
    btnScan->setToolTip("Read folders for updated MP3 files");
    for (QPushButton* b : {btnAdd, btnRemove, btnScan})
        folderButtons->addWidget(b);
    folderButtons->addStretch(1);
    folders->addLayout(folderButtons);
    column->addWidget(GroupBox1, 1);

    auto* settings = new QGridLayout;
    settings->setHorizontalSpacing(6);
    settings->setVerticalSpacing(5);
    Label1 = new QLabel("Client Name", this);
    Edit1 = new QLineEdit(this);
    Edit1->setMaxLength(40);
    settings->addWidget(Label1, 0, 0);
    settings->addWidget(Edit1, 0, 1);
    Label2 = new QLabel("Port", this);
    SpinEdit1 = new platform::widgets::SpinEdit(this);
    SpinEdit1->setRange(1, 9999);
    SpinEdit1->SetValue(23);
    SpinEdit1->setFixedWidth(68);
    settings->addWidget(Label2, 0, 2);
    settings->addWidget(SpinEdit1, 0, 3);
    Label3 = new QLabel("Server IP", this);
    Edit3 = new QLineEdit(this);
    settings->addWidget(Label3, 1, 0);
    settings->addWidget(Edit3, 1, 1);
    BitBtn1 = button("Playlist Directory", this);
    Edit2 = new QLineEdit(this);
    settings->addWidget(BitBtn1, 2, 0);
    settings->addWidget(Edit2, 2, 1, 1, 3);
    settings->setColumnStretch(1, 1);
    column->addLayout(settings);
    // A screen reader names each field by the caption beside it, the folder's by its button;
    // a list takes no name from its box.
    ListBox1->setAccessibleName(GroupBox1->title());
    Label1->setBuddy(Edit1);
    Label2->setBuddy(SpinEdit1);
    Label3->setBuddy(Edit3);
    Edit2->setAccessibleName(BitBtn1->text());

    auto* bottom = new QHBoxLayout;
    cbAutoloadsq = new QCheckBox("Autoload Song Que", this);
    cbAutoloadsq->setChecked(true);
    btnClose = button("Close", this);
    bottom->addWidget(cbAutoloadsq);
    bottom->addStretch(1);
    bottom->addWidget(btnClose);
    column->addLayout(bottom);

    setFixedSize(394, 252);

    const auto on = [this](QPushButton* b, void (TaSetup::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] {
            platform::guardedCommand([this, handler] { (this->*handler)(); });
        });
    };
    on(btnAdd, &TaSetup::btnAddClick);
    on(btnRemove, &TaSetup::btnRemoveClick);
    on(btnScan, &TaSetup::BitBtn2Click);
    on(BitBtn1, &TaSetup::BitBtn1Click);
    on(btnClose, &TaSetup::btnCloseClick);
    // The client name and the playlist folder are held in upper case (the letters a to z).
    for (QLineEdit* edit : {Edit1, Edit2}) {
        connect(edit, &QLineEdit::textChanged, this, [edit](const QString& text) {
            QString upper = text;
            for (QChar& c : upper)
                if (c >= u'a' && c <= u'z')
                    c = QChar(c.unicode() - u'a' + u'A');
            if (upper != text) {
                const int at = edit->cursorPosition();
                edit->setText(upper);
                edit->setCursorPosition(at);
            }
        });
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Edit1, Edit2, Edit3, SpinEdit1, cbAutoloadsq})
        w->installEventFilter(this);
}

bool TaSetup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        bool handled = false;
        platform::guarded([&] {
            if (watched == Edit1)
                handled = Edit1KeyDown(key);
            else if (watched == Edit2)
                handled = Edit2KeyDown(key);
            else if (watched == Edit3)
                handled = Edit3KeyDown(key);
            else if (watched == SpinEdit1)
                handled = SpinEdit1KeyDown(key);
        });
        if (handled)
            return true;
    }
    if (event->type() == QEvent::FocusOut &&
        platform::widgets::LeavesForAnotherControl(*static_cast<QFocusEvent*>(event))) {
        if (watched == Edit1)
            platform::guarded([this] { Edit1Exit(); });
        else if (watched == cbAutoloadsq)
            platform::guarded([this] { cbAutoloadsqExit(); });
    }
    return FormDialog::eventFilter(watched, event);
}

bool TaSetup::Edit1KeyDown(int key) {
    return FocusOnEnter(key, btnClose);
}
bool TaSetup::Edit2KeyDown(int key) {
    return FocusOnEnter(key, btnClose);
}
bool TaSetup::Edit3KeyDown(int key) {
    return FocusOnEnter(key, btnClose);
}
bool TaSetup::SpinEdit1KeyDown(int key) {
    return FocusOnEnter(key, btnClose);
}

void TaSetup::FormCreate() {
    ClientName = "Default " + platform::LongTimeText(env_.now().time());
    PlayHere = true;
    Edit1->setText(platform::latin1(ClientName));
    Edit2->clear();
    Edit3->setText("255.255.255.255");
    SpinEdit1->SetValue(23);
}

void TaSetup::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    FormActivate();
}

void TaSetup::FormActivate() {}

void TaSetup::ShowModal() {
    exec();
}

void TaSetup::btnCloseClick() {
    reject();
}

void TaSetup::BitBtn2Click() {
    ScanLocalSongs();
}

void TaSetup::FormClose() {
    SaveConfig();
}

std::string TaSetup::ConfigurationFile() const {
    return env_.programFolder + keys::kConfigFile;
}

}  // namespace sonpad
