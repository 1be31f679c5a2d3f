#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"

// What the programs use of a media player. Positions and lengths are milliseconds.
namespace platform::audio {

enum class PlayerMode { NotOpen, Stopped, Playing };

class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;

    // The file to open: a song's own file by its exact name, or a name looked up from outside.
    virtual void setFileName(const platform::files::Name& name) = 0;
    virtual const std::string& fileName() const = 0;  // the name's text
    // Opening replaces what the player had open. Raises platform::Error (missing file, not an
    // MP3, truncated data) and then leaves the player as it was; the length is known when open
    // returns.
    virtual void open() = 0;
    // Raises platform::Error when no song is open. A song at its end stays stopped there.
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void close() = 0;
    // A seek to the length (or past it) ends the song: the mode is then no longer Playing.
    // Within the song the mode stays as it was. Raises platform::Error when the file cannot
    // be positioned.
    virtual void seek(std::int32_t ms) = 0;

    virtual PlayerMode mode() const = 0;
    virtual std::int32_t position() const = 0;
    virtual std::int32_t length() const = 0;
};

}  // namespace platform::audio
