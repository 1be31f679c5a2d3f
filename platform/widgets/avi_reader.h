#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Reader for the animation files shipped next to the programs: RIFF AVI with one uncompressed
// video stream, 24-bit BGR or 8-bit palettised frames. No user interface here, so it can be
// tested and used on its own.
namespace platform::avi {

struct Animation {
    int width = 0;
    int height = 0;
    std::int64_t microsecondsPerFrame = 0;
    // Each frame is width * height pixels 0xFFRRGGBB, rows from top to bottom.
    std::vector<std::vector<std::uint32_t>> frames;
};

// Reads the file through platform::files (names resolve without regard to case). A missing,
// unreadable or malformed file raises platform::Error whose text names the file and the reason.
Animation readAviFile(std::string_view fileName);

// The same from bytes in memory; name only serves the error texts.
Animation parseAvi(std::string_view bytes, std::string_view name);

}  // namespace platform::avi
