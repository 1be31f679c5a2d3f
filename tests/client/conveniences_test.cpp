// The main window's conveniences: the size toggle and the remembered size, keeping the window
// on the screen, the queue control's buttons by height, the scrolling title, the search panel
// over the library, the screen switch, the shortcuts and help.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <ostream>

#include "client/main_window.h"
#include "client/setup_window.h"
#include "client/song_sel_window.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/help_window.h"
#include "platform/widgets/status_panels.h"
#include "tests/client/client_test_support.h"

// Readable failures for the Qt types compared here.
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << s.width() << " x " << s.height();
}
inline void PrintTo(const QPoint& p, std::ostream* os) {
    *os << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ") " << r.width() << " x " << r.height();
}
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace client_testing {
namespace {

// The client's window shown on a 1024 x 768 screen, without its start-up work, its bottom
// bar enabled.
class ConveniencesTest : public ClientTest {
  protected:
    void SetUp() override {
        Create();
        main().FirstShow = false;
        main().Panel2->setEnabled(true);  // as a scan that found songs leaves it
        main().move(100, 50);
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    }

    QRect Frame() { return main().frameGeometry(); }
    QSize FrameExtra() { return main().frameGeometry().size() - main().size(); }

    static void Type(QWidget* target, const QString& text, int key = Qt::Key_unknown,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
    }
    void Tick(platform::TickTimer* timer, int times) {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(timer->Enabled()) << "tick " << i;
            timer->OnTimer();
        }
    }

    // The library rows' given column texts, the other columns empty.
    void Library(int column, std::initializer_list<const char*> texts) {
        for (const char* text : texts) {
            auto* row = new QTreeWidgetItem(main().ListView2);
            row->setText(column, QString::fromLatin1(text));
        }
    }
    int SelectedRow() {
        const QList<QTreeWidgetItem*> selected = main().ListView2->selectedItems();
        if (selected.size() != 1)
            return selected.empty() ? -1 : -2;
        return main().ListView2->indexOfTopLevelItem(selected.front());
    }
    // The text of the search box once the panel is fully in and Enter is pressed there.
    void Search(const QString& text) {
        main().edKeylook->setText(text);
        Type(main().edKeylook, QString(QChar('\r')), Qt::Key_Return);
    }
};

TEST_F(ConveniencesTest, TheSizeToggleSwitchesBetweenTheMinimumAndTheRememberedSize) {
    sonpad::TaMain& m = main();
    EXPECT_EQ(m.size(), QSize(640, 371));
    EXPECT_FALSE(m.SpeedButton1->isChecked());
    EXPECT_FALSE(m.SpeedButton6->isHidden());

    m.SpeedButton1->click();
    EXPECT_EQ(m.size(), QSize(800, 600));
    EXPECT_TRUE(m.SpeedButton1->isChecked());
    EXPECT_TRUE(m.SpeedButton6->isHidden());
    EXPECT_EQ(m.SpeedButton1->toolTip(), "Restore to Default Size");

    // A size dragged to is the one the next toggle returns to.
    m.resize(700, 500);
    EXPECT_EQ(std::pair(m.MaxWidth, m.MaxHeight), std::pair(700, 500));
    m.SpeedButton1->click();
    EXPECT_EQ(m.size(), QSize(640, 371));
    EXPECT_FALSE(m.SpeedButton1->isChecked());
    EXPECT_FALSE(m.SpeedButton6->isHidden());
    EXPECT_EQ(m.SpeedButton1->toolTip(), "Enlarge Window");
    EXPECT_EQ(std::pair(m.MaxWidth, m.MaxHeight), std::pair(700, 500)) << "the minimum is kept";
    m.SpeedButton6->click();  // the queue screen's button does the same
    EXPECT_EQ(m.size(), QSize(700, 500));

    // Only exactly the minimum enlarges; one pixel more shrinks.
    for (QSize almost : {QSize(641, 371), QSize(640, 372)}) {
        m.resize(almost);
        EXPECT_TRUE(m.SpeedButton1->isChecked());
        m.SpeedButton1->click();
        EXPECT_EQ(m.size(), QSize(640, 371)) << almost.width() << " x " << almost.height();
        EXPECT_FALSE(m.SpeedButton1->isChecked());
    }
    EXPECT_EQ(std::pair(m.MaxWidth, m.MaxHeight), std::pair(641, 372));
}

TEST_F(ConveniencesTest, ARememberedSizeTheMinimumClampsLeavesTheButtonUp) {
    main().MaxWidth = 500;  // as a configuration may hold it
    main().MaxHeight = 300;
    main().SpeedButton1->click();
    EXPECT_EQ(main().size(), QSize(640, 371));
    EXPECT_FALSE(main().SpeedButton1->isChecked());
}

TEST_F(ConveniencesTest, TheWindowIsKeptOnTheScreen) {
    const QSize extra = FrameExtra();
    const int frameW = 700 + extra.width(), frameH = 500 + extra.height();
    struct Case {
        const char* what;
        QPoint at;
        QRect frame;  // after a resize to 700 x 500 there
    };
    for (const Case& c : {
             Case{"inside", {100, 50}, {100, 50, frameW, frameH}},
             Case{"touching the right edge",
                  {1024 - frameW, 50},
                  {1024 - frameW, 50, frameW, frameH}},
             Case{"past the right edge", {400, 50}, {1024 - frameW, 50, frameW, frameH}},
             Case{"touching the bottom",
                  {100, 768 - frameH},
                  {100, 768 - frameH - 30, frameW, frameH}},
             Case{"past the bottom", {100, 700}, {100, 768 - frameH - 30, frameW, frameH}},
             Case{"partly off the left edge", {-50, 50}, {0, 50, 1024, frameH}},
             Case{"partly off the top edge", {100, -20}, {100, 0, frameW, 768 - 30}},
         }) {
        main().resize(640, 371);
        main().move(c.at);
        main().resize(700, 500);
        EXPECT_EQ(Frame(), c.frame) << c.what;
        EXPECT_EQ(main().MaxWidth, main().width()) << c.what;
        EXPECT_EQ(main().MaxHeight, main().height()) << c.what;
    }
}

TEST_F(ConveniencesTest, StatusPanelsFollowTheScreensWidth) {
    sonpad::TaMain& m = main();
    // From the first show on, before any resize by the user.
    EXPECT_EQ(m.StatusBar1->Width(0), 150);
    EXPECT_EQ(m.StatusBar1->Width(1), m.pnlClientScreen->width() - 300);
    EXPECT_GT(m.StatusBar1->Width(1), 0);
    for (QSize size : {QSize(800, 600), QSize(640, 371)}) {
        m.resize(size);
        EXPECT_EQ(m.StatusBar1->Width(0), 150);
        EXPECT_EQ(m.StatusBar1->Width(1), m.pnlClientScreen->width() - 300);
    }
    m.btnSongQue->click();
    m.resize(800, 600);
    EXPECT_EQ(m.StatusBar1->Width(1), m.GroupSongQue->width() - 300);
}

TEST_F(ConveniencesTest, QueueControlButtonsShowByTheBoxsHeight) {
    sonpad::TaMain& m = main();
    m.btnSongQue->click();
    struct Case {
        int height;
        bool clearQue, clearTag, copy;
    };
    for (const Case& c : {Case{236, true, true, true}, Case{235, false, true, true},
                          Case{206, false, true, true}, Case{205, false, false, true},
                          Case{178, false, false, true}, Case{177, false, false, false}}) {
        m.GroupBox3->resize(m.GroupBox3->width(), c.height);
        m.FormResize();
        EXPECT_EQ(!m.btnClearQue->isHidden(), c.clearQue) << c.height;
        EXPECT_EQ(!m.btnClearTag->isHidden(), c.clearTag) << c.height;
        EXPECT_EQ(!m.btnCopyToselection->isHidden(), c.copy) << c.height;
    }
    // The window's height is the box's: enlarged, all three have room.
    m.SpeedButton6->click();
    EXPECT_GT(m.GroupBox3->height(), 235);
    for (QPushButton* b : {m.btnClearQue, m.btnClearTag, m.btnCopyToselection})
        EXPECT_FALSE(b->isHidden()) << b->text().toStdString();
    m.SpeedButton1->click();
    EXPECT_LE(m.GroupBox3->height(), 235);
    EXPECT_TRUE(m.btnClearQue->isHidden());
}

TEST_F(ConveniencesTest, TheTitleScrollsLeftAndComesBackFromTheRightEdge) {
    sonpad::TaMain& m = main();
    m.CurrentTitle = "A title to scroll";
    m.ShowNowPlaying();
    QApplication::processEvents();
    EXPECT_EQ(m.Label7->width(), m.Label7->sizeHint().width()) << "as wide as its text";
    EXPECT_EQ(m.Label7->x(), 2);

    m.Label7->resize(300, m.Label7->height());
    Tick(m.Timer2, 151);
    EXPECT_EQ(m.Label7->x(), 2 - 302) << "its last pixel still touches the panel";
    Tick(m.Timer2, 1);
    EXPECT_EQ(m.Label7->x(), m.Panel11->width() + 1);
    Tick(m.Timer2, 1);
    EXPECT_EQ(m.Label7->x(), m.Panel11->width() - 1);
    EXPECT_TRUE(m.Timer2->Enabled());

    m.ClearNowPlaying();
    EXPECT_EQ(m.Label7->x(), 2);
}

TEST_F(ConveniencesTest, ACharacterTypedInTheLibraryOpensTheSearchPanel) {
    sonpad::TaMain& m = main();
    m.SortColumn = 2;
    struct Case {
        QString typed, start;
    };
    for (const Case& c : {Case{"b", "B"}, Case{"B", "B"}, Case{"7", "7"}, Case{" ", " "},
                          Case{"-", ""}, Case{QString(QChar(0xe9)), ""}}) {
        Type(m.ListView2, c.typed);
        EXPECT_EQ(m.edKeylook->text(), c.start) << c.typed.toStdString();
    }
    EXPECT_EQ(m.Label26->text(), "Column: Artist");
    EXPECT_FALSE(m.pnlSearch->isHidden());
    EXPECT_EQ(m.pnlSearch->pos(),
              QPoint(m.ListView2->width() + 1, m.ListView2->height() - m.pnlSearch->height() - 20));
    EXPECT_TRUE(m.Timer3->Enabled());
    EXPECT_EQ(m.focusWidget(), m.edKeylook);
    Type(m.ListView2, "x");
    EXPECT_EQ(m.edKeylook->cursorPosition(), 1);
    EXPECT_FALSE(m.edKeylook->hasSelectedText());
}

TEST_F(ConveniencesTest, KeysThatAreNotTypedCharactersStayTheLists) {
    for (auto [text, key, modifiers] :
         {std::tuple{QString(), int(Qt::Key_Down), Qt::KeyboardModifiers()},
          std::tuple{QString("\x01"), int(Qt::Key_A), Qt::KeyboardModifiers(Qt::ControlModifier)},
          std::tuple{QString("\r"), int(Qt::Key_Return), Qt::KeyboardModifiers()}}) {
        Type(main().ListView2, text, key, modifiers);
        EXPECT_TRUE(main().pnlSearch->isHidden()) << key;
    }
}

TEST_F(ConveniencesTest, ThePanelSlidesInAndOutInNineTicksEach) {
    sonpad::TaMain& m = main();
    Type(m.ListView2, "a");
    const int listWidth = m.ListView2->width();
    const int in = listWidth - 185 - 20;
    Tick(m.Timer3, 8);
    EXPECT_EQ(m.pnlSearch->x(), listWidth + 1 - 8 * 25);
    EXPECT_FALSE(m.SearchPanelIn);
    Tick(m.Timer3, 1);
    EXPECT_EQ(m.pnlSearch->x(), in);
    EXPECT_TRUE(m.SearchPanelIn);
    EXPECT_FALSE(m.Timer3->Enabled());

    Type(m.edKeylook, QString(QChar(27)), Qt::Key_Escape);
    EXPECT_EQ(m.edKeylook->text(), "A") << "Esc searches nothing";
    Tick(m.Timer3, 8);
    EXPECT_FALSE(m.pnlSearch->isHidden());
    Tick(m.Timer3, 1);
    EXPECT_TRUE(m.pnlSearch->isHidden());
    EXPECT_EQ(m.pnlSearch->x(), listWidth + 1);
    EXPECT_FALSE(m.SearchPanelIn);
    EXPECT_FALSE(m.Timer3->Enabled());
    EXPECT_EQ(m.focusWidget(), m.ListView2);
}

TEST_F(ConveniencesTest, AColumnClickSendsThePanelOutEmpty) {
    sonpad::TaMain& m = main();
    Type(m.ListView2, "a");
    Tick(m.Timer3, 9);
    m.ListView2->header()->sectionClicked(2);
    EXPECT_TRUE(m.edKeylook->text().isEmpty());
    EXPECT_EQ(m.SortColumn, 2);
    Tick(m.Timer3, 9);
    EXPECT_TRUE(m.pnlSearch->isHidden());
}

TEST_F(ConveniencesTest, PlayOnTheQueueScreenReturnsToTheDisplay) {
    sonpad::TaMain& m = main();
    m.btnSongQue->click();
    ASSERT_TRUE(m.QueueScreenShown);
    m.btnPlayClick();
    EXPECT_FALSE(m.QueueScreenShown);
    EXPECT_FALSE(m.pnlClientScreen->isHidden());
    EXPECT_TRUE(m.GroupSongQue->isHidden());
}

TEST_F(ConveniencesTest, EnterWhileThePanelComesInLeavesItInUntilTheNextKey) {
    sonpad::TaMain& m = main();
    Library(0, {"000001", "000002"});
    Type(m.ListView2, "0");
    Tick(m.Timer3, 3);
    Search("000002");
    EXPECT_EQ(SelectedRow(), 1);
    Tick(m.Timer3, 6);
    EXPECT_TRUE(m.SearchPanelIn);
    EXPECT_FALSE(m.Timer3->Enabled());
    EXPECT_FALSE(m.pnlSearch->isHidden()) << "it stays in";

    // The list has the focus now: the next key sends the panel out at once...
    Type(m.ListView2, "1");
    Tick(m.Timer3, 1);
    EXPECT_TRUE(m.pnlSearch->isHidden());
    EXPECT_FALSE(m.Timer3->Enabled());
    // ...and the one after opens it again.
    Type(m.ListView2, "1");
    EXPECT_FALSE(m.pnlSearch->isHidden());
    EXPECT_EQ(m.edKeylook->text(), "1");
}

TEST_F(ConveniencesTest, EnterSelectsTheFirstRowWhoseSearchedColumnStartsWithTheText) {
    sonpad::TaMain& m = main();
    m.SortColumn = 2;  // Artist
    Library(2, {"Abba", "Be", "  beatles ", "Beach Boys", "Bear"});
    struct Case {
        const char* typed;
        int selected;  // -1: the selection as it was
    };
    for (const Case& c : {Case{"bea", 2}, Case{" BEAC  ", 3}, Case{"", 0}, Case{"bee", -1},
                          Case{"beatles and more", -1}}) {
        m.ListView2->clearSelection();
        m.ListView2->topLevelItem(4)->setSelected(true);
        m.ListView2->topLevelItem(1)->setSelected(true);
        Type(m.ListView2, "b");
        Tick(m.Timer3, 9);
        Search(c.typed);
        if (c.selected >= 0) {
            EXPECT_EQ(SelectedRow(), c.selected) << c.typed;
            EXPECT_EQ(m.ListView2->currentItem(), m.ListView2->topLevelItem(c.selected));
        } else {
            EXPECT_EQ(m.ListView2->selectedItems().size(), 2) << c.typed;
        }
        EXPECT_TRUE(m.Timer3->Enabled()) << "the panel goes out";
        Tick(m.Timer3, 9);
        EXPECT_TRUE(m.pnlSearch->isHidden());
    }
}

TEST_F(ConveniencesTest, TheRowFoundIsScrolledIntoView) {
    sonpad::TaMain& m = main();
    m.resize(800, 600);
    for (int i = 0; i < 300; ++i)
        Library(1, {i == 250 ? "Needle" : "Hay"});
    m.SortColumn = 1;
    Type(m.ListView2, "n");
    Tick(m.Timer3, 9);
    Search("need");
    ASSERT_EQ(SelectedRow(), 250);
    const QRect row = m.ListView2->visualItemRect(m.ListView2->topLevelItem(250));
    EXPECT_TRUE(row.intersects(m.ListView2->viewport()->rect()));
    EXPECT_EQ(m.focusWidget(), m.ListView2);
}

TEST_F(ConveniencesTest, CtrlTSwitchesScreensAndTheHelpTopicFollows) {
    sonpad::TaMain& m = main();
    EXPECT_EQ(m.HelpContext, 1);
    QTest::keyClick(m.ListView2, Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(m.QueueScreenShown);
    EXPECT_FALSE(m.GroupSongQue->isHidden());
    EXPECT_TRUE(m.pnlClientScreen->isHidden());
    EXPECT_EQ(m.btnSongQue->toolTip(), "Client Display Screen");
    EXPECT_EQ(m.HelpContext, 7);
    m.SpeedButton6->click();
    EXPECT_EQ(m.HelpContext, 7) << "the queue screen's topic at any size";

    QTest::keyClick(m.ListView1, Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(m.QueueScreenShown);
    EXPECT_TRUE(m.GroupSongQue->isHidden());
    EXPECT_FALSE(m.pnlClientScreen->isHidden());
    EXPECT_EQ(m.btnSongQue->toolTip(), "Show Song Que Information");
    EXPECT_EQ(m.HelpContext, 5);
    m.SpeedButton1->click();
    EXPECT_EQ(m.HelpContext, 1);
    m.btnSongQue->click();  // the button does what the shortcut does
    EXPECT_TRUE(m.QueueScreenShown);
}

TEST_F(ConveniencesTest, CtrlSAndTheButtonOpenSongSelectionModally) {
    sonpad::TaMain& m = main();
    // Its frame, title bar included, in the middle of the 1024 x 768 screen, each time it opens.
    const auto centred = [this] {
        const QRect frame = songSel().frameGeometry();
        return QRect(QPoint((1024 - frame.width()) / 2, (768 - frame.height()) / 2), frame.size());
    };
    QTest::keyClick(m.ListView2, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(songSel().isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &songSel());
    ASSERT_NE(songSel().frameGeometry(), songSel().geometry()) << "the window has a frame";
    EXPECT_EQ(songSel().frameGeometry(), centred());
    songSel().move(10, 20);
    songSel().close();
    m.btnSongSel->click();
    EXPECT_TRUE(songSel().isVisible());
    EXPECT_TRUE(songSel().isModal());
    EXPECT_EQ(songSel().frameGeometry(), centred());
    songSel().close();
    // On a screen smaller than the window, the title bar stays on the screen.
    screen = QSize(800, 600);
    m.btnSongSel->click();
    EXPECT_EQ(songSel().frameGeometry().topLeft(), QPoint(0, 0));
    songSel().close();
}

TEST_F(ConveniencesTest, HelpWithoutItsFileSaysWhereItLooked) {
    dialogs.expectError("Help file not found. (" + main().HelpFile + ")");
    QTest::keyClick(main().ListView2, Qt::Key_F1);
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(platform::widgets::currentHelpWindow(), nullptr);
}

// The help file in the program's folder; the help window small, so that the topic it
// scrolled to starts at its top.
class HelpTest : public ConveniencesTest {
  protected:
    void SetUp() override {
        ConveniencesTest::SetUp();
        std::filesystem::copy_file(std::string(SONH_RUNTIME_DIR) + "/SONPAD2.HLP", main().HelpFile);
        main().Help1->trigger();
        ASSERT_NE(platform::widgets::currentHelpWindow(), nullptr);
        platform::widgets::currentHelpWindow()->resize(420, 220);
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    }
    std::string TopicShown() {
        QTextBrowser& browser = *platform::widgets::currentHelpWindow()->browser();
        return browser.cursorForPosition(QPoint(4, 4)).block().text().toStdString();
    }
};

TEST_F(HelpTest, EachPlaceOpensItsTopic) {
    sonpad::TaMain& m = main();
    m.Help1->trigger();
    EXPECT_EQ(TopicShown(), "Using Sonpad 2");
    QTest::keyClick(m.ListView2, Qt::Key_F1);
    EXPECT_EQ(TopicShown(), "The display screen");
    m.SpeedButton1->click();
    QTest::keyClick(m.ListView2, Qt::Key_F1);
    EXPECT_EQ(TopicShown(), "The display screen, enlarged");
    m.btnSongQue->click();
    QTest::keyClick(m.ListView1, Qt::Key_F1);
    EXPECT_EQ(TopicShown(), "The song queue screen");

    m.PopupMenu1->popup(m.mapToGlobal(QPoint(20, 20)));
    QTest::keyClick(m.PopupMenu1, Qt::Key_F1);
    EXPECT_FALSE(m.PopupMenu1->isVisible());
    EXPECT_EQ(TopicShown(), "The context menu");

    // The configuration and song selection windows have topics of their own.
    const std::pair<QWidget*, const char*> windows[] = {{&setup(), "Client Configuration"},
                                                        {&songSel(), "Song Selection"}};
    for (const auto& [window, topic] : windows) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << topic;
        QTest::keyClick(window, Qt::Key_F1);
        EXPECT_EQ(TopicShown(), topic);
        window->hide();
    }
}

}  // namespace
}  // namespace client_testing
