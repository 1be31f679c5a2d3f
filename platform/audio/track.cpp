#include "platform/audio/track.h"

#include <algorithm>

#include "platform/audio/audio_format.h"

namespace platform::audio {

std::unique_ptr<Mp3Decoder> Track::open(std::unique_ptr<Mp3Decoder> decoder) {
    std::lock_guard lock(mutex_);
    length_ = decoder->lengthFrames();
    position_ = 0;
    mode_ = PlayerMode::Stopped;
    std::swap(decoder, decoder_);
    return decoder;
}

std::unique_ptr<Mp3Decoder> Track::close() {
    std::lock_guard lock(mutex_);
    mode_ = PlayerMode::NotOpen;
    position_ = length_ = 0;
    return std::move(decoder_);
}

bool Track::play() {
    std::lock_guard lock(mutex_);
    if (!decoder_)
        return false;
    if (position_ < length_)
        mode_ = PlayerMode::Playing;
    return true;
}

void Track::stop() {
    std::lock_guard lock(mutex_);
    if (mode_ == PlayerMode::Playing)
        mode_ = PlayerMode::Stopped;
}

void Track::seek(std::int32_t ms) {
    std::lock_guard lock(mutex_);
    if (!decoder_)
        return;
    if (ms >= framesToMs(length_)) {
        endLocked();
        return;
    }
    position_ = std::min(decoder_->seek(msToFrames(std::max(ms, 0))), length_);
}

PlayerMode Track::mode() const {
    std::lock_guard lock(mutex_);
    return mode_;
}

std::int32_t Track::positionMs() const {
    std::lock_guard lock(mutex_);
    return framesToMs(position_);
}

std::int32_t Track::lengthMs() const {
    std::lock_guard lock(mutex_);
    return framesToMs(length_);
}

void Track::endLocked() {
    position_ = length_;
    mode_ = PlayerMode::Stopped;
}

bool Track::mixInto(std::int32_t* mix, std::size_t frames) {
    std::lock_guard lock(mutex_);
    if (mode_ != PlayerMode::Playing)
        return false;
    if (buffer_.size() < frames * kChannels)
        buffer_.resize(frames * kChannels);
    const std::size_t got = decoder_->read(buffer_.data(), frames);
    for (std::size_t i = 0; i < got * kChannels; ++i)
        mix[i] += buffer_[i];
    position_ = std::min(position_ + static_cast<std::int64_t>(got), length_);
    // The end is where the data ends; the position then equals the length exactly.
    if (got < frames)
        endLocked();
    return true;
}

}  // namespace platform::audio
