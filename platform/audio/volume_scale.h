#pragma once

#include <cstdint>

// The 0..65535 wave-out scale laid linearly onto a mixer element's own range, rounded to the
// nearest step both ways, so the ends meet exactly.
namespace platform::audio {

inline long volumeToRange(std::uint16_t volume, long min, long max) {
    if (max <= min)
        return min;
    const long long span = static_cast<long long>(max) - min;
    return static_cast<long>(min + (volume * span + 32767) / 65535);
}

inline std::uint16_t volumeFromRange(long value, long min, long max) {
    if (max <= min)
        return 0;
    if (value <= min)
        return 0;
    if (value >= max)
        return 65535;
    const long long span = static_cast<long long>(max) - min;
    return static_cast<std::uint16_t>(((value - min) * 65535LL + span / 2) / span);
}

}  // namespace platform::audio
