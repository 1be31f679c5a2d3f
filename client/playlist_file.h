#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Playlist files: one song file name (without folder) per line, each line ended by CR LF.
namespace sonpad::playlist {

// Files larger than this are no playlists; reading one raises an error instead of filling
// memory (a playlist of 100,000 long names stays far below it).
inline constexpr std::int64_t kMaxFileBytes = 32 * 1024 * 1024;

// The lines of a playlist's text, split at CR LF, a lone CR or a lone LF, each trimmed at its
// end (the blanks a line starts with may be a file name's own: TDm::FindSongByListEntry). A
// break at the very end gives no empty last line; an empty line inside gives an empty entry.
std::vector<std::string> SplitEntries(std::string_view text);

// The entries of the file, in file order. Raises platform::IoError when the file cannot be
// read, is too large, or holds a NUL byte (a binary file, not a playlist).
std::vector<std::string> ReadEntries(std::string_view path);

// The file's text for these file names: upper case, sorted by the locale's case-insensitive
// order of the names as the file system's text, a name equal to one already taken dropped
// (names the locale merely calls equal all stay), every line ended by CR LF. A name holding a
// CR or LF would read back as two lines: it is left out, and named in leftOut when given.
std::string TextFor(const std::vector<std::string>& fileNames,
                    std::vector<std::string>* leftOut = nullptr);

// Whether a file name can stand on a line of its own.
bool FitsOnALine(std::string_view fileName);

// The text of a box that names the songs a list file left out (none: empty).
std::string LeftOutText(const std::vector<std::string>& leftOut);

// Writes TextFor(fileNames) to path through a temporary file, so a failed write leaves the old
// file whole, and returns the names left out. Raises platform::IoError.
std::vector<std::string> Write(std::string_view path, const std::vector<std::string>& fileNames);

}  // namespace sonpad::playlist
