#pragma once

#include <cstdint>
#include <string>

// What the programs use of a media player. Positions and lengths are milliseconds.
namespace platform::audio {

enum class PlayerMode { NotOpen, Stopped, Playing };

class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;

    virtual void setFileName(const std::string& name) = 0;
    virtual const std::string& fileName() const = 0;
    // Opening replaces what the player had open. Raises platform::Error (missing file, not an
    // MP3, truncated data); the length is known when open returns.
    virtual void open() = 0;
    virtual void play() = 0;  // raises platform::Error
    virtual void stop() = 0;
    virtual void close() = 0;
    // A seek to the length (or past it) ends the song: the mode is then no longer Playing.
    virtual void seek(std::int32_t ms) = 0;

    virtual PlayerMode mode() const = 0;
    virtual std::int32_t position() const = 0;
    virtual std::int32_t length() const = 0;
};

}  // namespace platform::audio
