// The player tick and the queue status.
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "server/controls/needle_gauge.h"
#include "server/controls/status_panels.h"
#include "server/main_window.h"
#include "server/tick_timer.h"

namespace sonhall {

void TaMain::Timer1Timer() {
    // An error escaping the tick leaves the timer off until the server is activated again. A
    // deactivation asked for meanwhile (a tick can show boxes) waits for the tick's end.
    BusyScope busy(*this);
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
        // The wave-out volume is read into TrackBar1 here once the volume devices are wired.
        SongProgress->SetProgress(SongProgress->Progress() + 1);
        Timer1->Tag = 0;
        btnActivateClick();
    }
    // The playback steps of the tick follow here, on this tick and every later one.
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
    repaint();
}

}  // namespace sonhall
