// The play log and All Songs windows.
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <filesystem>

#include "server/all_songs_window.h"
#include "server/play_log_window.h"
#include "server/setup_window.h"
#include "tests/server/server_test_support.h"

namespace server_testing {
namespace {

std::vector<std::string> column(QTreeWidget* view, int c) {
    std::vector<std::string> out;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        out.push_back(view->topLevelItem(i)->text(c).toStdString());
    return out;
}

class PlayLogTest : public ServerTest {
  protected:
    void SetUp() override { Create(); }
    QTreeWidget* log() { return playlog().ListView1; }
};

TEST_F(PlayLogTest, RowsAreNumberedByTheCountAndRestartAfterClearing) {
    for (const char* id : {"000001", "000002", "000003"})
        playlog().AddEntry(id, "SONG.MP3");
    EXPECT_EQ(column(log(), 0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(column(log(), 3), (std::vector<std::string>{"000001", "000002", "000003"}));
    EXPECT_EQ(log()->topLevelItem(0)->text(4), "SONG.MP3");
    EXPECT_FALSE(log()->topLevelItem(0)->text(1).isEmpty());
    EXPECT_EQ(log()->topLevelItem(0)->text(2).left(8), "14:05:07");
    EXPECT_EQ(log()->topLevelItem(0)->text(5), "");

    dialogs.expectConfirm(false, "Clear list. Are you sure?");
    playlog().ListView1DblClick();
    EXPECT_EQ(log()->topLevelItemCount(), 3);
    dialogs.expectConfirm(true, "Clear list. Are you sure?");
    playlog().ListView1DblClick();
    playlog().AddEntry("000009", "NEXT.MP3");
    EXPECT_EQ(column(log(), 0), std::vector<std::string>{"1"});
}

TEST_F(PlayLogTest, ColumnsWidenToFitAndNeverShrink) {
    log()->setColumnWidth(3, 10);
    log()->setColumnWidth(4, 10);
    log()->setColumnWidth(1, 400);
    playlog().AddEntry("000042", "ABCDEFGHIJKLMNOP.MP3");
    EXPECT_GE(log()->columnWidth(3), 59);
    EXPECT_GE(log()->columnWidth(4), 185);
    EXPECT_EQ(log()->columnWidth(1), 400);
}

TEST_F(PlayLogTest, ColumnClickSortsByTextAscendingEveryTime) {
    for (int i = 0; i < 12; ++i)
        playlog().AddEntry("00000" + std::to_string(i % 10), "S.MP3");
    playlog().ListView1ColumnClick(0);
    EXPECT_EQ(column(log(), 0), (std::vector<std::string>{"1", "10", "11", "12", "2", "3", "4", "5",
                                                          "6", "7", "8", "9"}));
    playlog().ListView1ColumnClick(0);  // no toggle
    EXPECT_EQ(column(log(), 0).front(), "1");
    playlog().AddEntry("000099", "LAST.MP3");  // added rows go to the bottom
    EXPECT_EQ(column(log(), 0).back(), "13");
}

TEST_F(PlayLogTest, AllSongsCaptionNamesTheListFileInThePlaylistFolder) {
    setup().Edit1->setText("/LISTS/");
    allSongs().FormActivate();
    EXPECT_EQ(allSongs().windowTitle(), "/LISTS/songlib.lst");
    setup().Edit1->clear();
    allSongs().FormActivate();
    EXPECT_EQ(allSongs().windowTitle(), "songlib.lst");
}

TEST_F(PlayLogTest, AllSongsListWritesAndReadsNoFile) {
    setup().Edit1->setText(QString::fromStdString(dir.path()));
    allSongs().SaveList1Click();
    allSongs().LoadList1Click();
    allSongs().SaveLibrary();
    allSongs().ListView1ColumnClick(2);
    EXPECT_EQ(allSongs().ListView1->topLevelItemCount(), 0);
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename().string().find("songlib"), std::string::npos);

    allSongs().ListView1->addTopLevelItem(new QTreeWidgetItem(QStringList{"000001"}));
    allSongs().ClearList1Click();
    EXPECT_EQ(allSongs().ListView1->topLevelItemCount(), 0);
}

}  // namespace
}  // namespace server_testing
