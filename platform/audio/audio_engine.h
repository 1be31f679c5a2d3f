#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_format.h"
#include "platform/audio/media_player.h"

// The audio engine: every player of a process is one track of a single mix, played through
// one output stream (44.1 kHz, stereo, 16 bit) by the engine's own audio thread.
namespace platform::audio {

class MixCore;
class AudioThread;
class RenderOutput;

// libout123's default driver order (pulse, alsa, oss, jack, portaudio, nas, openal) cut after
// the drivers a Linux desktop plays through (PipeWire answers as pulse). The rest misbehave
// where no sound server or card exists: jack tries to start a server and leaks on unload,
// portaudio jumps into its unloaded module after a failed open, nas waits seconds for a network
// time-out, and openal accepts a stream without any device, then hangs on close.
inline constexpr const char* kDefaultDrivers = "pulse,alsa,oss";

struct RealTimeOptions {
    // The first of these libout123 drivers that opens plays the mix. When none opens (or the
    // list is empty) the engine keeps time by the clock and plays silently.
    std::string drivers = kDefaultDrivers;
};

struct RenderOptions {
    bool keepInMemory = true;  // rendered() holds everything rendered
    std::string wavFile;       // when set, the mix is also written there; complete on destruction
};

class AudioEngine {
  public:
    AudioEngine();  // real time over the default drivers
    explicit AudioEngine(RealTimeOptions options);
    // Rendering: no thread and no clock; the mix advances only by renderMs / renderFrames, as
    // fast as it can be decoded. Raises platform::Error when the WAV file cannot be made.
    explicit AudioEngine(RenderOptions options);
    ~AudioEngine();  // stops the audio thread; players still alive fall silent
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // The engine of the programs, made (real time, default drivers) on first use and stopped at
    // the end of the process.
    static AudioEngine& process();

    // A player whose song plays in this engine's mix. Players are used from one thread (the
    // user-interface thread); they may outlive the engine, silent then.
    std::unique_ptr<MediaPlayer> createPlayer();

    // Volume of the whole mix: left in the low word, right in the high word, 0..65535 each;
    // 65535 (the start value) leaves the samples as decoded, 32768 halves them, 0 silences.
    void setGain(std::uint32_t volume);
    std::uint32_t gain() const;

    bool rendering() const { return render_ != nullptr; }
    // The output driver in use ("pulse", "alsa", ...), "silent" without one, "render" when
    // rendering, empty while the audio thread is still trying the drivers.
    std::string output() const;

    // Rendering only (raise platform::Error otherwise): advance the mix.
    void renderMs(std::int32_t ms);
    void renderFrames(std::size_t frames);
    // Everything rendered so far (with keepInMemory): interleaved left, right samples.
    const std::vector<std::int16_t>& rendered() const;
    void clearRendered();

  private:
    std::shared_ptr<MixCore> core_;
    std::unique_ptr<RenderOutput> render_;
    std::unique_ptr<AudioThread> thread_;
};

// A player on the process's engine.
std::unique_ptr<MediaPlayer> createMediaPlayer();

}  // namespace platform::audio
