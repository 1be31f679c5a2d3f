#include "common/song_record.h"

#include "common/text_helpers.h"

namespace kv {

std::string BuildSongRecord(std::int64_t songNumber, const SongFields& f) {
    std::string record;
    record.reserve(kRecordPathColumn - 1 + f.path.size());
    record += PadLeft(std::to_string(songNumber), 6, "0");
    record += PadRight(f.title, 30, " ");
    record += PadRight(f.artist, 30, " ");
    record += PadLeft(f.genre, 3, "0");
    record += PadRight(f.album, 30, " ");
    record += PadLeft(f.year, 4, " ");
    record += PadRight(f.comment, 30, " ");
    record += f.path;
    return record;
}

std::string Copy(std::string_view s, std::int64_t index, std::int64_t count) {
    if (index < 1)
        index = 1;
    const auto size = static_cast<std::int64_t>(s.size());
    if (index > size || count <= 0)
        return {};
    return std::string(s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count)));
}

std::string RecordSongNumber(std::string_view r) {
    return Copy(r, 1, 6);
}
std::string RecordTitle(std::string_view r) {
    return Copy(r, 7, 30);
}
std::string RecordArtist(std::string_view r) {
    return Copy(r, 37, 30);
}
std::string RecordGenre(std::string_view r) {
    return Copy(r, 67, 3);
}
std::string RecordAlbum(std::string_view r) {
    return Copy(r, 70, 30);
}
std::string RecordYear(std::string_view r) {
    return Copy(r, 100, 4);
}
std::string RecordComment(std::string_view r) {
    return Copy(r, 104, 30);
}
std::string RecordPath(std::string_view r) {
    return Copy(r, kRecordPathColumn, static_cast<std::int64_t>(r.size()));
}
std::string RecordTagColumns(std::string_view r) {
    return Copy(r, 7, 127);
}

namespace {
// "/" only: a backslash is an ordinary character of a file name here.
size_t lastSeparator(std::string_view path) {
    return path.rfind('/');
}
}  // namespace

std::string ExtractFileName(std::string_view path) {
    const size_t sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string ExtractFilePath(std::string_view path) {
    const size_t sep = lastSeparator(path);
    return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string FileNameWithoutExtension(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    return std::string(dot == std::string_view::npos ? fileName : fileName.substr(0, dot));
}

}  // namespace kv
