// Look-ups over the library and the queue records.
#include "server/data_module.h"

#include <QListWidget>

#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/widgets/status_panels.h"
#include "server/main_window.h"
#include "tests/server/server_test_support.h"

namespace server_testing {
namespace {

using sonhall::TaDm;

std::string record(int n, std::string_view title, std::string_view path) {
    kv::SongFields f;
    f.title = std::string(title);
    f.genre = "1";
    f.path = std::string(path);
    return kv::BuildSongRecord(n, f);
}

class DataModuleTest : public ServerTest {
  protected:
    void SetUp() override {
        Create();
        main().SongLibrary = {record(1, "FIRST", "/MUSIC/A/SONG.MP3"),
                              record(2, "OTHER", "/MUSIC/A/OTHER.MP3"),
                              record(3, "SECOND", "/MUSIC/B/SONG.MP3")};
        dm().LibraryCount = 3;
    }
    std::vector<std::string> display() {
        std::vector<std::string> out;
        for (int i = 0; i < main().ListBox1->count(); ++i)
            out.push_back(main().ListBox1->item(i)->text().toStdString());
        return out;
    }
};

TEST_F(DataModuleTest, FindLibraryIndexTakesTheFirstMatchOfATrimmedUpperCasedName) {
    EXPECT_EQ(dm().FindLibraryIndex("  other.mp3 "), 1);
    EXPECT_EQ(dm().FindLibraryIndex("song.mp3"), 0);  // two folders hold it
    EXPECT_EQ(dm().FindLibraryIndex("none.mp3"), -1);
    main().SongLibrary.clear();
    EXPECT_EQ(dm().FindLibraryIndex("song.mp3"), -1);
}

TEST_F(DataModuleTest, QueueSongAppendsTheRecordAndItsDisplayLine) {
    EXPECT_TRUE(dm().QueueSong(" song.mp3", " kitchen"));
    ASSERT_EQ(main().SongQueue.size(), 1u);
    const std::string& q = main().SongQueue[0].record;
    EXPECT_EQ(q.size(), 186u);
    EXPECT_EQ(q.substr(0, 6), "000001");  // the first of the two folders
    EXPECT_EQ(q.substr(6, 40), "KITCHEN" + std::string(33, ' '));
    EXPECT_EQ(kv::Trim(q.substr(46)), "/MUSIC/A/SONG.MP3");
    EXPECT_EQ(display(), std::vector<std::string>{"000001 (KITCHEN) /MUSIC/A/SONG.MP3"});
    EXPECT_EQ(main().StatusBar1->Text(2), "1 song in que.");

    EXPECT_TRUE(dm().QueueSong("SONG.MP3", "KITCHEN"));
    EXPECT_EQ(dm().CountQueuedForClient("KITCHEN"), 2);
    EXPECT_EQ(dm().CountQueuedForClient("kitchen"), 0);  // stored names are upper case
    EXPECT_EQ(dm().CountQueuedForClient(" KITCHEN"), 0);
    EXPECT_EQ(main().StatusBar1->Text(2), "2 songs in que.");
}

// A cut path could never play, so a path longer than its column is not queued.
TEST_F(DataModuleTest, LongClientNamesAreCutAndPathsOverTheirColumnRefused) {
    const std::string fits = "/" + std::string(130, 'D') + "/FITS.MP3";  // 140 characters
    const std::string over = "/" + std::string(131, 'D') + "/OVER.MP3";  // 141
    main().SongLibrary = {record(7, "FITS", fits), record(8, "OVER", over)};
    dm().LibraryCount = 2;
    const std::string client(45, 'C');
    ASSERT_TRUE(dm().QueueSong("fits.mp3", client));
    EXPECT_FALSE(dm().QueueSong("over.mp3", client));
    ASSERT_EQ(main().SongQueue.size(), 1u);
    const std::string& q = main().SongQueue[0].record;
    EXPECT_EQ(q.size(), 186u);
    EXPECT_EQ(q.substr(6, 40), std::string(40, 'C'));
    EXPECT_EQ(q.substr(46), fits);
    EXPECT_EQ(display().size(), 1u);
}

TEST_F(DataModuleTest, NothingToQueueStillRefreshesTheQueueStatus) {
    main().StatusBar1->SetText(2, "stale");
    EXPECT_FALSE(dm().QueueSong("", "KITCHEN"));
    EXPECT_EQ(main().StatusBar1->Text(2), "Song que is empty.");
    main().StatusBar1->SetText(2, "stale");
    EXPECT_FALSE(dm().QueueSong("missing.mp3", "KITCHEN"));
    EXPECT_EQ(main().StatusBar1->Text(2), "Song que is empty.");
    main().SongLibrary.clear();
    EXPECT_FALSE(dm().QueueSong("song.mp3", "KITCHEN"));
    EXPECT_TRUE(main().SongQueue.empty());
    EXPECT_TRUE(display().empty());
}

TEST_F(DataModuleTest, DuringAScanOnlyTheFirstLibraryLineIsSearched) {
    dm().LibraryCount = 0;
    EXPECT_FALSE(dm().QueueSong("other.mp3", "K"));
    EXPECT_TRUE(dm().QueueSong("song.mp3", "K"));
}

TEST_F(DataModuleTest, RecordColumnsAndTitles) {
    EXPECT_EQ(TaDm::SongIdOf(""), "");
    EXPECT_EQ(TaDm::LibraryPathOf(""), "");
    EXPECT_EQ(TaDm::SongIdOf(main().SongLibrary[2]), "000003");
    EXPECT_EQ(TaDm::LibraryPathOf(record(1, "T", "/music/x.mp3 ")), "/MUSIC/X.MP3");
    EXPECT_EQ(dm().SongTitleById("000002"), "OTHER" + std::string(25, ' '));
    EXPECT_EQ(dm().SongTitleById("000009"), "");
    EXPECT_EQ(dm().SongTitleById(""), "");
}

TEST_F(DataModuleTest, ShowStatusWritesTheFirstPanel) {
    dm().ShowStatus("Server Closing");
    EXPECT_EQ(main().StatusBar1->Text(0), "Server Closing");
}

TEST(ColumnWidthFor, WidensToNinePixelsACharacterAndNeverShrinks) {
    struct Case {
        const char* text;
        int width, expected;
    } cases[] = {{"abc", 20, 32}, {"", 50, 50}, {"abc", 40, 40}, {"000001", 0, 59}};
    for (const Case& c : cases)
        EXPECT_EQ(TaDm::ColumnWidthFor(c.text, c.width), c.expected) << c.text << " " << c.width;
}

}  // namespace
}  // namespace server_testing
