// The main window's start-up, its close with the settings and the queue file, and the tray menu.
#include "client/main_window.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

#include "client/data_module.h"
#include "client/setup_window.h"
#include "client/volume_bar.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/spin_edit.h"
#include "tests/client/client_test_support.h"
#include "tests/support/killed_save.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

class MainWindowTest : public ClientTest {
  protected:
    // A queue row as the data module appends it.
    void Queue(const std::string& songNo, const std::string& fileName) {
        auto* row = new QTreeWidgetItem(main().ListView1);
        const std::string path = Entry("music");
        row->setText(0, QString::fromStdString(songNo));
        row->setText(1, "Title");
        row->setText(2, "Artist");
        row->setText(3, QString::fromStdString(path));
        row->setText(4, QString::fromStdString(fileName));
    }
    std::string QueueFile() const { return testing_support::readFile(dir / "songque.kvc"); }
    bool QueueFileExists() const { return std::filesystem::exists(dir / "songque.kvc"); }
};

TEST_F(MainWindowTest, FirstStartWithoutConfigurationShowsTheWindowThenLoadsWhatItSaved) {
    Create();
    QTimer::singleShot(0, [&] { setup().btnCloseClick(); });
    dialogs.expectMessage("There are NO AVAILABLE songs to play.");
    main().FormShow();
    EXPECT_TRUE(ConfigExists());
    EXPECT_FALSE(ended);
    EXPECT_FALSE(main().FirstShow);
    EXPECT_EQ(main().TrackBar1->Ticks(), (std::vector<int>{16383, 32767, 49150}));
    // Local Player Mode: the bar shows the device's left channel.
    EXPECT_EQ(main().TrackBar1->value(), 0x8000);
    EXPECT_TRUE(main().Animate1->isHidden());
    EXPECT_FALSE(main().Animate2->isHidden());
}

TEST_F(MainWindowTest, NoConfigurationEvenAfterTheWindowEndsTheProgramWithoutWriting) {
    Create();
    dir.mkdir("sonpad2.kvc");  // the save cannot create the file
    QTimer::singleShot(0, [&] { setup().btnCloseClick(); });
    dialogs.expectError().expectMessage("You need to setup configuration first.");
    dialogs.expectMessage("There are NO AVAILABLE songs to play.");
    main().FormShow();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(QueueFileExists());
}

// A library of tagged songs in music/ (one folder) and the configuration to read it.
class StartUpTest : public MainWindowTest {
  protected:
    void Library(std::initializer_list<const char*> names, std::string_view autoload = "YES") {
        dir.mkdir("music");
        for (const char* name : names)
            dir.write(std::string("music/") + name,
                      testing_support::Mp3Bytes(testing_support::TagBlock(name, "Band")));
        WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nAUTOLOAD SONG QUE=" +
                    std::string(autoload) + "\nMP3 PATH1=" + Entry("music") + "\n");
    }
    std::vector<std::string> QueueRows() {
        std::vector<std::string> rows;
        for (int i = 0; i < main().ListView1->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* row = main().ListView1->topLevelItem(i);
            rows.push_back(row->text(0).toStdString() + " " + row->text(4).toStdString());
        }
        return rows;
    }
};

TEST_F(StartUpTest, AutoloadQueuesTheSavedSongsInFileOrderEachOnce) {
    Library({"alpha.mp3", "beta.mp3", "gamma.mp3"});
    dir.write("songque.kvc", "GAMMA.MP3\r\nALPHA.MP3\r\nMISSING.MP3\r\n  lost one \r\n");
    Create();
    dialogs.expectMessage("Fail to load \"MISSING.MP3\"")
        .expectMessage("Fail to load \"lost one\"");
    main().FormShow();
    EXPECT_EQ(QueueRows(), (std::vector<std::string>{"000003 GAMMA.MP3", "000001 ALPHA.MP3"}));
    EXPECT_EQ(main().GroupSongQue->title(), "[ SONG QUE (Total/Played/Repeat: 2/0/0) ]");
    EXPECT_TRUE(main().pnlButtons->isEnabled());
    // Closing writes back what it loaded, sorted.
    main().close();
    EXPECT_EQ(QueueFile(), "ALPHA.MP3\r\nGAMMA.MP3\r\n");
}

TEST_F(StartUpTest, WithoutAutoloadTheQueueFileIsIgnoredAndStillWritten) {
    Library({"alpha.mp3", "beta.mp3"}, "NO");
    dir.write("songque.kvc", "ALPHA.MP3\r\n");
    Create();
    main().FormShow();
    EXPECT_TRUE(QueueRows().empty());
    dm().AddSongToQue("000002");
    main().close();
    EXPECT_EQ(QueueFile(), "BETA.MP3\r\n");
}

TEST_F(StartUpTest, CloseWithTheReloadedQueueEmptiedRemovesTheQueueFile) {
    Library({"alpha.mp3"});
    dir.write("songque.kvc", "ALPHA.MP3\r\n");
    Create();
    main().FormShow();
    ASSERT_EQ(QueueRows().size(), 1u);
    dialogs.expectConfirm(true, "Clear Song Que?");
    main().btnClearQueClick();
    main().close();
    EXPECT_FALSE(QueueFileExists());
}

// The close replaces or deletes the saved queue only when this run read it or queued a song;
// a bad folder count costs only the count.
TEST_F(StartUpTest, TheSavedQueueSurvivesAStartThatCouldNotUseIt) {
    const std::string saved = "BETA.MP3\r\nALPHA.MP3\r\n";
    const struct {
        const char* what;
        const char* keys;  // after PLAY HERE
        const char* folder;
        bool missingFolder;
        const char* queueAfter;  // the file after the close
    } cases[] = {
        {"the only folder missing", "DIRECTORIES=1\nAUTOLOAD SONG QUE=YES\n", "nowhere", true,
         nullptr},
        {"the autoload off", "DIRECTORIES=1\nAUTOLOAD SONG QUE=NO\n", "music", false, nullptr},
        {"a folder count that is no number", "DIRECTORIES=abc\nAUTOLOAD SONG QUE=YES\n", "music",
         false, "ALPHA.MP3\r\nBETA.MP3\r\n"},
    };
    Library({"alpha.mp3", "beta.mp3"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteConfig(std::string("[SONPAD]\nPLAY HERE=YES\n") + c.keys +
                    "MP3 PATH1=" + Entry(c.folder) + "\n");
        dir.write("songque.kvc", saved);
        Create();
        if (c.missingFolder)
            dialogs.expectError("This directory DOES NOT exist! \"" + Entry(c.folder) + "\"")
                .expectMessage("There are NO AVAILABLE songs to play.");
        main().FormShow();
        EXPECT_EQ(dialogs.pending(), 0u);
        main().close();
        EXPECT_EQ(QueueFile(), c.queueAfter ? c.queueAfter : saved);
        EXPECT_NE(ConfigText().find("MP3 PATH1=" + Entry(c.folder) + "\r\n"), std::string::npos);
    }
}

// A close killed at any moment of its queue file's replace leaves the old queue or the new one
// whole for the next start, and the next close removes the temporary it left.
TEST_F(StartUpTest, AQueueSaveKilledAtAnyMomentLeavesTheOldQueueOrTheNewOne) {
    Library({"alpha.mp3", "beta.mp3", "gamma.mp3"});
    // Settings their owner made read-only stay as they are: the queue's is the close's one
    // replace.
    ::chmod((dir / "sonpad2.kvc").c_str(), 0444);
    const std::vector<std::string> before = {"000001 ALPHA.MP3", "000002 BETA.MP3"};
    const std::vector<std::string> after = {"000001 ALPHA.MP3", "000002 BETA.MP3",
                                            "000003 GAMMA.MP3"};
    testing_support::KillAtEveryMoment(
        [&] {
            dir.write("songque.kvc", "ALPHA.MP3\r\nBETA.MP3\r\n");
            Create();
            main().FormShow();
            dm().AddSongToQue("000003");
        },
        [&] { main().close(); },
        [&](const std::string& moment, bool saved) {
            SCOPED_TRACE(moment);
            Create();
            main().FormShow();
            EXPECT_EQ(QueueRows(), saved ? after : before);
            main().close();
            std::vector<std::string> queueFiles;
            for (const auto& e : std::filesystem::directory_iterator(dir.path()))
                if (e.path().filename().string().find("songque") != std::string::npos)
                    queueFiles.push_back(e.path().filename().string());
            EXPECT_EQ(queueFiles, std::vector<std::string>{"songque.kvc"});
        });
}

TEST_F(StartUpTest, AnEmptyLibraryLeavesTheQueueFileAlone) {
    Library({});
    dir.write("songque.kvc", "ALPHA.MP3\r\n");
    Create();
    dialogs.expectMessage("There are NO AVAILABLE songs to play.");
    main().FormShow();
    EXPECT_EQ(QueueFile(), "ALPHA.MP3\r\n");
    EXPECT_FALSE(main().pnlButtons->isEnabled());
}

// A file its owner may write but not read. The superuser reads every file, so for it the
// start-up's read runs as nobody (whose read the file's mode refuses).
class UnreadableWhileStarting {
  public:
    UnreadableWhileStarting(const testing_support::TempDir& dir, const std::string& file)
        : folder_(dir.path()) {
        ::chmod(file.c_str(), 0200);
        if (::geteuid() == 0)
            ::chmod(folder_.c_str(), 0755);  // nobody reads the other files of the folder
    }
    template <typename Step>
    void Run(Step&& step) {
        struct AsNobody {
            const bool root = ::geteuid() == 0;
            AsNobody() {
                if (root) {
                    EXPECT_EQ(::seteuid(65534), 0);
                }
            }
            ~AsNobody() {
                if (root) {
                    EXPECT_EQ(::seteuid(0), 0);
                }
            }
        } asNobody;
        step();
    }

  private:
    std::string folder_;
};

// A saved queue the start-up cannot read: its box, then the rest of the start-up; a later
// show repeats nothing; the close keeps the file unless a queue was built meanwhile.
TEST_F(StartUpTest, AnUnreadableQueueFileFinishesTheStartUpAndSurvivesTheClose) {
    const struct {
        const char* what;
        bool folder;      // a folder in the file's place, else a file without read permission
        bool buildQueue;  // the user queues a song before closing
        const char* after;
    } cases[] = {
        {"no permission, nothing queued", false, false, "ALPHA.MP3\r\n"},
        {"no permission, a queue built", false, true, "BETA.MP3\r\n"},
        {"a folder, nothing queued", true, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir / "songque.kvc");
        Library({"alpha.mp3", "beta.mp3"});
        const std::string file =
            c.folder ? dir.mkdir("songque.kvc") : dir.write("songque.kvc", "ALPHA.MP3\r\n");
        UnreadableWhileStarting unreadable(dir, file);
        Create();
        if (!c.folder)
            dialogs.expectError();
        unreadable.Run([&] { main().FormShow(); });
        EXPECT_EQ(dialogs.pending(), 0u);
        EXPECT_FALSE(main().FirstShow);
        EXPECT_TRUE(main().Panel2->isEnabled());
        EXPECT_EQ(main().TrackBar1->value(), 0x8000);  // the device's volume, shown at the end
        EXPECT_TRUE(QueueRows().empty());
        if (c.buildQueue)
            dm().AddSongToQue("000002");
        main().hide();
        main().show();  // a restore: no second start-up (its rescan would empty the queue)
        main().FormShow();
        EXPECT_EQ(QueueRows().size(), c.buildQueue ? 1u : 0u);
        main().close();
        EXPECT_TRUE(ended);
        if (c.folder) {
            EXPECT_TRUE(std::filesystem::is_directory(file));
        } else {
            ::chmod(file.c_str(), 0644);
            EXPECT_EQ(QueueFile(), c.after);
        }
    }
}

// Files the user made read-only to keep them: the close neither replaces nor deletes them.
TEST_F(StartUpTest, ReadOnlySettingsAndQueueFilesAreKeptByTheClose) {
    for (const bool queued : {true, false}) {
        SCOPED_TRACE(queued ? "a queue at close" : "an empty queue at close");
        Library({"alpha.mp3", "beta.mp3"});
        const std::string settings = dir / "sonpad2.kvc";
        const std::string queue = dir.write("songque.kvc", "ALPHA.MP3\r\n");
        const std::string settingsBefore = ConfigText();
        ::chmod(settings.c_str(), 0444);
        ::chmod(queue.c_str(), 0444);
        Create();
        main().FormShow();
        if (queued)
            dm().AddSongToQue("000002");
        else
            main().ListView1->clear();
        if (queued)
            dialogs.expectError("I/O error: cannot write " + queue + ": Permission denied");
        main().close();
        EXPECT_EQ(dialogs.pending(), 0u);
        EXPECT_TRUE(ended);
        EXPECT_EQ(ConfigText(), settingsBefore);
        EXPECT_EQ(QueueFile(), "ALPHA.MP3\r\n");
        ::chmod(settings.c_str(), 0644);
        ::chmod(queue.c_str(), 0644);
    }
}

TEST_F(StartUpTest, ASongOfTheLibraryIsShownWithItsTag) {
    Library({"alpha.mp3", "Night Drive.mp3"});
    Create();
    main().FormShow();
    EXPECT_TRUE(main().LookupSongByFileName(" night drive.MP3 "));
    EXPECT_EQ(main().CurrentTitle, "Night Drive.mp3");
    EXPECT_EQ(main().CurrentArtist, "Band");
    EXPECT_EQ(main().CurrentGenre, "Blues");
}

TEST_F(MainWindowTest, TheStartUpRunsAtTheFirstShowOnly) {
    WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=0\n");
    Create();
    dialogs.expectMessage("There are NO AVAILABLE songs to play.");
    main().FormShow();
    main().TrackBar1->setValue(100);
    main().FormShow();  // nothing more: no box, the bar stays
    EXPECT_EQ(main().TrackBar1->value(), 100);
}

// A close before the start-up has run (a signal, the tray's Exit) would delete the saved
// queue: it waits, closing the configuration window the start-up opens, then goes through.
TEST_F(MainWindowTest, ACloseBeforeTheStartUpWaitsForItAndClosesItsWindow) {
    dir.write("songque.kvc", "ONE.MP3\r\n");
    Create();
    main().show();
    main().close();
    EXPECT_FALSE(ended);
    dialogs.expectMessage("There are NO AVAILABLE songs to play.");
    ASSERT_TRUE(testing_support::WaitUntil([&] { return ended; }));
    EXPECT_FALSE(main().FirstShow);
    EXPECT_NE(ConfigText().find("PLAY IN SEQUENCE=NO"), std::string::npos) << ConfigText();
}

TEST_F(MainWindowTest, CloseWritesTheWindowKeysInOrderAndTheQueueSortedOnce) {
    WriteConfig("[SONPAD]\nCLIENT NAME=DEN\n");
    Create();
    main().move(120, 80);
    main().LocalMode = false;
    main().MaxWidth = 900;
    main().MaxHeight = 700;
    main().cbRemoveSong->setChecked(true);
    main().seSeqLimit->SetValue(7);
    main().cbSeqPlay->setChecked(true);
    setup().cbAutoloadsq->setChecked(false);
    Queue("000003", "b.mp3");
    Queue("000001", "A.MP3");
    Queue("000004", "a.mp3");  // the same name in other case
    Queue("000002", "c.mp3");
    Queue("000003", "b.mp3");  // the same song twice
    main().close();
    EXPECT_TRUE(ended);
    EXPECT_EQ(ConfigText(),
              "[SONPAD]\r\nCLIENT NAME=DEN\r\nPLAY HERE=NO\r\nTOP=" + std::to_string(main().y()) +
                  "\r\nLEFT=" + std::to_string(main().x()) +
                  "\r\nMAXWIDTH=900\r\nMAXHEIGHT=700\r\nREMOVE SONG=YES\r\nPLAY ONCE=NO\r\n"
                  "SEQUENTIAL PLAY=7\r\nPLAY IN SEQUENCE=YES\r\nAUTOLOAD SONG QUE=NO\r\n");
    EXPECT_EQ(QueueFile(), "A.MP3\r\nB.MP3\r\nC.MP3\r\n");
}

// The stored position is the frame's, title bar included (offscreen, the frame is 2 pixels
// wide all round). The window system is told it before the first show, 0/0 too: an unshown
// window seems to stand there already, and one never placed goes where the window manager
// chooses (offscreen there is none, so only the telling shows). A place off the 1024 x 768
// screen comes onto it with the whole frame; the close saves what the start made of it, and
// every restart brings that back, through the screen switch and a configuration save too.
TEST_F(MainWindowTest, EveryStoredPositionComesBackWithItsFrameOnTheScreen) {
    const struct {
        const char* keys;
        QPoint frame;
        int firstWidth;  // of the frame at the first start
    } cases[] = {
        {"TOP=0\nLEFT=0\n", {0, 0}, 644},
        {"TOP=10\nLEFT=10\n", {10, 10}, 644},
        {"TOP=0\nLEFT=5\n", {5, 0}, 644},
        {"TOP=5000\nLEFT=5000\n", {1024 - 644, 768 - 375 - 30}, 644},
        {"TOP=-300\nLEFT=-200\n", {0, 0}, 1024},  // made as wide as the screen
    };
    for (const auto& c : cases) {
        WriteConfig(
            "[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=0\nCLIENT NAME=DEN\nPORT=23\n"
            "SERVER IP=1.2.3.4\n" +
            std::string(c.keys));
        for (int run = 1; run <= 2; ++run) {
            SCOPED_TRACE(std::string(c.keys) + "run " + std::to_string(run));
            program.reset();
            Create();
            dialogs.expectMessage("There are NO AVAILABLE songs to play.");
            setup().PlaceMainWindow();
            EXPECT_TRUE(main().testAttribute(Qt::WA_Moved)) << "the window system was not told";
            program->Show();  // the start-up follows from the event loop
            ASSERT_TRUE(testing_support::WaitUntil([&] { return !main().FirstShow; }));
            const QRect frame = main().frameGeometry();
            ASSERT_NE(frame, main().geometry()) << "the window has a frame";
            EXPECT_EQ(frame.topLeft(), c.frame);
            EXPECT_EQ(frame.width(), run == 1 ? c.firstWidth : 644);
            EXPECT_LE(frame.right() + 1, 1024);
            EXPECT_LE(frame.bottom() + 1, 768 - 30);
            main().ToggleScreens1->trigger();
            main().ToggleScreens1->trigger();
            EXPECT_EQ(main().frameGeometry(), frame) << "after the screen switch";
            setup().SaveConfig();
            EXPECT_EQ(main().frameGeometry(), frame) << "after a configuration save";
            main().close();
            const std::string saved = ConfigText();
            EXPECT_NE(saved.find("TOP=" + std::to_string(c.frame.y()) +
                                 "\r\nLEFT=" + std::to_string(c.frame.x()) + "\r\n"),
                      std::string::npos)
                << saved;
        }
    }
}

// On a desktop the window manager frames a window only after it is shown, after the start-up
// placed it: shown without the start-up, the window still ends with its whole frame on the
// 1024 x 768 screen, at the bottom 30 pixels kept free.
TEST_F(MainWindowTest, APlaceOffTheScreenCountsTheFrameKnownOnlyOnceShown) {
    const struct {
        const char* keys;
        QRect frame;
    } cases[] = {
        {"TOP=5000\nLEFT=5000\n", {1024 - 644, 768 - 375 - 30, 644, 375}},
        {"TOP=-300\nLEFT=-200\n", {0, 0, 1024, 768 - 30}},
    };
    for (const auto& c : cases) {
        WriteConfig("[SONPAD]\n" + std::string(c.keys));
        program.reset();
        Create();
        setup().PlaceMainWindow();
        main().FirstShow = false;
        main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
        const auto text = [](const QRect& r) {
            return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
                   std::to_string(r.width()) + "x" + std::to_string(r.height());
        };
        EXPECT_EQ(text(main().frameGeometry()), text(c.frame)) << c.keys;
    }
}

TEST_F(MainWindowTest, CloseWithoutConfigurationWritesNoKeysButTheQueue) {
    Create();
    Queue("000001", "one.mp3");
    main().close();
    EXPECT_FALSE(ConfigExists());
    EXPECT_EQ(QueueFile(), "ONE.MP3\r\n");
}

TEST_F(MainWindowTest, ANameBeyondAsciiIsWrittenAsOnDiskWithOnlyAToZUpperCased) {
    Create();
    Queue("000001", QString::fromLatin1("\xe9t\xe9.mp3").toStdString());
    main().close();
    EXPECT_EQ(QueueFile(), "\xc3\xa9T\xc3\xa9.MP3\r\n");
}

TEST_F(MainWindowTest, TrayMenuHidesAndShowsTheWindowAndExitCloses) {
    withTray = true;
    WriteConfig("[SONPAD]\nPLAY HERE=YES\n");
    Create();
    dialogs.expectMessage("There are NO AVAILABLE songs to play.");  // the start-up's
    EXPECT_TRUE(tray.shown);
    EXPECT_EQ(tray.tip, " Sonpad II ");
    EXPECT_EQ(tray.menu, main().PopupMenu2);
    main().show();
    EXPECT_TRUE(main().Hide1->isEnabled());
    EXPECT_FALSE(main().Show1->isEnabled());

    main().Hide1->trigger();
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(main().Hide1->isEnabled());
    EXPECT_TRUE(main().Show1->isEnabled());

    main().Show1->trigger();
    EXPECT_TRUE(main().isVisible());
    EXPECT_TRUE(main().Hide1->isEnabled());
    EXPECT_FALSE(main().Show1->isEnabled());

    main().Hide1->trigger();
    main().Exit1->trigger();
    EXPECT_TRUE(ended);
    EXPECT_EQ(tray.removed, 1);
    EXPECT_FALSE(tray.shown);
    EXPECT_NE(ConfigText().find("PLAY HERE=YES"), std::string::npos);
}

TEST_F(MainWindowTest, WithoutANotificationAreaHideIsNotOffered) {
    EXPECT_EQ(sonpad::systemTrayIcon(nullptr), nullptr) << "offscreen nobody sees one";
    Create();
    EXPECT_FALSE(main().Hide1->isVisible());
    EXPECT_FALSE(main().Hide1->isEnabled());
    main().show();
    main().Hide1Click();
    EXPECT_TRUE(main().isVisible());
}

TEST_F(MainWindowTest, CloseWhileMutedInLocalModeGivesTheVolumeBack) {
    WriteConfig("[SONPAD]\n");
    Create();
    main().Panel2->setEnabled(true);
    main().TrackBar1->setValue(30000);
    main().SpeedButton4->click();
    ASSERT_EQ(waveOut->devices[0].volume, 0u);
    main().close();
    EXPECT_EQ(waveOut->devices[0].volume, 30000u + 30000u * 65536u);
}

TEST_F(MainWindowTest, CloseWhileMutedInClientModeKeepsTheMute) {
    WriteConfig("[SONPAD]\n");
    Create();
    main().Panel2->setEnabled(true);
    main().TrackBar1->setValue(30000);
    main().LocalMode = false;
    main().SpeedButton4->click();
    main().close();
    EXPECT_EQ(main().TrackBar1->value(), 0);
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_EQ(waveOut->devices[0].volume, 30000u + 30000u * 65536u) << "the device is not touched";
}

TEST_F(MainWindowTest, GlyphButtonsCarryAccessibleNames) {
    Create();
    const sonpad::TaMain& m = main();
    EXPECT_EQ(m.btnStop->accessibleName(), "Stop");
    EXPECT_EQ(m.btnPlay->accessibleName(), "Play");
    EXPECT_EQ(m.btnNext->accessibleName(), "Next");
    for (const QToolButton* b : {m.SpeedButton2, m.SpeedButton5, m.SpeedButton3, m.SpeedButton4,
                                 m.SpeedButton1, m.SpeedButton6, m.btnSongQue, m.btnSongSel}) {
        EXPECT_FALSE(b->accessibleName().isEmpty());
        EXPECT_EQ(b->accessibleName(), b->toolTip());
    }
    EXPECT_EQ(m.ImageList1.size(), 12u);
    for (const QIcon& image : m.ImageList1)
        EXPECT_EQ(image.pixmap(16, 16).size(), QSize(16, 16));
}

}  // namespace
}  // namespace client_testing
