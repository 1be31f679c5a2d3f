#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/audio/audio_engine.h"
#include "tests/platform/audio/signal_checks.h"

namespace {

using audio_checks::fixture;
using platform::audio::AudioEngine;
using platform::audio::MediaPlayer;
using platform::audio::PlayerMode;
using platform::audio::RealTimeOptions;
using Clock = std::chrono::steady_clock;

// Generous: a loaded, sanitized machine may be slow, never faster than the clock.
bool waitFor(const std::function<bool()>& condition,
             std::chrono::seconds limit = std::chrono::seconds(20)) {
    const auto end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::int64_t msSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Without any output driver the engine plays silently, keeping time by the clock.
TEST(RealTime, PositionFollowsTheClockWhilePlayingAndStandsWhenStopped) {
    AudioEngine engine{RealTimeOptions{""}};
    auto player = engine.createPlayer();
    player->setFileName(platform::files::Name(fixture("tone_cbr_2s.mp3")));
    player->open();

    const auto started = Clock::now();
    player->play();
    ASSERT_TRUE(waitFor([&] { return player->position() >= 300; }));
    // Never ahead of the clock by more than the mixing step.
    EXPECT_LE(player->position(), msSince(started) + 100);
    EXPECT_EQ(engine.output(), "silent");

    player->stop();
    const std::int32_t held = player->position();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(player->position(), held);
    EXPECT_EQ(player->mode(), PlayerMode::Stopped);

    player->play();
    ASSERT_TRUE(waitFor([&] { return player->mode() != PlayerMode::Playing; }));
    EXPECT_EQ(player->position(), player->length());
    // The whole song took at least its length plus the pause (less one mixing step).
    EXPECT_GE(msSince(started) + 100, player->length() + 300);
}

// libout123's "test" driver takes data as fast as it comes, like a device that plays into the
// void: the engine holds it to the clock all the same.
TEST(RealTime, ADriverThatNeverWaitsIsHeldToTheClock) {
    AudioEngine engine{RealTimeOptions{"test"}};
    auto player = engine.createPlayer();
    player->setFileName(platform::files::Name(fixture("tone_cbr_2s.mp3")));
    player->open();
    const auto started = Clock::now();
    player->play();
    ASSERT_TRUE(waitFor([&] { return player->position() >= 300; }));
    EXPECT_EQ(engine.output(), "test");
    EXPECT_LE(player->position(), msSince(started) + 700);  // the lead allowed over a device
    ASSERT_TRUE(waitFor([&] { return player->mode() != PlayerMode::Playing; }));
    EXPECT_GE(msSince(started) + 700, player->length());

    // Idle, the device is drained; a new start plays again.
    player->seek(0);
    player->play();
    ASSERT_TRUE(waitFor([&] { return player->position() >= 100; }));
}

TEST(RealTime, TwoPlayersAdvanceTogether) {
    AudioEngine engine{RealTimeOptions{""}};
    auto a = engine.createPlayer();
    auto b = engine.createPlayer();
    for (MediaPlayer* p : {a.get(), b.get()}) {
        p->setFileName(platform::files::Name(fixture("tone_vbr_3s.mp3")));
        p->open();
        p->play();
    }
    ASSERT_TRUE(waitFor([&] { return a->position() >= 500 && b->position() >= 500; }));
    EXPECT_EQ(a->mode(), PlayerMode::Playing);
    EXPECT_EQ(b->mode(), PlayerMode::Playing);
}

TEST(RealTime, PlayersOutliveTheirEngineSilently) {
    auto engine = std::make_unique<AudioEngine>(RealTimeOptions{""});
    auto player = engine->createPlayer();
    player->setFileName(platform::files::Name(fixture("tone_cbr_2s.mp3")));
    player->open();
    player->play();
    ASSERT_TRUE(waitFor([&] { return player->position() > 0; }));
    engine.reset();
    const std::int32_t at = player->position();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(player->position(), at);
    player->stop();
    player->close();
    EXPECT_EQ(player->mode(), PlayerMode::NotOpen);
}

// The programs' engine, over the default drivers: it settles on an output (on a machine
// without sound, "silent") and its players open songs.
TEST(RealTime, TheProcessEngineSettlesOnAnOutput) {
    auto player = platform::audio::createMediaPlayer();
    player->setFileName(platform::files::Name(fixture("tone_22k_mono_1500ms.mp3")));
    player->open();
    EXPECT_NEAR(player->length(), 1500, 30);
    ASSERT_TRUE(waitFor([] { return !AudioEngine::process().output().empty(); }));
}

}  // namespace
