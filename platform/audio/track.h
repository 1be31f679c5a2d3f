#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/media_player.h"
#include "platform/audio/mp3_decoder.h"

// The state of one player, shared by the thread that calls the player and the thread that
// mixes. Every call locks only this track, and only as long as the call itself; the mixing
// side decodes one chunk under the lock, a fraction of a millisecond.
namespace platform::audio {

class Track {
  public:
    // Puts a new song in place (stopped at its start) and hands back the one it replaces, so
    // the caller destroys that outside the lock.
    std::unique_ptr<Mp3Decoder> open(std::unique_ptr<Mp3Decoder> decoder);
    std::unique_ptr<Mp3Decoder> close();
    // False when no song is open. At the end of a song it stays stopped there.
    bool play();
    void stop();
    // At or past the length the song ends: stopped at its length. Raises platform::Error.
    void seek(std::int32_t ms);

    PlayerMode mode() const;
    std::int32_t positionMs() const;
    std::int32_t lengthMs() const;

    // Mixing side: adds the next `frames` frames of the song to mix (interleaved stereo).
    // False when the track is not playing (it then adds nothing).
    bool mixInto(std::int32_t* mix, std::size_t frames);

  private:
    void endLocked();

    mutable std::mutex mutex_;
    std::unique_ptr<Mp3Decoder> decoder_;
    PlayerMode mode_ = PlayerMode::NotOpen;
    std::int64_t position_ = 0;  // frames of the mix format
    std::int64_t length_ = 0;
    std::vector<std::int16_t> buffer_;
};

}  // namespace platform::audio
