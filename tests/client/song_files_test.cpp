// Each record reaches its own file: two files of one folder whose names differ only in case,
// and a name with a backslash, through the tag editor, the local player, the copy job and the
// queue file.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <filesystem>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "common/id3v1_tag.h"
#include "common/text_helpers.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"

namespace client_testing {
namespace {

using testing_support::Mp3Bytes;
using testing_support::readFile;
using testing_support::TagBlock;

std::string TitleOf(const std::string& file) {
    std::string title, artist, genre, album, year, comment;
    kv::ReadId3v1Tag(file, title, artist, genre, album, year, comment);
    return kv::Trim(title);
}

// Case.mp3 and case.mp3 side by side in music/, told apart by their titles.
class CaseTwinsTest : public ClientTest {
  protected:
    void SetUp() override {
        upper = dir.write("music/Case.mp3", Mp3Bytes(TagBlock("Upper", "Band")));
        lower = dir.write("music/case.mp3", Mp3Bytes(TagBlock("Lower", "Band")));
        Create();
        setup().ListBox1->addItem(platform::fileName(Entry("music")));
        setup().ScanLocalSongs();
        ASSERT_EQ(main().SongLibrary.size(), 2u);
    }
    // The song number of the record with that title.
    std::string Song(const std::string& title) {
        for (int i = 0; i < static_cast<int>(main().SongLibrary.size()); ++i)
            if (dm().GetTitle(i) == title)
                return dm().GetSongNo(i);
        ADD_FAILURE() << title;
        return {};
    }
    void ShowInTree(const std::string& songNo) {
        ASSERT_TRUE(ShowSongSelTree());
        QTreeWidgetItem* all = songSel().AllSongsNode;
        for (int i = 0; i < all->childCount(); ++i)
            if (all->child(i)->text(0).startsWith(QString::fromStdString(songNo)))
                songSel().TreeView1->setCurrentItem(all->child(i));
        songSel().TreeView1Click();
    }

    std::string upper, lower;
};

TEST_F(CaseTwinsTest, RecordsKeepTheirColumnsInUpperCase) {
    for (const char* title : {"Upper", "Lower"}) {
        const int index = dm().FindSongByNo(Song(title));
        EXPECT_EQ(dm().GetFilePath(index), Entry("music"));
        EXPECT_EQ(dm().GetFileName(index), "CASE.MP3");
    }
}

TEST_F(CaseTwinsTest, TagEditingReadsAndWritesTheFileOfTheSongShown) {
    const struct {
        const char* title;
        const std::string* file;
        const std::string* other;
    } cases[] = {{"Lower", &lower, &upper}, {"Upper", &upper, &lower}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string otherBefore = readFile(*c.other);
        ShowInTree(Song(c.title));
        songSel().btnTagEditClick();
        EXPECT_EQ(songSel().Edit1->text().toStdString(), c.title);
        songSel().Edit1->setText("Edited");
        songSel().btnTagSaveClick();
        EXPECT_EQ(TitleOf(*c.file), "Edited");
        EXPECT_EQ(readFile(*c.other), otherBefore);
        EXPECT_EQ(songSel().Edit1->text(), "Edited");  // read back from its own file
    }
}

TEST_F(CaseTwinsTest, LocalPlayOpensTheSongsOwnFile) {
    for (const auto& [title, file] : {std::pair{"Lower", &lower}, std::pair{"Upper", &upper}}) {
        ASSERT_TRUE(main().PlayLocalSong(Song(title))) << title;
        EXPECT_EQ(player->fileName(), *file);
        EXPECT_EQ(main().CurrentFileName, "CASE.MP3");
    }
}

TEST_F(CaseTwinsTest, TheCopyJobCopiesTheRowsOwnFile) {
    for (const auto& [title, file] : {std::pair{"Lower", &lower}, std::pair{"Upper", &upper}}) {
        SCOPED_TRACE(title);
        const std::string target = dir.mkdir(std::string("stick-") + title);
        songSel().ListView1->clear();
        songSel().AddToSelection(Song(title));
        dialogs.expectFolder(target).expectConfirm(
            true, "Copy 1 songs to \"" + target + "/\". Are you sure?");
        songSel().Copysongstoanotherlocation1Click();
        EXPECT_EQ(dialogs.pending(), 0u);
        EXPECT_EQ(readFile(target + "/CASE.MP3"), readFile(*file));
    }
}

// "\\" is a character of the name like any other: the song is queued, saved, reloaded and
// played under its whole name.
class BackslashNameTest : public ClientTest {
  protected:
    void SetUp() override {
        file = dir.write("music/AC\\DC song.mp3", Mp3Bytes(TagBlock("Thunder", "Band")));
        WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nAUTOLOAD SONG QUE=YES\nMP3 PATH1=" +
                    Entry("music") + "\n");
    }
    std::string file;
};

TEST_F(BackslashNameTest, TheSongIsQueuedSavedReloadedAndPlayedUnderItsWholeName) {
    Create();
    main().FormShow();
    ASSERT_EQ(main().SongLibrary.size(), 1u);
    EXPECT_EQ(dm().GetFileName(0), "AC\\DC SONG.MP3");
    EXPECT_EQ(dm().GetFilePath(0), Entry("music"));
    dm().AddSongToQue("000001");
    EXPECT_EQ(platform::fromFileName(main().ListView1->topLevelItem(0)->text(4)),
              "AC\\DC SONG.MP3");
    main().close();
    EXPECT_EQ(readFile(dir / "songque.kvc"), "AC\\DC SONG.MP3\r\n");

    Create();
    main().FormShow();  // no "Fail to load" box
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 1);
    EXPECT_EQ(main().ListView1->topLevelItem(0)->text(0), "000001");
    ASSERT_TRUE(main().PlayLocalSong("000001"));
    EXPECT_EQ(player->fileName(), file);
    EXPECT_EQ(main().CurrentFileName, "AC\\DC SONG.MP3");
    EXPECT_EQ(main().CurrentPath, Entry("music"));
}

}  // namespace
}  // namespace client_testing
