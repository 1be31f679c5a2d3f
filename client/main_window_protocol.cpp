// The client side of the line protocol: connecting and disconnecting, the client-mode tick
// with its polls, the table of the server's replies, the rescan button and the window of
// the server's messages.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <array>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/poll_rule.h"
#include "client/setup_window.h"
#include "client/volume_bar.h"
#include "client/windows/server_messages_window.h"
#include "common/at_exit.h"
#include "common/conversion.h"
#include "common/line_protocol.h"
#include "common/message_dialogs.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/event_guard.h"
#include "platform/qt/clock_texts.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/spin_edit.h"
#include "platform/work_under_way.h"

namespace sonpad {
namespace {

constexpr int kLocalTickMs = 1000;
constexpr int kClientTickMs = 500;
constexpr int kReadTimeoutMs = 5;
constexpr std::int32_t kRecordNumberWidth = 6;
constexpr size_t kRecordPathColumn = 133;  // the record's path starts in column 134

const char* StatusWord(platform::tcp::ClientStatus status) {
    using platform::tcp::ClientStatus;
    switch (status) {
        case ClientStatus::resolving:
            return "hsResolving";
        case ClientStatus::connecting:
            return "hsConnecting";
        case ClientStatus::connected:
            return "hsConnected";
        case ClientStatus::disconnecting:
            return "hsDisconnecting";
        case ClientStatus::disconnected:
            return "hsDisconnected";
    }
    return "hsText";
}

}  // namespace

void TaMain::ConnectProtocolEvents() {
    IdTCPClient1.onConnected([this] { IdTCPClient1Connected(); });
    IdTCPClient1.onDisconnected([this] { IdTCPClient1Disconnected(); });
    IdTCPClient1.onStatus([this](platform::tcp::ClientStatus status, std::string_view) {
        IdTCPClient1Status(status);
    });
    On(SpeedButton2, &QToolButton::clicked, &TaMain::SpeedButton2Click);
    On(SpeedButton5, &QToolButton::clicked, &TaMain::SpeedButton5Click);
    On(SpeedButton3, &QToolButton::clicked, &TaMain::SpeedButton3Click);
    On(ShowServerMessages1, &QAction::triggered, &TaMain::ShowServerMessages1Click);
}

std::string TaMain::ServerAddress() const {
    return platform::fromLatin1(forms_.aSetup->Edit3->text());
}

std::string TaMain::TimeOfDayText() const {
    return platform::LongTimeText(env_.now().time());
}

// ---- Connect and disconnect ----

void TaMain::SpeedButton2Click() {
    if (SpeedButton2->isChecked())
        ConnecttoSonhall1Click();
    else
        DisconnectfromServer1Click();
    SetHint(SpeedButton2,
            SpeedButton2->isChecked() ? "Disconnect from Sonhall" : "Connect to Sonhall");
    ShowModeDisplay();
}

void TaMain::ShowModeDisplay() {
    Animate1->setVisible(!LocalMode);
    Animate2->setVisible(LocalMode);
    for (QLabel* label : {Label16, Label17, Label18, Label19, Label20, Label21})
        label->setVisible(!LocalMode);
}

void TaMain::ConnecttoSonhall1Click() {
    TDm& dm = *forms_.Dm;
    if (LocalSongOpen) {
        LocalMode = true;
        SpeedButton2->setChecked(false);
        platform::dialogs().showMessage("Please stop current song that is playing");
        return;
    }
    const std::string address = ServerAddress();
    if (address.empty() || forms_.aSetup->Edit1->text().isEmpty()) {
        platform::dialogs().showMessage(
            "You need a Client Name and the Server IP address to connect.");
        LocalMode = true;
        SpeedButton2->setChecked(false);
        return;
    }
    dm.SetStatusText(0, "Connecting...");
    ForgetServerRequests();
    ForgetServerSong();
    IdTCPClient1.setHost(address);
    IdTCPClient1.setPort(forms_.aSetup->SpinEdit1->Value());
    try {
        IdTCPClient1.connect();
    } catch (const std::exception&) {
        LocalMode = true;
        SpeedButton2->setChecked(false);
        dm.SetStatusText(0, "Failed...");
        platform::dialogs().showMessage("Error while trying to connect to HOST: " + address +
                                        "\r\nIs the Server ACTIVE?");
        return;
    }
    LocalMode = false;
    Timer1->SetInterval(kClientTickMs);
    dm.SetStatusText(0, "CONNECTED " + address);
    dm.SetStatusText(1, "");
    if (!Timer1->Enabled())
        Timer1->SetEnabled(true);
}

void TaMain::DisconnectfromServer1Click() {
    if (IdTCPClient1.connected()) {
        try {
            IdTCPClient1.writeLine(kv::kLogOff);
        } catch (const platform::Error&) {
            // A server that is gone cannot be told; the disconnect goes on.
        }
    }
    IdTCPClient1.disconnect();
    // A connection that failed before has no notification left to give.
    ForgetServerRequests();
    ForgetServerSong();
    LocalMode = true;
    Timer1->SetInterval(kLocalTickMs);
    TDm& dm = *forms_.Dm;
    dm.SetStatusText(1, "Disconnected from HOST: " + ServerAddress());
    dm.SetStatusText(0, "");
    dm.SetStatusText(2, "");
}

void TaMain::IdTCPClient1Connected() {
    IdTCPClient1.writeLine(kv::LogInLine(platform::fromLatin1(forms_.aSetup->Edit1->text())));
}

void TaMain::IdTCPClient1Disconnected() {
    ForgetServerRequests();
}

void TaMain::ForgetServerRequests() {
    CisPending = false;
    if (!localRescan_) {
        RescanPending = false;
        SpeedButton5->setChecked(false);
    }
    btnNext->setEnabled(true);
    IdleTicks = 0;
    RequestInFlight = false;
    songInfoAwaited_.clear();
    openRequests_.Clear();
    SettleSubmissions();
    volumeLost_ = false;
}

void TaMain::ForgetServerSong() {
    ClearNowPlaying();
    CurrentSongId.clear();
}

void TaMain::IdTCPClient1Status(platform::tcp::ClientStatus status) {
    forms_.Dm->SetStatusText(0, StatusWord(status));
}

// ---- The client-mode tick ----

void TaMain::ClientTick() {
    if (!IdTCPClient1.connected())
        return;
    // The scan lets events in while it rebuilds the library a reply would write into; the
    // server's lines wait in the connection until it is done.
    if (platform::scanUnderWay())
        return;
    const std::string line = IdTCPClient1.readLine(kReadTimeoutMs);
    if (line.empty()) {
        SendIdlePoll();
        return;
    }
    try {
        HandleServerLine(line);
    } catch (const std::exception& e) {
        // A connection that failed under the reply ends the tick; a reply that cannot be read
        // is passed over, and the tick goes on.
        if (!IdTCPClient1.connected())
            throw;
        SkipUnreadableReply(e.what());
    }
}

void TaMain::SkipUnreadableReply(const std::string& error) {
    // A server that sends nothing else must not pile up boxes.
    if (unreadableBoxStanding_) {
        ++unreadableSkipped_;
        forms_.Dm->SetStatusText(
            1, "Unreadable replies skipped: " + std::to_string(unreadableSkipped_));
        return;
    }
    unreadableBoxStanding_ = true;
    unreadableSkipped_ = 0;
    platform::dialogs().postTrackedError(error, [window = QPointer<TaMain>(this)] {
        if (window)
            window->unreadableBoxStanding_ = false;
    });
}

void TaMain::HandleServerLine(std::string_view line) {
    TaServer& messages = *forms_.aServer;
    if (line.starts_with('#')) {
        const kv::Reply reply = kv::SplitReply(line);
        if (messages.isVisible())
            messages.ListBox1->insertItem(0, platform::latin1(TimeOfDayText() + ": [" + reply.type +
                                                              "] \"" + reply.payload + "\""));
        // The requests come first: a reply may find a song to submit again.
        TakeOutcome(openRequests_.Received(reply.type, reply.payload));
        ApplyReply(reply.type, reply.payload);
    } else if (messages.isVisible()) {
        messages.ListBox1->addItem(platform::latin1(kv::ServerMessageText(line)));
    }
}

void TaMain::SendIdlePoll() {
    switch (NextIdlePoll(IdleTicks, RequestInFlight, !SongInfoRequests.empty())) {
        case Poll::Nothing:
            break;
        case Poll::PlayStatus:
            SendRequest("#PLY?");
            break;
        case Poll::ServerInfo:
            SendRequest("#INI?");
            break;
        case Poll::SongInfo: {
            // A request the server left unanswered (it holds no such file) goes to the end,
            // so it cannot hold back the others.
            if (!songInfoAwaited_.empty() && SongInfoRequests.front() == songInfoAwaited_)
                std::rotate(SongInfoRequests.begin(), SongInfoRequests.begin() + 1,
                            SongInfoRequests.end());
            songInfoAwaited_ = SongInfoRequests.front();
            SendRequest("#SIF" + songInfoAwaited_);
            forms_.Dm->SetStatusText(1, "#SIF requested.");
            break;
        }
    }
}

void TaMain::SendRequest(const std::string& line, std::uint64_t ticket) {
    IdTCPClient1.writeLine(line);
    openRequests_.Written(line, ticket);
    if (kv::CommandCode(line) == kv::code::kVolume)
        lastVolumeLine_ = line;
}

// ---- What the replies tell of the requests ----

void TaMain::TakeOutcome(const OpenRequests::Outcome& outcome) {
    if (outcome.answered && outcome.answered->code == kv::code::kQueueSong)
        SubmissionAnswered(outcome.answered->ticket);
    for (const OpenRequests::Request& request : outcome.replaced) {
        if (request.code == kv::code::kQueueRoom) {
            // Unanswered: the next "#AVL" asks again.
            CisPending = openRequests_.Holds(kv::code::kQueueRoom);
        } else if (request.code == kv::code::kQueueSong) {
            // Never queued: it goes out again on the next room offered, before any other.
            SubmissionReplaced(request.ticket);
        } else if (request.code == kv::code::kCommand) {
            // Not carried out; while the rescan ran nothing played that it could skip.
            SetLamp(Panel5, false);
            SetLamp(Panel4, Playing);
            btnNext->setEnabled(true);
        } else if (request.code == kv::code::kRescan && !localRescan_) {
            // Another client's rescan runs: this one's request ends here.
            RescanPending = false;
            SpeedButton5->setChecked(false);
        } else if (request.code == kv::code::kVolume) {
            volumeLost_ = true;
        }
        // "#SIF" stays first in the list and goes to its end when the next one is due, as
        // after any unanswered request; the polls need nothing.
    }
    // The user's volume reaches the server once it answers again, unless a later "#VOL"
    // is still on its way.
    if (volumeLost_ && outcome.serverAnswers && !openRequests_.Holds(kv::code::kVolume) &&
        !lastVolumeLine_.empty()) {
        volumeLost_ = false;
        SendRequest(lastVolumeLine_);
    }
}

// ---- The replies ----

void TaMain::ApplyReply(const std::string& type, const std::string& payload) {
    using Handler = void (TaMain::*)(const std::string&);
    struct Row {
        std::string_view type;
        Handler handler;
    };
    static constexpr std::array<Row, 9> kReplies{{
        {kv::code::kRescan, &TaMain::ScnReply},
        {kv::code::kAvailable, &TaMain::AvlReply},
        {kv::code::kQueueRoom, &TaMain::CisReply},
        {kv::code::kPlayStatus, &TaMain::PlyReply},
        {kv::code::kQueueSong, &TaMain::FilReply},
        {kv::code::kSongInfo, &TaMain::SifReply},
        {kv::code::kServerInfo, &TaMain::IniReply},
        {kv::code::kLog, &TaMain::LogReply},
        {kv::code::kCommand, &TaMain::ComReply},
    }};
    for (const Row& row : kReplies)
        if (row.type == type) {
            (this->*row.handler)(payload);
            return;
        }
}

void TaMain::ScnReply(const std::string& payload) {
    const kv::RescanReply reply = kv::ParseRescanReply(payload);
    TDm& dm = *forms_.Dm;
    switch (reply.kind) {
        case kv::RescanReply::Kind::Refused:
            dm.SetStatusText(1, "Re-Scan request denied...");
            RescanPending = false;
            SpeedButton5->setChecked(false);
            break;
        case kv::RescanReply::Kind::Done:
            SpeedButton5->setChecked(false);
            RescanPending = false;
            dm.SetStatusText(1, reply.text);
            break;
        case kv::RescanReply::Kind::Progress:
            dm.SetStatusText(1, reply.text);
            break;
    }
}

void TaMain::AvlReply(const std::string&) {
    if (!Playing)
        return;
    if (ListView1->topLevelItemCount() == 0) {
        SetPlayState("STOP");
        forms_.Dm->SetStatusText(0, "");
        forms_.Dm->SetStatusText(1, "There are no songs selected.");
    } else if (!RescanPending && !CisPending) {
        SendCis();
    }
}

void TaMain::SendCis() {
    SendRequest("#CIS" + kv::Trim(platform::fromLatin1(forms_.aSetup->Edit1->text())));
    CisPending = true;
}

void TaMain::CisReply(const std::string& payload) {
    switch (kv::ParseQueueRoom(payload)) {
        case kv::Answer::Ack:
            // Room offered after the user stopped takes nothing.
            if (Playing)
                PlayNextFromQueue();
            CisPending = false;
            // A queue that ran out has stopped play: asking on would be answered for ever and
            // leave no idle tick for the polls.
            if (!RescanPending && Playing)
                SendCis();
            break;
        case kv::Answer::Nak:
            CisPending = false;
            break;
        case kv::Answer::Other:
            break;
    }
}

void TaMain::PlyReply(const std::string& payload) {
    if (payload.starts_with('@')) {
        ClearNowPlaying();
        return;
    }
    ReplySongId = kv::LeftChars(payload, kRecordNumberWidth);
    if (ReplySongId == CurrentSongId) {
        // Only the position: the rest of the reply is the song already shown.
        CurrentPosition = kv::ParsePlayPosition(payload);
    } else {
        const kv::PlayStatus status = kv::ParsePlayStatus(payload);
        ClearNowPlaying();
        CurrentSongId = ReplySongId;
        CurrentPosition = status.position;
        CurrentLength = status.length;
        CurrentFileName = status.fileName;
        CurrentFileSize = status.fileSize;
        TakeSongByFileName(CurrentFileName);
    }
    ShowNowPlaying();
}

void TaMain::FilReply(const std::string& payload) {
    const kv::QueueAnswer answer = kv::ParseQueueAnswer(payload);
    if (!answer.accepted)
        forms_.Dm->SetStatusText(1, "REJECTED: " + answer.file);
}

void TaMain::SifReply(const std::string& payload) {
    const kv::SongInfo info = kv::ParseSongInfo(payload);
    RequestInFlight = false;
    // The request it answers: the same index and the file name of the server's record. An
    // answer that fits none (a local scan came between) changes nothing.
    const std::string entry =
        kv::LeftChars(payload, kRecordNumberWidth) +
        kv::ExtractFileName(kv::Copy(payload, kRecordNumberWidth + kRecordPathColumn + 1,
                                     static_cast<std::int64_t>(payload.size())));
    const auto request = std::find(SongInfoRequests.begin(), SongInfoRequests.end(), entry);
    if (request == SongInfoRequests.end() || info.index < 0 ||
        static_cast<size_t>(info.index) >= SongLibrary.size())
        return;
    if (*request == songInfoAwaited_)
        songInfoAwaited_.clear();
    SongInfoRequests.erase(request);
    std::string& record = SongLibrary[static_cast<size_t>(info.index)];
    const std::string path =
        record.size() > kRecordPathColumn ? record.substr(kRecordPathColumn) : std::string();
    record = kv::PadRight(kv::LeftChars(record, kRecordNumberWidth), kRecordNumberWidth, " ") +
             info.tagColumns + path;
    forms_.Dm->SetStatusText(1, "#SIF updated.");
    CurrentSongId = "XxX";
    CurrentFileSize = 0;
}

void TaMain::IniReply(const std::string& payload) {
    const kv::ServerInfo info = kv::ParseServerInfo(payload);
    RequestInFlight = false;
    SendVolume = false;
    const kv::AtExit sendAgain([this] { SendVolume = true; });
    TrackBar1->setValue(info.volume);
    Label16->setText(platform::latin1(info.users));
    Label17->setText(platform::latin1(info.songsPlayed));
    Label18->setText(platform::latin1(info.queueLength));
}

void TaMain::LogReply(const std::string& payload) {
    switch (kv::ParseLogAnswer(payload)) {
        case kv::LogAnswer::Ack:
            SendRequest("#INI?");
            break;
        case kv::LogAnswer::Off:
            SpeedButton2->setChecked(false);
            SpeedButton2Click();
            Playing = false;
            SetPlayState("STOP");
            forms_.Dm->SetStatusText(0, "Force Server logoff");
            break;
        case kv::LogAnswer::Max:
            SpeedButton2->setChecked(false);
            SpeedButton2Click();
            kv::ShowErrorDlg("Server reached MAX number of users.");
            break;
        case kv::LogAnswer::Other:
            break;
    }
}

void TaMain::ComReply(const std::string& payload) {
    if (payload != "NEXT")
        return;
    SetLamp(Panel4, true);
    SetLamp(Panel5, false);
    btnNext->setEnabled(true);
}

// ---- Rescan, configuration, server messages ----

void TaMain::SpeedButton5Click() {
    if (RescanPending) {
        SpeedButton5->setChecked(true);
        return;
    }
    if (LocalMode) {
        RescanPending = true;
        localRescan_ = true;
        const kv::AtExit done([this] {
            SpeedButton5->setChecked(false);
            RescanPending = false;
            localRescan_ = false;
        });
        forms_.aSetup->ScanLocalSongs();
        forms_.Dm->SetStatusText(1, "Re-Scan directory completed.");
    } else {
        // Down and pending only once the request is out.
        SpeedButton5->setChecked(false);
        SendRequest("#SCN");
        RescanPending = true;
        SpeedButton5->setChecked(true);
        forms_.Dm->SetStatusText(1, TimeOfDayText() + " Server RE-SCAN request sent to server.");
    }
}

void TaMain::SpeedButton3Click() {
    TaSetup& setup = *forms_.aSetup;
    if (setup.isVisible()) {
        setup.close();
    } else {
        setup.show();
        setup.raise();
        setup.activateWindow();
    }
}

void TaMain::ShowServerMessages1Click() {
    TaServer& messages = *forms_.aServer;
    if (messages.isVisible()) {
        messages.close();
        ShowServerMessages1->setChecked(false);
    } else {
        messages.show();
        messages.raise();
        ShowServerMessages1->setChecked(true);
    }
}

}  // namespace sonpad
