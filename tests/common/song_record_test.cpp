#include "common/song_record.h"

#include <gtest/gtest.h>

namespace {

kv::SongFields fields(std::string path) {
    return {"Hello", "Artist", "7", "Album", "1999", "Comment", std::move(path)};
}

TEST(SongRecord, ColumnsOfABuiltRecord) {
    const std::string path = "/MUSIC/ROCK/SONG.MP3";  // 20 characters
    const std::string r = kv::BuildSongRecord(42, fields(path));
    ASSERT_EQ(r.size(), 153u);
    EXPECT_EQ(kv::RecordSongNumber(r), "000042");
    EXPECT_EQ(kv::RecordTitle(r), "Hello" + std::string(25, ' '));
    EXPECT_EQ(kv::RecordArtist(r), "Artist" + std::string(24, ' '));
    EXPECT_EQ(kv::RecordGenre(r), "007");
    EXPECT_EQ(kv::RecordAlbum(r), "Album" + std::string(25, ' '));
    EXPECT_EQ(kv::RecordYear(r), "1999");
    EXPECT_EQ(kv::RecordComment(r), "Comment" + std::string(23, ' '));
    EXPECT_EQ(kv::RecordPath(r), path);
    EXPECT_EQ(kv::RecordTagColumns(r), r.substr(6, 127));
}

TEST(SongRecord, LongFieldsAreCutAndShortYearIsRightAligned) {
    kv::SongFields f = fields("/A.MP3");
    f.title = std::string(40, 'T');
    f.year = "99";
    const std::string r = kv::BuildSongRecord(1000000, f);
    EXPECT_EQ(kv::RecordSongNumber(r), "100000");  // the first six of seven digits
    EXPECT_EQ(kv::RecordTitle(r), std::string(30, 'T'));
    EXPECT_EQ(kv::RecordYear(r), "  99");
    EXPECT_EQ(r.size(), 133u + 6u);
}

TEST(SongRecord, ReadersOfShortTextDoNotFail) {
    EXPECT_EQ(kv::RecordTitle("000001ab"), "ab");
    EXPECT_EQ(kv::RecordPath("short"), "");
    EXPECT_EQ(kv::Copy("abc", 0, 2), "ab");
    EXPECT_EQ(kv::Copy("abc", 3, 99), "c");
    EXPECT_EQ(kv::Copy("abc", 4, 1), "");
}

TEST(SongRecord, PathParts) {
    EXPECT_EQ(kv::ExtractFileName("/MUSIC/LOVE SONG.MP3"), "LOVE SONG.MP3");
    EXPECT_EQ(kv::ExtractFilePath("/MUSIC/LOVE SONG.MP3"), "/MUSIC/");
    EXPECT_EQ(kv::ExtractFileName("SONG.MP3"), "SONG.MP3");
    EXPECT_EQ(kv::ExtractFilePath("SONG.MP3"), "");
    // A backslash belongs to the name.
    EXPECT_EQ(kv::ExtractFileName("/MUSIC/AC\\DC SONG.MP3"), "AC\\DC SONG.MP3");
    EXPECT_EQ(kv::ExtractFilePath("/MUSIC/AC\\DC SONG.MP3"), "/MUSIC/");
    EXPECT_EQ(kv::FileNameWithoutExtension("love.song.mp3"), "love.song");
    EXPECT_EQ(kv::FileNameWithoutExtension("noext"), "noext");
}

}  // namespace
