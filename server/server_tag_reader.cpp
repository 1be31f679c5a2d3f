#include "server/server_tag_reader.h"

#include "common/id3v1_tag.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace sonhall {
namespace {

std::string field(const kv::Id3v1TagBlock& block, size_t offset, size_t width) {
    return kv::UpperCase(kv::Trim(kv::TagField(block, offset, width)));
}

void blankIfEmpty(std::string& s) {
    if (s.empty())
        s = "BLANK";
}

}  // namespace

bool ReadId3v1TagServer(const platform::files::Name& path, std::string& Title, std::string& Artist,
                        std::string& Genre, std::string& Album, std::string& Year,
                        std::string& Comment) {
    Title.clear();
    Artist.clear();
    Genre.clear();
    Album.clear();
    Year.clear();
    Comment.clear();

    kv::Id3v1TagBlock block{};
    try {
        platform::files::File file(path, platform::files::File::Mode::Read);
        file.seek(file.size() - 128);  // a negative position fails
        const std::string bytes = file.read(128);
        std::copy(bytes.begin(), bytes.end(), block.begin());
    } catch (const platform::Error&) {
        Artist = Genre = Album = Year = Comment = "<error>";
        return false;
    }

    using L = kv::Id3v1Layout;
    if (!kv::HasTagMarker(std::string_view(block.data(), 3))) {
        Comment = "<no tag>";
        return true;
    }
    Title = field(block, L::Title, 30);
    Artist = field(block, L::Artist, 30);
    Album = field(block, L::Album, 30);
    Year = field(block, L::Year, 4);
    Comment = field(block, L::Comment, 30);
    Genre = std::to_string(static_cast<unsigned char>(block[L::Genre]));
    blankIfEmpty(Title);
    blankIfEmpty(Artist);
    blankIfEmpty(Album);
    return true;
}

std::string BuildScanRecord(std::int64_t n, const std::string& path, const std::string& diskPath) {
    kv::SongFields f;
    ReadId3v1TagServer(platform::files::Name::exact(diskPath), f.title, f.artist, f.genre, f.album,
                       f.year, f.comment);
    if (f.title.empty())
        f.title = kv::UpperCase(kv::FileNameWithoutExtension(kv::ExtractFileName(path)));
    f.path = path;
    return kv::BuildSongRecord(n, f);
}

}  // namespace sonhall
