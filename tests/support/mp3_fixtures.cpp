#include "tests/support/mp3_fixtures.h"

#include <algorithm>

namespace testing_support {

std::string TagBlock(std::string_view title, std::string_view artist, std::string_view album,
                     std::string_view year, std::string_view comment, unsigned char genre) {
    const auto field = [](std::string_view s, size_t width) {
        std::string f(s.substr(0, std::min(s.size(), width)));
        f.resize(width, '\0');
        return f;
    };
    std::string block = "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) +
                        field(year, 4) + field(comment, 30);
    block += static_cast<char>(genre);
    return block;
}

std::string Mp3Bytes(std::optional<std::string> tag) {
    std::string bytes = "\xFF\xFB\x90\x64";
    bytes.resize(200, '\x55');
    if (tag)
        bytes += *tag;
    return bytes;
}

std::string FixtureMp3(std::string_view name) {
    return std::string(SONH_SOURCE_DIR) + "/tests/fixtures/" + std::string(name);
}

}  // namespace testing_support
