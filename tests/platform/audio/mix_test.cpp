#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/audio/audio_engine.h"
#include "platform/errors.h"
#include "tests/platform/audio/signal_checks.h"
#include "tests/support/temp_dir.h"

namespace {

using audio_checks::fixture;
using audio_checks::peak;
using audio_checks::toneLevel;
using platform::audio::AudioEngine;
using platform::audio::MediaPlayer;
using platform::audio::PlayerMode;
using platform::audio::RealTimeOptions;
using platform::audio::RenderOptions;
using testing_support::readFile;
using testing_support::TempDir;

constexpr double kPresent = 8000;  // the tones are at half scale, about 16384
constexpr double kAbsent = 300;

std::unique_ptr<MediaPlayer> playing(AudioEngine& engine, const char* file) {
    auto player = engine.createPlayer();
    player->setFileName(platform::files::Name(fixture(file)));
    player->open();
    player->play();
    return player;
}

// What the server's overlap needs: the newer song starts while the older plays out.
TEST(Mix, OverlappingSongsAreBothInTheMixDuringTheOverlap) {
    AudioEngine engine{RenderOptions{}};
    auto older = playing(engine, "tone_cbr_2s.mp3");  // 440 Hz, 0 s to 2 s
    engine.renderMs(500);
    auto newer = playing(engine, "tone_vbr_3s.mp3");  // 880 Hz from 0.5 s to 2.5 s
    engine.renderMs(3500);
    const auto& mix = engine.rendered();

    struct Window {
        double from;
        bool a440, a880;
    };
    for (const Window w :
         {Window{0.1, true, false}, Window{0.7, true, true}, Window{1.8, true, true},
          Window{2.2, false, true}, Window{2.7, false, false}}) {
        SCOPED_TRACE(w.from);
        for (int channel : {0, 1}) {
            const double l440 = toneLevel(mix, w.from, w.from + 0.1, 440, channel);
            const double l880 = toneLevel(mix, w.from, w.from + 0.1, 880, channel);
            if (w.a440)
                EXPECT_GT(l440, kPresent);
            else
                EXPECT_LT(l440, kAbsent);
            if (w.a880)
                EXPECT_GT(l880, kPresent);
            else
                EXPECT_LT(l880, kAbsent);
        }
    }
    EXPECT_EQ(older->mode(), PlayerMode::Stopped);
    EXPECT_EQ(newer->mode(), PlayerMode::Stopped);
    EXPECT_EQ(newer->position(), newer->length());
}

// Two loud songs at once add up sample by sample and clip at full scale instead of wrapping.
TEST(Mix, SumsSampleBySampleAndClips) {
    AudioEngine single{RenderOptions{}};
    auto one = playing(single, "tone_cbr_2s.mp3");
    single.renderMs(1000);

    AudioEngine doubled{RenderOptions{}};
    auto first = playing(doubled, "tone_cbr_2s.mp3");
    auto second = playing(doubled, "tone_cbr_2s.mp3");
    doubled.renderMs(1000);

    const auto& a = single.rendered();
    const auto& b = doubled.rendered();
    ASSERT_EQ(a.size(), b.size());
    std::size_t clipped = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int expected = std::clamp(2 * int(a[i]), -32768, 32767);
        ASSERT_EQ(b[i], expected) << "sample " << i;
        clipped += expected != 2 * int(a[i]);
    }
    EXPECT_GT(clipped, 0u);  // the case was reached
}

std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

TEST(Mix, RendersIntoAWavFile) {
    TempDir dir;
    const std::string wav = dir / "mix.wav";
    std::vector<std::int16_t> inMemory;
    {
        AudioEngine engine{RenderOptions{true, wav}};
        auto player = playing(engine, "tone_cbr_2s.mp3");
        engine.renderMs(1000);
        inMemory = engine.rendered();
    }
    const std::string bytes = readFile(wav);
    ASSERT_GE(bytes.size(), 44u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 4), "WAVE");
    EXPECT_EQ(le32(bytes, 24), 44100u);
    EXPECT_EQ(le32(bytes, 22) & 0xFFFF, 2u);   // channels
    EXPECT_EQ(le32(bytes, 34) & 0xFFFF, 16u);  // bits
    const std::size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    EXPECT_EQ(le32(bytes, data + 4), 44100u * 4);
    ASSERT_EQ(bytes.size() - (data + 8), inMemory.size() * 2);
    EXPECT_EQ(std::memcmp(bytes.data() + data + 8, inMemory.data(), inMemory.size() * 2), 0);
}

TEST(Mix, AWavFileThatCannotBeMadeIsAnError) {
    TempDir dir;
    const std::string wav = dir / "no such folder/mix.wav";
    try {
        AudioEngine engine{RenderOptions{false, wav}};
        ADD_FAILURE() << "made";
    } catch (const platform::Error& e) {
        EXPECT_NE(std::string(e.what()).find(wav), std::string::npos) << e.what();
    }
}

TEST(Mix, OnlyARenderingEngineRenders) {
    AudioEngine engine{RealTimeOptions{""}};
    EXPECT_FALSE(engine.rendering());
    EXPECT_THROW(engine.renderMs(10), platform::Error);
}

}  // namespace
