#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/track.h"

// What the players and the mixing side share: the list of tracks, the gain, and the signal
// that wakes an idle mixer. Players live on the user-interface thread, the mixing on the
// audio thread (or, when rendering, on the thread that steps the render).
namespace platform::audio {

class MixCore {
  public:
    void add(std::shared_ptr<Track> track);
    void remove(const std::shared_ptr<Track>& track);
    void wake();  // a track started playing

    // Volume of the mix: left in the low word, right in the high word, 0..65535 each
    // (65535 leaves the samples as they are).
    void setGain(std::uint32_t volume) { gain_.store(volume); }
    std::uint32_t gain() const { return gain_.load(); }

    // Mixing side, one thread at a time: the next `frames` frames of every playing track,
    // summed, scaled by the gain and clipped. False when no track played.
    bool mix(std::int16_t* out, std::size_t frames);

    // Mixing side: wait for a wake (true) or for the stop request (false).
    bool waitForWork();
    // Mixing side: sleep until the time or the stop request (false).
    bool sleepUntil(std::chrono::steady_clock::time_point until);
    void requestStop();
    bool stopRequested();

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<Track>> tracks_;
    bool woken_ = false;
    bool stopping_ = false;
    std::atomic<std::uint32_t> gain_{0xFFFFFFFFu};

    // Scratch of the mixing side.
    std::vector<std::shared_ptr<Track>> playing_;
    std::vector<std::int32_t> sum_;
};

}  // namespace platform::audio
