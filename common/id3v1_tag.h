#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/files.h"

// The 128-byte ID3v1 block at the end of an MP3 file: "TAG", title 30, artist 30, album 30,
// year 4, comment 30, genre byte.
namespace kv {

using Id3v1TagBlock = std::array<char, 128>;

struct Id3v1Layout {
    static constexpr size_t Title = 3, Artist = 33, Album = 63, Year = 93, Comment = 97,
                            Genre = 127;
};

// False (texts empty, genre "012") for an empty path, a missing file or no "TAG" marker.
// Fields end at their first zero byte and are not trimmed. Raises IoError for a file that
// cannot be read (shorter than 128 bytes, locked).
bool ReadId3v1Tag(const platform::files::Name& path, std::string& title, std::string& artist,
                  std::string& genre, std::string& album, std::string& year, std::string& comment);

// Fields blank-filled and cut to their widths; genre's low eight bits. Raises ConversionError
// for a genre that is not an integer.
void BuildId3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                   std::string_view comment, std::string_view year, std::string_view genre,
                   Id3v1TagBlock& block);

// Overwrites an existing block or appends one; makes the file writable first. Raises IoError.
bool WriteTagBlock(const Id3v1TagBlock& block, const platform::files::Name& path);

bool WriteId3v1Tag(const platform::files::Name& path, std::string_view title,
                   std::string_view artist, std::string_view album, std::string_view comment,
                   std::string_view year, std::string_view genre);

// A field of a raw block, up to its first zero byte.
std::string TagField(const Id3v1TagBlock& block, size_t offset, size_t width);
bool HasTagMarker(std::string_view last128);

}  // namespace kv
