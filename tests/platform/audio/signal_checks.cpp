#include "tests/platform/audio/signal_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace audio_checks {

std::string fixture(std::string_view name) {
    return std::string(SONH_SOURCE_DIR) + "/tests/fixtures/" + std::string(name);
}

double toneLevel(const std::vector<std::int16_t>& mix, double fromSecond, double toSecond,
                 double hz, int channel) {
    const std::size_t frames = mix.size() / 2;
    const std::size_t from = std::min(frameAt(fromSecond), frames);
    const std::size_t to = std::min(frameAt(toSecond), frames);
    if (to <= from)
        return 0;
    // Goertzel: the one DFT bin of the frequency.
    const double w = 2 * std::numbers::pi * hz / kRate;
    const double coeff = 2 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (std::size_t i = from; i < to; ++i) {
        const double s0 = mix[2 * i + channel] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / static_cast<double>(to - from);
}

int peak(const std::vector<std::int16_t>& mix, double fromSecond, double toSecond) {
    const std::size_t from = std::min(2 * frameAt(fromSecond), mix.size());
    const std::size_t to = std::min(2 * frameAt(toSecond), mix.size());
    int result = 0;
    for (std::size_t i = from; i < to; ++i)
        result = std::max(result, std::abs(int(mix[i])));
    return result;
}

double soundingMs(const std::vector<std::int16_t>& mix) {
    constexpr int kLoud = 4096;
    std::size_t first = mix.size(), last = 0;
    for (std::size_t i = 0; i < mix.size(); ++i) {
        if (std::abs(int(mix[i])) < kLoud)
            continue;
        first = std::min(first, i / 2);
        last = i / 2;
    }
    return first > last ? 0 : (last - first + 1) * 1000.0 / kRate;
}

}  // namespace audio_checks
