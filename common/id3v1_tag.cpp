#include "common/id3v1_tag.h"

#include <cstring>

#include "common/conversion.h"
#include "common/text_helpers.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace kv {
namespace {

using platform::files::File;

std::string readLast128(File& file) {
    const std::int64_t size = file.size();
    if (size < 128)
        throw platform::IoError("I/O error: " + file.name() + " is shorter than a tag block");
    return file.readAt(size - 128, 128);
}

void put(Id3v1TagBlock& block, size_t offset, std::string_view text, std::int32_t width) {
    const std::string field = PadRight(text, width, " ");
    std::memcpy(block.data() + offset, field.data(), field.size());
}

}  // namespace

bool HasTagMarker(std::string_view last128) {
    return last128.substr(0, 3) == "TAG";
}

std::string TagField(const Id3v1TagBlock& block, size_t offset, size_t width) {
    const char* begin = block.data() + offset;
    const void* zero = std::memchr(begin, '\0', width);
    return std::string(begin, zero ? static_cast<const char*>(zero) - begin : width);
}

bool ReadId3v1Tag(const platform::files::Name& path, std::string& title, std::string& artist,
                  std::string& genre, std::string& album, std::string& year, std::string& comment) {
    title.clear();
    artist.clear();
    album.clear();
    year.clear();
    comment.clear();
    genre = "012";
    if (path.text().empty())
        return false;

    // Opened first and looked for only when that fails: a missing file or a folder is no tag,
    // any other failure an error.
    std::string last;
    try {
        File file(path, File::Mode::Read);
        last = readLast128(file);
        file.close();
    } catch (const platform::IoError&) {
        if (!platform::files::fileExists(path))
            return false;
        throw;
    }
    if (!HasTagMarker(last))
        return false;

    Id3v1TagBlock block;
    std::memcpy(block.data(), last.data(), block.size());
    title = TagField(block, Id3v1Layout::Title, 30);
    artist = TagField(block, Id3v1Layout::Artist, 30);
    album = TagField(block, Id3v1Layout::Album, 30);
    year = TagField(block, Id3v1Layout::Year, 4);
    comment = TagField(block, Id3v1Layout::Comment, 30);
    genre = PadLeft(std::to_string(static_cast<unsigned char>(block[Id3v1Layout::Genre])), 3, "0");
    return true;
}

void BuildId3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                   std::string_view comment, std::string_view year, std::string_view genre,
                   Id3v1TagBlock& block) {
    const std::int32_t genreNumber = StrToInt(genre);  // before anything is touched
    block.fill(' ');
    std::memcpy(block.data(), "TAG", 3);
    put(block, Id3v1Layout::Title, title, 30);
    put(block, Id3v1Layout::Artist, artist, 30);
    put(block, Id3v1Layout::Album, album, 30);
    put(block, Id3v1Layout::Comment, comment, 30);
    put(block, Id3v1Layout::Year, year, 4);
    block[Id3v1Layout::Genre] = static_cast<char>(static_cast<std::uint32_t>(genreNumber) & 0xFF);
}

bool WriteTagBlock(const Id3v1TagBlock& block, const platform::files::Name& path) {
    platform::files::clearAttributes(path);
    File file(path, File::Mode::ReadWrite);
    const std::int64_t size = file.size();
    const bool replace = HasTagMarker(readLast128(file));
    file.seek(replace ? size - 128 : size);
    file.write(std::string_view(block.data(), block.size()));
    file.close();
    return true;
}

bool WriteId3v1Tag(const platform::files::Name& path, std::string_view title,
                   std::string_view artist, std::string_view album, std::string_view comment,
                   std::string_view year, std::string_view genre) {
    Id3v1TagBlock block;
    BuildId3v1Tag(title, artist, album, comment, year, genre, block);
    return WriteTagBlock(block, path);
}

}  // namespace kv
