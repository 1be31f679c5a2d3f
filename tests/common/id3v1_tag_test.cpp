#include "common/id3v1_tag.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/conversion.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::readFile;
using testing_support::TempDir;

const std::string kAudio(300, '\x55');

struct Tag {
    std::string title, artist, genre, album, year, comment;
    bool found = false;
};

Tag read(const std::string& path) {
    Tag t;
    t.found = kv::ReadId3v1Tag(platform::files::Name(path), t.title, t.artist, t.genre, t.album,
                               t.year, t.comment);
    return t;
}

std::string rawBlock(std::string_view title, unsigned char genre) {
    std::string b(128, '\0');
    b.replace(0, 3, "TAG");
    b.replace(3, title.size(), title);
    b[127] = static_cast<char>(genre);
    return b;
}

TEST(Id3v1Tag, WriteThenReadRoundTrip) {
    TempDir dir;
    const std::string song = dir.write("song.mp3", kAudio);
    ASSERT_TRUE(kv::WriteId3v1Tag(platform::files::Name(song), std::string(40, 'T'), "Artist",
                                  "Album", "Nice", "1999", "7"));
    EXPECT_EQ(platform::files::fileSize(platform::files::Name(song)), 300 + 128);
    const Tag t = read(song);
    ASSERT_TRUE(t.found);
    EXPECT_EQ(t.title, std::string(30, 'T'));
    EXPECT_EQ(t.artist, "Artist" + std::string(24, ' '));
    EXPECT_EQ(t.album, "Album" + std::string(25, ' '));
    EXPECT_EQ(t.year, "1999");
    EXPECT_EQ(t.comment, "Nice" + std::string(26, ' '));
    EXPECT_EQ(t.genre, "007");

    // A second write replaces the block: same size, new text, audio untouched.
    ASSERT_TRUE(kv::WriteId3v1Tag(platform::files::Name(song), "Hello", "", "", "", "", "300"));
    EXPECT_EQ(platform::files::fileSize(platform::files::Name(song)), 300 + 128);
    EXPECT_EQ(read(song).title, "Hello" + std::string(25, ' '));
    EXPECT_EQ(read(song).genre, "044");  // low eight bits
    EXPECT_EQ(readFile(song).substr(0, 300), kAudio);
}

TEST(Id3v1Tag, FieldsEndAtTheirFirstZeroByte) {
    TempDir dir;
    const std::string song = dir.write("z.mp3", kAudio + rawBlock("Hello", 255));
    const Tag t = read(song);
    ASSERT_TRUE(t.found);
    EXPECT_EQ(t.title, "Hello");
    EXPECT_EQ(t.artist, "");
    EXPECT_EQ(t.genre, "255");
}

TEST(Id3v1Tag, NoTagGivesDefaults) {
    TempDir dir;
    std::string lowerG = rawBlock("Old", 1);
    lowerG[2] = 'g';                            // "TAg" is no marker
    const std::string pipe = dir / "pipe.mp3";  // must not wait for a writer
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string cases[] = {"",
                                 dir / "missing.mp3",
                                 dir.mkdir("folder.mp3"),
                                 pipe,
                                 dir.write("plain.mp3", kAudio),
                                 dir.write("tag-lower.mp3", kAudio + lowerG)};
    for (const std::string& path : cases) {
        const Tag t = read(path);
        EXPECT_FALSE(t.found) << path;
        EXPECT_EQ(t.genre, "012") << path;
        EXPECT_EQ(t.title + t.artist + t.album + t.year + t.comment, "") << path;
    }
    // Writing to the "TAg" file appends a new block after the old bytes.
    const std::string path = dir / "tag-lower.mp3";
    ASSERT_TRUE(kv::WriteId3v1Tag(platform::files::Name(path), "New", "", "", "", "", "0"));
    EXPECT_EQ(platform::files::fileSize(platform::files::Name(path)), 300 + 128 + 128);
    EXPECT_EQ(read(path).title.substr(0, 3), "New");
}

TEST(Id3v1Tag, StoredUpperCaseNameReadsTheFileAsTheDiskSpellsIt) {
    TempDir dir;
    dir.write("Music/Song.mp3", kAudio + rawBlock("Found", 17));
    const Tag t = read(dir.path() + "MUSIC/SONG.MP3");
    EXPECT_TRUE(t.found);
    EXPECT_EQ(t.title, "Found");
    EXPECT_EQ(t.genre, "017");
}

TEST(Id3v1Tag, ShortFilesRaiseInputOutputErrors) {
    TempDir dir;
    const std::string tiny = dir.write("tiny.mp3", "TAG short");
    std::string s;
    EXPECT_THROW(kv::ReadId3v1Tag(platform::files::Name(tiny), s, s, s, s, s, s),
                 platform::IoError);
    EXPECT_THROW(kv::WriteId3v1Tag(platform::files::Name(tiny), "T", "", "", "", "", "1"),
                 platform::IoError);
    EXPECT_EQ(readFile(tiny), "TAG short");
}

TEST(Id3v1Tag, BadGenreRaisesBeforeTheFileIsTouched) {
    TempDir dir;
    const std::string song = dir.write("song.mp3", kAudio);
    ::chmod(song.c_str(), 0444);
    EXPECT_THROW(kv::WriteId3v1Tag(platform::files::Name(song), "T", "", "", "", "", "rock"),
                 kv::ConversionError);
    struct stat st {};
    ::stat(song.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(readFile(song), kAudio);
}

TEST(Id3v1Tag, ReadOnlyFileIsMadeWritableAndTagged) {
    TempDir dir;
    const std::string song = dir.write("Song.mp3", kAudio);
    ::chmod(song.c_str(), 0444);
    // Stored paths are upper case; the files layer finds the file anyway.
    const std::string stored = dir.path() + "SONG.MP3";
    ASSERT_TRUE(kv::WriteId3v1Tag(platform::files::Name(stored), "Hello", "", "", "", "", "1"));
    struct stat st {};
    ::stat(song.c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_TRUE(read(stored).found);
}

TEST(Id3v1Tag, BuildBlankFillsAndCuts) {
    kv::Id3v1TagBlock b;
    kv::BuildId3v1Tag("Hi", "", "", "", "20001", "-1", b);
    const std::string s(b.data(), b.size());
    EXPECT_EQ(s.substr(0, 3), "TAG");
    EXPECT_EQ(s.substr(3, 30), "Hi" + std::string(28, ' '));
    EXPECT_EQ(s.substr(93, 4), "2000");
    EXPECT_EQ(static_cast<unsigned char>(s[127]), 255);
}

}  // namespace
