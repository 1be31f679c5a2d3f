// The queue played by the real audio engine, rendered into memory.
#include <QTreeWidget>
#include <filesystem>

#include "platform/audio/audio_engine.h"
#include "platform/qt/tick_timer.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/play_log_window.h"
#include "tests/platform/audio/signal_checks.h"
#include "tests/server/server_test_support.h"

namespace server_testing {
namespace {

using audio_checks::toneLevel;

class PlaybackRenderTest : public ServerTest {
  protected:
    // A server whose two players play in the render engine, with the fixture songs in its
    // library, past its start-up countdown.
    void Start(int crossfade) {
        dir.mkdir("music");
        for (const char* name : {"tone_cbr_2s.mp3", "tone_vbr_3s.mp3"})
            std::filesystem::copy_file(audio_checks::fixture(name),
                                       dir / ("music/" + std::string(name)));
        WriteConfig("[SONHALL]\nCROSSFADE=" + std::to_string(crossfade) +
                    "\nDIRECTORIES=1\nPORT=2323\nCLIENT SONG=3\nMP3 PATH1=" + Entry("music") +
                    "\n");
        Create();
        main().MediaPlayer1 = engine.createPlayer();
        main().MediaPlayer2 = engine.createPlayer();
        main().FormShow();
        main().Timer1->Tag = 0;  // no listener needed here
    }
    // Ticks every step of rendered sound until nothing plays and the queue is empty.
    void PlayOut(std::int32_t stepMs) {
        for (int i = 0; i < 200; ++i) {
            main().PlayerTick();
            if (i > 0 && main().SongQueue.empty() &&
                main().MediaPlayer1->mode() != platform::audio::PlayerMode::Playing &&
                main().MediaPlayer2->mode() != platform::audio::PlayerMode::Playing)
                return;
            engine.renderMs(stepMs);
        }
        FAIL() << "still playing";
    }

    platform::audio::AudioEngine engine{platform::audio::RenderOptions{}};
};

TEST_F(PlaybackRenderTest, TwoQueuedSongsOverlapInTheMixAndAreLogged) {
    Start(90);
    ASSERT_TRUE(dm().QueueSong("tone_cbr_2s.mp3", "kitchen"));  // 440 Hz for 2 s
    ASSERT_TRUE(dm().QueueSong("tone_vbr_3s.mp3", "hall"));     // 880 Hz for 2 s, 1 s silence
    // Ticks closer than a second: the overlap of these short songs lasts 0.2 s.
    PlayOut(100);

    const auto& mix = engine.rendered();
    // The second song starts at 90 % of the first: 1.8 s.
    EXPECT_LT(toneLevel(mix, 1.0, 1.1, 880), 1000);
    EXPECT_GT(toneLevel(mix, 1.0, 1.1, 440), 12000);
    EXPECT_GT(toneLevel(mix, 1.9, 2.0, 440), 12000);  // both together
    EXPECT_GT(toneLevel(mix, 1.9, 2.0, 880), 12000);
    EXPECT_LT(toneLevel(mix, 2.5, 2.6, 440), 1000);
    EXPECT_GT(toneLevel(mix, 2.5, 2.6, 880), 12000);
    EXPECT_LT(toneLevel(mix, 3.9, 4.0, 880), 1000);  // its silent last second

    EXPECT_EQ(main().SongsPlayed, 2);
    QTreeWidget* log = playlog().ListView1;
    ASSERT_EQ(log->topLevelItemCount(), 2);
    EXPECT_EQ(log->topLevelItem(0)->text(4), "TONE_CBR_2S.MP3");
    EXPECT_EQ(log->topLevelItem(1)->text(4), "TONE_VBR_3S.MP3");
    EXPECT_EQ(log->topLevelItem(1)->text(0), "2");
}

}  // namespace
}  // namespace server_testing
