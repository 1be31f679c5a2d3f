#include "platform/audio/audio_engine.h"

#include <algorithm>

#include "platform/audio/audio_thread.h"
#include "platform/audio/engine_player.h"
#include "platform/audio/mix_core.h"
#include "platform/audio/render_output.h"
#include "platform/errors.h"

namespace platform::audio {
namespace {

constexpr std::size_t kRenderChunkFrames = 4096;

}  // namespace

AudioEngine::AudioEngine() : AudioEngine(RealTimeOptions{}) {}

AudioEngine::AudioEngine(RealTimeOptions options)
    : core_(std::make_shared<MixCore>()),
      thread_(std::make_unique<AudioThread>(core_, std::move(options.drivers))) {}

AudioEngine::AudioEngine(RenderOptions options)
    : core_(std::make_shared<MixCore>()),
      render_(std::make_unique<RenderOutput>(options.keepInMemory, options.wavFile)) {}

AudioEngine::~AudioEngine() = default;

AudioEngine& AudioEngine::process() {
    static AudioEngine engine;
    return engine;
}

std::unique_ptr<MediaPlayer> AudioEngine::createPlayer() {
    return std::make_unique<EnginePlayer>(core_);
}

void AudioEngine::setGain(std::uint32_t volume) {
    core_->setGain(volume);
}

std::uint32_t AudioEngine::gain() const {
    return core_->gain();
}

std::string AudioEngine::output() const {
    return render_ ? "render" : thread_->output();
}

void AudioEngine::renderMs(std::int32_t ms) {
    renderFrames(static_cast<std::size_t>(msToFrames(std::max(ms, 0))));
}

void AudioEngine::renderFrames(std::size_t frames) {
    if (!render_)
        throw Error("The audio engine plays in real time; it cannot render.");
    std::vector<std::int16_t> chunk(kRenderChunkFrames * kChannels);
    while (frames > 0) {
        const std::size_t n = std::min(frames, kRenderChunkFrames);
        core_->mix(chunk.data(), n);
        render_->write(chunk.data(), n);
        frames -= n;
    }
}

const std::vector<std::int16_t>& AudioEngine::rendered() const {
    static const std::vector<std::int16_t> none;
    return render_ ? render_->samples() : none;
}

void AudioEngine::clearRendered() {
    if (render_)
        render_->clear();
}

std::unique_ptr<MediaPlayer> createMediaPlayer() {
    return AudioEngine::process().createPlayer();
}

}  // namespace platform::audio
