#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/files.h"

struct mpg123_handle_struct;

// One MP3 file decoded into the mix format. The whole file is scanned when it opens, so the
// length is exact (gapless, VBR included) before the first sample is read.
namespace platform::audio {

class Mp3Decoder {
  public:
    // An exact name is opened as it is, or not at all; the error texts show the name as given.
    // Raises platform::Error: missing file, not an MP3, truncated data (the file's own header
    // promises more frames than it holds).
    explicit Mp3Decoder(const files::Name& file);
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    std::int64_t lengthFrames() const { return lengthFrames_; }

    // Decodes up to `frames` frames into out (interleaved stereo). Returns the number decoded;
    // fewer than asked means the song has ended (or its data failed: it ends there too).
    std::size_t read(std::int16_t* out, std::size_t frames);

    // Moves to a frame; returns the frame reached. Raises platform::Error.
    std::int64_t seek(std::int64_t frame);

  private:
    struct Free {
        void operator()(mpg123_handle_struct* h) const;
    };
    std::string name_;
    std::unique_ptr<mpg123_handle_struct, Free> handle_;
    std::int64_t lengthFrames_ = 0;
    bool ended_ = false;
};

}  // namespace platform::audio
