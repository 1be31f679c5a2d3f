#pragma once

#include <memory>
#include <string>

#include "platform/audio/media_player.h"
#include "platform/audio/mix_core.h"
#include "platform/audio/track.h"

// The media player of the audio engine: its song is one track of the engine's mix.
namespace platform::audio {

class EnginePlayer : public MediaPlayer {
  public:
    explicit EnginePlayer(std::shared_ptr<MixCore> core);
    ~EnginePlayer() override;

    void setFileName(const platform::files::Name& name) override { file_ = name; }
    const std::string& fileName() const override { return file_.text(); }
    void open() override;
    void play() override;
    void stop() override { track_->stop(); }
    void close() override;
    void seek(std::int32_t ms) override { track_->seek(ms); }

    PlayerMode mode() const override { return track_->mode(); }
    std::int32_t position() const override { return track_->positionMs(); }
    std::int32_t length() const override { return track_->lengthMs(); }

  private:
    std::shared_ptr<MixCore> core_;
    std::shared_ptr<Track> track_;
    platform::files::Name file_;
};

}  // namespace platform::audio
