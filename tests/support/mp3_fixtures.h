#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

// The 128-byte ID3v1 block; texts are cut or zero-filled to their widths.
std::string TagBlock(std::string_view title, std::string_view artist = "",
                     std::string_view album = "", std::string_view year = "",
                     std::string_view comment = "", unsigned char genre = 0);
// A small file the scans take for an MP3: some frame bytes, then the tag block if any.
std::string Mp3Bytes(std::optional<std::string> tag);
// The path of a real encoded file of tests/fixtures (tones of known length), by name.
std::string FixtureMp3(std::string_view name);

}  // namespace testing_support
