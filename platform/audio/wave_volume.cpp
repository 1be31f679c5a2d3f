#include "platform/audio/wave_volume.h"

#include <mutex>
#include <vector>

#include "platform/audio/audio_engine.h"
#include "platform/audio/wave_device.h"

namespace platform::audio {
namespace {

class EngineGainDevice : public WaveOutDevice {
  public:
    explicit EngineGainDevice(AudioEngine& engine) : engine_(engine) {}
    WAVEOUTCAPS caps() const override { return WAVEOUTCAPS{"Jukebox mix", WAVECAPS_VOLUME}; }
    bool getVolume(std::uint32_t& volume) override {
        volume = engine_.gain();
        return true;
    }
    bool setVolume(std::uint32_t volume) override {
        engine_.setGain(volume);
        return true;
    }

  private:
    AudioEngine& engine_;
};

// Device numbers index the list; calls may come from more than one thread.
class DeviceList : public WaveOutDevices {
  public:
    explicit DeviceList(std::vector<std::unique_ptr<WaveOutDevice>> devices)
        : devices_(std::move(devices)) {}

    std::uint32_t waveOutGetNumDevs() override {
        return static_cast<std::uint32_t>(devices_.size());
    }
    bool waveOutGetDevCapsA(std::uint32_t device, WAVEOUTCAPS& caps) override {
        if (device >= devices_.size())
            return false;
        std::lock_guard lock(mutex_);
        caps = devices_[device]->caps();
        return true;
    }
    bool waveOutGetVolume(std::uint32_t device, std::uint32_t& volume) override {
        if (device >= devices_.size())
            return false;
        std::lock_guard lock(mutex_);
        return devices_[device]->getVolume(volume);
    }
    bool waveOutSetVolume(std::uint32_t device, std::uint32_t volume) override {
        if (device >= devices_.size())
            return false;
        std::lock_guard lock(mutex_);
        return devices_[device]->setVolume(volume);
    }

  private:
    std::mutex mutex_;
    const std::vector<std::unique_ptr<WaveOutDevice>> devices_;
};

}  // namespace

std::unique_ptr<WaveOutDevice> engineGainDevice(AudioEngine& engine) {
    return std::make_unique<EngineGainDevice>(engine);
}

std::unique_ptr<WaveOutDevices> systemWaveOutDevices(AudioEngine& engine) {
    auto devices = alsaCardDevices();
    bool anyVolume = false;
    for (const auto& d : devices)
        anyVolume = anyVolume || (d->caps().dwSupport & WAVECAPS_VOLUME) != 0;
    if (!anyVolume)
        devices.push_back(engineGainDevice(engine));
    return std::make_unique<DeviceList>(std::move(devices));
}

std::unique_ptr<WaveOutDevices> systemWaveOutDevices() {
    return systemWaveOutDevices(AudioEngine::process());
}

std::unique_ptr<WaveOutDevices> engineGainDevices(AudioEngine& engine) {
    std::vector<std::unique_ptr<WaveOutDevice>> devices;
    devices.push_back(engineGainDevice(engine));
    return std::make_unique<DeviceList>(std::move(devices));
}

std::optional<std::uint32_t> firstVolumeDevice(WaveOutDevices* devices) {
    if (!devices)
        return std::nullopt;
    const std::uint32_t count = devices->waveOutGetNumDevs();
    for (std::uint32_t d = 0; d < count; ++d) {
        WAVEOUTCAPS caps;
        if (devices->waveOutGetDevCapsA(d, caps) && (caps.dwSupport & WAVECAPS_VOLUME) != 0)
            return d;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> readWaveVolume(WaveOutDevices* devices) {
    std::uint32_t volume = 0;
    if (const auto device = firstVolumeDevice(devices);
        device && devices->waveOutGetVolume(*device, volume))
        return static_cast<std::uint16_t>(volume & 0xFFFFu);
    return std::nullopt;
}

bool writeWaveVolume(WaveOutDevices* devices, std::uint16_t volume) {
    const auto device = firstVolumeDevice(devices);
    return device && devices->waveOutSetVolume(*device, volume + volume * 65536u);
}

}  // namespace platform::audio
