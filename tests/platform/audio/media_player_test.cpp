#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/audio/audio_engine.h"
#include "platform/errors.h"
#include "tests/platform/audio/signal_checks.h"
#include "tests/support/temp_dir.h"

namespace {

using audio_checks::fixture;
using audio_checks::peak;
using audio_checks::soundingMs;
using audio_checks::toneLevel;
using platform::audio::AudioEngine;
using platform::audio::MediaPlayer;
using platform::audio::PlayerMode;
using platform::audio::RenderOptions;
using testing_support::readFile;
using testing_support::TempDir;

constexpr double kHalfScale = 16384;
constexpr double kPresent = kHalfScale / 2;
constexpr double kAbsent = 300;

class RenderedPlayer : public ::testing::Test {
  protected:
    std::unique_ptr<MediaPlayer> opened(const std::string& name) {
        auto player = engine.createPlayer();
        player->setFileName(platform::files::Name(name));
        player->open();
        return player;
    }
    // Renders in steps until the player stops playing (or a limit well past its length).
    void renderToEnd(MediaPlayer& player) {
        for (int step = 0; step < 200 && player.mode() == PlayerMode::Playing; ++step)
            engine.renderMs(50);
    }
    const std::vector<std::int16_t>& mix() const { return engine.rendered(); }

    AudioEngine engine{RenderOptions{}};
};

struct SongCase {
    const char* file;
    int lengthMs;  // the true duration of the encoded tone (plus silence)
    int toneMs;
    double hz;
};

// Lengths are exact for CBR, VBR, resampled and mono files: what open reports, and what plays.
TEST_F(RenderedPlayer, LengthIsKnownAtOpenAndIsWhatPlays) {
    const SongCase cases[] = {
        {"tone_cbr_2s.mp3", 2000, 2000, 440},
        {"tone_vbr_3s.mp3", 3000, 2000, 880},
        {"tone_22k_mono_1500ms.mp3", 1500, 1500, 440},
        {"tone_48k_1s.mp3", 1000, 1000, 660},
    };
    for (const SongCase& c : cases) {
        SCOPED_TRACE(c.file);
        engine.clearRendered();
        auto player = opened(fixture(c.file));
        EXPECT_NEAR(player->length(), c.lengthMs, 30);
        EXPECT_EQ(player->mode(), PlayerMode::Stopped);
        EXPECT_EQ(player->position(), 0);

        player->play();
        EXPECT_EQ(player->mode(), PlayerMode::Playing);
        renderToEnd(*player);
        EXPECT_EQ(player->mode(), PlayerMode::Stopped);
        EXPECT_EQ(player->position(), player->length());
        EXPECT_NEAR(soundingMs(mix()), c.toneMs, 30);
        // Both channels carry the tone, also for the mono file, at the file's own pitch.
        EXPECT_GT(toneLevel(mix(), 0.3, 0.4, c.hz, 0), kPresent);
        EXPECT_GT(toneLevel(mix(), 0.3, 0.4, c.hz, 1), kPresent);
    }
}

TEST_F(RenderedPlayer, FileNameIsFoundWithoutRegardToCase) {
    TempDir dir;
    dir.write("Songs/Tone One.Mp3", readFile(fixture("tone_cbr_2s.mp3")));
    auto player = opened(dir / "SONGS/TONE ONE.MP3");
    EXPECT_EQ(player->fileName(), dir / "SONGS/TONE ONE.MP3");
    EXPECT_NEAR(player->length(), 2000, 30);
}

TEST_F(RenderedPlayer, BadFilesRaiseAnErrorNamingTheFile) {
    TempDir dir;
    std::mt19937 random(7);
    std::string noise(20000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    struct BadFile {
        std::string name;
        const char* why;
    };
    const BadFile cases[] = {
        {dir / "missing.mp3", "does not exist"},
        {fixture("not_an_mp3.mp3"), "not an MP3"},
        {fixture("tone_cbr_truncated.mp3"), "truncated"},
        {dir.write("empty.mp3", ""), "not an MP3"},
        {dir.write("text.mp3", "Title: nothing here but text\r\n"), "not an MP3"},
        {dir.write("noise.mp3", noise), ""},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.name);
        auto player = engine.createPlayer();
        player->setFileName(platform::files::Name(c.name));
        try {
            player->open();
            ADD_FAILURE() << "opened";
        } catch (const platform::Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + c.name + "\""), std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
        }
        EXPECT_EQ(player->mode(), PlayerMode::NotOpen);
        EXPECT_THROW(player->play(), platform::Error);
    }
}

// Damage inside a file that opens: it plays on (or stops early), it never brings the mix down.
TEST_F(RenderedPlayer, DamagedDataInsideASongIsSurvived) {
    TempDir dir;
    std::string bytes = readFile(fixture("tone_vbr_3s.mp3"));
    std::mt19937 random(11);
    for (std::size_t i = 3000; i < 9000; ++i)
        bytes[i] = static_cast<char>(random());
    std::string headers;  // frame headers that promise data which is not there
    for (int i = 0; i < 2000; ++i)
        headers += std::string("\xFF\xFB\x90\x64", 4) + std::string(4, char(i));
    for (const std::string& name :
         {dir.write("damaged.mp3", bytes), dir.write("headers.mp3", headers)}) {
        SCOPED_TRACE(name);
        auto player = engine.createPlayer();
        player->setFileName(platform::files::Name(name));
        try {
            player->open();
        } catch (const platform::Error&) {
            continue;
        }
        player->play();
        renderToEnd(*player);
        EXPECT_NE(player->mode(), PlayerMode::Playing);
    }
}

TEST_F(RenderedPlayer, AFailedOpenLeavesTheOpenSongPlaying) {
    auto player = opened(fixture("tone_cbr_2s.mp3"));
    player->play();
    engine.renderMs(500);
    player->setFileName(platform::files::Name(fixture("not_an_mp3.mp3")));
    EXPECT_THROW(player->open(), platform::Error);
    EXPECT_EQ(player->mode(), PlayerMode::Playing);
    engine.renderMs(500);
    EXPECT_EQ(player->position(), 1000);
}

TEST_F(RenderedPlayer, StopHoldsThePositionAndPlayGoesOnFromThere) {
    auto player = opened(fixture("tone_cbr_2s.mp3"));
    player->play();
    engine.renderMs(500);
    player->stop();
    EXPECT_EQ(player->mode(), PlayerMode::Stopped);
    EXPECT_EQ(player->position(), 500);
    engine.renderMs(500);
    EXPECT_EQ(player->position(), 500);
    EXPECT_LT(peak(mix(), 0.52, 1.0), 200);

    player->play();
    renderToEnd(*player);
    EXPECT_EQ(player->position(), player->length());
    // Half a second of silence in the middle; the rest of the song after it.
    EXPECT_GT(toneLevel(mix(), 1.1, 1.2, 440), kPresent);
    EXPECT_NEAR(soundingMs(mix()), 2500, 30);
}

TEST_F(RenderedPlayer, SeekMovesWithinTheSongAndEndsItAtTheLength) {
    auto player = opened(fixture("tone_cbr_2s.mp3"));
    const int length = player->length();

    player->play();
    engine.renderMs(200);
    player->seek(1500);
    EXPECT_EQ(player->mode(), PlayerMode::Playing);
    EXPECT_EQ(player->position(), 1500);
    renderToEnd(*player);
    EXPECT_EQ(player->position(), length);
    EXPECT_NEAR(soundingMs(mix()), 200 + 500, 30);

    // At the length, or past it, the song is over at once.
    for (int target : {length, length + 5000}) {
        player->seek(0);
        player->play();
        engine.renderMs(100);
        player->seek(target);
        EXPECT_EQ(player->mode(), PlayerMode::Stopped);
        EXPECT_EQ(player->position(), length);
        engine.clearRendered();
        engine.renderMs(300);
        EXPECT_EQ(peak(mix(), 0, 0.3), 0);
        player->play();  // nothing is left to play
        EXPECT_EQ(player->mode(), PlayerMode::Stopped);
    }

    // A stopped song stays stopped where it was moved to; before the start is the start.
    player->seek(700);
    EXPECT_EQ(player->mode(), PlayerMode::Stopped);
    EXPECT_EQ(player->position(), 700);
    player->seek(-100);
    EXPECT_EQ(player->position(), 0);
}

TEST_F(RenderedPlayer, CloseSilencesAndForgetsTheSong) {
    auto player = opened(fixture("tone_cbr_2s.mp3"));
    player->play();
    engine.renderMs(300);
    player->close();
    EXPECT_EQ(player->mode(), PlayerMode::NotOpen);
    EXPECT_EQ(player->position(), 0);
    EXPECT_EQ(player->length(), 0);
    engine.clearRendered();
    engine.renderMs(300);
    EXPECT_EQ(peak(mix(), 0, 0.3), 0);
    EXPECT_THROW(player->play(), platform::Error);
    player->seek(100);  // nothing open: nothing happens
    EXPECT_EQ(player->mode(), PlayerMode::NotOpen);
}

TEST_F(RenderedPlayer, OpeningAnotherSongReplacesThePlayingOne) {
    auto player = opened(fixture("tone_cbr_2s.mp3"));
    player->play();
    engine.renderMs(300);
    player->setFileName(platform::files::Name(fixture("tone_vbr_3s.mp3")));
    player->open();
    EXPECT_EQ(player->mode(), PlayerMode::Stopped);
    EXPECT_EQ(player->position(), 0);
    EXPECT_NEAR(player->length(), 3000, 30);
    player->play();
    engine.clearRendered();
    engine.renderMs(300);
    EXPECT_GT(toneLevel(mix(), 0.1, 0.2, 880), kPresent);
    EXPECT_LT(toneLevel(mix(), 0.1, 0.2, 440), kAbsent);
}

}  // namespace
