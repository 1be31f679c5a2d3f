// Names from the wire against a library of nearly equal names (a leading blank, case twins, a
// twin removed after the scan): the record "#FIL" and "#SIF" find, and the file the player
// then really opens, told apart by its decoded length and its size.
#include <QSlider>
#include <filesystem>

#include "platform/audio/audio_engine.h"
#include "platform/qt/tick_timer.h"
#include "server/main_window.h"
#include "tests/platform/audio/signal_checks.h"
#include "tests/server/line_protocol_fixture.h"

namespace server_testing {
namespace {

using platform::audio::PlayerMode;

// Files side by side whose names differ only in a leading blank or in case; each pair holds
// two different tones.
struct SongFile {
    const char* name;
    const char* fixture;
    int lengthMs;
};
// In scan order (the listing sorts without regard to case, then by bytes): 000001 to 000006.
constexpr SongFile kSongs[] = {
    {" lead.mp3", "tone_cbr_2s.mp3", 2000},         {"Gone.mp3", "tone_vbr_3s.mp3", 3000},
    {"gone.mp3", "tone_cbr_2s.mp3", 2000},          {"lead.mp3", "tone_vbr_3s.mp3", 3000},
    {"TWIN.mp3", "tone_22k_mono_1500ms.mp3", 1500}, {"twin.mp3", "tone_48k_1s.mp3", 1000},
};

int LengthOf(std::string_view name) {
    for (const SongFile& s : kSongs)
        if (name == s.name)
            return s.lengthMs;
    return -1;
}

class SongIdentityTest : public LineProtocolTest {
  protected:
    // A listening server whose players really decode (into memory); "Gone.mp3" is removed
    // once the scan has found it.
    void StartWithNearNames() {
        port = FreePort();
        dir.mkdir("music");
        for (const SongFile& s : kSongs)
            std::filesystem::copy_file(audio_checks::fixture(s.fixture),
                                       dir / ("music/" + std::string(s.name)));
        WriteConfig("[SONHALL]\nCROSSFADE=98\nDIRECTORIES=1\nPORT=" + std::to_string(port) +
                    "\nCLIENT SONG=3\nMP3 PATH1=" + Entry("music") + "\n");
        Create();
        main().MediaPlayer1 = engine.createPlayer();
        main().MediaPlayer2 = engine.createPlayer();
        main().FormShow();
        main().Timer1->Tag = 0;  // past the start-up countdown
        main().TrackBar1->setRange(0, 65535);
        main().btnActivateClick();
        ASSERT_EQ(main().SongLibrary.size(), std::size(kSongs));
        std::filesystem::remove(dir / "music/Gone.mp3");
    }
    // The reply to line, the invitations a song start sends passed over; none when the next
    // answer is the one to a query sent after it.
    std::optional<std::string> Answer(LineClient& c, const std::string& line) {
        c.Send(line);
        c.Send("@CLIENTS:");
        std::optional<std::string> reply;
        for (;;) {
            const std::optional<std::string> next = Read(c);
            if (!next || next->starts_with("@clients:"))
                return reply;
            if (*next != "#AVL" && !reply)
                reply = next;
        }
    }

    platform::audio::AudioEngine engine{platform::audio::RenderOptions{}};
};

TEST_F(SongIdentityTest, EachNameFromTheWirePlaysTheFileOfTheRecordItFinds) {
    StartWithNearNames();
    LineClient c;
    Join(c, "KITCHEN");
    struct Case {
        std::string sent;
        const char* number;  // the record found; none: "#FILnak" and no "#SIF" reply
        const char* plays;   // the file the player opens; none: nothing plays
    };
    const Case cases[] = {
        {" lead.mp3", "000001", " lead.mp3"},
        {"lead.mp3", "000004", "lead.mp3"},
        {" LEAD.MP3", "000001", " lead.mp3"},  // any case, the blank is the name's own
        {"LEAD.MP3", "000004", "lead.mp3"},
        {"lead.mp3  ", "000004", "lead.mp3"},  // a peer that pads its line
        {"twin.mp3", "000006", "twin.mp3"},    // the exact name before the first twin
        {"TWIN.mp3", "000005", "TWIN.mp3"},
        {"Twin.MP3", "000005", "TWIN.mp3"},  // no exact name: the first twin
        {"gone.mp3", "000003", "gone.mp3"},
        {"Gone.mp3", "000002", nullptr},  // its file vanished: missing, never its twin
        {"GONE.MP3", "000002", nullptr},
        {"none.mp3", nullptr, nullptr},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("\"" + k.sent + "\"");
        const std::optional<std::string> info = Answer(c, "#SIF000042" + k.sent);
        if (k.number) {
            ASSERT_TRUE(info);
            EXPECT_EQ(info->substr(0, 16), std::string("#SIF000042") + k.number);
        } else {
            EXPECT_FALSE(info) << *info;
        }
        EXPECT_EQ(Answer(c, "#FIL" + k.sent), (k.number ? "#FILack" : "#FILnak") + k.sent);
        if (!k.number)
            continue;

        // The next tick starts the queued record on the first player.
        main().MediaPlayer1->close();
        if (!k.plays)
            dialogs.expectPostedError("Error 3");  // the size of a file that is not there
        main().PlayerTick();
        EXPECT_EQ(dialogs.pending(), 0u);
        EXPECT_TRUE(main().SongQueue.empty());
        const platform::audio::MediaPlayer& player = *main().MediaPlayer1;
        if (k.plays) {
            const std::string file = dir / ("music/" + std::string(k.plays));
            EXPECT_EQ(player.fileName(), file);
            EXPECT_EQ(player.mode(), PlayerMode::Playing);
            EXPECT_EQ(main().CurrentSongId, k.number);
            EXPECT_NEAR(main().CurrentLength, LengthOf(k.plays), 50);  // what it decodes
            EXPECT_EQ(main().CurrentFileSize,
                      static_cast<std::int32_t>(std::filesystem::file_size(file)));
        } else {
            EXPECT_NE(player.mode(), PlayerMode::Playing);
            EXPECT_EQ(main().ActivePlayer, 0);
            EXPECT_EQ(main().CurrentLength, 0);
        }
    }
}

}  // namespace
}  // namespace server_testing
