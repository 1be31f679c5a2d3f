#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/wave_volume.h"

// One wave-out device behind the device list of wave_volume.h.
namespace platform::audio {

class WaveOutDevice {
  public:
    virtual ~WaveOutDevice() = default;
    virtual WAVEOUTCAPS caps() const = 0;
    virtual bool getVolume(std::uint32_t& volume) = 0;
    virtual bool setVolume(std::uint32_t volume) = 0;
};

// One device per ALSA sound card, in card order; none when there is no card.
std::vector<std::unique_ptr<WaveOutDevice>> alsaCardDevices();

// The gain of an engine's mix.
std::unique_ptr<WaveOutDevice> engineGainDevice(AudioEngine& engine);

}  // namespace platform::audio
