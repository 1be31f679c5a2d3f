#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/audio/wave_volume.h"

namespace testing_support {

// Volume devices, each with or without volume control.
class FakeWaveOut : public platform::audio::WaveOutDevices {
  public:
    struct Device {
        bool volumeControl;
        std::uint32_t volume;
    };
    explicit FakeWaveOut(std::vector<Device> devices) : devices(std::move(devices)) {}

    std::uint32_t waveOutGetNumDevs() override {
        return static_cast<std::uint32_t>(devices.size());
    }
    bool waveOutGetDevCapsA(std::uint32_t d, platform::audio::WAVEOUTCAPS& caps) override {
        if (d >= devices.size())
            return false;
        caps.szPname = "device " + std::to_string(d);
        caps.dwSupport = 0x0001 | 0x0008 | (devices[d].volumeControl ? 0x0004 : 0);
        return true;
    }
    bool waveOutGetVolume(std::uint32_t d, std::uint32_t& volume) override {
        if (d >= devices.size())
            return false;
        volume = devices[d].volume;
        return true;
    }
    bool waveOutSetVolume(std::uint32_t d, std::uint32_t volume) override {
        if (d >= devices.size())
            return false;
        devices[d].volume = volume;
        return true;
    }

    std::vector<Device> devices;
};

}  // namespace testing_support
