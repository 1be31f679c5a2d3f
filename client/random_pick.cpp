#include "client/random_pick.h"

namespace sonpad {

std::uint32_t RandomGenerator::Draw(std::uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * n) >> 32);
}

int RandomPick(RandomGenerator& generator, int n, const std::function<std::uint32_t()>& clockMs,
               const std::function<void(int ms)>& pause) {
    if (n < 1)
        return 0;
    generator.Reseed(clockMs ? clockMs() : 0);
    const std::uint32_t draws = generator.Draw(6) + 6;
    std::uint32_t r = 0;
    for (std::uint32_t i = 0; i < draws; ++i) {
        if (pause)
            pause(1);
        r = generator.Draw(static_cast<std::uint32_t>(n));
    }
    return static_cast<int>(r);
}

}  // namespace sonpad
