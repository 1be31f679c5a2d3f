// my Selection: rows and their widths, caption and buttons, the song information look-up,
// sorting, deleting and the hand-over to the song queue.
#include <QHeaderView>
#include <QLabel>
#include <QTest>

#include "client/data_module.h"
#include "tests/client/selection_fixture.h"

namespace client_testing {
namespace {

using Kind = testing_support::FakeDialogs::Kind;

TEST_F(SelectionTest, AddingARowTakesTheRecordsFieldsAndOnlyGrowsTheColumns) {
    EXPECT_EQ(Caption(), "  my Selection   ");
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
    const std::string a = AddSong("/MUSIC/A/SONG.MP3", "  Title  ");
    const std::string b = AddSong("/MUSIC/" + std::string(40, 'D') + "/X.MP3", "T", "");
    list().setColumnWidth(0, 20);
    list().setColumnWidth(2, 400);

    songSel().AddToSelection("000099");
    songSel().AddToSelection("1");
    EXPECT_EQ(list().topLevelItemCount(), 0);  // unknown numbers add nothing, silently

    songSel().AddToSelection(a);
    songSel().AddToSelection(b);
    songSel().AddToSelection(a);  // the list takes a song twice
    ASSERT_EQ(list().topLevelItemCount(), 3);
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Cell(2, c), (std::vector<std::string>{"000001", "Title", "Artist", "/MUSIC/A/",
                                                        "SONG.MP3"})[static_cast<size_t>(c)]);
    EXPECT_EQ(Cell(1, 2), "");
    EXPECT_EQ(list().columnWidth(0), 9 * 6 + 5);
    EXPECT_EQ(list().columnWidth(2), 400);               // never shrinks
    EXPECT_EQ(list().columnWidth(3), 9 * (8 + 40) + 5);  // measured by the longest row
    EXPECT_EQ(Caption(), "  my Selection (3)  ");
    EXPECT_FALSE(CaptionBold());
    EXPECT_EQ(Buttons(), (std::vector<bool>{true, true, false}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SelectionTest, CaptionNamesThePlaylistInBoldAndTheRowsStayNormal) {
    struct Case {
        const char* name;
        int rows;
        const char* caption;
    } cases[] = {{"", 0, "  my Selection   "},
                 {"", 3, "  my Selection (3)  "},
                 {"ROCK.PLY", 12, "  ROCK.PLY (12)  "},
                 {"ROCK.PLY", 0, "  ROCK.PLY   "}};
    const std::string song = AddSong("/M/A.MP3", "A");
    for (const Case& c : cases) {
        list().clear();
        for (int i = 0; i < c.rows; ++i)
            songSel().AddToSelection(song);
        songSel().Label12->setText(c.name);
        songSel().UpdateSelectionCaption();
        EXPECT_EQ(Caption(), c.caption);
        EXPECT_EQ(CaptionBold(), *c.name != '\0') << c.caption;
        EXPECT_FALSE(list().font().bold());
        EXPECT_FALSE(songSel().btnSave->font().bold());
    }
    EXPECT_FALSE(songSel().Label12->isVisible());
}

TEST_F(SelectionTest, SongInfoChecksTheNumberRangeAndFillsBlankNames) {
    AddSong("/MUSIC/A/SONG.MP3", "", "");
    AddSong("/MUSIC/B/OTHER.MP3", "Title", "Artist");
    sonpad::SongInfo info;
    info.title = "stale";
    for (const char* number : {"000000", "", "A00001", "999999 ", "000003", "00001"}) {
        EXPECT_FALSE(songSel().GetSongInfo(number, info)) << '"' << number << '"';
        EXPECT_EQ(info.title, "");
        EXPECT_EQ(info.filePath, "");
    }
    ASSERT_TRUE(songSel().GetSongInfo("000001", info));
    const std::string blank = "BLANK" + std::string(25, ' ');
    EXPECT_EQ(info.title, blank);
    EXPECT_EQ(info.artist, blank);
    EXPECT_EQ(info.album, "Album");
    EXPECT_EQ(info.genre, "Rock");
    EXPECT_EQ(info.year, "1999");
    EXPECT_EQ(info.comment, "Note");
    EXPECT_EQ(info.filePath, "/MUSIC/A/SONG.MP3");
    ASSERT_TRUE(songSel().GetSongInfo("000002", info));
    EXPECT_EQ(info.title, "Title");
}

TEST_F(SelectionTest, ColumnClickSortsByThatColumnsTextIgnoringTheCaseOfAToZOnly) {
    // "_" lies between the upper and the lower case letters; an accented letter is no a-z.
    for (const char* title : {"b", "\xC9t\xE9", "_x", "A", "c"})
        songSel().AddToSelection(AddSong(std::string("/M/") + title + ".MP3", title));
    songSel().ListView1ColumnClick(1);
    EXPECT_EQ(main().SortColumn, 1);
    EXPECT_EQ(Column(0),
              (std::vector<std::string>{"000004", "000001", "000005", "000003", "000002"}));
    songSel().AddToSelection("000001");  // appended, not sorted in
    EXPECT_EQ(Column(0).back(), "000001");
    // A real click on a column title sorts too.
    const QHeaderView* header = list().header();
    QTest::mouseClick(list().header()->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(main().SortColumn, 0);
    EXPECT_EQ(Column(0), (std::vector<std::string>{"000001", "000001", "000002", "000003", "000004",
                                                   "000005"}));
}

TEST_F(SelectionTest, DoubleClickDeletesTheFirstSelectedRowAfterAQuestion) {
    for (const char* title : {"One", "Two", "Three"})
        songSel().AddToSelection(AddSong(std::string("/M/") + title + ".MP3", title));
    dialogs.expectMessage("Please select Song to delete.");
    songSel().ListView1DblClick();

    list().topLevelItem(2)->setSelected(true);
    list().topLevelItem(1)->setSelected(true);
    dialogs.expectConfirm(false, "Delete \"Two\"?");
    songSel().ListView1DblClick();
    EXPECT_EQ(list().topLevelItemCount(), 3);
    dialogs.expectConfirm(true, "Delete \"Two\"?");
    songSel().ListView1DblClick();
    EXPECT_EQ(Column(1), (std::vector<std::string>{"One", "Three"}));
    EXPECT_EQ(Caption(), "  my Selection (2)  ");

    // A real double-click on a row selects it and asks about it.
    songSel().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&songSel()));
    list().clearSelection();
    const QRect row = list().visualItemRect(list().topLevelItem(0));
    dialogs.expectConfirm(true, "Delete \"One\"?");
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(Column(1), (std::vector<std::string>{"Three"}));
    EXPECT_EQ(dialogs.pending(), 0u);
}

TEST_F(SelectionTest, DeleteKeyRemovesEverySelectedRowWithoutAQuestion) {
    const std::string song = AddSong("/M/A.MP3", "A");
    for (int i = 0; i < 4; ++i)
        songSel().AddToSelection(song);
    songSel().Label12->setText("ROCK.PLY");
    list().topLevelItem(0)->setSelected(true);
    list().topLevelItem(2)->setSelected(true);
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(list().topLevelItemCount(), 2);
    QTest::keyClick(&list(), Qt::Key_Delete);  // nothing selected: only the refresh
    QTest::keyClick(&list(), Qt::Key_A);
    EXPECT_EQ(list().topLevelItemCount(), 2);
    list().selectAll();
    QTest::keyClick(&list(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(list().topLevelItemCount(), 0);
    EXPECT_EQ(Caption(), "  ROCK.PLY   ");  // deleting keeps the playlist name
    EXPECT_TRUE(CaptionBold());
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SelectionTest, ExitHandsTheRowsToTheQueueInListOrderOnYes) {
    for (const char* title : {"b", "a", "c"})
        songSel().AddToSelection(AddSong(std::string("/M/") + title + ".MP3", title));
    songSel().ListView1ColumnClick(1);
    songSel().Label12->setText("ROCK.PLY");
    songSel().SaveDialogFileName = "/L/ROCK.PLY";
    songSel().OpenDialogFileName = "/L/ROCK.PLY";
    songSel().show();

    dialogs.expectConfirm(false, "Add selection to Song Que?");
    songSel().btnCloseClick();
    EXPECT_FALSE(songSel().isVisible());
    EXPECT_EQ(list().topLevelItemCount(), 3);
    EXPECT_EQ(main().ListView1->topLevelItemCount(), 0);

    songSel().show();
    // A song the library lost since it was added gives no queue row; one box names it.
    main().SongLibrary.pop_back();
    dialogs.expectConfirm(true, "Add selection to Song Que?")
        .expectMessage(
            "These songs are no longer in the library and were not added to the Song Que:\n"
            "\"/M/c.MP3\"");
    songSel().btnCloseClick();
    EXPECT_FALSE(songSel().isVisible());
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 2);
    EXPECT_EQ(main().ListView1->topLevelItem(0)->text(1), "a");
    EXPECT_EQ(main().ListView1->topLevelItem(1)->text(1), "b");
    EXPECT_EQ(main().GroupSongQue->title(), "[ SONG QUE (Total/Played/Repeat: 2/0/0) ]");
    EXPECT_EQ(list().topLevelItemCount(), 0);
    EXPECT_EQ(songSel().PlaylistName(), "");
    EXPECT_EQ(songSel().SaveDialogFileName, "");
    EXPECT_EQ(songSel().OpenDialogFileName, "");
    EXPECT_EQ(Caption(), "  my Selection   ");
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));

    songSel().show();
    songSel().btnCloseClick();  // an empty list asks nothing
    EXPECT_FALSE(songSel().isVisible());
}

TEST_F(SelectionTest, ClearEmptiesTheListAndTheRememberedNamesOnYes) {
    songSel().AddToSelection(AddSong("/M/A.MP3", "A"));
    songSel().Label12->setText("ROCK.PLY");
    songSel().SaveDialogFileName = "/L/ROCK.PLY";
    dialogs.expectConfirm(false, "Clear selection? Are you sure?");
    songSel().btnClearClick();
    EXPECT_EQ(list().topLevelItemCount(), 1);
    EXPECT_EQ(songSel().SaveDialogFileName, "/L/ROCK.PLY");
    dialogs.expectConfirm(true, "Clear selection? Are you sure?");
    QTest::mouseClick(songSel().btnClear, Qt::LeftButton);
    EXPECT_EQ(list().topLevelItemCount(), 0);
    EXPECT_EQ(songSel().SaveDialogFileName, "");
    EXPECT_EQ(Caption(), "  my Selection   ");
    EXPECT_FALSE(CaptionBold());
    EXPECT_EQ(Buttons(), (std::vector<bool>{false, false, true}));
}

}  // namespace
}  // namespace client_testing
