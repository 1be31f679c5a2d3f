#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds small AVI files byte by byte, independent of the generator in tools/, so the reader
// is checked against the file layout itself. Every field can be spoilt on purpose.
namespace avi_test {

std::string le32(std::uint32_t v);
std::string le16(std::uint16_t v);
std::string chunk(const std::string& id, const std::string& body);
std::string list(const std::string& type, const std::string& children);

struct AviLayout {
    std::string riff = "RIFF";
    std::string form = "AVI ";
    bool withHeaders = true;
    bool withMainHeader = true;
    std::uint32_t mainHeaderSize = 56;
    std::uint32_t microsecondsPerFrame = 50'000;
    std::string streamType = "vids";
    std::uint32_t scale = 1;
    std::uint32_t rate = 20;
    bool withFormat = true;
    std::int32_t width = 3;
    std::int32_t height = 2;  // positive: rows bottom-up
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> palette;  // 0xRRGGBB, written as B G R 0
    bool withMovie = true;
    std::vector<std::string> frames;  // bodies of the "00db" chunks
    std::string movieExtra;           // more chunks at the end of the movie list
    std::string trailer;              // chunks after the movie list (an index, junk)
};

std::string build(const AviLayout& layout);

// The 3 x 2 picture of the default layout, as stored (bottom row first, rows padded to 12
// bytes), and as the reader must give it (top row first, 0xFFRRGGBB).
std::string rgbFrame3x2();
std::vector<std::uint32_t> rgbFrame3x2Pixels();

}  // namespace avi_test
