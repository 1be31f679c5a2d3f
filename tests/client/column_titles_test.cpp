// A click on a column title of every report list of the client, through the real header, once
// the list was filled the way its user fills it: the library by the start-up scan, the song
// queue by the reload of the saved queue, my Selection by a playlist load, the Song Listing
// by its file.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "client/windows/all_songs_window.h"
#include "platform/qt/text_edge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"

namespace client_testing {
namespace {

class ColumnTitlesTest : public ClientTest {
  protected:
    void SetUp() override {
        dir.mkdir("music");
        dir.mkdir("lists");
        const struct {
            const char *name, *title, *artist;
        } songs[] = {{"one.mp3", "Mango", "bravo"},
                     {"two.mp3", "apple", "Charlie"},
                     {"three.mp3", "Zebra", "alpha"}};
        std::string queue;
        for (const auto& s : songs) {
            dir.write(std::string("music/") + s.name,
                      testing_support::Mp3Bytes(testing_support::TagBlock(s.title, s.artist)));
            queue += std::string(s.name) + "\r\n";
        }
        dir.write("songque.kvc", queue);
        dir.write("lists/mine.ply", queue);
        dir.write("lists/songlib.lst", "000002\n@b\n000003\n@C\n000001\n@a\n");
        WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nAUTOLOAD SONG QUE=YES\nMP3 PATH1=" +
                    Entry("music") + "\nPLAYLIST DIRECTORY=" + Entry("lists") + "\n");
        Create();
        main().show();
        main().FormShow();
        ASSERT_EQ(main().ListView2->topLevelItemCount(), 3);
        ASSERT_EQ(main().ListView1->topLevelItemCount(), 3);

        dialogs.expectOpenFile(Entry("lists") + "MINE.PLY");
        songSel().btnLoadClick();
        ASSERT_EQ(songSel().ListView1->topLevelItemCount(), 3);
        songSel().show();

        allSongs().LoadSongLibraryFile(Entry("lists") + "SONGLIB.LST");
        allSongs().show();
    }

    sonpad::TaAllSongs& allSongs() { return *program->forms().aAllSongs; }

    // A press and release of the left button on the column's title.
    static void ClickTitle(QTreeWidget* view, int column) {
        QHeaderView* header = view->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }
    static std::vector<std::string> Column(QTreeWidget* view, int column) {
        std::vector<std::string> texts;
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            texts.push_back(platform::fromLatin1(view->topLevelItem(i)->text(column)));
        return texts;
    }
};

TEST_F(ColumnTitlesTest, AClickOnATitleSortsTheListByThatColumnAndSetsTheSortColumn) {
    struct Case {
        const char* list;
        QTreeWidget* view;
        int column;
        std::vector<std::string> sorted;
        bool setsSortColumn;  // the Song Listing keeps a column of its own
    };
    const Case cases[] = {
        {"library by title", main().ListView2, 1, {"apple", "Mango", "Zebra"}, true},
        {"library by artist", main().ListView2, 2, {"alpha", "bravo", "Charlie"}, true},
        {"song queue by title", main().ListView1, 1, {"apple", "Mango", "Zebra"}, true},
        {"my Selection by artist", songSel().ListView1, 2, {"alpha", "bravo", "Charlie"}, true},
        {"Song Listing by title", allSongs().ListView1, 1, {"a", "b", "C"}, false},
    };
    for (const Case& c : cases) {
        // The queue's list is on the screen the display screen hides.
        if (c.view == main().ListView1 && !main().QueueScreenShown)
            main().btnSongQueClick();
        main().SortColumn = 0;
        ClickTitle(c.view, c.column);
        EXPECT_EQ(Column(c.view, c.column), c.sorted) << c.list;
        EXPECT_EQ(main().SortColumn, c.setsSortColumn ? c.column : 0) << c.list;
    }
}

TEST_F(ColumnTitlesTest, AfterARescanTheLibrarysTitlesStillSortAndTheSearchTakesTheColumn) {
    setup().ScanLocalSongs();
    ClickTitle(main().ListView2, 2);
    EXPECT_EQ(Column(main().ListView2, 2), (std::vector<std::string>{"alpha", "bravo", "Charlie"}));
    EXPECT_EQ(main().SortColumn, 2);
    main().ListView2KeyPress(QChar('c'));
    EXPECT_EQ(main().Label26->text().toStdString(), "Column: Artist");
}

}  // namespace
}  // namespace client_testing
