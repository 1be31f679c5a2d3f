// The main window's creation.
#include "client/main_window.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "client/tray_icon.h"
#include "client/volume_bar.h"
#include "platform/errors.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"

namespace sonpad {
TaMain::TaMain(ClientForms& forms, const ClientEnvironment& env)
    : QMainWindow(nullptr), forms_(forms), env_(env) {
    setWindowTitle("Sonpad ][");
    CreateImages();
    CreateControls();
    CreateMenus();
    ConnectEvents();
    ConnectProtocolEvents();
    if (env_.makePlayer)
        MediaPlayer1 = env_.makePlayer();
    if (env_.makeVolumeDevices)
        WaveOut.setDevices(env_.makeVolumeDevices());
    FormCreate();
}

TaMain::~TaMain() {
    if (TrayIconData)
        TrayIconData->remove();
}

void TaMain::FormCreate() {
    ScanCaption = "Sonpad Software v.2.0a";
    SongLibrary.clear();
    SongFiles.clear();
    GenreIndex.clear();
    QuickSelection.clear();
    SongInfoRequests.clear();
    setMinimumSize(640, 371);
    resize(640, 371);
    MaxWidth = 800;
    MaxHeight = 600;
    PlayedCount = 0;
    RepeatCount = 0;
    for (QFrame* lamp : {Panel3, Panel4, Panel5})
        SetLamp(lamp, false);
    TrackBar1->setRange(0, 65535);
    ComboBox2->clearEditText();
    ComboBox2->clear();
    Label4->setText("0");
    ComboBox1->clearEditText();
    ComboBox1->clear();
    Label6->setText("0");
    ClearNowPlaying();
    SendVolume = true;
    IdleTicks = 0;
    RescanPending = false;
    LocalMode = true;
    Panel2->setEnabled(false);
    Timer1->SetEnabled(false);
    CisPending = false;
    LoadAnimations();
    for (QLabel* label : {Label16, Label17, Label18})
        label->setText("0");
    for (QLabel* label : {Label16, Label17, Label18, Label19, Label20, Label21})
        label->hide();
    pnlSearch->hide();
    Label26->clear();
    edKeylook->clear();
    AppDir = env_.programFolder;
    HelpFile = AppDir + "SONPAD2.HLP";
    CurrentFileSize = 0;
    FirstShow = true;
    AddTrayIcon();
}

void TaMain::LoadAnimations() {
    Animate1->setActive(false);
    Animate2->setActive(false);
    // Shipped next to the program, not looked for in the current folder. A missing one only
    // leaves its place empty.
    const std::pair<platform::widgets::AnimateControl*, const char*> files[] = {
        {Animate1, "CD.AVI"}, {Animate2, "BARS.AVI"}};
    for (const auto& [animation, name] : files) {
        try {
            animation->setFileName(env_.programFolder + name);
        } catch (const platform::Error&) {
        }
    }
}

void TaMain::SetLamp(QFrame* lamp, bool lit) {
    QPalette palette = lamp->palette();
    palette.setColor(QPalette::Window, lit ? QColor(0, 255, 0) : QColor(Qt::black));
    lamp->setPalette(palette);
}

void TaMain::SetHint(QWidget* control, const QString& hint) {
    control->setToolTip(hint);
    control->setAccessibleName(hint);
}

}  // namespace sonpad
