#pragma once

#include <cstdint>

// The one format of the mix: every song is decoded (resampled, mono doubled) into it.
namespace platform::audio {

inline constexpr int kSampleRate = 44100;
inline constexpr int kChannels = 2;
inline constexpr int kBytesPerFrame = kChannels * 2;  // signed 16-bit samples

inline std::int32_t framesToMs(std::int64_t frames) {
    return static_cast<std::int32_t>(frames * 1000 / kSampleRate);
}

inline std::int64_t msToFrames(std::int64_t ms) {
    return ms * kSampleRate / 1000;
}

}  // namespace platform::audio
