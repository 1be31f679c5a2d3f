#include "platform/audio/wave_volume.h"

#include <gtest/gtest.h>

#include "platform/audio/audio_engine.h"
#include "platform/audio/volume_scale.h"
#include "platform/audio/wave_device.h"
#include "tests/platform/audio/signal_checks.h"

namespace {

using audio_checks::fixture;
using platform::audio::AudioEngine;
using platform::audio::RenderOptions;
using platform::audio::WAVECAPS_VOLUME;
using platform::audio::WAVEOUTCAPS;
using platform::audio::WaveOutDevices;

TEST(VolumeScale, EndsMeetAndEveryStepOfTheRangeSurvivesTheRoundTrip) {
    struct Range {
        long min, max;
    };
    for (const Range r : {Range{0, 31}, Range{0, 87}, Range{0, 255}, Range{-7680, 0},
                          Range{0, 65536}, Range{12, 13}}) {
        SCOPED_TRACE(std::to_string(r.min) + ".." + std::to_string(r.max));
        EXPECT_EQ(platform::audio::volumeToRange(0, r.min, r.max), r.min);
        EXPECT_EQ(platform::audio::volumeToRange(65535, r.min, r.max), r.max);
        EXPECT_EQ(platform::audio::volumeFromRange(r.min, r.min, r.max), 0);
        EXPECT_EQ(platform::audio::volumeFromRange(r.max, r.min, r.max), 65535);
        for (long v = r.min; v <= r.max; v += std::max(1L, (r.max - r.min) / 1000)) {
            const auto volume = platform::audio::volumeFromRange(v, r.min, r.max);
            ASSERT_EQ(platform::audio::volumeToRange(volume, r.min, r.max), v);
        }
    }
    EXPECT_EQ(platform::audio::volumeToRange(32768, 0, 100), 50);
    EXPECT_EQ(platform::audio::volumeFromRange(50, 0, 100), 32768);
    // A broken range (max not above min) and values outside the range stay in bounds.
    EXPECT_EQ(platform::audio::volumeToRange(40000, 5, 5), 5);
    EXPECT_EQ(platform::audio::volumeFromRange(9, 5, 5), 0);
    EXPECT_EQ(platform::audio::volumeFromRange(-3, 0, 10), 0);
    EXPECT_EQ(platform::audio::volumeFromRange(99, 0, 10), 65535);
}

// The mix of a rendering engine through its gain device set to `volume`.
std::vector<std::int16_t> renderedAt(std::uint32_t volume) {
    AudioEngine engine{RenderOptions{}};
    auto devices = platform::audio::engineGainDevices(engine);
    EXPECT_TRUE(devices->waveOutSetVolume(0, volume));
    auto player = engine.createPlayer();
    player->setFileName(platform::files::Name(fixture("tone_cbr_2s.mp3")));
    player->open();
    player->play();
    engine.renderMs(500);
    return engine.rendered();
}

TEST(GainDevice, ScalesTheRenderedMixPerChannel) {
    const auto full = renderedAt(0xFFFFFFFF);
    struct Case {
        std::uint32_t volume;
        int leftDivisor, rightDivisor;  // 0: silent
    };
    for (const Case c :
         {Case{0x80008000, 2, 2}, Case{0, 0, 0}, Case{0x0000FFFF, 1, 0}, Case{0x80000000, 0, 2}}) {
        SCOPED_TRACE(c.volume);
        const auto mix = renderedAt(c.volume);
        ASSERT_EQ(mix.size(), full.size());
        for (std::size_t i = 0; i < mix.size(); ++i) {
            const int divisor = i % 2 == 0 ? c.leftDivisor : c.rightDivisor;
            const int expected = divisor == 0 ? 0 : full[i] / divisor;
            ASSERT_NEAR(mix[i], expected, 1) << "sample " << i;
        }
    }
}

TEST(GainDevice, IsOneDeviceWithVolumeControlThatReadsBackWhatWasSet) {
    AudioEngine engine{RenderOptions{}};
    auto devices = platform::audio::engineGainDevices(engine);
    ASSERT_EQ(devices->waveOutGetNumDevs(), 1u);
    WAVEOUTCAPS caps;
    ASSERT_TRUE(devices->waveOutGetDevCapsA(0, caps));
    EXPECT_TRUE(caps.dwSupport & WAVECAPS_VOLUME);
    EXPECT_FALSE(caps.szPname.empty());

    std::uint32_t volume = 0;
    ASSERT_TRUE(devices->waveOutGetVolume(0, volume));
    EXPECT_EQ(volume, 0xFFFFFFFFu);  // full volume at the start
    ASSERT_TRUE(devices->waveOutSetVolume(0, 0x12345678));
    ASSERT_TRUE(devices->waveOutGetVolume(0, volume));
    EXPECT_EQ(volume, 0x12345678u);
    EXPECT_EQ(engine.gain(), 0x12345678u);

    EXPECT_FALSE(devices->waveOutGetDevCapsA(1, caps));
    EXPECT_FALSE(devices->waveOutGetVolume(1, volume));
    EXPECT_FALSE(devices->waveOutSetVolume(1, 0));
}

// Whatever the machine has, some device controls the volume. Real cards are only read (and
// set to what they hold), so running the tests never changes the user's volume.
TEST(SystemDevices, SomeDeviceHasVolumeControl) {
    AudioEngine engine{RenderOptions{}};
    const std::size_t cards = platform::audio::alsaCardDevices().size();
    auto devices = platform::audio::systemWaveOutDevices(engine);
    const std::uint32_t count = devices->waveOutGetNumDevs();
    ASSERT_GE(count, cards);
    ASSERT_LE(count, cards + 1);

    std::uint32_t chosen = count;
    for (std::uint32_t d = 0; d < count && chosen == count; ++d) {
        WAVEOUTCAPS caps;
        ASSERT_TRUE(devices->waveOutGetDevCapsA(d, caps));
        if (caps.dwSupport & WAVECAPS_VOLUME)
            chosen = d;
    }
    ASSERT_LT(chosen, count);
    std::uint32_t volume = 0;
    ASSERT_TRUE(devices->waveOutGetVolume(chosen, volume));
    EXPECT_TRUE(devices->waveOutSetVolume(chosen, volume));

    if (chosen == cards) {  // the engine's own gain: no card had a volume
        EXPECT_TRUE(devices->waveOutSetVolume(chosen, 0x40004000));
        EXPECT_EQ(engine.gain(), 0x40004000u);
    }
    EXPECT_FALSE(devices->waveOutGetVolume(count, volume));
}

}  // namespace
