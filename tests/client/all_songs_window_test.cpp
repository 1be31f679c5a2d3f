// The song listing over real song library list files in the playlist folder: captions and
// cells, the lines that go nowhere, empty, missing and binary files, the progress window, the
// column sort, and the main window's tool bar that shows the window.
#include "client/windows/all_songs_window.h"

#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

#include "client/main_window.h"
#include "client/progress_window.h"
#include "client/setup_window.h"
#include "platform/errors.h"
#include "platform/qt/non_input_events.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/status_panels.h"
#include "tests/client/client_test_support.h"
#include "tests/support/paint_counter.h"

namespace client_testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// What the progress window showed: its captions, how often it opened and closed, the status
// line each time it was drawn, and the bar and status line as it closed.
class ProgressWatch : public QObject {
  public:
    explicit ProgressWatch(sonpad::TaProgress& window) : window_(window) {
        window.installEventFilter(this);
        window.StatusBar1->installEventFilter(this);
    }
    std::vector<std::string> captions;
    std::vector<std::string> drawnStatus;  // each text once, as it was drawn
    int shown = 0, hidden = 0;
    int maximumAtClose = -1, valueAtClose = -1;
    std::string statusAtClose;

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == window_.StatusBar1) {
            if (e->type() == QEvent::Paint &&
                (drawnStatus.empty() || drawnStatus.back() != window_.StatusText()))
                drawnStatus.push_back(window_.StatusText());
            return false;
        }
        if (e->type() == QEvent::WindowTitleChange)
            captions.push_back(window_.windowTitle().toStdString());
        if (e->type() == QEvent::Show)
            ++shown;
        if (e->type() == QEvent::Hide) {
            ++hidden;
            maximumAtClose = window_.ProgressBar1->maximum();
            valueAtClose = window_.ProgressBar1->value();
            statusAtClose = window_.StatusText();
        }
        return false;
    }

  private:
    sonpad::TaProgress& window_;
};

using testing_support::PaintCounter;

class AllSongsTest : public ClientTest {
  protected:
    void SetUp() override {
        Create();
        dir.mkdir("lists");
        // Held in upper case; the disk's names are in lower case.
        setup().Edit2->setText(platform::fileName(Entry("lists")));
    }

    sonpad::TaAllSongs& window() { return *program->forms().aAllSongs; }
    QTreeWidget& list() { return *window().ListView1; }

    void WriteList(std::string_view bytes) { dir.write("lists/songlib.lst", bytes); }
    void DoubleClick() { QTest::mouseDClick(list().viewport(), Qt::LeftButton); }

    // Every row's nine texts, as Latin-1 bytes, without the empty ones at the end.
    Rows Shown() {
        Rows rows;
        for (int r = 0; r < list().topLevelItemCount(); ++r) {
            std::vector<std::string> cells;
            for (int c = 0; c < sonpad::TaAllSongs::kColumns; ++c)
                cells.push_back(platform::fromLatin1(list().topLevelItem(r)->text(c)));
            while (cells.size() > 1 && cells.back().empty())
                cells.pop_back();
            rows.push_back(cells);
        }
        return rows;
    }
    std::vector<int> Widths() {
        std::vector<int> widths;
        for (int c = 0; c < sonpad::TaAllSongs::kColumns; ++c)
            widths.push_back(list().columnWidth(c));
        return widths;
    }
    void ClickColumn(int column) {
        window().resize(900, 400);
        window().show();
        const QHeaderView* header = list().header();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
};

TEST_F(AllSongsTest, EachCaptionLineStartsARowThatItsCellLinesFill) {
    struct Case {
        const char* what;
        std::string file;
        Rows rows;
    } cases[] = {
        {"three lines", "000001\r\n@Morning\r\n@Quartet\r\n", {{"000001", "Morning", "Quartet"}}},
        {"caption after caption", "000001\r\n000002\r\n@T\r\n", {{"000001"}, {"000002", "T"}}},
        {"empty line between rows",
         "000001\r\n@A\r\n\r\n@B\r\n000002\r\n",
         {{"000001", "A"}, {"", "B"}, {"000002"}}},
        {"all eight cells",
         "1\r\n@t\r\n@a\r\n@l\r\n@g\r\n@y\r\n@p\r\n@c\r\n@f",
         {{"1", "t", "a", "l", "g", "y", "p", "c", "f"}}},
        {"a ninth cell is left out",
         "1\r\n@t\r\n@a\r\n@l\r\n@g\r\n@y\r\n@p\r\n@c\r\n@f\r\n@9th\r\n@10th\r\n2\r\n@T2\r\n",
         {{"1", "t", "a", "l", "g", "y", "p", "c", "f"}, {"2", "T2"}}},
        {"cells before the first caption are left out",
         "@orphan\r\n@again\r\n000001\r\n@T\r\n",
         {{"000001", "T"}}},
        {"only cell lines", "@a\r\n@b\r\n", {}},
        {"a bare @ is an empty cell", "1\r\n@\r\n@Artist\r\n", {{"1", "", "Artist"}}},
        {"the whole text after @, blanks and @ kept",
         "1\r\n@ two  words \r\n@@at\r\n x@\r\n",
         {{"1", " two  words ", "@at"}, {" x@"}}},
        {"LF or CR alone ends a line", "1\n@a\r@b\r\n2", {{"1", "a", "b"}, {"2"}}},
        {"single-byte text", "\xC9t\xE9\r\n@caf\xE9\r\n", {{"\xC9t\xE9", "caf\xE9"}}},
    };
    for (const Case& c : cases) {
        WriteList(c.file);
        DoubleClick();
        EXPECT_EQ(Shown(), c.rows) << c.what;
    }
    EXPECT_EQ(dialogs.shown().size(), 0u);
}

TEST_F(AllSongsTest, LoadingAgainReplacesTheRowsAndColumnsOnlyGrow) {
    const std::vector<int> designed = Widths();
    const std::string artist(30, 'A');
    WriteList("000001\r\n@Morning\r\n@" + artist + "\r\n000002\r\n@Evening\r\n");
    DoubleClick();
    DoubleClick();
    EXPECT_EQ(Shown(), (Rows{{"000001", "Morning", artist}, {"000002", "Evening"}}));
    std::vector<int> grown = designed;
    grown[2] = 9 * 30 + 5;
    EXPECT_EQ(Widths(), grown);

    WriteList("9\r\n@x\r\n");
    DoubleClick();
    EXPECT_EQ(Shown(), (Rows{{"9", "x"}}));
    EXPECT_EQ(Widths(), grown);
}

TEST_F(AllSongsTest, ProgressCountsTheRowsReadOverTheLinesAndCloses) {
    std::string file;
    for (int i = 1; i <= 1000; ++i)
        file += std::to_string(i) + "\r\n@Title\r\n@Artist\r\n";
    WriteList(file);
    ProgressWatch watch(progress());
    // The list behind the progress window is drawn while the load runs.
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    int listDrawnDuringLoad = 0;
    PaintCounter listPaints(list().viewport(), [&] {
        if (progress().isVisible())
            ++listDrawnDuringLoad;
    });
    DoubleClick();

    EXPECT_GT(listDrawnDuringLoad, 0);
    // Drawn with every count, from none read to the last.
    ASSERT_EQ(watch.drawnStatus.size(), 1001u);
    EXPECT_EQ(watch.drawnStatus.front(), "Songs read: 0");
    EXPECT_EQ(watch.drawnStatus[1], "Songs read: 1");
    EXPECT_EQ(watch.drawnStatus.back(), "Songs read: 1000");
    EXPECT_EQ(list().topLevelItemCount(), 1000);
    EXPECT_EQ(watch.captions, (std::vector<std::string>{"Loading..."}));
    EXPECT_EQ(watch.shown, 1);
    EXPECT_EQ(watch.hidden, 1);
    EXPECT_EQ(watch.maximumAtClose, 2999);
    EXPECT_EQ(watch.valueAtClose, 2999);
    EXPECT_EQ(watch.statusAtClose, "Songs read: 1000");
    EXPECT_FALSE(progress().isVisible());
}

TEST_F(AllSongsTest, EmptyMissingAndUnreadableFiles) {
    WriteList("000001\r\n@Morning\r\n");
    DoubleClick();
    ASSERT_EQ(list().topLevelItemCount(), 1);

    // No file of that name: nothing happens, nothing is shown.
    setup().Edit2->setText(platform::fileName(Entry("elsewhere")));
    DoubleClick();
    EXPECT_EQ(list().topLevelItemCount(), 1);

    // The scan owns the progress window while it runs.
    setup().Edit2->setText(platform::fileName(Entry("lists")));
    WriteList("");
    {
        const platform::qt::LongWork scan(platform::WorkUnderWay::Kind::Scan);
        DoubleClick();
        EXPECT_EQ(list().topLevelItemCount(), 1);
    }

    // An empty file empties the list without a word.
    ProgressWatch watch(progress());
    DoubleClick();
    EXPECT_EQ(list().topLevelItemCount(), 0);
    EXPECT_EQ(watch.shown, 0);
    EXPECT_EQ(dialogs.shown().size(), 0u);

    // A file that cannot be read fails with the list already emptied.
    WriteList("000001\r\n");
    DoubleClick();
    ASSERT_EQ(list().topLevelItemCount(), 1);
    EXPECT_THROW(window().LoadSongLibraryFile(dir / "lists/none.lst"), platform::IoError);
    EXPECT_EQ(list().topLevelItemCount(), 0);
}

TEST_F(AllSongsTest, BinaryFileWithHugeLinesLoadsWithinTheHeadersWidths) {
    std::string binary;
    for (int i = 0; i < 1'000'000; ++i)
        binary += static_cast<char>((i * 79) % 256);
    const std::string huge(3'000'000, '\xFF');
    WriteList(huge + "\r\n@" + huge + "\r\n" + binary);
    DoubleClick();
    ASSERT_GE(list().topLevelItemCount(), 2);
    EXPECT_EQ(list().topLevelItem(0)->text(0), QString(3'000'000, QChar(0xFF)));
    EXPECT_EQ(list().topLevelItem(0)->text(1), QString(3'000'000, QChar(0xFF)));
    for (int c = 0; c < sonpad::TaAllSongs::kColumns; ++c)
        EXPECT_LE(list().columnWidth(c), list().header()->maximumSectionSize()) << c;
    EXPECT_EQ(dialogs.shown().size(), 0u);
}

TEST_F(AllSongsTest, ColumnClickSortsByTextIgnoringTheCaseOfAToZAndMissingCellsAsEmpty) {
    // "_" lies between the upper and the lower case letters.
    WriteList("10\r\n@b\r\n9\r\n@A\r\n8\r\n7\r\n@_x\r\n6\r\n@a\r\n@Artist\r\n");
    DoubleClick();
    const auto captions = [&] {
        std::vector<std::string> column;
        for (int r = 0; r < list().topLevelItemCount(); ++r)
            column.push_back(list().topLevelItem(r)->text(0).toStdString());
        return column;
    };
    ClickColumn(1);
    EXPECT_EQ(window().SortColumn(), 1);
    // Equal texts keep the order they had.
    EXPECT_EQ(captions(), (std::vector<std::string>{"8", "9", "6", "10", "7"}));
    ClickColumn(1);
    EXPECT_EQ(captions(), (std::vector<std::string>{"8", "9", "6", "10", "7"}));
    ClickColumn(2);
    EXPECT_EQ(captions(), (std::vector<std::string>{"8", "9", "10", "7", "6"}));
    ClickColumn(0);
    EXPECT_EQ(window().SortColumn(), 0);
    EXPECT_EQ(captions(), (std::vector<std::string>{"10", "6", "7", "8", "9"}));
    // A load gives the file's order again.
    DoubleClick();
    EXPECT_EQ(captions(), (std::vector<std::string>{"10", "9", "8", "7", "6"}));
}

TEST_F(AllSongsTest, ClickOnTheToolBarItselfShowsTheWindow) {
    QFrame& bar = *main().Panel13;
    bar.resize(600, 30);
    bar.layout()->activate();
    const QPoint onButton = main().SpeedButton3->geometry().center();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, onButton);
    EXPECT_FALSE(window().isVisible());
    QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(590, 15));
    EXPECT_FALSE(window().isVisible());
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(590, 15));
    EXPECT_TRUE(window().isVisible());

    // Shown, the window is the progress window's owner while it loads.
    WriteList("000001\r\n@Morning\r\n");
    DoubleClick();
    EXPECT_EQ(progress().parentWidget(), &window());
    EXPECT_EQ(list().topLevelItemCount(), 1);
}

}  // namespace
}  // namespace client_testing
