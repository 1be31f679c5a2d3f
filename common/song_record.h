#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// One song of a library as one fixed-column line (columns are 1-based):
//   1-6 number (zero-filled), 7-36 title, 37-66 artist, 67-69 genre (zero-filled),
//   70-99 album, 100-103 year (right-aligned), 104-133 comment, 134.. the full path.
namespace kv {

inline constexpr std::int32_t kRecordPathColumn = 134;

struct SongFields {
    std::string title;
    std::string artist;
    std::string genre;  // decimal text of the genre number
    std::string album;
    std::string year;
    std::string comment;
    std::string path;  // folder and file name, exactly as the record is to hold it
};

std::string BuildSongRecord(std::int64_t songNumber, const SongFields& fields);

// The substring of `count` characters from 1-based `index`, clipped to the text; never fails.
std::string Copy(std::string_view s, std::int64_t index, std::int64_t count);

// Column readers: the raw columns, fill included; readers trim as they need.
std::string RecordSongNumber(std::string_view record);
std::string RecordTitle(std::string_view record);
std::string RecordArtist(std::string_view record);
std::string RecordGenre(std::string_view record);
std::string RecordAlbum(std::string_view record);
std::string RecordYear(std::string_view record);
std::string RecordComment(std::string_view record);
std::string RecordPath(std::string_view record);
// Columns 7-133: the part both programs' records share.
std::string RecordTagColumns(std::string_view record);

// The file-name part of a path (after its last "/") and the folder with its "/".
std::string ExtractFileName(std::string_view path);
std::string ExtractFilePath(std::string_view path);
// The file name without its extension (the part from the last dot on).
std::string FileNameWithoutExtension(std::string_view fileName);

}  // namespace kv
