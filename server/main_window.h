#pragma once

#include <QMainWindow>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/tcp/tcp_server.h"
#include "platform/work_under_way.h"
#include "server/query_answers.h"
#include "server/server_environment.h"
#include "server/server_forms.h"
#include "server/ui_dispatcher.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;

namespace platform {
class TickTimer;
}
namespace platform::widgets {
class AnimateControl;
class Gauge;
class StatusPanels;
}  // namespace platform::widgets

namespace sonhall {

class TSimpleClient;

// A waiting song: its queue record (song number, client, upper-case path) and the file it
// plays, the record's own file as its scan found it.
struct QueuedSong {
    std::string record;
    platform::files::Name file;
};

// The server's main window. It owns the state that the scan, the look-ups, the player tick
// and the connection handling share; all of it lives on the user-interface thread (see
// UiDispatcher for how connection threads reach it).
//
// The methods live in files by concern: main_window_layout.cpp (controls),
// main_window_startup.cpp (start-up, activation, close), main_window_playback.cpp (the player
// tick), main_window_connections.cpp (connection handling and broadcasts).
class TaMain : public QMainWindow {
    Q_OBJECT
  public:
    TaMain(ServerForms& forms, const ServerEnvironment& env);
    ~TaMain() override;

    // Shared server state.
    bool SkipRequested = false;
    std::deque<QueuedSong> SongQueue;      // first in first out
    std::vector<std::string> SongLibrary;  // song records of the last scan
    // Each record's file as its folder's listing gave it, exact: its name need not be the only
    // one that differs from it only in case.
    std::vector<std::string> SongFiles;
    std::int32_t AvlCountdown = 0;
    std::int32_t SongsPlayed = 0;
    std::int32_t MaxUsers = 2;
    std::int32_t ActivePlayer = 0;  // 0 none, 1 MediaPlayer1, 2 MediaPlayer2
    std::vector<TSimpleClient*> ClientList;
    std::string CurrentSongId;
    std::string CurrentFileName;
    std::int32_t CurrentLength = 0;
    std::int32_t CurrentPosition = 0;
    std::int32_t CurrentFileSize = 0;
    std::uint32_t StartTick = 0;
    std::string HelpFile;  // the application's help file

    // Controls.
    QGroupBox* GroupBox1 = nullptr;
    platform::widgets::Gauge* SongProgress = nullptr;
    QSlider* TrackBar1 = nullptr;
    QListWidget* ListBox1 = nullptr;  // the queue display
    std::unique_ptr<platform::audio::MediaPlayer> MediaPlayer1;
    std::unique_ptr<platform::audio::MediaPlayer> MediaPlayer2;
    platform::audio::WaveVolume WaveOut;
    QFrame* Panel4 = nullptr;
    QFrame* Panel6 = nullptr;
    platform::widgets::AnimateControl* Animate1 = nullptr;
    platform::widgets::AnimateControl* Animate2 = nullptr;
    platform::widgets::AnimateControl* Animate3 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QListWidget* ListBox2 = nullptr;  // connected clients
    QLineEdit* edtCurrSong = nullptr;
    QLabel* Label10 = nullptr;
    QPushButton* btnActivate = nullptr;
    QPushButton* btnDeactivate = nullptr;
    QPushButton* btnSetup = nullptr;
    platform::widgets::StatusPanels* StatusBar1 = nullptr;
    platform::TickTimer* Timer1 = nullptr;
    UiDispatcher Dispatcher;  // declared before the listener, whose threads call it
    platform::tcp::TcpServer IdTCPServer1;
    int IdTCPServer1Tag = 0;  // 1 while a protocol rescan runs
    QueryAnswers Answers;     // what the connection threads answer on their own

    // Window events and commands.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void FormResize();
    void btnActivateClick();
    void btnDeactivateClick();
    void btnSetupClick();
    void Panel4DblClick();
    void Panel6DblClick();
    void ApplyServerPort();
    std::string UptimeText() const;

    // Player tick.
    void Timer1Timer();
    void PlayerTick();
    bool PlayNextSong(int player);
    void UpdateQueueStatus();
    std::uint16_t GetWaveVolume();
    void SetWaveVolume(std::uint16_t volume);
    void TrackBar1Change();
    void edtCurrSongDblClick();

    // Connection handling; the three events run on the connection's own thread.
    void IdTCPServer1Connect(platform::tcp::Connection& connection);
    void IdTCPServer1Execute(platform::tcp::Connection& connection);
    void IdTCPServer1Disconnect(platform::tcp::Connection& connection);
    void Broadcast(std::string_view sender, std::string_view text);
    void RefreshClientList();
    void BuildServerInfoReply(std::string& text);
    // The listener's limits and the publishing of Answers; called once, from the constructor.
    void ConnectionHandlingCreate();
    // Publishes the read-only replies as they are now.
    void PublishQueryAnswers();

    // Called when a scan, the start-up or a tick, work under way that holds the replies back,
    // has ended.
    void BusyEnded();

    // Stops the listener and the timer without any message; the program block calls it
    // before the forms go.
    void Shutdown();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreateControls();
    void LoadAnimations();
    void ShowStoppedState();
    void HandleLine(platform::tcp::Connection& connection, const std::string& line);

    // Work under way for as long as it lives; the replies are published at its end.
    class BusyScope {
      public:
        BusyScope(TaMain& main, platform::WorkUnderWay::Kind kind);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        TaMain& main_;
        platform::WorkUnderWay work_;
    };

    ServerForms& forms_;
    const ServerEnvironment& env_;
    bool formShown_ = false;
    bool closing_ = false;
    // The receiver of the signals that publish Answers: gone, and so disconnected, before the
    // controls go.
    QObject answersPublisher_;
};

}  // namespace sonhall
