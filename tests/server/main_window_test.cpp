// Start-up, activation, deactivation and the close of the main window.
#include "server/main_window.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <regex>

#include "common/text_helpers.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/gauge.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"
#include "server/progress_window.h"
#include "server/server_library.h"
#include "server/setup_window.h"
#include "tests/server/server_test_support.h"

namespace server_testing {
namespace {

using Kind = testing_support::FakeDialogs::Kind;

QColor queueColour(sonhall::TaMain& m) {
    return m.ListBox1->palette().color(QPalette::Base);
}

class MainWindowTest : public ServerTest {
  protected:
    // A configured server with one song, shown through its start-up up to the first tick.
    void StartConfigured() {
        port = FreePort();
        Song("music/one.mp3");
        WriteConfig("[SONHALL]\nCROSSFADE=98\nDIRECTORIES=1\nPORT=" + std::to_string(port) +
                    "\nCLIENT SONG=3\nMP3 PATH1=" + Entry("music") + "\n");
        Create();
        main().FormShow();
    }
    void Tick() { main().Timer1->OnTimer(); }
    void WaitForConnections(size_t n) {
        // Listed, and their connect handling (the greeting, the box line) done.
        ASSERT_TRUE(WaitUntil([&] {
            return main().IdTCPServer1.lockList().connections().size() == n &&
                   static_cast<size_t>(main().ListBox2->count()) == n;
        }));
    }
    int port = 0;
};

TEST_F(MainWindowTest, CreationSetsUpTheWindow) {
    Create();
    EXPECT_EQ(main().windowTitle().toStdString(), "(" + sonhall::GetLocalIpAddress() + ")");
    EXPECT_TRUE(
        std::regex_match(sonhall::GetLocalIpAddress(), std::regex(R"(\d+\.\d+\.\d+\.\d+)")));
    EXPECT_EQ(main().Timer1->Tag, 3);
    EXPECT_EQ(main().SongProgress->MaxValue(), 3);
    EXPECT_FALSE(main().Timer1->Enabled());
    EXPECT_TRUE(main().btnDeactivate->isHidden());
    EXPECT_FALSE(main().btnActivate->isHidden());
    EXPECT_TRUE(main().Label10->isHidden());
    EXPECT_EQ(main().GroupBox2->title(), "|  Song Playing  |");
    EXPECT_EQ(main().HelpFile, dir.path() + "SONHALL2.HLP");
    EXPECT_EQ(main().Animate1->fileName(), dir.path() + "meter.avi");
    EXPECT_EQ(main().Animate1->stopFrame(), 12);
    EXPECT_EQ(main().Animate3->fileName(), dir.path() + "connect.avi");
    EXPECT_EQ(main().Animate3->stopFrame(), 6);
    EXPECT_EQ(queueColour(main()), QColor(192, 220, 192));
    EXPECT_EQ(main().width(), 549);
}

// At the start size, in the panels' real font, the uptime with two-digit days and each queue
// text are shown whole; the messages panel has what is left.
TEST_F(MainWindowTest, TheUptimeAndQueuePanelsShowTheirLongestTextsWhole) {
    StartConfigured();
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    ASSERT_EQ(main().size(), QSize(549, 269));
    const QList<QLabel*> panels = main().StatusBar1->findChildren<QLabel*>();
    ASSERT_EQ(panels.size(), 3);
    ticks += ((48 * 24 + 23) * 60 + 59) * 60000u + 59000u;  // the widest before the counter wraps
    struct Case {
        int panel;
        std::string text;
    };
    const Case cases[] = {
        {1, main().UptimeText()},
        {2, "Song que is empty."},
        {2, "1 song in que."},
        {2, "999 songs in que."},
    };
    EXPECT_EQ(cases[0].text, "48 Days 23 Hours 59 Minutes 59 Seconds");
    for (const Case& c : cases) {
        main().StatusBar1->SetText(c.panel, c.text);
        QCoreApplication::processEvents();
        QLabel* label = panels[c.panel];
        EXPECT_GE(label->width(), label->sizeHint().width()) << c.text << " is cut";
    }
    EXPECT_GE(main().StatusBar1->Width(0), 150) << "the messages panel keeps its room";
}

// The help names the window's buttons as they read.
TEST_F(MainWindowTest, TheHelpNamesTheButtonsByTheirCaptions) {
    Create();
    const std::string help =
        testing_support::readFile(std::string(SONH_RUNTIME_DIR) + "/SONHALL2.HLP");
    for (QPushButton* b : {main().btnActivate, main().btnDeactivate, main().btnSetup})
        EXPECT_NE(help.find("<b>" + b->text().toStdString() + "</b>"), std::string::npos)
            << b->text().toStdString();
}

TEST_F(MainWindowTest, MissingAnimationsAreReportedAndCreationGoesOn) {
    dialogs.expectMessage("Error while loading animated.avi");
    Create(false);
    EXPECT_EQ(dialogs.textsOf(Kind::Message).size(), 1u);
}

TEST_F(MainWindowTest, StartUpLoadsTheSettingsAndScans) {
    StartConfigured();
    EXPECT_EQ(main().SongLibrary.size(), 1u);
    EXPECT_EQ(main().IdTCPServer1.port(), port);
    EXPECT_EQ(main().AvlCountdown, 3);
    EXPECT_EQ(main().StatusBar1->Text(2), "Song que is empty.");
    EXPECT_TRUE(main().Timer1->Enabled());
    EXPECT_FALSE(main().IdTCPServer1.active());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(MainWindowTest, StartUpWithAnEmptyLibrarySaysSoAndGoesOn) {
    WriteConfig("[SONHALL]\nCROSSFADE=98\nPORT=2323\n");
    Create();
    dialogs.expectPostedMessage("THERE ARE NO MP3 FILES AVAILABLE TO PLAY");
    main().FormShow();
    EXPECT_TRUE(main().Timer1->Enabled());
    EXPECT_FALSE(ended);
}

TEST_F(MainWindowTest, FirstStartShowsTheConfigurationWindowWhoseCloseSavesAndScans) {
    Song("first/song.mp3");
    Create();
    dialogs.expectFolder(dir.path() + "first");
    QTimer::singleShot(0, [&] {
        setup().buttonAddClick();
        setup().buttonCloseClick();
    });
    main().FormShow();
    EXPECT_FALSE(ended);
    EXPECT_NE(ConfigText().find("MP3 PATH1=" + Entry("first")), std::string::npos);
    EXPECT_EQ(main().SongLibrary.size(), 1u);
    EXPECT_TRUE(main().Timer1->Enabled());
}

TEST_F(MainWindowTest, WithoutAConfigurationAfterTheWindowTheProgramEnds) {
    Create();
    dir.mkdir("sonhall2.kvc");  // the save cannot create the file
    QTimer::singleShot(0, [&] { setup().buttonCloseClick(); });
    dialogs
        .expectMessage("Error while writing Configuration file.\n\nUnable to write to " +
                       kv::UpperCase(dir / "sonhall2.kvc"))
        .expectMessage("You need to setup configuration first.");
    main().FormShow();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(main().Timer1->Enabled());
}

TEST_F(MainWindowTest, ACloseDuringTheStartUpWaitsForItsEnd) {
    Song("music/one.mp3");
    WriteConfig("[SONHALL]\nCROSSFADE=98\nDIRECTORIES=1\nPORT=2323\nMP3 PATH1=" + Entry("music") +
                "\n");
    Create();
    struct CloseOnCaption : QObject {
        sonhall::TaMain* main;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::WindowTitleChange)
                main->close();
            return false;
        }
    } closer;
    closer.main = &main();
    progress().installEventFilter(&closer);
    main().FormShow();
    progress().removeEventFilter(&closer);
    EXPECT_FALSE(ended);
    EXPECT_TRUE(main().Timer1->Enabled());  // the start-up ran to its end
    EXPECT_TRUE(WaitUntil([&] { return ended; }));
}

TEST_F(MainWindowTest, ListensFromTheThirdTickOn) {
    StartConfigured();
    LineClient client;
    Tick();
    EXPECT_EQ(main().edtCurrSong->text(), "Initializing...");
    EXPECT_FALSE(client.Connect(port));
    Tick();
    EXPECT_EQ(main().edtCurrSong->text(), "Initializing....");
    EXPECT_FALSE(client.Connect(port));
    EXPECT_EQ(main().SongProgress->Progress(), 2);
    Tick();
    EXPECT_TRUE(client.Connect(port));
    // The third tick goes on as a normal one: with no song the gauge is cleared again.
    EXPECT_EQ(main().SongProgress->Progress(), 0);
    EXPECT_EQ(main().Timer1->Tag, 0);
    EXPECT_EQ(main().TrackBar1->maximum(), 65535);
    EXPECT_EQ(queueColour(main()), QColor(0, 128, 0));
    EXPECT_TRUE(main().btnActivate->isHidden());
    EXPECT_FALSE(main().btnDeactivate->isHidden());
    EXPECT_TRUE(main().Timer1->Enabled());
}

TEST_F(MainWindowTest, ActivatingDuringTheCountdownLeavesTheThirdTickNothingToDo) {
    StartConfigured();
    Tick();
    main().btnActivateClick();
    LineClient client;
    EXPECT_TRUE(client.Connect(port));
    Tick();
    Tick();
    EXPECT_TRUE(main().IdTCPServer1.active());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(MainWindowTest, DeactivationSaysGoodbyeToEveryConnectionAndStops) {
    StartConfigured();
    for (int i = 0; i < 3; ++i)
        Tick();
    LineClient a, b;
    ASSERT_TRUE(a.Connect(port));
    ASSERT_TRUE(b.Connect(port));
    WaitForConnections(2);
    main().ListBox2->addItem("KITCHEN");
    main().btnDeactivateClick();
    for (LineClient* c : {&a, &b}) {
        EXPECT_EQ(c->ReadLine(), "SONHALL II");
        EXPECT_EQ(c->ReadLine(), "#LOGoff");
        EXPECT_TRUE(c->WaitClosed());
    }
    EXPECT_EQ(main().ListBox2->count(), 0);
    EXPECT_EQ(queueColour(main()), QColor(255, 0, 0));
    EXPECT_FALSE(main().btnActivate->isHidden());
    EXPECT_TRUE(main().btnDeactivate->isHidden());
    EXPECT_EQ(main().GroupBox2->title(), "| SERVER STOPPED |");
    EXPECT_FALSE(main().Timer1->Enabled());
    LineClient late;
    EXPECT_FALSE(late.Connect(port));

    main().btnActivateClick();
    EXPECT_TRUE(late.Connect(port));
    EXPECT_EQ(queueColour(main()), QColor(0, 128, 0));
    EXPECT_TRUE(main().Timer1->Enabled());
}

TEST_F(MainWindowTest, APortInUseIsReportedAndTheServerStaysStopped) {
    StartConfigured();
    const int blocker = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(blocker, 1), 0);
    dialogs.expectPostedError();  // the tick does not wait for it
    for (int i = 0; i < 3; ++i)
        Tick();
    ::close(blocker);
    ASSERT_EQ(dialogs.textsOf(Kind::Error).size(), 1u);
    EXPECT_NE(dialogs.textsOf(Kind::Error)[0].find(std::to_string(port)), std::string::npos);
    EXPECT_FALSE(main().IdTCPServer1.active());
    EXPECT_EQ(queueColour(main()), QColor(255, 0, 0));
    EXPECT_FALSE(main().btnActivate->isHidden());
    EXPECT_TRUE(main().btnDeactivate->isHidden());
    EXPECT_FALSE(main().Timer1->Enabled());
}

// The band's controls as laid out on the screen.
struct TopBand {
    QRect button, left, right, slider, clients;
    bool operator==(const TopBand&) const = default;
};

TEST_F(MainWindowTest, TheTopBandShowsWholeMetersAndSwapsTheButtonsInPlace) {
    StartConfigured();
    main().show();
    QCoreApplication::processEvents();
    const auto band = [&](QWidget* button) {
        const auto at = [&](QWidget* w) { return QRect(w->mapTo(&main(), QPoint()), w->size()); };
        return TopBand{at(button), at(main().Animate1), at(main().Animate2), at(main().TrackBar1),
                       at(main().GroupBox3)};
    };
    const TopBand before = band(main().btnActivate);
    for (const QRect& meter : {before.left, before.right})
        EXPECT_GE(meter.width(), 81);  // the meter animation's frame
    EXPECT_LE(before.clients.right(), main().width());

    for (int i = 0; i < 3; ++i)
        Tick();
    ASSERT_FALSE(main().btnDeactivate->isHidden());
    QCoreApplication::processEvents();
    EXPECT_EQ(band(main().btnDeactivate), before);
}

TEST_F(MainWindowTest, ClosingWhileActiveDeactivatesFirst) {
    StartConfigured();
    for (int i = 0; i < 3; ++i)
        Tick();
    LineClient c;
    ASSERT_TRUE(c.Connect(port));
    WaitForConnections(1);
    main().close();
    EXPECT_EQ(main().StatusBar1->Text(0), "Server Closing");
    EXPECT_EQ(c.ReadLine(), "SONHALL II");
    EXPECT_EQ(c.ReadLine(), "#LOGoff");
    EXPECT_TRUE(ended);
    EXPECT_TRUE(main().SongLibrary.empty());
    EXPECT_FALSE(main().IdTCPServer1.active());
}

TEST_F(MainWindowTest, ClosingWhileStoppedSendsNothing) {
    StartConfigured();
    main().close();
    EXPECT_EQ(main().StatusBar1->Text(0), "");
    EXPECT_TRUE(ended);
}

TEST_F(MainWindowTest, UptimeCountsFromCreation) {
    ticks = 0xFFFFF000u;  // the counter wraps on the way
    Create();
    ticks += 25u * 3600000u + 3000u;
    EXPECT_EQ(main().UptimeText(), "1 Days 1 Hours 0 Minutes 3 Seconds");
}

TEST(UptimeText, SplitsTheElapsedTime) {
    struct Case {
        std::uint32_t start, now;
        const char* text;
    } cases[] = {
        {1000, 1000, "0 Days 0 Hours 0 Minutes 0 Seconds"},
        {0, 2 * 3600000 + 5 * 60000 + 9000 + 999, "0 Days 2 Hours 5 Minutes 9 Seconds"},
        {0xFFFFFF00u, 0x00000100u + 60000, "0 Days 0 Hours 1 Minutes 0 Seconds"},
        {0, 3 * 86400000u + 59999, "3 Days 0 Hours 0 Minutes 59 Seconds"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sonhall::UptimeText(c.start, c.now), c.text);
}

TEST_F(MainWindowTest, QueueStatusCountsTheRecords) {
    Create();
    main().UpdateQueueStatus();
    EXPECT_EQ(main().StatusBar1->Text(2), "Song que is empty.");
    main().SongQueue.assign(3, {std::string(186, ' '), {}});
    main().SongsPlayed = 42;
    main().UpdateQueueStatus();
    EXPECT_EQ(main().StatusBar1->Text(2), "3 songs in que.");
    EXPECT_FALSE(main().Label10->isHidden());
    EXPECT_EQ(main().Label10->text(), ":000042");
}

}  // namespace
}  // namespace server_testing
