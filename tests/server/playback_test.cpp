// The player tick over two fake players whose clocks the tests move.
#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <filesystem>

#include "common/text_helpers.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/gauge.h"
#include "platform/widgets/status_panels.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/play_log_window.h"
#include "server/setup_window.h"
#include "tests/server/server_test_support.h"
#include "tests/support/fake_player.h"
#include "tests/support/fake_wave_out.h"

namespace server_testing {
namespace {

using Mode = platform::audio::PlayerMode;
using Kind = testing_support::FakeDialogs::Kind;

class PlaybackTest : public ServerTest {
  protected:
    // A running server (the start-up ticks done) with the songs a, b and c (titled ALPHA,
    // BRAVO, CHARLIE: the scan upper-cases titles) and two fake players.
    void Start(int crossfade = 98, int limit = 3) {
        port = FreePort();
        for (const char* name : {"a", "b", "c"})
            Song(std::string("music/") + name + ".mp3", TagBlock(Title(name)));
        WriteConfig("[SONHALL]\nCROSSFADE=" + std::to_string(crossfade) + "\nDIRECTORIES=1\nPORT=" +
                    std::to_string(port) + "\nCLIENT SONG=" + std::to_string(limit) +
                    "\nMP3 PATH1=" + Entry("music") + "\n");
        Create();
        auto p1 = std::make_unique<FakePlayer>();
        auto p2 = std::make_unique<FakePlayer>();
        one = p1.get();
        two = p2.get();
        main().MediaPlayer1 = std::move(p1);
        main().MediaPlayer2 = std::move(p2);
        if (waveOut)
            main().WaveOut.setDevices(std::move(waveOut));
        main().FormShow();
        for (int i = 0; i < 3; ++i)
            main().PlayerTick();
        ASSERT_TRUE(main().IdTCPServer1.active());
    }
    static std::string Title(std::string_view name) {
        return name == "a" ? "Alpha" : name == "b" ? "Bravo" : "Charlie";
    }
    // The song's own file, which the players open.
    std::string PathOf(std::string_view name) const {
        return dir / ("music/" + std::string(name) + ".mp3");
    }
    void Queue(std::string_view name) {
        ASSERT_TRUE(dm().QueueSong(std::string(name) + ".mp3", "kitchen"));
    }
    void SetLength(std::string_view name, std::int32_t ms) {
        one->lengths[PathOf(name)] = ms;
        two->lengths[PathOf(name)] = ms;
    }
    // A second passes, then the tick.
    void Tick(std::int32_t ms = 1000) {
        one->advance(ms);
        two->advance(ms);
        main().PlayerTick();
    }
    std::string Shown() { return main().edtCurrSong->text().toStdString(); }
    std::string Caption() { return main().GroupBox2->title().toStdString(); }
    int LogRows() { return playlog().ListView1->topLevelItemCount(); }
    static bool Sounding(const FakePlayer* p) { return p->mode() == Mode::Playing; }

    int port = 0;
    std::unique_ptr<FakeWaveOut> waveOut;  // given to the window by Start
    FakePlayer* one = nullptr;
    FakePlayer* two = nullptr;
};

TEST_F(PlaybackTest, TheNextSongStartsAtTheOverlapPointOnTheOtherPlayer) {
    Start(98);
    SetLength("b", 150000);
    Queue("a");
    Queue("b");
    Tick();
    EXPECT_EQ(main().ActivePlayer, 1);
    EXPECT_EQ(one->fileName(), PathOf("a"));
    EXPECT_EQ(Shown(), "ALPHA");
    EXPECT_EQ(main().CurrentFileName, "A.MP3");
    EXPECT_EQ(main().CurrentLength, 200000);
    EXPECT_EQ(main().SongsPlayed, 1);
    EXPECT_EQ(main().Label10->text(), ":000001");
    EXPECT_EQ(main().ListBox1->count(), 1);
    EXPECT_EQ(main().StatusBar1->Text(2), "1 song in que.");
    EXPECT_EQ(LogRows(), 1);
    EXPECT_TRUE(main().Animate1->active());
    EXPECT_TRUE(main().Animate2->active());

    Tick();
    EXPECT_EQ(Caption(), "| Song Playing |");
    EXPECT_EQ(main().SongProgress->MaxValue(), 200000);
    EXPECT_EQ(main().SongProgress->Progress(), 1000);
    EXPECT_EQ(main().SongProgress->toolTip(), "-03:19");
    EXPECT_EQ(main().CurrentPosition, 1000);

    one->setPosition(195999);
    Tick(0);
    EXPECT_FALSE(Sounding(two));
    one->setPosition(196000);
    Tick(0);
    ASSERT_TRUE(Sounding(two));
    EXPECT_EQ(two->fileName(), PathOf("b"));
    EXPECT_EQ(main().ActivePlayer, 2);
    EXPECT_EQ(Shown(), "BRAVO");
    EXPECT_TRUE(Sounding(one));  // both sound until the first one ends

    Tick(4000);
    EXPECT_FALSE(Sounding(one));
    EXPECT_EQ(main().ActivePlayer, 2);
    EXPECT_EQ(main().CurrentPosition, 4000);
    EXPECT_EQ(main().SongsPlayed, 2);
    EXPECT_EQ(LogRows(), 2);
}

TEST_F(PlaybackTest, WithCrossfade100TheNextSongWaitsForTheEnd) {
    Start(100);
    SetLength("a", 3000);
    Queue("a");
    Queue("b");
    Tick();
    for (int i = 0; i < 2; ++i) {
        Tick();
        EXPECT_EQ(one->fileName(), PathOf("a"));
        EXPECT_FALSE(Sounding(two));
    }
    Tick();  // the song ended since the last tick: the next one starts on player 1 again
    EXPECT_EQ(main().ActivePlayer, 1);
    EXPECT_EQ(one->fileName(), PathOf("b"));
    EXPECT_TRUE(Sounding(one));
    EXPECT_TRUE(two->calls.empty());
}

TEST_F(PlaybackTest, APlayerCaughtPlayingAtItsLengthIsClosed) {
    Start(100);
    Queue("a");
    Queue("b");
    Tick();
    one->setPosition(one->length());
    Tick(0);
    EXPECT_EQ(one->mode(), Mode::NotOpen);
    EXPECT_EQ(main().ActivePlayer, 0);
    EXPECT_EQ(Shown(), "");
    Tick(0);
    EXPECT_EQ(one->fileName(), PathOf("b"));
    EXPECT_TRUE(Sounding(one));
}

TEST_F(PlaybackTest, TheSameFileTwiceInARowIsDroppedAtTheOverlapPoint) {
    Start(98);
    Queue("a");
    Queue("a");
    Queue("c");
    Tick();
    one->setPosition(196000);
    Tick(0);
    EXPECT_FALSE(Sounding(two));
    EXPECT_TRUE(Sounding(one));  // the first goes on
    EXPECT_EQ(main().SongQueue.size(), 1u);
    EXPECT_EQ(main().ListBox1->count(), 1);
    EXPECT_EQ(main().SongsPlayed, 1);
    Tick();
    EXPECT_EQ(two->fileName(), PathOf("c"));
    EXPECT_TRUE(Sounding(two));
    EXPECT_EQ(main().ActivePlayer, 2);
    EXPECT_EQ(main().SongsPlayed, 2);
    EXPECT_EQ(LogRows(), 2);
}

TEST_F(PlaybackTest, ASkipDuringAnOverlapEndsOnlyTheNewerSong) {
    Start(98);
    SetLength("b", 100000);
    Queue("a");
    Queue("b");
    Queue("c");
    Tick();
    one->setPosition(196000);
    Tick(0);
    ASSERT_EQ(main().ActivePlayer, 2);
    main().SkipRequested = true;
    Tick();
    EXPECT_EQ(two->calls.back(), "seek 100000");
    EXPECT_FALSE(Sounding(two));
    EXPECT_TRUE(Sounding(one));
    for (const std::string& call : one->calls)
        EXPECT_EQ(call.rfind("seek", 0), std::string::npos) << call;
    EXPECT_FALSE(main().SkipRequested);
    Tick();
    EXPECT_EQ(two->fileName(), PathOf("c"));
    EXPECT_TRUE(Sounding(two));
    EXPECT_EQ(Shown(), "CHARLIE");
}

TEST_F(PlaybackTest, AvlGoesOutOnTheStartTickAndTheLimitsNextTicksAndOnEveryIdleTick) {
    Start(98, 3);
    LineClient client;
    ASSERT_TRUE(client.Connect(port));
    ASSERT_TRUE(
        WaitUntil([&] { return main().IdTCPServer1.lockList().connections().size() == 1; }));
    // The "#AVL" lines of one tick: those before a marker sent after it.
    const auto avlsOfTick = [&] {
        Tick();
        main().Broadcast("System", "#MARK");
        int avls = 0;
        for (;;) {
            const auto line = client.ReadLine();
            if (!line || *line == "#MARK")
                return line ? avls : -1;
            avls += *line == "#AVL";
        }
    };
    EXPECT_EQ(avlsOfTick(), 1);  // idle
    EXPECT_EQ(avlsOfTick(), 1);
    Queue("a");
    EXPECT_EQ(avlsOfTick(), 1);  // the start
    EXPECT_EQ(avlsOfTick(), 1);
    EXPECT_EQ(avlsOfTick(), 1);
    EXPECT_EQ(avlsOfTick(), 0);
    EXPECT_EQ(avlsOfTick(), 0);
    one->setPosition(196000);  // past the overlap point with an empty queue
    EXPECT_EQ(avlsOfTick(), 1);
    EXPECT_EQ(avlsOfTick(), 1);
    EXPECT_EQ(avlsOfTick(), 1);
    EXPECT_EQ(avlsOfTick(), 1);
}

TEST_F(PlaybackTest, PastTheOverlapPointWithAnEmptyQueueTheDisplayIsCleared) {
    Start(98);
    Queue("a");
    Tick();
    one->setPosition(194000);
    Tick();  // 195 s
    EXPECT_EQ(Shown(), "ALPHA");
    Tick();  // 196 s
    EXPECT_TRUE(Sounding(one));
    EXPECT_EQ(main().ActivePlayer, 0);
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(main().SongProgress->Progress(), 0);
    EXPECT_EQ(main().SongProgress->toolTip(), "");
    EXPECT_EQ(main().CurrentSongId, "");
    EXPECT_EQ(main().CurrentFileName, "");
    EXPECT_EQ(main().CurrentLength, 0);
    EXPECT_EQ(main().CurrentPosition, 0);
    EXPECT_EQ(main().AvlCountdown, 2);  // set to the limit by the failed start, one sent

    Queue("b");
    Tick();
    EXPECT_TRUE(Sounding(one));
    EXPECT_TRUE(Sounding(two));
    EXPECT_EQ(main().ActivePlayer, 2);
    EXPECT_EQ(Shown(), "BRAVO");
}

// A queued file deleted from disk (GetCheckedFileSize reports it), or one there that does not
// play (silent).
class UnplayableRecordTest : public PlaybackTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnplayableRecordTest, IsDroppedUncounted) {
    const bool deleted = GetParam();
    Start(98);
    if (deleted) {
        std::filesystem::remove(dir / "music/a.mp3");
        dialogs.expectPostedError("Error 3");  // posted: the tick goes on
    } else {
        one->unplayable.insert(PathOf("a"));
    }
    Queue("a");
    Queue("b");
    Tick();
    EXPECT_EQ(dialogs.textsOf(Kind::Error).size(), deleted ? 1u : 0u);
    EXPECT_EQ(main().ActivePlayer, 0);
    EXPECT_EQ(Shown(), "");  // the title shown during the tick is cleared again
    EXPECT_EQ(main().SongQueue.size(), 1u);
    EXPECT_EQ(main().SongsPlayed, 0);
    EXPECT_TRUE(main().Label10->isHidden());
    EXPECT_EQ(LogRows(), 0);
    Tick();
    EXPECT_EQ(one->fileName(), PathOf("b"));
    EXPECT_TRUE(Sounding(one));
    EXPECT_EQ(main().SongsPlayed, 1);
}

INSTANTIATE_TEST_SUITE_P(DeletedOrNotPlayable, UnplayableRecordTest, ::testing::Bool());

// With the real boxes: each deleted file's box stands, several at once, while the ticks go on.
TEST_F(PlaybackTest, BoxesOfDeletedFilesStandWhilePlaybackGoesOn) {
    Start(98);
    platform::QtDialogs boxes(platform::QtDialogs::Display::Present);
    platform::Dialogs* scripted = platform::setDialogs(&boxes);
    // A modal box here would wait for ever offscreen: it fails the test and is closed.
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ADD_FAILURE() << "a modal window: " << modal->windowTitle().toStdString();
            modal->close();
        }
    });
    watchdog.start(100);
    const auto standing = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w);
                box && box->isVisible() && box->text() == "Error 3")
                ++n;
        return n;
    };
    std::filesystem::remove(dir / "music/a.mp3");
    std::filesystem::remove(dir / "music/b.mp3");
    Queue("a");
    Queue("b");
    Queue("c");
    Tick();
    EXPECT_EQ(standing(), 1);
    Tick();
    EXPECT_EQ(standing(), 2);
    Tick();
    EXPECT_EQ(one->fileName(), PathOf("c"));
    EXPECT_TRUE(Sounding(one));
    EXPECT_EQ(Shown(), "CHARLIE");
    EXPECT_EQ(standing(), 2);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w))
            box->close();
    platform::setDialogs(scripted);
}

// The gauge's hint, while the mouse rests on it, counts down with the song.
TEST_F(PlaybackTest, TheStandingGaugeHintFollowsTheRemainingTime) {
    Start(98);
    Queue("a");
    Tick();
    Tick();
    main().show();
    QApplication::processEvents();
    QWidget* gauge = main().SongProgress;
    QCursor::setPos(gauge->mapToGlobal(gauge->rect().center()));
    QToolTip::showText(QCursor::pos(), gauge->toolTip(), gauge);
    ASSERT_EQ(QToolTip::text(), "-03:19");
    Tick();
    EXPECT_EQ(QToolTip::text(), "-03:18");
    QToolTip::hideText();
}

TEST_F(PlaybackTest, ADoubleClickDuringAnOverlapStopsTheNewerSong) {
    Start(98);
    Queue("a");
    Queue("b");
    Tick();
    one->setPosition(196000);
    Tick(0);
    ASSERT_EQ(main().ActivePlayer, 2);
    QTest::mouseDClick(main().edtCurrSong, Qt::LeftButton);
    EXPECT_EQ(main().ActivePlayer, 0);
    EXPECT_EQ(two->mode(), Mode::Stopped);  // stopped, still open
    EXPECT_EQ(two->calls.back(), "stop");
    Tick();
    EXPECT_TRUE(Sounding(one));
    EXPECT_EQ(Shown(), "");
    EXPECT_EQ(main().SongProgress->Progress(), 0);

    const size_t calls = one->calls.size() + two->calls.size();
    QTest::mouseDClick(main().edtCurrSong, Qt::LeftButton);  // nothing active
    EXPECT_EQ(one->calls.size() + two->calls.size(), calls);
}

TEST_F(PlaybackTest, TheFileSizeOfTheLastRecordStaysAfterItsSong) {
    Start(100);
    SetLength("a", 2000);
    EXPECT_EQ(main().CurrentFileSize, 0);
    Queue("a");
    Tick();
    const auto size = static_cast<std::int32_t>(std::filesystem::file_size(dir / "music/a.mp3"));
    EXPECT_EQ(main().CurrentFileSize, size);
    Tick(2000);
    Tick();
    EXPECT_EQ(main().ActivePlayer, 0);
    EXPECT_EQ(main().CurrentFileName, "");
    EXPECT_EQ(main().CurrentFileSize, size);
}

TEST_F(PlaybackTest, IdleTicksShowTheWaitingTimeAndStopTheMeters) {
    Start(98);
    Queue("a");
    SetLength("a", 2000);
    Tick();
    Tick();
    EXPECT_EQ(Caption(), "| Song Playing |");
    EXPECT_TRUE(main().Animate1->active());
    Tick(2000);
    // The clock of the tests stands at 14:05:07, shown in the system's long time format.
    const std::string caption = Caption();
    EXPECT_EQ(caption.rfind("| Waiting ", 0), 0u) << caption;
    EXPECT_NE(caption.find("05:07"), std::string::npos) << caption;
    EXPECT_EQ(caption.substr(caption.size() - 2), " |");
    EXPECT_FALSE(main().Animate1->active());
    EXPECT_FALSE(main().Animate2->active());
    EXPECT_EQ(main().StatusBar1->Text(1), main().UptimeText());
}

TEST_F(PlaybackTest, AnErrorEscapingATickLeavesTheTimerOffUntilActivation) {
    Start(98);
    Queue("a");
    Tick();
    one->failSeek = true;
    main().SkipRequested = true;
    dialogs.expectPostedError("Cannot position the file.");
    main().Timer1->OnTimer();
    EXPECT_FALSE(main().Timer1->Enabled());
    main().btnActivateClick();
    EXPECT_TRUE(main().Timer1->Enabled());
}

TEST_F(PlaybackTest, VolumeIsTheFirstDeviceWithVolumeControl) {
    waveOut = std::make_unique<FakeWaveOut>(
        std::vector<FakeWaveOut::Device>{{false, 0x11112222}, {true, 0x12348000}, {true, 0x4444}});
    FakeWaveOut* devices = waveOut.get();
    Start();
    // The third tick read the left channel into the track bar.
    EXPECT_EQ(main().TrackBar1->value(), 0x8000);
    EXPECT_EQ(main().TrackBar1->toolTip(), "50%");
    EXPECT_EQ(main().GetWaveVolume(), 0x8000);

    struct Case {
        int position;
        const char* hint;
    } cases[] = {{32768, "50%"}, {65535, "100%"}, {655, "0%"}, {70000, "100%"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        main().TrackBar1->setValue(0);
        main().TrackBar1->setValue(c.position);
        const std::uint32_t v = std::min(c.position, 65535);
        EXPECT_EQ(devices->devices[1].volume, v + v * 65536);  // both channels
        EXPECT_EQ(main().TrackBar1->toolTip(), c.hint);
    }
    EXPECT_EQ(devices->devices[0].volume, 0x11112222u);
    EXPECT_EQ(devices->devices[2].volume, 0x4444u);
}

TEST_F(PlaybackTest, WithoutAVolumeDeviceTheTrackBarHoldsTheVolume) {
    waveOut = std::make_unique<FakeWaveOut>(std::vector<FakeWaveOut::Device>{{false, 0x1234}});
    Start();
    EXPECT_EQ(main().TrackBar1->value(), 65535);
    main().TrackBar1->setValue(1000);
    EXPECT_EQ(main().GetWaveVolume(), 1000);
    main().SetWaveVolume(2000);
    EXPECT_EQ(main().GetWaveVolume(), 2000);
}

}  // namespace
}  // namespace server_testing
