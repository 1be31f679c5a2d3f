#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio/mix_core.h"

// The audio thread of a real-time engine: it owns the output device and plays the mix into
// it. With no device it keeps time by the clock, so positions still advance as if heard.
namespace platform::audio {

class AudioThread {
  public:
    // drivers: a libout123 driver list ("pulse,alsa"); empty plays silently.
    AudioThread(std::shared_ptr<MixCore> core, std::string drivers);
    ~AudioThread();  // stops the thread; audio still queued in the device is dropped
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // The driver in use, "silent" without one, empty while the drivers are still tried.
    std::string output() const;

  private:
    void run();
    void setOutput(std::string name);

    std::shared_ptr<MixCore> core_;
    std::string drivers_;
    mutable std::mutex mutex_;
    std::string output_;
    std::thread thread_;  // last: it starts once everything above is in place
};

}  // namespace platform::audio
