#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes uncompressed RIFF AVI files: one video stream, 24-bit BGR or 8-bit palettised frames,
// rows bottom-up and padded to 4 bytes, with an index.
namespace avi_maker {

// One frame: width * height colours 0xRRGGBB, rows from top to bottom.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

struct Movie {
    std::int64_t microsecondsPerFrame = 100'000;
    std::vector<Picture> frames;  // all of one size, at least one
};

enum class Depth { Rgb24, Palette8 };

// The file's bytes. Palette8 builds the palette from the colours the frames use and throws
// std::invalid_argument past 256 of them, as it does for frames of unequal sizes.
std::string encodeAvi(const Movie& movie, Depth depth);

}  // namespace avi_maker
