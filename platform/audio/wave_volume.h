#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Wave-out volume, shaped as the devices the programs pick from: the number of devices, each
// device's capabilities with a volume-control bit, and a 32-bit volume per device (left channel
// in the low word, right in the high word, 0..65535 each).
namespace platform::audio {

class AudioEngine;

inline constexpr std::uint32_t WAVECAPS_VOLUME = 0x0004;

struct WAVEOUTCAPS {
    std::string szPname;          // the device's name
    std::uint32_t dwSupport = 0;  // WAVECAPS_VOLUME when its volume can be read and set
};

class WaveOutDevices {
  public:
    virtual ~WaveOutDevices() = default;

    virtual std::uint32_t waveOutGetNumDevs() = 0;
    // False for a device number that does not exist (as for a failed read or set below).
    virtual bool waveOutGetDevCapsA(std::uint32_t device, WAVEOUTCAPS& caps) = 0;
    virtual bool waveOutGetVolume(std::uint32_t device, std::uint32_t& volume) = 0;
    virtual bool waveOutSetVolume(std::uint32_t device, std::uint32_t volume) = 0;
};

// Both programs' choice of device: the first one whose capabilities report volume control;
// nothing when there is none (or no device list).
std::optional<std::uint32_t> firstVolumeDevice(WaveOutDevices* devices);
// Its volume: the left channel (low word); nothing without a device or when the read fails.
std::optional<std::uint16_t> readWaveVolume(WaveOutDevices* devices);
// Sets both channels; false without a device or when the write fails.
bool writeWaveVolume(WaveOutDevices* devices, std::uint16_t volume);

// The volume as both programs keep it: on the chosen device, or, where there is none (or it
// cannot be read), the value last set, so that what is read back agrees with what was set.
class WaveVolume {
  public:
    explicit WaveVolume(std::unique_ptr<WaveOutDevices> devices = nullptr)
        : devices_(std::move(devices)) {}

    void setDevices(std::unique_ptr<WaveOutDevices> devices) { devices_ = std::move(devices); }
    WaveOutDevices* devices() const { return devices_.get(); }

    std::uint16_t read() const { return readWaveVolume(devices_.get()).value_or(held_); }
    // The device's own answer is not examined.
    void write(std::uint16_t volume) {
        held_ = volume;
        writeWaveVolume(devices_.get(), volume);
    }

  private:
    std::unique_ptr<WaveOutDevices> devices_;
    std::uint16_t held_ = 65535;
};

// The system's devices: one per sound card, in card order, with volume control when the card
// has a playback volume element (Master, else PCM, else the first one). When no card has one,
// a last device controls the gain of the engine's mix, so volume works everywhere.
std::unique_ptr<WaveOutDevices> systemWaveOutDevices(AudioEngine& engine);
std::unique_ptr<WaveOutDevices> systemWaveOutDevices();  // on AudioEngine::process()

// Only the engine's gain, as one device with volume control.
std::unique_ptr<WaveOutDevices> engineGainDevices(AudioEngine& engine);

}  // namespace platform::audio
