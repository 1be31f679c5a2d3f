// The song queue played here by the real audio engine, rendered into memory.
#include <QCheckBox>
#include <QGroupBox>
#include <filesystem>

#include "client/data_module.h"
#include "platform/audio/audio_engine.h"
#include "tests/client/selection_fixture.h"
#include "tests/platform/audio/signal_checks.h"

namespace client_testing {
namespace {

using audio_checks::toneLevel;

class QueueRenderTest : public SelectionTest {
  protected:
    platform::audio::AudioEngine engine{platform::audio::RenderOptions{}};
};

TEST_F(QueueRenderTest, ThreeSongsAreHeardInQueueOrder) {
    std::vector<std::string> numbers;
    // 440 Hz for 2 s, 660 Hz for 1 s, 880 Hz for 2 s and 1 s of silence.
    for (const char* name : {"tone_cbr_2s.mp3", "tone_48k_1s.mp3", "tone_vbr_3s.mp3"}) {
        std::filesystem::copy_file(audio_checks::fixture(name), dir / name);
        numbers.push_back(AddSong(dir / name, name));
        dm().AddSongToQue(numbers.back());
    }
    main().MediaPlayer1 = engine.createPlayer();
    main().cbSeqPlay->setChecked(true);
    main().cbPlayListOnce->setChecked(true);
    main().btnPlayClick();

    std::vector<std::string> heard;
    std::string caption;
    for (int tick = 0; tick < 20 && main().Playing; ++tick) {
        main().Timer1Timer();
        if (main().LocalSongOpen && (heard.empty() || heard.back() != main().CurrentSongId))
            heard.push_back(main().CurrentSongId);
        if (heard.size() == 3 && caption.empty())
            caption = main().GroupSongQue->title().toStdString();
        engine.renderMs(1000);
    }
    EXPECT_FALSE(main().Playing);
    EXPECT_EQ(heard, numbers);
    EXPECT_EQ(caption, "[ SONG QUE (Total/Played/Repeat: 3/3/0) ]");

    // Each song starts in the tick that finds the one before it finished.
    const auto& mix = engine.rendered();
    EXPECT_GT(toneLevel(mix, 0.5, 0.6, 440), 12000);
    EXPECT_LT(toneLevel(mix, 0.5, 0.6, 660), 1000);
    EXPECT_GT(toneLevel(mix, 2.4, 2.5, 660), 12000);
    EXPECT_LT(toneLevel(mix, 2.4, 2.5, 440), 1000);
    EXPECT_GT(toneLevel(mix, 3.5, 3.6, 880), 12000);
    EXPECT_LT(toneLevel(mix, 3.5, 3.6, 660), 1000);
}

}  // namespace
}  // namespace client_testing
