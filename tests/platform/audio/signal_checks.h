#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Looking at rendered mixes: interleaved stereo samples at 44.1 kHz, measured in frames.
namespace audio_checks {

inline constexpr int kRate = 44100;

std::string fixture(std::string_view name);

inline std::size_t frameAt(double seconds) {
    return static_cast<std::size_t>(seconds * kRate);
}

// Amplitude of one frequency over [from, to) of one channel (0 left, 1 right); a full-scale
// sine gives 32767, a tone at half scale about 16384. The window should hold whole periods of
// the frequency (100 ms windows do for multiples of 10 Hz).
double toneLevel(const std::vector<std::int16_t>& mix, double fromSecond, double toSecond,
                 double hz, int channel = 0);

// Largest absolute sample over [from, to) of both channels.
int peak(const std::vector<std::int16_t>& mix, double fromSecond, double toSecond);

// Milliseconds from the first to the last frame louder than a quarter of half scale.
double soundingMs(const std::vector<std::int16_t>& mix);

}  // namespace audio_checks
