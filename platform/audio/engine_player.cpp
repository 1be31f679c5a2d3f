#include "platform/audio/engine_player.h"

#include "platform/errors.h"

namespace platform::audio {

EnginePlayer::EnginePlayer(std::shared_ptr<MixCore> core)
    : core_(std::move(core)), track_(std::make_shared<Track>()) {
    core_->add(track_);
}

EnginePlayer::~EnginePlayer() {
    core_->remove(track_);
}

void EnginePlayer::open() {
    // Opening scans the whole file; that happens here, before the track is touched, so the
    // mix goes on meanwhile and a failure leaves the player as it was.
    auto decoder = std::make_unique<Mp3Decoder>(file_);
    auto replaced = track_->open(std::move(decoder));
}

void EnginePlayer::play() {
    if (!track_->play())
        throw Error("Cannot play \"" + file_.text() + "\": no song is open.");
    core_->wake();
}

void EnginePlayer::close() {
    auto closed = track_->close();  // freed here, outside the track's lock
}

}  // namespace platform::audio
