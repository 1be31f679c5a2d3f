// The now-playing display and the volume: the song's look-up by file name, the refresh and
// clearing of the black panel, the wave-out volume, the track bar and the mute button.
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cmath>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/volume_bar.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/gauge.h"

namespace sonpad {
namespace {

constexpr int kMuteSavedVolume = 16383;

}  // namespace

std::string TaMain::PercentTextOf(std::int32_t part, std::int32_t whole) {
    if (whole == 0)
        return "0";
    const double percent = static_cast<double>(part) / whole * 100.0;
    return std::to_string(static_cast<std::int64_t>(std::trunc(percent)));
}

bool TaMain::LookupSongByFileName(const std::string& name) {
    // The index answers what a walk from the first record gives: the scan stores paths in
    // upper case, so the upper-cased name finds them.
    const TDm& dm = *forms_.Dm;
    const int index = dm.FindSongByFileName(kv::Trim(name));
    if (index < 0)
        return false;
    CurrentTitle = dm.GetTitle(index);
    CurrentArtist = dm.GetArtist(index);
    CurrentAlbum = dm.GetAlbum(index);
    CurrentGenre = dm.GetGenreName(index);
    return true;
}

void TaMain::TakeSongByFileName(const std::string& name) {
    if (LookupSongByFileName(name))
        return;
    // Not in the local library: the title from the file name, nothing left of the song before.
    CurrentTitle = kv::LeftChars(name, static_cast<std::int32_t>(name.size()) - 4);
    CurrentArtist.clear();
    CurrentAlbum.clear();
    CurrentGenre.clear();
}

void TaMain::ShowNowPlaying() {
    if (!LocalMode) {
        SetProgressBar(CurrentLength, CurrentPosition);
        // The server's figures may be anything: the difference must not overflow.
        const std::int64_t remaining = std::int64_t{CurrentLength} - CurrentPosition;
        RemainingText = "-" + kv::MsToMinSec(static_cast<std::int32_t>(
                                  std::clamp<std::int64_t>(remaining, INT32_MIN, INT32_MAX)));
        PercentText = PercentTextOf(CurrentPosition, CurrentLength);
    }
    if (!Timer2->Enabled()) {
        Label7->setText(platform::latin1(CurrentTitle));
        Timer2->SetEnabled(true);
    }
    Label8->setText(platform::latin1(CurrentArtist));
    Label9->setText(platform::latin1(CurrentGenre));
    Label10->setText(platform::latin1(CurrentAlbum));
    if (CurrentLength > 0 && CurrentFileSize > 0) {
        // 32-bit arithmetic as the display always had: sizes over 268 MB wrap.
        const auto bits =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(CurrentFileSize) * 8u);
        Label24->setText(QString::number(bits / CurrentLength + 1) + " kbit");
    } else {
        Label24->clear();
    }
    bool numeric = false;
    const int percent = platform::latin1(PercentText).toInt(&numeric);
    Gauge1->SetProgress(numeric ? percent : 0);
    Gauge1->setToolTip(platform::latin1(PercentText + "% complete"));
    Label15->setText(platform::latin1(RemainingText));
}

void TaMain::ClearNowPlaying() {
    Timer2->SetEnabled(false);
    Label7->move(2, Label7->y());
    Label7->clear();
    for (QLabel* label : {Label8, Label9, Label10, Label24})
        label->clear();
    Gauge1->SetProgress(0);
    Gauge1->setToolTip(QString());
    Label15->setText("00:00");
    if (!LocalMode)
        SetProgressBar(0, 0);
}

std::uint16_t TaMain::GetWaveVolume() {
    return WaveOut.read();
}

void TaMain::SetWaveVolume(std::uint16_t volume) {
    WaveOut.write(volume);
}

void TaMain::TrackBar1Change() {
    const int position = TrackBar1->value();
    if (LocalMode)
        SetWaveVolume(static_cast<std::uint16_t>(std::clamp(position, 0, 65535)));
    else if (SendVolume && IdTCPClient1.connected())
        SendRequest("#VOL" + std::to_string(position));
    TrackBar1->setToolTip(QString::number(std::int64_t{position} * 100 / 65535) + "%");
    if (!SpeedButton4->isChecked() && position <= 0) {
        SavedVolume = kMuteSavedVolume;
        SpeedButton4->setChecked(true);
        SetHint(SpeedButton4, "Remove the mute");
    }
    if (SpeedButton4->isChecked() && position > 0) {
        SpeedButton4->setChecked(false);
        SetHint(SpeedButton4, "Mute");
    }
}

void TaMain::SpeedButton4Click() {
    const int position = TrackBar1->value();
    if (SpeedButton4->isChecked()) {
        if (position <= 0)
            return;
        SetHint(SpeedButton4, "Remove the mute");
        SavedVolume = position;
        TrackBar1->setValue(0);
    } else if (position <= 0) {
        SetHint(SpeedButton4, "Mute");
        TrackBar1->setValue(SavedVolume);
    }
}

}  // namespace sonpad
