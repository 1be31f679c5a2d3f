// Start-up, activation and deactivation of the listener, the close, and the window's frame.
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <string_view>

#include "common/line_protocol.h"
#include "common/text_helpers.h"
#include "platform/audio/media_player.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/event_guard.h"
#include "platform/files.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/gauge.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"
#include "server/all_songs_window.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/play_log_window.h"
#include "server/server_library.h"
#include "server/setup_window.h"

namespace sonhall {

TaMain::BusyScope::BusyScope(TaMain& main, platform::WorkUnderWay::Kind kind)
    : main_(main), work_(kind) {}

TaMain::BusyScope::~BusyScope() {
    main_.BusyEnded();
}

namespace {

const char* const kConfigurationFile = "sonhall2.kvc";

// The widest uptime before the tick count wraps (after 49 days), and the widest queue texts.
constexpr std::string_view kWidestUptime = "48 Days 23 Hours 59 Minutes 59 Seconds";
constexpr std::string_view kQueueTexts[] = {"Song que is empty.", "999 songs in que."};
// What the status bar's edges and the gaps between its panels take from the last panel.
constexpr int kPanelGaps = 8;

void setBase(QListWidget* list, const QColor& colour) {
    QPalette p = list->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Window, colour);
    list->setPalette(p);
}

}  // namespace

TaMain::TaMain(ServerForms& forms, const ServerEnvironment& env) : forms_(forms), env_(env) {
    setWindowTitle("Sonhall 2");
    CreateControls();
    IdTCPServer1.setGreeting(std::string(kv::kGreeting));
    IdTCPServer1.onConnect([this](platform::tcp::Connection& c) { IdTCPServer1Connect(c); });
    IdTCPServer1.onExecute([this](platform::tcp::Connection& c) { IdTCPServer1Execute(c); });
    IdTCPServer1.onDisconnect([this](platform::tcp::Connection& c) { IdTCPServer1Disconnect(c); });
    ConnectionHandlingCreate();
    MediaPlayer1 = env_.makePlayer();
    MediaPlayer2 = env_.makePlayer();
    if (env_.makeVolumeDevices)
        WaveOut.setDevices(env_.makeVolumeDevices());
    FormCreate();
}

TaMain::~TaMain() {
    Shutdown();
}

void TaMain::FormCreate() {
    HelpFile = env_.programFolder + "SONHALL2.HLP";
    SongProgress->setToolTip(QString());
    SongProgress->SetProgress(0);
    SongProgress->SetMaxValue(3);
    Timer1->Tag = SongProgress->MaxValue();
    SongsPlayed = 0;
    MaxUsers = 2;
    ActivePlayer = 0;
    // btnDeactivate shares btnActivate's place in the layout.
    btnDeactivate->hide();
    StartTick = env_.tickCount();
    setFixedWidth(549);
    setMinimumHeight(269);
    resize(549, 269);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    IdTCPServer1Tag = 0;
    ClientList.clear();
    SkipRequested = false;
    Label10->hide();
    LoadAnimations();
    setWindowTitle(QString::fromStdString("(" + GetLocalIpAddress() + ")"));
}

void TaMain::LoadAnimations() {
    Animate3->setActive(false);
    Animate2->setActive(false);
    Animate1->setActive(false);
    try {
        // Shipped next to the program, not looked for in the current folder.
        Animate3->setFileName(env_.programFolder + "connect.avi");
        Animate3->setStopFrame(6);
        Animate2->setFileName(env_.programFolder + "meter.avi");
        Animate2->setStopFrame(12);
        Animate1->setFileName(env_.programFolder + "meter.avi");
        Animate1->setStopFrame(12);
    } catch (const platform::Error&) {
        platform::dialogs().showMessage("Error while loading animated.avi");
    }
}

void TaMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (formShown_)
        return;
    // Start-up runs from the event loop once the window is on the screen; its boxes do not
    // hold it up.
    QMetaObject::invokeMethod(
        this, [this] { platform::guarded([this] { FormShow(); }, platform::BoxWait::No); },
        Qt::QueuedConnection);
}

void TaMain::FormShow() {
    if (formShown_)
        return;
    formShown_ = true;
    BusyScope busy(*this, platform::WorkUnderWay::Kind::StartUp);
    SongQueue.clear();
    SongLibrary.clear();
    SongFiles.clear();
    TaSetup& setup = *forms_.aSetup;
    if (platform::files::fileExists(
            platform::files::Name(env_.programFolder + kConfigurationFile))) {
        setup.LoadConfig();
        setup.ReadSongs();
    } else {
        setup.ShowModal();
        if (!platform::files::fileExists(
                platform::files::Name(env_.programFolder + kConfigurationFile))) {
            platform::dialogs().showMessage("You need to setup configuration first.");
            env_.endProgram();
            return;
        }
    }
    ApplyServerPort();
    if (SongLibrary.empty())
        platform::dialogs().postMessage("THERE ARE NO MP3 FILES AVAILABLE TO PLAY");
    AvlCountdown = setup.SpinEdit1->Value();
    UpdateQueueStatus();
    Timer1->SetEnabled(true);
}

void TaMain::ApplyServerPort() {
    IdTCPServer1.setPort(forms_.aSetup->SpinEdit2->Value());
}

void TaMain::btnActivateClick() {
    try {
        IdTCPServer1.setActive(true);
    } catch (const platform::Error&) {
        // Not listening is the stopped state, whatever the window showed before.
        ShowStoppedState();
        throw;
    }
    setBase(ListBox1, QColor(0, 128, 0));
    btnActivate->hide();
    btnDeactivate->show();
    if (!Timer1->Enabled())
        Timer1->SetEnabled(true);
}

void TaMain::btnDeactivateClick() {
    ListBox2->clear();
    Broadcast(kv::kSystemSender, kv::kLogOff);
    // Closing the connections runs their disconnect handling, which needs this thread.
    Dispatcher.serveWhile([this] { IdTCPServer1.setActive(false); });
    ShowStoppedState();
}

void TaMain::ShowStoppedState() {
    setBase(ListBox1, QColor(255, 0, 0));
    btnActivate->show();
    btnDeactivate->hide();
    GroupBox2->setTitle("| SERVER STOPPED |");
    Timer1->SetEnabled(false);
}

void TaMain::btnSetupClick() {
    forms_.aSetup->ShowModal();
}

void TaMain::Panel4DblClick() {
    TaPlaylog* log = forms_.aPlaylog;
    log->show();
    log->raise();
    log->activateWindow();
}

void TaMain::Panel6DblClick() {
    TaAllSongs* all = forms_.aAllSongs;
    all->show();
    all->raise();
    all->activateWindow();
}

bool TaMain::FormCloseQuery() {
    if (!btnDeactivate->isHidden()) {
        forms_.aDm->ShowStatus("Server Closing");
        btnDeactivateClick();
    }
    return true;
}

void TaMain::FormClose() {
    SongLibrary.clear();
    SongQueue.clear();
    SongFiles.clear();
    for (auto* player : {&MediaPlayer1, &MediaPlayer2}) {
        if (*player)
            (*player)->close();
        player->reset();
    }
    ClientList.clear();
    forms_.aAllSongs->SaveLibrary();
}

void TaMain::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (platform::workUnderWay()) {
        event->ignore();
        platform::qt::whenWorkEnds(*this, [this] { close(); });
        return;
    }
    platform::guarded([this] { FormCloseQuery(); });
    platform::guarded([this] { FormClose(); });
    closing_ = true;
    event->accept();
    env_.endProgram();
}

void TaMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TaMain::FormResize() {
    // The design's widths (the window's width - 290, 190, and what is left for the last
    // panel: 100), widened where the panels' font needs more for the longest uptime and queue
    // texts; the messages panel gives up the room they take.
    const int uptime = std::max(190, StatusBar1->FittingWidth(1, kWidestUptime));
    int queue = 100;
    for (const std::string_view text : kQueueTexts)
        queue = std::max(queue, StatusBar1->FittingWidth(2, text) + kPanelGaps);
    StatusBar1->SetWidth(0, width() - uptime - queue);
    StatusBar1->SetWidth(1, uptime);
}

std::string TaMain::UptimeText() const {
    return sonhall::UptimeText(StartTick, env_.tickCount());
}

void TaMain::BusyEnded() {
    PublishQueryAnswers();
}

void TaMain::Shutdown() {
    Timer1->SetEnabled(false);
    if (IdTCPServer1.active())
        Dispatcher.serveWhile([this] { IdTCPServer1.setActive(false); });
}

}  // namespace sonhall
