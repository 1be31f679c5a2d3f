#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/audio/media_player.h"

namespace testing_support {

// A media player whose clock the test moves. A file opens when it exists on disk (an exact name
// as it is, another looked up) and is not marked unplayable; its length is the one the test gave,
// else defaultLength. Every call is recorded as "open NAME", "play", "stop", "close" or "seek MS".
class FakePlayer : public platform::audio::MediaPlayer {
  public:
    using Mode = platform::audio::PlayerMode;

    void setFileName(const platform::files::Name& name) override { file_ = name; }
    const std::string& fileName() const override { return file_.text(); }
    void open() override;
    void play() override;
    void stop() override;
    void close() override;
    void seek(std::int32_t ms) override;

    Mode mode() const override { return mode_; }
    std::int32_t position() const override { return position_; }
    std::int32_t length() const override { return length_; }

    // Time passes: a playing song moves on and stops at its length.
    void advance(std::int32_t ms);
    // Puts a playing song at a position without ending it there.
    void setPosition(std::int32_t ms) { position_ = ms; }

    std::map<std::string, std::int32_t> lengths;  // by the name set before open
    std::set<std::string> unplayable;
    std::int32_t defaultLength = 200000;
    bool failSeek = false;
    std::vector<std::string> calls;

  private:
    platform::files::Name file_;
    Mode mode_ = Mode::NotOpen;
    std::int32_t position_ = 0;
    std::int32_t length_ = 0;
};

}  // namespace testing_support
