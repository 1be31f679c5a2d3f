#pragma once

#include <cstdint>
#include <functional>

namespace sonpad {

// The client's pseudo-random generator: a 32-bit linear congruential state.
class RandomGenerator {
  public:
    // The state becomes the milliseconds since midnight, UTC.
    void Reseed(std::uint32_t msSinceMidnight) { state_ = msSinceMidnight; }
    // A number from 0 to n - 1 (n >= 1): the upper half of the 64-bit product state x n.
    std::uint32_t Draw(std::uint32_t n);
    std::uint32_t State() const { return state_; }

  private:
    std::uint32_t state_ = 0;
};

// Reseeds from the clock, then makes 6 to 11 draws below n, each after a pause of 1 ms, and
// gives the last one. The pauses let the clock move on between picks made in a row.
int RandomPick(RandomGenerator& generator, int n, const std::function<std::uint32_t()>& clockMs,
               const std::function<void(int ms)>& pause);

}  // namespace sonpad
