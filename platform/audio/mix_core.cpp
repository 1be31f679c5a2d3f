#include "platform/audio/mix_core.h"

#include <algorithm>

#include "platform/audio/audio_format.h"

namespace platform::audio {
namespace {

constexpr std::int32_t kUnity = 0x10000;

// 65535 is full volume: samples pass unchanged; 32768 halves them exactly.
std::int32_t factorOf(std::uint32_t word) {
    return word >= 0xFFFF ? kUnity : std::int32_t(word);
}

std::int16_t clipped(std::int32_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, -32768, 32767));
}

std::int16_t scaled(std::int32_t sum, std::int32_t factor) {
    const std::int64_t v = (static_cast<std::int64_t>(sum) * factor) >> 16;
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32768, 32767));
}

}  // namespace

void MixCore::add(std::shared_ptr<Track> track) {
    std::lock_guard lock(mutex_);
    tracks_.push_back(std::move(track));
}

void MixCore::remove(const std::shared_ptr<Track>& track) {
    std::lock_guard lock(mutex_);
    std::erase(tracks_, track);
}

void MixCore::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

void MixCore::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
}

bool MixCore::stopRequested() {
    std::lock_guard lock(mutex_);
    return stopping_;
}

bool MixCore::waitForWork() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return woken_ || stopping_; });
    woken_ = false;
    return !stopping_;
}

bool MixCore::sleepUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock lock(mutex_);
    return !changed_.wait_until(lock, until, [this] { return stopping_; });
}

bool MixCore::mix(std::int16_t* out, std::size_t frames) {
    {
        std::lock_guard lock(mutex_);
        playing_ = tracks_;
    }
    sum_.assign(frames * kChannels, 0);
    bool any = false;
    for (const auto& track : playing_)
        any = track->mixInto(sum_.data(), frames) || any;
    // A player destroyed meanwhile lets go of its track here, not under the list lock.
    playing_.clear();

    const std::uint32_t volume = gain();
    const std::int32_t left = factorOf(volume & 0xFFFF), right = factorOf(volume >> 16);
    if (left == kUnity && right == kUnity) {
        for (std::size_t i = 0; i < frames * kChannels; ++i)
            out[i] = clipped(sum_[i]);
    } else {
        for (std::size_t i = 0; i < frames; ++i) {
            out[2 * i] = scaled(sum_[2 * i], left);
            out[2 * i + 1] = scaled(sum_[2 * i + 1], right);
        }
    }
    return any;
}

}  // namespace platform::audio
