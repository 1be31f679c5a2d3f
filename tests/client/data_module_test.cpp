// The data module: look-ups, record fields, the queue and its caption, the playlist combo.
#include "client/data_module.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "common/song_record.h"
#include "platform/errors.h"
#include "platform/widgets/status_panels.h"
#include "tests/client/client_test_support.h"

namespace client_testing {
namespace {

std::string Record(int number, std::string_view path, std::string_view genre = "017") {
    kv::SongFields f;
    f.title = " Title " + std::to_string(number);
    f.artist = "Artist";
    f.genre = std::string(genre);
    f.album = "Album";
    f.year = "1999";
    f.comment = "Comment";
    f.path = std::string(path);
    return kv::BuildSongRecord(number, f);
}

std::vector<std::string> Cells(QTreeWidgetItem* row) {
    std::vector<std::string> cells;
    for (int c = 0; c < row->columnCount(); ++c)
        cells.push_back(row->text(c).toStdString());
    return cells;
}

class DataModuleTest : public ClientTest {
  protected:
    void SetUp() override {
        Create();
        main().SongLibrary = {Record(1, "/MUSIC/A/SONG.MP3"), Record(2, "/MUSIC/A/OTHER.MP3"),
                              Record(3, "/MUSIC/B/SONG.MP3")};
    }
    std::vector<std::string> PlaylistItems() {
        std::vector<std::string> items;
        for (int i = 0; i < main().ComboBox2->count(); ++i)
            items.push_back(main().ComboBox2->itemText(i).toStdString());
        return items;
    }
};

TEST_F(DataModuleTest, LookUpsGiveTheFirstExactMatchInLibraryOrder) {
    struct Case {
        const char* key;
        bool byName;
        int expected;
    } cases[] = {
        {"song.mp3", true, 0},  // two folders hold it: the lower number
        {"SONG.MP3", true, 0},   {"other.mp3", true, 1}, {" song.mp3", true, -1},
        {"song.mp3 ", true, -1}, {"", true, -1},         {"B/SONG.MP3", true, -1},
        {"000001", false, 0},    {"000003", false, 2},   {"1", false, -1},
        {"00001 ", false, -1},   {"", false, -1},        {"000004", false, -1},
    };
    for (const Case& c : cases) {
        const int found = c.byName ? dm().FindSongByFileName(c.key) : dm().FindSongByNo(c.key);
        EXPECT_EQ(found, c.expected) << (c.byName ? "name " : "number ") << '"' << c.key << '"';
    }
    main().SongLibrary.clear();
    EXPECT_EQ(dm().FindSongByFileName("song.mp3"), -1);
    EXPECT_EQ(dm().FindSongByNo("000001"), -1);
    main().SongLibrary = {Record(7, "/MUSIC/C/SONG.MP3")};
    EXPECT_EQ(dm().FindSongByFileName("song.mp3"), 0);
    EXPECT_EQ(dm().FindSongByNo("000001"), -1);
}

TEST_F(DataModuleTest, GettersTrimTheirColumnsAndNameTheGenre) {
    EXPECT_EQ(dm().GetSongNo(2), "000003");
    EXPECT_EQ(dm().GetTitle(2), "Title 3");
    EXPECT_EQ(dm().GetArtist(0), "Artist");
    EXPECT_EQ(dm().GetAlbum(0), "Album");
    EXPECT_EQ(dm().GetYear(0), "1999");
    EXPECT_EQ(dm().GetComment(0), "Comment");
    EXPECT_EQ(dm().GetFilePath(2), "/MUSIC/B/");
    EXPECT_EQ(dm().GetFileName(2), "SONG.MP3");
    EXPECT_THROW(dm().GetTitle(3), platform::Error);
    EXPECT_THROW(dm().GetTitle(-1), platform::Error);

    struct Case {
        const char* column;
        const char* name;
    } genres[] = {{"017", "Rock"},  {"012", "Other"},   {"200", "Blank"},  {"300", "Space"},
                  {"   ", "BLANK"}, {"x1 ", "<error>"}, {" 7 ", "Hip-Hop"}};
    for (const Case& c : genres) {
        std::string record = Record(1, "/M/X.MP3");
        record.replace(66, 3, c.column);
        main().SongLibrary = {record};
        EXPECT_EQ(dm().GetGenreName(0), c.name) << '"' << c.column << '"';
    }
}

TEST_F(DataModuleTest, AddSongToQueAppendsARowAndRefreshesTheCaption) {
    QTreeWidget* queue = main().ListView1;
    EXPECT_EQ(main().GroupSongQue->title(), "[  SONG QUE  ]");
    dm().AddSongToQue("000009");
    EXPECT_EQ(queue->topLevelItemCount(), 0);
    EXPECT_EQ(main().GroupSongQue->title(), "[ SONG QUE ]");

    kv::SongFields f;
    f.title = std::string(30, 'T');
    f.path = "/MUSIC/" + std::string(20, 'D') + "/SONG.MP3";
    main().SongLibrary.push_back(kv::BuildSongRecord(4, f));
    queue->setColumnWidth(4, 300);
    dm().AddSongToQue("000003");
    dm().AddSongToQue("000004");
    dm().AddSongToQue("000003");
    ASSERT_EQ(queue->topLevelItemCount(), 3);
    EXPECT_EQ(Cells(queue->topLevelItem(2)),
              (std::vector<std::string>{"000003", "Title 3", "Artist", "/MUSIC/B/", "SONG.MP3"}));
    EXPECT_EQ(queue->topLevelItem(0)->icon(0).cacheKey(), main().ImageList1[0].cacheKey());
    const std::vector<int> widths{84, 9 * 30 + 5, 120, 9 * 28 + 5, 300};  // 59 < 84; 95 < 300
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(queue->columnWidth(c), widths[static_cast<size_t>(c)]) << c;
    main().PlayedCount = 1;
    dm().UpdateSongQueCaption();
    EXPECT_EQ(main().GroupSongQue->title(), "[ SONG QUE (Total/Played/Repeat: 3/1/0) ]");
}

TEST_F(DataModuleTest, StatusTextGoesToItsPanel) {
    dm().SetStatusText(1, "Hello");
    dm().SetStatusText(2, "PLAY");
    EXPECT_EQ(main().StatusBar1->Text(1), "Hello");
    EXPECT_EQ(main().StatusBar1->Text(2), "PLAY");
    EXPECT_EQ(main().StatusBar1->Text(0), "");
}

TEST_F(DataModuleTest, PlaylistComboListsThePlaylistFolderOnlyWhenItHoldsPlaylists) {
    dir.write("lists/PARTY.PLY", "A.MP3\r\n");
    dir.write("lists/party.ply", "B.MP3\r\n");
    dir.write("lists/chill.ply", "");
    dir.write("lists/notes.txt", "");
    dir.write("lists/sub/deep.ply", "");
    dir.mkdir("empty");
    setup().Edit2->setText(QString::fromStdString(Entry("lists")));
    main().Label6->setText("4");
    dm().RefreshPlaylistCombo();
    EXPECT_EQ(PlaylistItems(), (std::vector<std::string>{"Chill.ply", "Party.ply"}));
    EXPECT_EQ(main().Label6->text(), "0");
    EXPECT_EQ(setup().FileListBox1.Mask(), "");
    EXPECT_TRUE(setup().FileListBox1.Items().empty());

    for (const std::string& folder : {std::string(), std::string("  "), Entry("empty"),
                                      Entry("missing"), Entry("lists/notes.txt")}) {
        main().Label6->setText("4");
        setup().Edit2->setText(QString::fromStdString(folder));
        dm().RefreshPlaylistCombo();
        EXPECT_EQ(PlaylistItems(), (std::vector<std::string>{"Chill.ply", "Party.ply"})) << folder;
        EXPECT_EQ(main().Label6->text(), "4") << folder;
    }
}

TEST(FitColumnWidth, GrowsToNinePixelsACharacterAndFiveAndNeverShrinks) {
    struct Case {
        const char* text;
        int width, expected;
    } cases[] = {{"abc", 20, 32}, {"abc", 50, 50}, {"", 0, 5}, {"abc", 32, 32}, {"", -3, 5}};
    for (const Case& c : cases)
        EXPECT_EQ(sonpad::TDm::FitColumnWidth(c.text, c.width), c.expected)
            << c.text << " " << c.width;
}

}  // namespace
}  // namespace client_testing
