#include "platform/audio/audio_thread.h"

#include <mpg123.h>
#include <out123.h>

#include <chrono>
#include <memory>
#include <vector>

#include "platform/audio/alsa_quiet.h"
#include "platform/audio/audio_format.h"

namespace platform::audio {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kChunkFrames = 1024;     // 23 ms: the step of positions and of a start
constexpr double kDeviceBufferSeconds = 0.25;  // how long a stop takes to be heard
// A device that takes data faster than it can play it (one that plays into the void) is
// held to the clock, this far ahead of it.
constexpr auto kLeadOverDevice = std::chrono::milliseconds(500);
constexpr auto kBlockedCall = std::chrono::milliseconds(2);
// Without a device (none at start-up, or it went away) another open is tried this often while
// songs play, so sound comes back once the sound server is up again.
constexpr auto kReopenInterval = std::chrono::seconds(5);

Clock::duration durationOf(std::int64_t frames) {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(frames) / kSampleRate));
}

// One libout123 output, used on the audio thread only (as libout123 asks).
class Device {
  public:
    explicit Device(const std::string& drivers) {
        if (drivers.empty())
            return;
        handle_ = out123_new();
        if (!handle_)
            return;
        out123_param_int(handle_, OUT123_FLAGS, OUT123_QUIET);
        out123_param_float(handle_, OUT123_DEVICEBUFFER, kDeviceBufferSeconds);
        char* driver = nullptr;
        if (out123_open(handle_, drivers.c_str(), nullptr) != 0 ||
            out123_start(handle_, kSampleRate, kChannels, MPG123_ENC_SIGNED_16) != 0 ||
            out123_driver_info(handle_, &driver, nullptr) != 0) {
            close();
            return;
        }
        name_ = driver ? driver : "default";
    }
    ~Device() { close(); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    const std::string& name() const { return name_; }

    bool play(std::int16_t* samples, std::size_t frames) {
        const std::size_t bytes = frames * kBytesPerFrame;
        return out123_play(handle_, samples, bytes) == bytes;
    }
    void drain() { out123_drain(handle_); }

    void close() {
        if (!handle_)
            return;
        out123_drop(handle_);
        out123_del(handle_);
        handle_ = nullptr;
    }

  private:
    out123_handle* handle_ = nullptr;
    std::string name_;
};

// Keeps the frames written in step with the clock when nothing else does.
class Pacer {
  public:
    void restart() {
        start_ = Clock::now();
        frames_ = 0;
    }
    void wrote(std::size_t frames) { frames_ += static_cast<std::int64_t>(frames); }
    // The device made us wait: it keeps the time, so this moment counts as on time.
    void heldByDevice() { start_ = Clock::now() - durationOf(frames_); }
    Clock::time_point due(Clock::duration lead) const {
        return start_ + durationOf(frames_) - lead;
    }

  private:
    Clock::time_point start_ = Clock::now();
    std::int64_t frames_ = 0;
};

}  // namespace

AudioThread::AudioThread(std::shared_ptr<MixCore> core, std::string drivers)
    : core_(std::move(core)), drivers_(std::move(drivers)), thread_([this] { run(); }) {}

AudioThread::~AudioThread() {
    core_->requestStop();
    thread_.join();
}

std::string AudioThread::output() const {
    std::lock_guard lock(mutex_);
    return output_;
}

void AudioThread::setOutput(std::string name) {
    std::lock_guard lock(mutex_);
    output_ = std::move(name);
}

void AudioThread::run() {
    silenceAlsaDiagnostics();
    auto device = std::make_unique<Device>(drivers_);
    auto lastOpen = Clock::now();
    setOutput(device->isOpen() ? device->name() : "silent");
    // No drivers means silent on purpose: nothing to reopen.
    const auto reopenIfDue = [&](Pacer& pacer) {
        if (device->isOpen() || drivers_.empty() || Clock::now() - lastOpen < kReopenInterval)
            return;
        device = std::make_unique<Device>(drivers_);
        lastOpen = Clock::now();
        if (device->isOpen()) {
            setOutput(device->name());
            pacer.restart();
        }
    };

    std::vector<std::int16_t> chunk(kChunkFrames * kChannels);
    Pacer pacer;
    while (!core_->stopRequested()) {
        if (!core_->mix(chunk.data(), kChunkFrames)) {
            // Nothing plays: let the device play out what it holds, then wait for a start.
            if (device->isOpen())
                device->drain();
            if (!core_->waitForWork())
                return;
            pacer.restart();
            continue;
        }
        reopenIfDue(pacer);
        Clock::duration lead{};
        if (device->isOpen()) {
            const auto before = Clock::now();
            if (!device->play(chunk.data(), kChunkFrames)) {
                // The device went away (sound server stopped): go on in silence for now.
                device->close();
                lastOpen = Clock::now();
                setOutput("silent");
                pacer.restart();
            } else if (Clock::now() - before > kBlockedCall) {
                pacer.heldByDevice();
            }
            lead = device->isOpen() ? kLeadOverDevice : Clock::duration{};
        }
        pacer.wrote(kChunkFrames);
        const auto due = pacer.due(lead);
        if (due > Clock::now() && !core_->sleepUntil(due))
            return;
    }
}

}  // namespace platform::audio
