// The client against the real sonhall2 program: the server runs from a program folder of its
// own with real MP3s and plays them in real time (silently); the client's forms live in the
// test process and the test ticks their timer itself. The programs name songs to each other by
// file name, so both libraries hold the same names with different tags, and what the client
// shows comes from its own library.
#include <signal.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <thread>
#include <vector>

#include "client/data_module.h"
#include "client/main_window.h"
#include "client/volume_bar.h"
#include "client/windows/server_messages_window.h"
#include "common/line_protocol.h"
#include "common/song_record.h"
#include "common/text_helpers.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/status_panels.h"
#include "tests/client/client_test_support.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/program_process.h"
#include "tests/support/socket_peers.h"
#include "tests/support/waits.h"

namespace client_testing {
namespace {

using namespace std::chrono_literals;
using testing_support::LineClient;
using testing_support::TagBlock;

// Real encoded tones with their exact lengths.
struct Tone {
    const char* file;
    int lengthMs;
};
constexpr Tone kTwoSeconds{"tone_cbr_2s.mp3", 2000};
constexpr Tone kThreeSeconds{"tone_vbr_3s.mp3", 3000};
constexpr Tone kOneAndAHalf{"tone_22k_mono_1500ms.mp3", 1500};
constexpr Tone kOneSecond{"tone_48k_1s.mp3", 1000};

std::string UpperCase(std::string text) {
    for (char& c : text)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    return text;
}

// A song of the server's library: a real tone under the given name, with the server's tag.
struct ServerSong {
    std::string name;
    Tone tone;
    std::string tag;
};

// The real sonhall2 in a program folder of its own, listening on a free port; `fillers` small
// files beside the songs make its scans long.
class RealServer {
  public:
    RealServer(const std::vector<ServerSong>& songs, int songLimit, int fillers = 0)
        : port(testing_support::FreePort()) {
        const std::string runtime = std::string(SONH_RUNTIME_DIR) + "/";
        for (const char* name : {"sonhall2", "meter.avi", "connect.avi", "SONHALL2.HLP"})
            std::filesystem::copy_file(runtime + name, dir / name);
        dir.mkdir("music");
        for (const ServerSong& song : songs)
            Add(song);
        const std::string filler = testing_support::Mp3Bytes(TagBlock("Filler"));
        for (int i = 0; i < fillers; ++i)
            dir.write("music/filler" + std::to_string(i) + ".mp3", filler);
        dir.write("sonhall2.kvc",
                  "[SONHALL]\r\nCROSSFADE=98\r\nDIRECTORIES=1\r\nPORT=" + std::to_string(port) +
                      "\r\nCLIENT SONG=" + std::to_string(songLimit) +
                      "\r\nMP3 PATH1=" + UpperCase(dir / "music/") + "\r\n");
        process = std::make_unique<testing_support::ProgramProcess>(dir / "sonhall2",
                                                                    dir / "program.log");
    }
    // Writes the song into the server's folder; the server knows it after its next scan.
    std::string Add(const ServerSong& song) {
        return dir.write(
            "music/" + song.name,
            testing_support::readFile(testing_support::FixtureMp3(song.tone.file)) + song.tag);
    }
    std::string Log() const { return process->Log(); }
    // The program started again in the same folder, on the same port, after its end.
    void Restart() {
        process.reset();
        process = std::make_unique<testing_support::ProgramProcess>(dir / "sonhall2",
                                                                    dir / "program.log");
    }

    testing_support::TempDir dir;
    int port;
    std::unique_ptr<testing_support::ProgramProcess> process;
};

// A plain line client beside the program under test: it sees the broadcasts and asks the
// server what it holds.
class Peer {
  public:
    bool Connect(int port) { return line_.Connect(port); }
    void Send(std::string_view line) { line_.Send(line); }
    std::optional<std::string> Next(std::chrono::milliseconds timeout) {
        return line_.ReadLine(timeout);
    }
    // The next line that `wanted` accepts; the lines before it are passed over.
    std::optional<std::string> Await(const std::function<bool(const std::string&)>& wanted,
                                     std::chrono::milliseconds timeout = 30s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < end) {
            const auto line = line_.ReadLine(100ms);
            if (line && wanted(*line))
                return line;
        }
        return std::nullopt;
    }
    bool AwaitLine(std::string_view exact) {
        return Await([&](const std::string& line) { return line == exact; }).has_value();
    }
    std::string Ask(std::string_view line, std::string_view replyPrefix) {
        Send(line);
        return Await([&](const std::string& l) { return l.starts_with(replyPrefix); }).value_or("");
    }
    bool LogIn(std::string_view name) {
        Send(">>>" + std::string(name));
        return AwaitLine("#LOGack");
    }
    // The server's "#INI" figures: volume (5), listed connections (2), songs played (6),
    // queue length (2).
    std::string Info() { return Ask("#INI?", "#INI").substr(4); }
    int Volume() { return std::stoi(Info().substr(0, 5)); }
    bool WaitClosed() { return line_.WaitClosed(30s); }

  private:
    LineClient line_;
};

// A song of the client's library; without a tag the scan asks the server for one.
struct LocalSong {
    std::string name;
    std::optional<std::string> tag;
};

class ServerE2eTest : public ClientTest {
  protected:
    // The server listening, `watcher` logged in beside the client.
    void StartServer(const std::vector<ServerSong>& songs, int songLimit, int fillers = 0) {
        server = std::make_unique<RealServer>(songs, songLimit, fillers);
        ASSERT_TRUE(server->process->started());
        // It listens from its third tick on, some seconds after its window shows.
        ASSERT_TRUE(testing_support::WaitUntil([&] { return watcher.Connect(server->port); }, 90s))
            << server->Log();
        ASSERT_TRUE(watcher.AwaitLine("SONHALL II")) << server->Log();
        ASSERT_TRUE(watcher.LogIn("WATCHER")) << server->Log();
    }

    // The client started up in Local Player Mode with the server's address, its library in
    // music/ and the queue file `queue` loaded; the server's messages window is shown.
    void StartClient(const std::vector<LocalSong>& songs, std::string_view queue = {}) {
        dir.mkdir("music");
        for (const LocalSong& song : songs)
            dir.write("music/" + song.name, testing_support::Mp3Bytes(song.tag));
        WriteConfig("[SONPAD]\nPLAY HERE=YES\nDIRECTORIES=1\nCLIENT NAME=KITCHEN\nPORT=" +
                    std::to_string(server->port) +
                    "\nSERVER IP=127.0.0.1\nAUTOLOAD SONG QUE=YES\nREMOVE SONG=NO\n"
                    "PLAY ONCE=NO\nPLAY IN SEQUENCE=YES\nSEQUENTIAL PLAY=5\nMP3 PATH1=" +
                    Entry("music") + "\n");
        if (!queue.empty())
            dir.write("songque.kvc", queue);
        Create();
        for (const LocalSong& song : songs)
            if (!song.tag)
                dialogs.expectError("Error " + Entry("music") + song.name +
                                    "\n\nPossible no ID3 tag read.");
        main().FormShow();
        ASSERT_EQ(dialogs.pending(), 0u);
        ASSERT_TRUE(main().LocalMode);
        main().ShowServerMessages1->trigger();
        ASSERT_TRUE(program->forms().aServer->isVisible());
    }

    // One tick of the client's timer, as the running timer gives it: only while it is on.
    void Tick() {
        if (main().Timer1->Enabled())
            main().Timer1->OnTimer();
        Sample();
    }
    // Ticks with short waits between them until the condition holds; false after the
    // (generous) deadline.
    bool TickUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = 30s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            Tick();
            if (condition())
                return true;
            if (std::chrono::steady_clock::now() > end)
                return false;
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(20ms);
        }
    }
    // Remembers each new text of status panel 1.
    void Sample() {
        const std::string message = Status(1);
        if (messages.empty() || messages.back() != message)
            messages.push_back(message);
    }

    // A user's click on a button, and what it showed.
    void Click(QAbstractButton* button) {
        button->click();
        Sample();
    }

    std::string Status(int panel) { return main().StatusBar1->Text(panel); }
    static std::string Text(const QLabel* label) { return label->text().toStdString(); }
    static bool Lit(const QFrame* lamp) {
        return lamp->palette().color(QPalette::Window) == QColor(0, 255, 0);
    }

    // The "#" replies of the messages window, oldest first, each as its type, a blank and its
    // payload; the window puts the newest at the top.
    std::vector<std::string> Replies() {
        static const std::regex reply(R"re(^.*: \[(\w*)\] "(.*)"$)re");
        std::vector<std::string> out;
        const QListWidget& list = *program->forms().aServer->ListBox1;
        for (int i = 0; i < list.count(); ++i) {
            const std::string line = list.item(i)->text().toStdString();
            std::smatch m;
            if (std::regex_match(line, m, reply))
                out.push_back(m[1].str() + " " + m[2].str());
        }
        std::reverse(out.begin(), out.end());
        return out;
    }
    // The other lines of the messages window, in the order they came.
    std::vector<std::string> PlainLines() {
        std::vector<std::string> out;
        const QListWidget& list = *program->forms().aServer->ListBox1;
        for (int i = 0; i < list.count(); ++i) {
            const std::string line = list.item(i)->text().toStdString();
            if (line.find(": [") == std::string::npos)
                out.push_back(line);
        }
        return out;
    }
    size_t ReplyCount() { return Replies().size(); }

    // Logged in: the server's figures from the "#INI" reply fill the labels.
    void LogIn() {
        Click(main().SpeedButton2);
        ASSERT_FALSE(main().LocalMode);
        ASSERT_TRUE(TickUntil([&] { return Text(main().Label16) != "0"; })) << server->Log();
    }

    std::unique_ptr<RealServer> server;
    Peer watcher;
    std::vector<std::string> messages;  // the texts status panel 1 showed, in turn
};

TEST_F(ServerE2eTest, LogInShowsTheServersFiguresAndTheVolumeBarFollowsTheServer) {
    StartServer({{"alpha.mp3", kTwoSeconds, TagBlock("Server Alpha")}}, 2);
    StartClient({{"alpha.mp3", TagBlock("Alpha", "Kitchen Band")}});

    Click(main().SpeedButton2);
    EXPECT_FALSE(main().LocalMode);
    EXPECT_TRUE(main().SpeedButton2->isChecked());
    EXPECT_EQ(main().SpeedButton2->toolTip(), "Disconnect from Sonhall");
    EXPECT_EQ(Status(0), "CONNECTED 127.0.0.1");
    EXPECT_FALSE(main().Animate1->isHidden());
    EXPECT_TRUE(main().Animate2->isHidden());
    for (const QLabel* label : {main().Label16, main().Label17, main().Label18, main().Label19,
                                main().Label20, main().Label21})
        EXPECT_FALSE(label->isHidden());
    ASSERT_TRUE(watcher.AwaitLine("KITCHEN has just logged in."));

    // The figures come with the answer to the "#INI?" that follows "#LOGack", not with the
    // poll of the 20th idle tick.
    int lastIdle = main().IdleTicks;
    bool counterRestarted = false;
    ASSERT_TRUE(TickUntil([&] {
        counterRestarted = counterRestarted || main().IdleTicks < lastIdle;
        lastIdle = main().IdleTicks;
        return Text(main().Label16) != "0";
    })) << server->Log();
    EXPECT_FALSE(counterRestarted);
    std::vector<std::string> replies = Replies();
    // Invitations, and answers to polls a slow log-in let out, may come between.
    std::erase_if(
        replies, [](const std::string& r) { return r.starts_with("AVL") || r.starts_with("PLY"); });
    ASSERT_GE(replies.size(), 2u);
    EXPECT_EQ(replies[0], "LOG ACK");
    EXPECT_TRUE(replies[1].starts_with("INI ")) << replies[1];
    EXPECT_EQ(PlainLines(),
              (std::vector<std::string>{"SONHALL II", "KITCHEN HAS JUST LOGGED IN."}));

    const std::string info = watcher.Info();  // nothing changed in between
    ASSERT_EQ(info.size(), 15u) << info;
    EXPECT_EQ(Text(main().Label16), "02");  // the watcher and the client
    EXPECT_EQ(Text(main().Label16), info.substr(5, 2));
    EXPECT_EQ(Text(main().Label17), "000000");
    EXPECT_EQ(Text(main().Label18), "00");
    EXPECT_EQ(main().TrackBar1->value(), std::stoi(info.substr(0, 5)));

    // The user's move of the bar reaches the server's bar.
    main().TrackBar1->setValue(40000);
    EXPECT_TRUE(testing_support::WaitUntil([&] { return watcher.Volume() == 40000; }, 30s))
        << server->Log();

    // An "#INI" reply moves the bar and sends nothing back: the user moves the bar to 20000
    // right after the client asked, so the reply that comes carries the 40000 from before;
    // an echo of it would put the server back to 40000.
    ASSERT_TRUE(TickUntil([&] { return main().IdleTicks == 0 && main().RequestInFlight; }, 60s));
    main().TrackBar1->setValue(20000);
    const size_t before = ReplyCount();
    ASSERT_TRUE(TickUntil([&] { return main().TrackBar1->value() == 40000; })) << server->Log();
    EXPECT_FALSE(main().SpeedButton4->isChecked());
    // A reply to a poll sent after that one: the server has handled what the client sent
    // with the reply.
    const size_t withInfo = ReplyCount();
    EXPECT_GT(withInfo, before);
    ASSERT_TRUE(TickUntil([&] {
        const std::vector<std::string> r = Replies();
        return std::any_of(r.begin() + static_cast<std::ptrdiff_t>(withInfo), r.end(),
                           [](const std::string& x) { return x.starts_with("PLY"); });
    }));
    EXPECT_EQ(watcher.Volume(), 20000);

    // A volume of 0 from the server presses the mute button, still without an echo.
    watcher.Send("#VOL0");
    ASSERT_TRUE(testing_support::WaitUntil([&] { return watcher.Volume() == 0; }, 30s));
    ASSERT_TRUE(TickUntil([&] { return main().TrackBar1->value() == 0; }, 60s)) << server->Log();
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_EQ(main().SpeedButton4->toolTip(), "Remove the mute");
    EXPECT_EQ(main().SavedVolume, 16383);
    EXPECT_EQ(watcher.Volume(), 0);
    EXPECT_EQ(waveOut->devices[0].volume, 0x80008000u)
        << "client mode leaves the local device alone";

    // Another client's chat line shows as its text, in upper case.
    watcher.Send("Dinner: is ready");
    ASSERT_TRUE(TickUntil([&] { return PlainLines().size() == 3; }))
        << testing::PrintToString(PlainLines()) << " connected: " << main().IdTCPClient1.connected()
        << " window shown: " << program->forms().aServer->isVisible() << "\n"
        << server->Log();
    EXPECT_EQ(PlainLines().back(), "DINNER: IS READY");
}

// A song both libraries hold under one file name: the server's copy is a real tone with a tag
// of its own; the client's copy carries the tag the client shows.
struct SharedSong {
    std::string name;
    Tone tone;
    std::string title, artist, album;
};

TEST_F(ServerE2eTest, PlaySubmitsTheQueueAsTheServerHasRoomAndShowsWhatItPlays) {
    const std::vector<SharedSong> songs{
        {"song_a.mp3", kTwoSeconds, "Kitchen A", "Band A", "Album A"},
        {"song_b.mp3", kThreeSeconds, "Kitchen B", "Band B", "Album B"},
        {"song_c.mp3", kOneAndAHalf, "Kitchen C", "Band C", "Album C"},
        {"song_d.mp3", kTwoSeconds, "Kitchen D", "Band D", "Album D"}};
    std::vector<ServerSong> serverSongs;
    std::vector<LocalSong> localSongs;
    std::string queue;
    for (const SharedSong& song : songs) {
        serverSongs.push_back({song.name, song.tone, TagBlock("Server " + song.title, "Server")});
        localSongs.push_back(
            {song.name, TagBlock(song.title, song.artist, song.album, "1999", "", 17)});
        queue += UpperCase(song.name) + "\r\n";
    }
    StartServer(serverSongs, 2);
    StartClient(localSongs, queue);
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 4);
    LogIn();

    Click(main().btnPlay);
    EXPECT_TRUE(main().Playing);
    EXPECT_EQ(Status(2), "PLAY");
    EXPECT_TRUE(main().SpeedButton5->isHidden());
    EXPECT_TRUE(main().CisPending);
    const auto cisAndFil = [&] {
        std::vector<std::string> out;
        for (const std::string& r : Replies())
            if (r.starts_with("CIS") || r.starts_with("FIL"))
                out.push_back(r);
        return out;
    };
    // Song by song in queue order while the server has room for this client.
    ASSERT_TRUE(TickUntil([&] {
        const std::vector<std::string> r = cisAndFil();
        return std::find(r.begin(), r.end(), "CIS NAK") != r.end();
    })) << server->Log();
    std::vector<std::string> burst = cisAndFil();
    burst.erase(std::find(burst.begin(), burst.end(), "CIS NAK") + 1, burst.end());
    const size_t submitted = (burst.size() - 1) / 2;
    ASSERT_GE(submitted, 2u);
    ASSERT_LT(submitted, 4u);
    std::vector<std::string> expected;
    for (size_t i = 0; i < submitted; ++i) {
        expected.push_back("CIS ACK");
        expected.push_back("FIL ACK" + UpperCase(songs[i].name));
    }
    expected.push_back("CIS NAK");
    EXPECT_EQ(burst, expected);
    EXPECT_FALSE(main().CisPending);
    EXPECT_EQ(main().PlayedCount, static_cast<int>(submitted));

    // The server plays them in turn; the client shows each from its own library.
    for (size_t i = 0; i < songs.size(); ++i) {
        const SharedSong& song = songs[i];
        ASSERT_TRUE(TickUntil([&] { return Text(main().Label7) == song.title; }, 60s))
            << song.name << " shows \"" << Text(main().Label7) << "\"\n"
            << server->Log();
        EXPECT_EQ(Text(main().Label8), song.artist);
        EXPECT_EQ(Text(main().Label10), song.album);
        EXPECT_EQ(Text(main().Label9), "Rock");
        EXPECT_TRUE(std::regex_match(Text(main().Label15), std::regex("-00:0[0-3]")))
            << Text(main().Label15);
        const int size =
            static_cast<int>(std::filesystem::file_size(server->dir / "music/" + song.name));
        EXPECT_EQ(main().CurrentFileSize, size);
        EXPECT_NEAR(main().CurrentLength, song.tone.lengthMs, 100);
        ASSERT_GT(main().CurrentLength, 0);
        EXPECT_EQ(Text(main().Label24),
                  std::to_string(size * 8 / main().CurrentLength + 1) + " kbit");

        if (i == 1) {
            // The skip: the lamp and the button wait for the server's confirmation, then
            // the next song comes.
            Click(main().btnNext);
            EXPECT_TRUE(Lit(main().Panel5));
            EXPECT_FALSE(Lit(main().Panel4));
            EXPECT_FALSE(main().btnNext->isEnabled());
            ASSERT_TRUE(TickUntil([&] { return main().btnNext->isEnabled(); })) << server->Log();
            EXPECT_TRUE(Lit(main().Panel4));
            EXPECT_FALSE(Lit(main().Panel5));
            EXPECT_TRUE(main().Playing);
        }
    }

    // The rest went out after an invitation each, in queue order.
    std::vector<std::string> fil;
    const std::vector<std::string> replies = Replies();
    for (const std::string& r : replies)
        if (r.starts_with("FIL"))
            fil.push_back(r);
    ASSERT_GE(fil.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(fil[i], "FIL ACK" + UpperCase(songs[i].name));
    const auto nak = std::find(replies.begin(), replies.end(), "CIS NAK");
    const auto resumed =
        std::find(nak, replies.end(), "FIL ACK" + UpperCase(songs[submitted].name));
    ASSERT_NE(resumed, replies.end());
    EXPECT_NE(std::find(nak, resumed, "AVL "), resumed);
}

// Names that differ only in a leading blank, or only in case, in both libraries: each song the
// client submits plays on the server from a file of the name it sent, told apart by the
// length the server decodes and the size it reads.
TEST_F(ServerE2eTest, NamesThatDifferOnlyInALeadingBlankPlayTheirOwnFilesOnTheServer) {
    const std::vector<ServerSong> serverSongs{{" lead.mp3", kTwoSeconds, TagBlock("Server Blank")},
                                              {"lead.mp3", kThreeSeconds, TagBlock("Server Plain")},
                                              {"twin.mp3", kOneAndAHalf, TagBlock("Server Lower")},
                                              {"TWIN.mp3", kOneSecond, TagBlock("Server Upper")}};
    StartServer(serverSongs, 4);
    StartClient({{" lead.mp3", TagBlock("Blank")},
                 {"lead.mp3", TagBlock("Plain")},
                 {"twin.mp3", TagBlock("Lower")},
                 {"TWIN.mp3", TagBlock("Upper")}});
    for (const char* title : {"Blank", "Plain", "Lower", "Upper"})
        for (int i = 0; i < static_cast<int>(main().SongLibrary.size()); ++i)
            if (dm().GetTitle(i) == title)
                dm().AddSongToQue(dm().GetSongNo(i));
    ASSERT_EQ(main().ListView1->topLevelItemCount(), 4);
    LogIn();
    Click(main().btnPlay);

    // Each song the server starts, as "#PLY" shows it: number, length and size.
    struct Play {
        std::string number;
        int lengthMs, size;
    };
    std::vector<Play> plays;
    ASSERT_TRUE(TickUntil(
        [&] {
            const kv::PlayStatus status =
                kv::ParsePlayStatus(watcher.Ask("#PLY?", "#PLY").substr(4));
            if (status.active && (plays.empty() || plays.back().number != status.songId))
                plays.push_back({status.songId, status.length, status.fileSize});
            return main().PlayedCount == 4 && !status.active && plays.size() >= 3;
        },
        60s))
        << server->Log();
    const auto sizeOf = [&](const std::string& name) {
        return static_cast<int>(std::filesystem::file_size(server->dir / ("music/" + name)));
    };
    std::string shown;
    for (const Play& p : plays)
        shown += p.number + " " + std::to_string(p.lengthMs) + " ms " + std::to_string(p.size) +
                 " bytes; ";
    RecordProperty("plays", shown);
    RecordProperty("songsPlayed", watcher.Info().substr(7, 6));
    ASSERT_GE(plays.size(), 3u) << shown;
    // The server's numbers: " lead.mp3", "lead.mp3", "TWIN.mp3", "twin.mp3".
    EXPECT_EQ(plays[0].number, "000001") << shown;
    EXPECT_NEAR(plays[0].lengthMs, kTwoSeconds.lengthMs, 100) << shown;
    EXPECT_EQ(plays[0].size, sizeOf(" lead.mp3")) << shown;
    EXPECT_EQ(plays[1].number, "000002") << shown;
    EXPECT_NEAR(plays[1].lengthMs, kThreeSeconds.lengthMs, 100) << shown;
    EXPECT_EQ(plays[1].size, sizeOf("lead.mp3")) << shown;
    // The client names both twins by its upper-case file name column: each plays a twin,
    // whole, from its own file.
    for (size_t i = 2; i < plays.size(); ++i) {
        const bool upper = plays[i].number == "000003";
        EXPECT_TRUE(upper || plays[i].number == "000004") << shown;
        EXPECT_NEAR(plays[i].lengthMs, (upper ? kOneSecond : kOneAndAHalf).lengthMs, 100) << shown;
        EXPECT_EQ(plays[i].size, sizeOf(upper ? "TWIN.mp3" : "twin.mp3")) << shown;
    }
}

TEST_F(ServerE2eTest, AnUntaggedSongTakesTheServersTagAndARescanHoldsTheButtonDown) {
    StartServer({{"other.mp3", kThreeSeconds, TagBlock("Other")},
                 {"plain.mp3", kTwoSeconds,
                  TagBlock("Server Plain", "Server Artist", "Server Album", "2001",
                           "From the server", 17)}},
                2);
    StartClient({{"other.mp3", TagBlock("Other", "Kitchen Band")}, {"plain.mp3", std::nullopt}});
    const std::vector<std::string> before = main().SongLibrary;
    ASSERT_EQ(before.size(), 2u);
    ASSERT_EQ(main().SongInfoRequests.size(), 1u);

    LogIn();
    ASSERT_TRUE(TickUntil([&] { return main().SongInfoRequests.empty(); }, 60s)) << server->Log();
    const std::string& record = main().SongLibrary[1];
    EXPECT_EQ(kv::RecordSongNumber(record), "000002");
    EXPECT_EQ(kv::Trim(kv::RecordTitle(record)), "SERVER PLAIN");
    EXPECT_EQ(kv::Trim(kv::RecordArtist(record)), "SERVER ARTIST");
    EXPECT_EQ(kv::RecordGenre(record), "017");
    EXPECT_EQ(kv::Trim(kv::RecordAlbum(record)), "SERVER ALBUM");
    EXPECT_EQ(kv::Trim(kv::RecordYear(record)), "2001");
    EXPECT_EQ(kv::Trim(kv::RecordComment(record)), "FROM THE SERVER");
    EXPECT_EQ(kv::RecordPath(record), kv::RecordPath(before[1]));
    EXPECT_EQ(main().SongLibrary[0], before[0]);
    EXPECT_NE(std::find(messages.begin(), messages.end(), "#SIF requested."), messages.end());
    EXPECT_EQ(Status(1), "#SIF updated.");

    // A song the server does not know yet, until the client has it rescan its folders.
    server->Add({"late.mp3", kThreeSeconds, TagBlock("Late")});
    EXPECT_EQ(watcher.Ask("#FILlate.mp3", "#FIL"), "#FILnaklate.mp3");
    const size_t shownBefore = messages.size();
    Click(main().SpeedButton5);
    EXPECT_TRUE(main().SpeedButton5->isChecked());
    EXPECT_TRUE(main().RescanPending);
    EXPECT_TRUE(Status(1).ends_with(" Server RE-SCAN request sent to server.")) << Status(1);
    ASSERT_TRUE(TickUntil([&] { return !main().SpeedButton5->isChecked(); }, 60s)) << server->Log();
    EXPECT_FALSE(main().RescanPending);
    const std::vector<std::string> progress(
        messages.begin() + static_cast<std::ptrdiff_t>(shownBefore), messages.end());
    ASSERT_EQ(progress.size(), 3u);
    EXPECT_EQ(progress[1], "SERVER RE-SCAN REQUEST INITIATED...");
    EXPECT_EQ(progress[2], "SERVER READ: 3 FILES");
    EXPECT_EQ(watcher.Ask("#FILlate.mp3", "#FIL"), "#FILacklate.mp3");
    EXPECT_EQ(watcher.Ask("#FILother.mp3", "#FIL"), "#FILackother.mp3");

    // While a song plays the server refuses, and the button comes up again.
    ASSERT_TRUE(testing_support::WaitUntil(
        [&] {
            return UpperCase(watcher.Ask("#PLY?", "#PLY")).find("LATE.MP3") != std::string::npos;
        },
        60s))
        << server->Log();
    Click(main().SpeedButton5);
    EXPECT_TRUE(main().SpeedButton5->isChecked());
    ASSERT_TRUE(TickUntil([&] { return !main().SpeedButton5->isChecked(); })) << server->Log();
    EXPECT_EQ(Status(1), "Re-Scan request denied...");
    EXPECT_FALSE(main().RescanPending);
}

TEST_F(ServerE2eTest, AFullServerRefusesTheClientAndAClosingServerLogsItOff) {
    StartServer({{"alpha.mp3", kThreeSeconds, TagBlock("Server Alpha")}}, 1);
    StartClient({{"alpha.mp3", TagBlock("Alpha", "Kitchen Band")}}, "ALPHA.MP3\r\n");
    {
        Peer den;
        ASSERT_TRUE(den.Connect(server->port));
        ASSERT_TRUE(den.AwaitLine("SONHALL II"));
        ASSERT_TRUE(den.LogIn("DEN"));
        Click(main().SpeedButton2);
        EXPECT_FALSE(main().LocalMode) << "the connection stands until the server answers";
        dialogs.expectError("Server reached MAX number of users.");
        ASSERT_TRUE(TickUntil([&] { return dialogs.pending() == 0; })) << server->Log();
        EXPECT_TRUE(main().LocalMode);
        EXPECT_FALSE(main().SpeedButton2->isChecked());
        EXPECT_EQ(main().SpeedButton2->toolTip(), "Connect to Sonhall");
        EXPECT_FALSE(main().IdTCPClient1.connected());
        EXPECT_TRUE(main().Animate1->isHidden());
        EXPECT_FALSE(main().Animate2->isHidden());
        EXPECT_TRUE(main().Label16->isHidden());
        EXPECT_EQ(Status(1), "Disconnected from HOST: 127.0.0.1");
        EXPECT_TRUE(watcher.AwaitLine("KITCHEN has just logged in."));
        EXPECT_TRUE(watcher.AwaitLine("KITCHEN has disconnected."));
        den.Send("#LOGoff");
        ASSERT_TRUE(watcher.AwaitLine("DEN has disconnected."));
    }

    // With room again the client gets in and plays; the server's close logs it off.
    LogIn();
    EXPECT_EQ(Text(main().Label16), "02");
    Click(main().btnPlay);
    ASSERT_TRUE(TickUntil([&] { return Text(main().Label7) == "Alpha"; }, 60s)) << server->Log();
    server->process->Signal(SIGTERM);
    ASSERT_TRUE(TickUntil([&] { return main().LocalMode; }, 60s)) << server->Log();
    EXPECT_FALSE(main().SpeedButton2->isChecked());
    EXPECT_FALSE(main().Playing);
    EXPECT_EQ(Status(0), "Force Server logoff");
    EXPECT_EQ(Status(1), "Disconnected from HOST: 127.0.0.1");
    EXPECT_EQ(Status(2), "STOP");
    EXPECT_TRUE(Lit(main().Panel3));
    EXPECT_FALSE(main().SpeedButton5->isHidden());
    EXPECT_TRUE(watcher.AwaitLine("#LOGoff"));
    EXPECT_EQ(server->process->WaitForExit(60s), 0) << server->Log();
}

TEST_F(ServerE2eTest, AKilledServerEndsTheTickWithAnErrorAndTheClientStaysUsable) {
    StartServer({{"alpha.mp3", kTwoSeconds, TagBlock("Server Alpha")}}, 1);
    StartClient({{"alpha.mp3", TagBlock("Alpha")}});
    LogIn();
    dialogs.expectError();
    server->process->Signal(SIGKILL);
    ASSERT_TRUE(TickUntil([&] { return dialogs.pending() == 0; }));
    const std::string error = dialogs.shown().back().text;
    EXPECT_NE(error.find("127.0.0.1"), std::string::npos) << error;
    // The mode and the button stay; the timer stays off until the user acts.
    EXPECT_FALSE(main().LocalMode);
    EXPECT_TRUE(main().SpeedButton2->isChecked());
    EXPECT_FALSE(main().Timer1->Enabled());
    EXPECT_FALSE(main().IdTCPClient1.connected());
    // Gone for good, its listener with it: a dying process may still hold it a moment.
    server->process->WaitForExit(30s);
    ASSERT_FALSE(server->process->started());

    Click(main().SpeedButton2);  // up: a disconnect
    EXPECT_TRUE(main().LocalMode);
    EXPECT_FALSE(main().SpeedButton2->isChecked());
    EXPECT_EQ(main().SpeedButton2->toolTip(), "Connect to Sonhall");
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Status(1), "Disconnected from HOST: 127.0.0.1");

    dialogs.expectMessage(
        "Error while trying to connect to HOST: 127.0.0.1\r\nIs the Server ACTIVE?");
    Click(main().SpeedButton2);
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_TRUE(main().LocalMode);
    EXPECT_FALSE(main().SpeedButton2->isChecked());
    EXPECT_EQ(Status(0), "Failed...");
}

TEST_F(ServerE2eTest, AServerKilledAndStartedAgainWhileTheClientPlaysFillsItsQueueAgain) {
    std::vector<ServerSong> serverSongs;
    std::vector<LocalSong> localSongs;
    std::string queue;
    for (const char* name : {"song_a.mp3", "song_b.mp3", "song_c.mp3", "song_d.mp3"}) {
        serverSongs.push_back({name, kThreeSeconds, TagBlock("Server")});
        localSongs.push_back({name, TagBlock(std::string("Kitchen ") + name)});
        queue += UpperCase(name) + "\r\n";
    }
    StartServer(serverSongs, 1);
    StartClient(localSongs, queue);
    LogIn();
    Click(main().btnPlay);
    ASSERT_TRUE(TickUntil([&] { return Text(main().Label7).starts_with("Kitchen "); }, 60s))
        << server->Log();

    // It dies while the client's question for room is out: held first, so that nothing it
    // still answers comes between, then killed.
    server->process->Signal(SIGSTOP);
    int quietTicks = 0;  // ticks that read nothing, in a row
    int lastIdle = main().IdleTicks;
    ASSERT_TRUE(TickUntil([&] {
        quietTicks = main().IdleTicks != lastIdle ? quietTicks + 1 : 0;
        lastIdle = main().IdleTicks;
        return quietTicks >= 3;
    }));
    if (!main().CisPending) {
        Click(main().btnStop);
        Click(main().btnPlay);
    }
    ASSERT_TRUE(main().CisPending);
    dialogs.expectError();
    server->process->Signal(SIGKILL);
    ASSERT_TRUE(TickUntil([&] { return dialogs.pending() == 0; }));
    EXPECT_FALSE(main().CisPending);
    EXPECT_TRUE(main().Playing);

    server->Restart();
    Peer den;
    ASSERT_TRUE(testing_support::WaitUntil([&] { return den.Connect(server->port); }, 90s))
        << server->Log();
    ASSERT_TRUE(den.AwaitLine("SONHALL II")) << server->Log();
    ASSERT_TRUE(den.LogIn("DEN")) << server->Log();
    ASSERT_EQ(den.Info().substr(13, 2), "00") << "the new server's queue starts empty";

    // The user's button: up, then down again.
    Click(main().SpeedButton2);
    ASSERT_TRUE(main().LocalMode);
    const size_t before = ReplyCount();
    Click(main().SpeedButton2);
    ASSERT_FALSE(main().LocalMode);
    ASSERT_TRUE(TickUntil(
        [&] {
            const std::vector<std::string> r = Replies();
            return std::any_of(r.begin() + static_cast<std::ptrdiff_t>(before), r.end(),
                               [](const std::string& x) { return x.starts_with("FIL ACK"); });
        },
        60s))
        << server->Log();
    EXPECT_TRUE(testing_support::WaitUntil(
        [&] { return !den.Ask("#PLY?", "#PLY").starts_with("#PLY@"); }, 30s))
        << "the server plays the client's song\n"
        << server->Log();
}

// The watcher asks the server to rescan a large library whenever it finds the server idle, for
// over a minute, while the client plays short songs: whatever the rescans answered in the
// server's place, the server queues each song of the client's queue once and in queue order,
// plays them so, and the client's submission goes on after each rescan.
TEST_F(ServerE2eTest, AnotherClientsRescansNeitherLoseNorRepeatASong) {
    std::vector<ServerSong> serverSongs;
    std::vector<LocalSong> localSongs;
    std::vector<std::string> names;
    std::string queue;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "song_" + std::string(1, static_cast<char>('a' + i)) + ".mp3";
        serverSongs.push_back({name, i % 2 ? kTwoSeconds : kOneAndAHalf, TagBlock("Server")});
        localSongs.push_back({name, TagBlock("Kitchen " + name)});
        names.push_back(UpperCase(name));
        queue += UpperCase(name) + "\r\n";
    }
    StartServer(serverSongs, 1, 25000);
    StartClient(localSongs, queue);
    LogIn();
    Click(main().btnPlay);

    const auto queuedSongs = [&] {
        std::vector<std::string> out;
        for (const std::string& r : Replies())
            if (r.starts_with("FIL"))
                out.push_back(r);
        return out;
    };
    enum class Rescan { Watching, Asked, Running };
    Rescan rescan = Rescan::Watching;
    int rescans = 0;
    bool polling = false;      // the watcher's "#PLY?" is out
    bool awaitResume = false;  // a rescan ended; the client has not submitted since
    size_t queuedAtEnd = 0;
    std::vector<std::string> played;  // the songs the watcher saw the server start, in turn
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto nextTick = start;
    auto nextPoll = start;
    auto resumeBy = start;
    for (;;) {
        const auto now = Clock::now();
        const bool longEnough = now - start > 60s && rescans >= 3;
        if (longEnough && rescan == Rescan::Watching && !awaitResume)
            break;
        ASSERT_LT(now - start, 200s) << rescans << " rescans\n" << server->Log();
        // The client's timer, at its own pace. While the watcher waits for the server to run
        // dry the client holds its lines, as during a local scan, so the rescan comes while
        // the client has its questions out.
        const bool held = !longEnough && !awaitResume && rescan != Rescan::Running;
        if (!held && now >= nextTick) {
            Tick();
            nextTick = now + 500ms;
            if (awaitResume && queuedSongs().size() > queuedAtEnd)
                awaitResume = false;
            ASSERT_TRUE(!awaitResume || now < resumeBy)
                << "no song submitted after rescan " << rescans << "\n"
                << server->Log();
        }
        if (rescan == Rescan::Watching && !polling && !longEnough && now >= nextPoll) {
            watcher.Send("#PLY?");
            polling = true;
            nextPoll = now + 100ms;
        }
        // What the server told the watcher.
        while (const std::optional<std::string> line = watcher.Next(5ms)) {
            if (line->starts_with("#PLY")) {
                polling = false;
                const size_t star = line->find('*');
                const size_t colon = line->find(':', star);
                if (line->starts_with("#PLY@")) {
                    // Idle: the moment for a rescan, once the client submitted since the last.
                    if (!awaitResume && !longEnough && rescan == Rescan::Watching) {
                        watcher.Send("#SCN");
                        rescan = Rescan::Asked;
                    }
                } else if (star != std::string::npos && colon != std::string::npos) {
                    const std::string file = UpperCase(line->substr(star + 1, colon - star - 1));
                    if (played.empty() || played.back() != file)
                        played.push_back(file);
                }
            } else if (*line == "#SCNnak") {
                rescan = Rescan::Watching;
            } else if (*line == kv::kRescanStarted) {
                rescan = Rescan::Running;
            } else if (line->starts_with("#SCNDONE")) {
                rescan = Rescan::Watching;
                ++rescans;
                awaitResume = true;
                queuedAtEnd = queuedSongs().size();
                resumeBy = Clock::now() + 60s;
            }
        }
        QCoreApplication::processEvents();
    }
    Click(main().btnStop);

    const std::vector<std::string> queued = queuedSongs();
    ASSERT_GT(queued.size(), 6u);
    for (size_t i = 0; i < queued.size(); ++i)
        EXPECT_EQ(queued[i], "FIL ACK" + names[i % names.size()]) << i;
    // The server plays what it queued, in that order; the last may not have started yet.
    ASSERT_GE(played.size() + 2, queued.size());
    for (size_t i = 0; i < played.size(); ++i)
        EXPECT_EQ(played[i], names[i % names.size()]) << i;
    // The rescans did answer for the server: the client heard their progress.
    const std::vector<std::string> replies = Replies();
    EXPECT_GT(std::count_if(replies.begin(), replies.end(),
                            [](const std::string& r) { return r.starts_with("SCN READING"); }),
              0);
    EXPECT_GE(rescans, 3);
}

}  // namespace
}  // namespace client_testing
