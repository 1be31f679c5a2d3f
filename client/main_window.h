#pragma once

#include <QChar>
#include <QIcon>
#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "client/client_environment.h"
#include "client/client_forms.h"
#include "client/open_requests.h"
#include "client/random_pick.h"
#include "platform/event_guard.h"
#include "platform/tcp/tcp_client.h"
#include "platform/work_under_way.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {
class TickTimer;
}
namespace platform::widgets {
class AnimateControl;
class Gauge;
class SpinEdit;
class StatusPanels;
}  // namespace platform::widgets

namespace sonpad {

class TrayIcon;
class VolumeBar;

// The client's main window. It owns the state that the client's windows share; all of it
// lives on the one user-interface thread.
//
// The methods live in files by concern: main_window.cpp (creation), main_window_layout.cpp
// (controls), main_window_startup.cpp (first show, close, tray menu),
// main_window_now_playing.cpp (now-playing display and volume), main_window_queue.cpp (the
// song queue, its play control and quick selection), main_window_local_play.cpp (the local
// player and its tick).
class TaMain : public QMainWindow {
    Q_OBJECT
  public:
    TaMain(ClientForms& forms, const ClientEnvironment& env);
    ~TaMain() override;

    // Shared client state.
    std::vector<std::string> SongLibrary;  // song records of the last scan
    // Each record's file as its scan's folder listing gave it, by library index: the name as
    // the disk spells it, blanks and case included. Every operation on a song's file uses it.
    std::vector<std::string> SongFiles;
    std::vector<std::string> GenreIndex;        // genre (30) + title (30) + song number (6)
    std::vector<std::string> QuickSelection;    // song number + " " + title
    std::vector<std::string> SongInfoRequests;  // library index (6) + file name, untagged files
    std::string ScanCaption;
    std::string AppDir;    // the program's folder, trailing "/"
    std::string HelpFile;  // the application's help file
    int PlayedCount = 0;
    int RepeatCount = 0;
    int MaxWidth = 800;
    int MaxHeight = 600;
    int SortColumn = 0;
    bool Playing = false;
    bool LocalMode = true;
    bool SendVolume = true;
    int IdleTicks = 0;
    bool RequestInFlight = false;  // a "#SIF" or "#INI?" request is out
    bool CisPending = false;
    bool RescanPending = false;
    bool LocalSongOpen = false;
    bool FirstShow = true;  // the start-up work of FormShow is still to do
    // This run read the queue file, or queued a song: only then may the close delete the file
    // for an empty queue.
    bool QueueFileOwned = false;

    // Now playing.
    std::string CurrentSongId;
    std::string ReplySongId;
    std::string CurrentTitle;
    std::string CurrentArtist;
    std::string CurrentAlbum;
    std::string CurrentGenre;
    std::string CurrentYear;
    std::string CurrentComment;
    std::string CurrentPath;
    std::string CurrentFileName;
    std::int32_t CurrentLength = 0;
    std::int32_t CurrentPosition = 0;
    std::int32_t CurrentFileSize = 0;
    std::string RemainingText;
    std::string PercentText;
    int SavedVolume = 0;  // the track bar's position to return to on unmute

    // Row images, 16 x 16: 0 unplayed, 1 played or sent, 4 library row; the rest for the
    // song selection tree.
    std::vector<QIcon> ImageList1;

    // Display screen.
    QWidget* pnlClientScreen = nullptr;
    QFrame* Panel11 = nullptr;  // the black now-playing panel
    QLabel* Label7 = nullptr;   // title
    QLabel* Label8 = nullptr;   // artist
    QLabel* Label9 = nullptr;   // genre
    QLabel* Label10 = nullptr;  // album
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label15 = nullptr;  // remaining time
    QLabel* Label24 = nullptr;  // bit rate
    platform::widgets::Gauge* Gauge1 = nullptr;
    QFrame* Panel13 = nullptr;            // tool bar
    QToolButton* SpeedButton2 = nullptr;  // connect, two-state
    QToolButton* SpeedButton5 = nullptr;  // rescan
    QToolButton* SpeedButton3 = nullptr;  // configuration
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label21 = nullptr;
    QTreeWidget* ListView2 = nullptr;  // library
    QFrame* pnlSearch = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label26 = nullptr;
    QLineEdit* edKeylook = nullptr;
    platform::widgets::StatusPanels* StatusBar1 = nullptr;

    // Song queue screen.
    QGroupBox* GroupSongQue = nullptr;
    QTreeWidget* ListView1 = nullptr;  // song queue
    QGroupBox* GroupBox2 = nullptr;    // quick selection
    QComboBox* ComboBox1 = nullptr;    // genres
    QLabel* Label4 = nullptr;
    QPushButton* btnGenreGo = nullptr;
    QComboBox* ComboBox2 = nullptr;  // playlists
    QLabel* Label6 = nullptr;
    QPushButton* btnPlaylistGo = nullptr;
    QToolButton* SpeedButton6 = nullptr;  // size toggle beside the quick selection
    QGroupBox* GroupBox3 = nullptr;       // queue control
    QCheckBox* cbSeqPlay = nullptr;
    QCheckBox* cbRemoveSong = nullptr;
    QCheckBox* cbPlayListOnce = nullptr;
    platform::widgets::SpinEdit* seSeqLimit = nullptr;
    QPushButton* btnClearQue = nullptr;
    QPushButton* btnClearTag = nullptr;
    QPushButton* btnCopyToselection = nullptr;

    // Bottom bar.
    QWidget* Panel2 = nullptr;
    QToolButton* btnSongQue = nullptr;
    QToolButton* SpeedButton4 = nullptr;                    // mute, two-state
    platform::widgets::AnimateControl* Animate1 = nullptr;  // client mode
    platform::widgets::AnimateControl* Animate2 = nullptr;  // Local Player Mode
    QGroupBox* GroupBox1 = nullptr;                         // volume
    VolumeBar* TrackBar1 = nullptr;                         // 0..65535
    QProgressBar* ProgressBar1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;  // size toggle
    QToolButton* btnSongSel = nullptr;

    // Play buttons; their panels are the state lamps.
    QWidget* pnlButtons = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel4 = nullptr;
    QFrame* Panel5 = nullptr;
    QToolButton* btnStop = nullptr;
    QToolButton* btnPlay = nullptr;
    QToolButton* btnNext = nullptr;

    // Invisible.
    std::unique_ptr<platform::audio::MediaPlayer> MediaPlayer1;
    platform::audio::WaveVolume WaveOut;
    platform::TickTimer* Timer1 = nullptr;  // play and protocol
    platform::TickTimer* Timer2 = nullptr;  // title scrolling
    platform::TickTimer* Timer3 = nullptr;  // search panel
    platform::tcp::TcpClient IdTCPClient1;
    QMenu* PopupMenu1 = nullptr;
    QAction* ShowServerMessages1 = nullptr;
    QAction* SendSelectedSongstoMusicQue1 = nullptr;
    QAction* SendSelectedSongstomySelections1 = nullptr;
    QAction* Help1 = nullptr;
    QAction* ToggleScreens1 = nullptr;
    QAction* MusicSelection1 = nullptr;
    QMenu* PopupMenu2 = nullptr;  // tray menu
    QAction* Hide1 = nullptr;
    QAction* Show1 = nullptr;
    QAction* Exit1 = nullptr;
    std::unique_ptr<TrayIcon> TrayIconData;  // none: the desktop has no notification area

    // Start-up and close.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void FormClose();
    void AddTrayIcon();
    void Hide1Click();
    void Show1Click();
    void Exit1Click();
    std::string SongQueueFile() const;
    // The queue file's text: the upper-cased file names of the queue, sorted, each once.
    // The queue file's text; the names that cannot stand on a line go to leftOut.
    std::string SongQueueText(std::vector<std::string>* leftOut = nullptr) const;

    // Now playing and volume.
    bool LookupSongByFileName(const std::string& name);
    // The song of a server's reply: looked up, or, when the library does not hold it, titled
    // by its file name without the extension and with no artist, album or genre.
    void TakeSongByFileName(const std::string& name);
    void ShowNowPlaying();
    // The integer part of part / whole x 100, as text; a song of length 0 shows 0.
    static std::string PercentTextOf(std::int32_t part, std::int32_t whole);
    void ClearNowPlaying();
    std::uint16_t GetWaveVolume();
    void SetWaveVolume(std::uint16_t volume);
    void TrackBar1Change();
    void SpeedButton4Click();

    // Main-window conveniences (main_window_conveniences.cpp).
    bool QueueScreenShown = false;
    bool SearchPanelIn = false;
    int HelpContext = 1;  // the help topic F1 opens while the main window is active
    void FormCanResize();
    void FormResize();
    void SpeedButton1Click();
    void SpeedButton6Click();
    void Timer2Timer();
    void ScrollTitle();
    void ListView2KeyPress(QChar key);
    void Timer3Timer();
    void edKeylookKeyDown(int key);
    void btnSongQueClick();
    void oggleScreens1Click();
    void btnSongSelClick();
    void MusicSelection1Click();
    void Help1Click();
    // A click on the tool bar itself, not on its buttons, shows the song listing.
    void Panel13Click();
    // The position the configuration keeps ("LEFT", "TOP"): that of the window's frame, its
    // title bar included.
    int WindowLeft() const;
    int WindowTop() const;
    // Puts the frame there, brought onto the screen as a resize would.
    void PlaceWindow(std::int64_t left, std::int64_t top);

  private:
    void ConnectConvenienceEvents();
    bool AtMinimumSize() const;
    // Keeps the window on the screen, which may resize it.
    void KeepOnScreen();
    void ShowQueueControlButtons();
    // Enter in the search box: selects the first row whose searched column starts with it.
    void SearchLibrary();

  public:
    // Connection to the server and the client-mode tick (main_window_protocol.cpp).
    void SpeedButton2Click();
    void ConnecttoSonhall1Click();
    void DisconnectfromServer1Click();
    void IdTCPClient1Connected();
    // The connection ended, however: what it asked is not answered on another one.
    void IdTCPClient1Disconnected();
    void IdTCPClient1Status(platform::tcp::ClientStatus status);
    void SpeedButton5Click();
    void SpeedButton3Click();
    void ShowServerMessages1Click();
    void ClientTick();
    // One line from the server, as the client-mode tick handles it.
    void HandleServerLine(std::string_view line);

    // Song queue and play control.
    RandomGenerator Random;
    // True when a song was started or submitted, or a finished pass was reset.
    bool PlayNextFromQueue();
    int RandomPick(int n);
    void ClearPlayTags();
    void SetPlayState(std::string_view command);  // "STOP", "PLAY" or "NEXT"
    bool PlayLocalSong(const std::string& songNo);
    void LoadGenreSelection();
    void LoadPlaylistSelection();
    static bool QueueRowPlayed(const QTreeWidgetItem* row);
    void MarkQueueRow(QTreeWidgetItem* row, bool played);
    // The row's "#FIL" is out and the server has not answered it (main_window_submission.cpp).
    static bool QueueRowOnItsWay(const QTreeWidgetItem* row);
    // The song the row sends in "#FIL": its file name without trailing blanks.
    static std::string SubmittedFileName(const QTreeWidgetItem* row);
    void btnStopClick();
    void btnPlayClick();
    void btnNextClick();
    void btnClearTagClick();
    void btnClearQueClick();
    void btnGenreGoClick();
    void btnPlaylistGoClick();
    void btnCopyToselectionClick();
    void ListView1ColumnClick(QTreeWidget* view, int column);
    void ListView1DblClick();
    void ListView1KeyDown(int key);
    void ListView2DblClick();
    void ListView2Click();
    void SendSelectedSongstoMusicQue1Click();
    void SendSelectedSongstomySelections1Click();

    // The play and protocol tick; the local player's branch lives with the local player.
    void Timer1Timer();
    void LocalPlayerTick();

    // Glyph-only buttons: the hint is also the name a screen reader says.
    static void SetHint(QWidget* control, const QString& hint);
    // A state lamp: lime when lit, else black.
    static void SetLamp(QFrame* lamp, bool lit);
    // The position bar: a maximum of 0 shows an empty bar.
    void SetProgressBar(std::int32_t maximum, std::int32_t position);
    std::int32_t ProgressBarMaximum() const { return progressMaximum_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A control's signal runs a handler of this window as the user's command.
    template <class Sender, class Signal>
    void On(Sender* sender, Signal signal, void (TaMain::*handler)()) {
        connect(sender, signal, this, [this, handler] {
            platform::guardedCommand([this, handler] { (this->*handler)(); });
        });
    }

    void CreateControls();
    QWidget* CreateDisplayScreen(QWidget* parent);
    QWidget* CreateSongQueueScreen(QWidget* parent);
    QWidget* CreateBottomBar(QWidget* parent);
    QWidget* CreatePlayButtons(QWidget* parent);
    void CreateMenus();
    void CreateImages();
    void ConnectEvents();
    void ConnectQueueEvents();
    void AddQuickSelection(QPushButton* go);
    void LoadAnimations();
    void ReloadSongQueue();

    // The client side of the line protocol (main_window_protocol.cpp): one handler a reply
    // type, each taking the upper-cased, trimmed payload.
    void ConnectProtocolEvents();
    void ApplyReply(const std::string& type, const std::string& payload);
    void ScnReply(const std::string& payload);
    void AvlReply(const std::string& payload);
    void CisReply(const std::string& payload);
    void PlyReply(const std::string& payload);
    void FilReply(const std::string& payload);
    void SifReply(const std::string& payload);
    void IniReply(const std::string& payload);
    void LogReply(const std::string& payload);
    void ComReply(const std::string& payload);
    void SendIdlePoll();
    // Every "#" line to the server goes out here, so the requests it answers are known; the
    // ticket comes back with the request a reply or another client's rescan answered.
    void SendRequest(const std::string& line, std::uint64_t ticket = 0);
    // What a reply tells of the requests: a song the server answered is taken; what another
    // client's rescan answered is asked, submitted or offered again, and what waits for its
    // reply is released.
    void TakeOutcome(const OpenRequests::Outcome& outcome);
    // No "#CIS" or "#SCN" outstanding, the rescan button up, the skip not awaited, the idle
    // polls from the start (a local rescan under way keeps its own state), no request open,
    // nothing left to send again, and the queue's songs on their way settled.
    void ForgetServerRequests();
    // The queue's songs on their way to the server (main_window_submission.cpp).
    void SubmitQueueRow(QTreeWidgetItem* row);
    QTreeWidgetItem* QueueRowOfTicket(std::uint64_t ticket) const;
    // The first row whose "#FIL" another client's rescan answered, in the order they went out.
    QTreeWidgetItem* OwedQueueRow() const;
    static std::string SubmittedText(const QTreeWidgetItem* row);  // "... submitted to Sonhall."
    // Submitted for good: removed, when the queue loses played songs, with its first twin.
    void TakeQueueRow(QTreeWidgetItem* row);
    void RemoveFirstQueueEntry(const QString& songNo);
    void SubmissionAnswered(std::uint64_t ticket);  // "#FILack" or "#FILnak"
    void SubmissionReplaced(std::uint64_t ticket);  // another client's rescan answered it
    // At the connection's end: a song the rescan answered goes back to its place unplayed;
    // one still awaiting its answer went out on the connection and is taken.
    void SettleSubmissions();
    // The server's song leaves the display, and the next "#PLY" is taken as a new song.
    void ForgetServerSong();
    // A reply the handlers could not read: its error in a posted box, or, while the last such
    // box stands, a count in the status bar.
    void SkipUnreadableReply(const std::string& error);
    void SendCis();  // "#CIS" + the trimmed client name; a "#CIS" is then outstanding
    void ShowModeDisplay();
    std::string ServerAddress() const;  // as typed in the configuration
    std::string TimeOfDayText() const;
    void WriteCloseKeys();
    void SaveSongQueue();

    ClientForms& forms_;
    const ClientEnvironment& env_;
    bool closing_ = false;
    // The first show's start-up while it waits in the event queue: work under way already, so
    // a close meanwhile waits for the start-up's end.
    std::optional<platform::WorkUnderWay> startUpDue_;
    std::int32_t progressMaximum_ = 0;
    // The song-information entry last requested and not answered yet.
    std::string songInfoAwaited_;
    bool localRescan_ = false;  // the rescan button's local scan runs
    bool unreadableBoxStanding_ = false;
    int unreadableSkipped_ = 0;  // unreadable replies since that box was posted
    OpenRequests openRequests_;
    std::uint64_t lastTicket_ = 0;  // of the last "#FIL" sent for a queue row
    std::string lastVolumeLine_;    // the last "#VOL" sent
    bool volumeLost_ = false;       // a "#VOL" the rescan answered waits to go out again
};

}  // namespace sonpad
