// The now-playing display and the volume: bit rate, percentage, title, mute and unmute.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "client/main_window.h"
#include "client/volume_bar.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/gauge.h"
#include "tests/client/client_test_support.h"
#include "tests/support/socket_peers.h"

namespace client_testing {
namespace {

class NowPlayingTest : public ClientTest {
  protected:
    void SetUp() override { CreateWithSongs(); }
    // The bottom bar as a scan that found songs leaves it.
    void CreateWithSongs() {
        Create();
        main().Panel2->setEnabled(true);
    }
    std::uint32_t DeviceVolume() const { return waveOut->devices[0].volume; }
};

TEST_F(NowPlayingTest, BitRateIsSizeTimesEightByLengthPlusOneIn32Bits) {
    struct Case {
        std::int32_t size, lengthMs;
        const char* shown;
    };
    for (const Case& c :
         {Case{4000000, 250000, "129 kbit"}, Case{16508, 2000, "67 kbit"}, Case{1, 1000, "1 kbit"},
          Case{4000000, 0, ""}, Case{0, 250000, ""}, Case{-5, 250000, ""},
          // Past 268,435,455 bytes the 32-bit product wraps.
          Case{300000000, 250000, "-7578 kbit"}}) {
        main().CurrentFileSize = c.size;
        main().CurrentLength = c.lengthMs;
        main().ShowNowPlaying();
        EXPECT_EQ(main().Label24->text(), c.shown) << c.size << " / " << c.lengthMs;
    }
}

TEST_F(NowPlayingTest, ClientModeShowsPositionRemainingTimeAndPie) {
    main().LocalMode = false;
    struct Case {
        std::int32_t position, length;
        const char* percent;
        const char* remaining;
    };
    for (const Case& c : {Case{125000, 250000, "50", "-02:05"}, Case{1, 3, "33", "-00:00"},
                          Case{250000, 250000, "100", "-00:00"}, Case{0, 0, "0", "-00:00"}}) {
        main().CurrentPosition = c.position;
        main().CurrentLength = c.length;
        main().ShowNowPlaying();
        EXPECT_EQ(main().PercentText, c.percent);
        EXPECT_EQ(main().Label15->text().toStdString(), c.remaining);
        EXPECT_EQ(main().Gauge1->Progress(), std::stoi(c.percent));
        EXPECT_EQ(main().Gauge1->toolTip().toStdString(), std::string(c.percent) + "% complete");
        EXPECT_EQ(main().ProgressBarMaximum(), c.length);
        EXPECT_EQ(main().ProgressBar1->value(), c.length > 0 ? c.position : 0);
    }
    main().ClearNowPlaying();
    EXPECT_EQ(main().ProgressBarMaximum(), 0);
    EXPECT_EQ(main().Label15->text(), "00:00");
    EXPECT_EQ(main().Gauge1->Progress(), 0);
    EXPECT_TRUE(main().Gauge1->toolTip().isEmpty());
}

TEST_F(NowPlayingTest, ATitleThatScrollsIsKeptUntilTheDisplayIsCleared) {
    main().CurrentTitle = "First Song";
    main().ShowNowPlaying();
    EXPECT_EQ(main().Label7->text(), "First Song");
    EXPECT_TRUE(main().Timer2->Enabled());
    main().CurrentTitle = "Second Song";
    main().ShowNowPlaying();
    EXPECT_EQ(main().Label7->text(), "First Song");
    main().ClearNowPlaying();
    EXPECT_FALSE(main().Timer2->Enabled());
    EXPECT_TRUE(main().Label7->text().isEmpty());
    main().ShowNowPlaying();
    EXPECT_EQ(main().Label7->text(), "Second Song");
}

TEST_F(NowPlayingTest, ASongTheLibraryDoesNotHoldShowsItsFileNameAndNothingStale) {
    main().CurrentArtist = "Old Artist";
    main().CurrentAlbum = "Old Album";
    main().CurrentGenre = "ROCK";
    main().TakeSongByFileName("NIGHT DRIVE.MP3");
    main().ShowNowPlaying();
    EXPECT_EQ(main().Label7->text(), "NIGHT DRIVE");
    EXPECT_TRUE(main().Label8->text().isEmpty());
    EXPECT_TRUE(main().Label9->text().isEmpty());
    EXPECT_TRUE(main().Label10->text().isEmpty());
    EXPECT_FALSE(main().LookupSongByFileName("NIGHT DRIVE.MP3"));
}

TEST_F(NowPlayingTest, MutingSavesThePositionAndUnmutingRestoresIt) {
    main().TrackBar1->setValue(40000);
    EXPECT_EQ(DeviceVolume(), 40000u * 65537u);
    main().SpeedButton4->click();
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().TrackBar1->value(), 0);
    EXPECT_EQ(main().SavedVolume, 40000);
    EXPECT_EQ(DeviceVolume(), 0u);
    EXPECT_EQ(main().SpeedButton4->toolTip(), "Remove the mute");
    EXPECT_EQ(main().SpeedButton4->accessibleName(), "Remove the mute");
    main().SpeedButton4->click();
    EXPECT_FALSE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().TrackBar1->value(), 40000);
    EXPECT_EQ(DeviceVolume(), 40000u * 65537u);
    EXPECT_EQ(main().SpeedButton4->toolTip(), "Mute");
}

TEST_F(NowPlayingTest, MuteThroughTheAccessibilityTreeMutesAsAClickDoes) {
    main().TrackBar1->setValue(40000);
    QAccessibleInterface* mute = QAccessible::queryAccessibleInterface(main().SpeedButton4);
    ASSERT_NE(mute, nullptr);
    ASSERT_NE(mute->actionInterface(), nullptr);
    mute->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().TrackBar1->value(), 0);
    EXPECT_EQ(DeviceVolume(), 0u);
    EXPECT_EQ(mute->text(QAccessible::Name), "Remove the mute");
    mute->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().TrackBar1->value(), 40000);
    EXPECT_EQ(mute->text(QAccessible::Name), "Mute");
}

TEST_F(NowPlayingTest, TheBarAtZeroMutesAndUnmutingGivesAQuarter) {
    main().TrackBar1->setValue(20000);
    main().TrackBar1->setValue(0);
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().SavedVolume, 16383);
    main().SpeedButton4->click();
    EXPECT_EQ(main().TrackBar1->value(), 16383);
    EXPECT_EQ(DeviceVolume(), 16383u * 65537u);
    // Moving the bar up while muted lifts the mute.
    main().TrackBar1->setValue(0);
    main().TrackBar1->setValue(5);
    EXPECT_FALSE(main().SpeedButton4->isChecked());
}

TEST_F(NowPlayingTest, MutingAtZeroChangesNothingAndUnmutingKeepsZero) {
    main().SpeedButton4->click();
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().TrackBar1->value(), 0);
    EXPECT_EQ(main().SavedVolume, 0);
    main().SpeedButton4->click();
    EXPECT_FALSE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().TrackBar1->value(), 0);
}

TEST_F(NowPlayingTest, TheHintIsTheWholePercentOfTheRange) {
    for (auto [position, hint] : {std::pair{32767, "49%"}, std::pair{65535, "100%"},
                                  std::pair{655, "0%"}, std::pair{656, "1%"}}) {
        main().TrackBar1->setValue(position);
        EXPECT_EQ(main().TrackBar1->toolTip(), hint) << position;
    }
}

TEST_F(NowPlayingTest, TheVolumeGoesToTheFirstDeviceWithVolumeControl) {
    volumeDevices = {{false, 0x11111111u}, {true, 0x00002000u}, {true, 0x33333333u}};
    program.reset();
    CreateWithSongs();
    EXPECT_EQ(main().GetWaveVolume(), 0x2000);
    main().SetWaveVolume(0x1234);
    EXPECT_EQ(waveOut->devices[0].volume, 0x11111111u);
    EXPECT_EQ(waveOut->devices[1].volume, 0x12341234u);
    EXPECT_EQ(waveOut->devices[2].volume, 0x33333333u);
}

// In client mode each position goes to the server, except while a reply sets the bar.
TEST_F(NowPlayingTest, ClientModeSendsEveryPositionUnlessAReplySetsIt) {
    testing_support::RawListener server;
    testing_support::RawSocket peer = ConnectClientTo(server);
    for (int position : {1000, 1001, 0})
        main().TrackBar1->setValue(position);
    EXPECT_EQ(peer.receiveLine(), "#VOL1000\r\n");
    EXPECT_EQ(peer.receiveLine(), "#VOL1001\r\n");
    EXPECT_EQ(peer.receiveLine(), "#VOL0\r\n");
    EXPECT_TRUE(main().SpeedButton4->isChecked());

    main().SendVolume = false;
    main().TrackBar1->setValue(2000);  // as a "#INI" reply would
    main().TrackBar1->setValue(0);
    EXPECT_TRUE(main().SpeedButton4->isChecked()) << "muted without a word to the server";
    main().SendVolume = true;
    main().TrackBar1->setValue(3);
    EXPECT_EQ(peer.receiveLine(), "#VOL3\r\n") << "nothing came between";
}

TEST_F(NowPlayingTest, ClientModeLeavesTheDeviceAlone) {
    const std::uint32_t before = DeviceVolume();
    main().LocalMode = false;
    main().TrackBar1->setValue(1000);
    EXPECT_EQ(DeviceVolume(), before);
    EXPECT_EQ(main().TrackBar1->toolTip(), "1%");
}

}  // namespace
}  // namespace client_testing
