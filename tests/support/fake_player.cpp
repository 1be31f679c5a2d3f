#include "tests/support/fake_player.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/files.h"

namespace testing_support {

void FakePlayer::open() {
    const std::string& name = file_.text();
    calls.push_back("open " + name);
    if (!platform::files::fileExists(file_) || unplayable.count(name) > 0)
        throw platform::Error("Cannot open \"" + name + "\".");
    const auto known = lengths.find(name);
    length_ = known != lengths.end() ? known->second : defaultLength;
    position_ = 0;
    mode_ = Mode::Stopped;
}

void FakePlayer::play() {
    calls.push_back("play");
    if (mode_ == Mode::NotOpen)
        throw platform::Error("No song is open.");
    if (position_ < length_)
        mode_ = Mode::Playing;
}

void FakePlayer::stop() {
    calls.push_back("stop");
    if (mode_ == Mode::Playing)
        mode_ = Mode::Stopped;
}

void FakePlayer::close() {
    calls.push_back("close");
    mode_ = Mode::NotOpen;
    position_ = length_ = 0;
}

void FakePlayer::seek(std::int32_t ms) {
    calls.push_back("seek " + std::to_string(ms));
    if (failSeek)
        throw platform::Error("Cannot position the file.");
    position_ = std::clamp(ms, 0, length_);
    if (position_ == length_ && mode_ == Mode::Playing)
        mode_ = Mode::Stopped;
}

void FakePlayer::advance(std::int32_t ms) {
    if (mode_ != Mode::Playing || ms <= 0)
        return;
    position_ = std::min(position_ + ms, length_);
    if (position_ == length_)
        mode_ = Mode::Stopped;
}

}  // namespace testing_support
