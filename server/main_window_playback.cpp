// The player tick: the queue played on two players that overlap, the queue status, the
// wave-out volume and the stop by double-click.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <exception>
#include <optional>
#include <utility>

#include "common/checked_file_size.h"
#include "common/line_protocol.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/audio/media_player.h"
#include "platform/audio/wave_volume.h"
#include "platform/errors.h"
#include "platform/qt/clock_texts.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/gauge.h"
#include "platform/widgets/live_tool_tip.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/play_log_window.h"
#include "server/setup_window.h"

namespace sonhall {
namespace {

using platform::audio::MediaPlayer;
using platform::audio::PlayerMode;

constexpr std::int64_t kPathColumn = 47, kPathWidth = 140, kIdWidth = 6;

std::unique_ptr<MediaPlayer>& PlayerOf(TaMain& main, int n) {
    return n == 1 ? main.MediaPlayer1 : main.MediaPlayer2;
}

// A player the environment did not give counts as one that never plays.
bool Playing(const std::unique_ptr<MediaPlayer>& player) {
    return player && player->mode() == PlayerMode::Playing;
}

// Trunc(position / length * 100) >= percent, exactly: no rounding of the quotient can make a
// song start a tick early or late.
bool PastOverlapPoint(const MediaPlayer& player, std::int32_t percent) {
    const std::int64_t length = player.length();
    if (length <= 0)
        return true;
    return std::int64_t{player.position()} * 100 >= std::int64_t{percent} * length;
}

}  // namespace

void TaMain::Timer1Timer() {
    // An error escaping the tick leaves the timer off until the server is activated again. A
    // deactivation asked for meanwhile (a tick can show boxes) waits for the tick's end.
    BusyScope busy(*this, platform::WorkUnderWay::Kind::Short);
    Timer1->SetEnabled(false);
    PlayerTick();
    Timer1->SetEnabled(true);
}

void TaMain::PlayerTick() {
    // Start-up countdown: two ticks of "Initializing...", then the activation.
    if (Timer1->Tag > 1) {
        SongProgress->SetProgress(SongProgress->Progress() + 1);
        edtCurrSong->setText(
            platform::latin1(kv::LeftChars("Initializing......", 18 - Timer1->Tag)));
        --Timer1->Tag;
        return;
    }
    if (Timer1->Tag == 1) {
        TrackBar1->setRange(0, 65535);
        TrackBar1->setValue(GetWaveVolume());
        SongProgress->SetProgress(SongProgress->Progress() + 1);
        Timer1->Tag = 0;
        btnActivateClick();
    }
    const std::int32_t limit = forms_.aSetup->SpinEdit1->Value();

    // State: a song plays, or the next one starts on player 1, or the server waits.
    if (Playing(MediaPlayer1) || Playing(MediaPlayer2)) {
        GroupBox2->setTitle("| Song Playing |");
    } else {
        ActivePlayer = 0;
        SkipRequested = false;
        StatusBar1->SetText(1, UptimeText());
        if (!SongQueue.empty()) {
            PlayNextSong(1);
        } else {
            GroupBox2->setTitle(
                platform::latin1("| Waiting " + platform::LongTimeText(env_.now().time()) + " |"));
            AvlCountdown = limit;
            Animate1->setActive(false);
            Animate2->setActive(false);
        }
    }

    // Each player: closed when caught playing at its very end; from its overlap point on, the
    // next song starts on the other player.
    for (const int n : {1, 2}) {
        std::unique_ptr<MediaPlayer>& player = PlayerOf(*this, n);
        if (!Playing(player))
            continue;
        if (player->position() == player->length()) {
            player->close();
            if (ActivePlayer == n)
                ActivePlayer = 0;
        } else if (forms_.aSetup->CrossfadePercent < 100 &&
                   PastOverlapPoint(*player, forms_.aSetup->CrossfadePercent) &&
                   !Playing(PlayerOf(*this, 3 - n))) {
            PlayNextSong(3 - n);
        }
    }

    // The active song's progress, and a skip asked for since the last tick.
    std::unique_ptr<MediaPlayer>* active =
        ActivePlayer == 1 || ActivePlayer == 2 ? &PlayerOf(*this, ActivePlayer) : nullptr;
    if (active && *active) {
        MediaPlayer& player = **active;
        const std::int32_t position = player.position();
        CurrentPosition = position;
        SongProgress->SetProgress(position);
        // A hint on the screen counts down with the song.
        platform::widgets::SetLiveToolTip(
            SongProgress, platform::latin1("-" + kv::MsToMinSec(player.length() - position)));
        if (SkipRequested) {
            player.seek(player.length());
            SkipRequested = false;
        }
    } else {
        ActivePlayer = 0;
        SongProgress->SetProgress(0);
        platform::widgets::SetLiveToolTip(SongProgress, QString());
        SkipRequested = false;
        edtCurrSong->clear();
        CurrentSongId.clear();
        CurrentFileName.clear();
        CurrentLength = 0;
        CurrentPosition = 0;
    }

    if (AvlCountdown > 0) {
        Broadcast(kv::kSystemSender, kv::kAvailable);
        --AvlCountdown;
    }
    if (ActivePlayer > 0 && !Animate1->active()) {
        Animate1->setActive(true);
        Animate2->setActive(true);
    }
    repaint();
}

bool TaMain::PlayNextSong(int player) {
    bool result = false;
    if (!SongQueue.empty()) {
        const QueuedSong song = std::move(SongQueue.front());
        const std::string& line = song.record;
        SongQueue.pop_front();
        delete ListBox1->takeItem(0);
        edtCurrSong->setText(
            platform::latin1(kv::Trim(forms_.aDm->SongTitleById(TaDm::SongIdOf(line)))));
        const std::string path = kv::Trim(kv::Copy(line, kPathColumn, kPathWidth));
        // The record's own file: once it vanished the song is missing, whatever file differs
        // from it only in case. A record no scan made plays its path, looked up.
        const platform::files::Name file =
            song.file.text().empty() ? platform::files::Name(path) : song.file;
        ActivePlayer = player;
        // Its boxes stand while playback goes on.
        CurrentFileSize = kv::GetCheckedFileSize(file, platform::BoxWait::No);

        std::unique_ptr<MediaPlayer>& target = PlayerOf(*this, player);
        const std::unique_ptr<MediaPlayer>& other = PlayerOf(*this, 3 - player);
        if (Playing(target)) {
            try {
                target->close();
            } catch (const std::exception&) {
                ActivePlayer = 0;
            }
        }
        // The same file twice in a row would play over itself: the record is dropped.
        if (Playing(other) && other->fileName() == file.text()) {
            ActivePlayer = 0;
            return false;
        }
        try {
            if (!target)
                throw platform::Error("No media player.");
            target->setFileName(file);
            target->open();
            target->play();
            platform::widgets::SetLiveToolTip(SongProgress, QString());
            SongProgress->SetProgress(0);
            SongProgress->SetMaxValue(target->length());
            CurrentSongId = kv::Copy(line, 1, kIdWidth);
            CurrentFileName = kv::ExtractFileName(path);
            CurrentLength = target->length();
            CurrentPosition = target->position();
            forms_.aPlaylog->AddEntry(CurrentSongId, CurrentFileName);
            ActivePlayer = player;
            result = true;
        } catch (const std::exception&) {
            // A file that cannot be opened or played is dropped without a word.
            ActivePlayer = 0;
            result = false;
        }
    }
    if (result)
        ++SongsPlayed;
    else
        ActivePlayer = 0;
    AvlCountdown = forms_.aSetup->SpinEdit1->Value();
    UpdateQueueStatus();
    StatusBar1->SetText(1, UptimeText());
    return result;
}

void TaMain::UpdateQueueStatus() {
    const size_t n = SongQueue.size();
    StatusBar1->SetText(2, n == 0   ? std::string("Song que is empty.")
                           : n == 1 ? std::string("1 song in que.")
                                    : std::to_string(n) + " songs in que.");
    if (SongsPlayed > 0) {
        Label10->show();
        Label10->setText(platform::latin1(":" + kv::PadLeft(std::to_string(SongsPlayed), 6, "0")));
    }
    update();  // one paint for many changes: a full repaint per queued song grows with the queue
}

std::uint16_t TaMain::GetWaveVolume() {
    return WaveOut.read();
}

void TaMain::SetWaveVolume(std::uint16_t volume) {
    WaveOut.write(volume);
}

void TaMain::TrackBar1Change() {
    const int position = TrackBar1->value();
    SetWaveVolume(static_cast<std::uint16_t>(position));
    TrackBar1->setToolTip(QString::number(std::int64_t{position} * 100 / 65535) + "%");
}

void TaMain::edtCurrSongDblClick() {
    if (ActivePlayer != 1 && ActivePlayer != 2)
        return;
    std::unique_ptr<MediaPlayer>& player = PlayerOf(*this, ActivePlayer);
    ActivePlayer = 0;
    // Stopped, not closed: it is replaced when a song is next opened on it.
    if (player)
        player->stop();
}

}  // namespace sonhall
