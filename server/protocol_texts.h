#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The fixed-format lines the server sends, built from plain values. Safe on any thread.
namespace sonhall {

// "#PLY" + the song number (6 characters) or "@" when no song is active, then position "!"
// length "*" file name ":" file size "$".
std::string PlayStatusReply(std::string_view songId, std::int32_t position, std::int32_t length,
                            std::string_view fileName, std::int32_t fileSize);

// "#INI" + volume (5) + listed connections (2) + songs played (6) + queue length (2), each
// filled with "0" on the left or cut to its first digits: always 19 characters.
std::string ServerInfoReply(std::int64_t volume, std::int64_t connections, std::int64_t songsPlayed,
                            std::int64_t queueLength);

// The lines joined by ","; a line holding a blank, a control character, a double quote or a
// comma is quoted, its double quotes doubled; one empty line gives "" and no lines nothing.
std::string CommaText(const std::vector<std::string>& lines);

}  // namespace sonhall
