// The client side of the line protocol against a scripted server on a real socket:
// connecting, the idle polls, each reply, the rescan button, the messages window and the
// failures of a tick.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>

#include "client/data_module.h"
#include "client/setup_window.h"
#include "client/volume_bar.h"
#include "client/windows/server_messages_window.h"
#include "common/line_protocol.h"
#include "common/text_helpers.h"
#include "platform/qt/clock_texts.h"
#include "platform/qt/text_edge.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/spin_edit.h"
#include "platform/widgets/status_panels.h"
#include "tests/client/selection_fixture.h"
#include "tests/support/mp3_fixtures.h"
#include "tests/support/socket_peers.h"

namespace client_testing {
namespace {

using namespace std::chrono_literals;

class ProtocolTest : public SelectionTest {
  protected:
    void SetUp() override {
        SelectionTest::SetUp();
        setup().Edit1->setText("kitchen");
        setup().Edit3->setText("127.0.0.1");
        setup().SpinEdit1->SetValue(server->port());
        // As a scan that found songs leaves them.
        main().Panel2->setEnabled(true);
        main().pnlButtons->setEnabled(true);
    }

    // The user's click on the connect button.
    void ClickConnect(bool down) {
        main().SpeedButton2->setChecked(down);
        main().SpeedButton2Click();
    }
    void Connect() {
        ClickConnect(true);
        ASSERT_TRUE(main().IdTCPClient1.connected());
        peer = server->accept();
        ASSERT_EQ(peer.receiveLine(), ">>>KITCHEN\r\n");
    }
    // A song of the library whose file exists.
    std::string Song(std::string_view title, std::string_view artist = "Artist") {
        const std::string name = "SONG" + std::to_string(main().SongLibrary.size() + 1) + ".MP3";
        dir.write(name, "mp3 bytes");
        return AddSong(dir / name, title, artist);
    }
    void Line(std::string_view line) { main().HandleServerLine(line); }
    // The server's line as the next tick reads it.
    void Tick(std::string_view line) {
        ASSERT_TRUE(peer.send(std::string(line) + "\r\n"));
        main().Timer1->OnTimer();
    }
    // What the client sent next; the tick after a reply is idle and polls, so the line a
    // test looks for may come after a "#PLY?".
    std::string Sent() { return peer.receiveLine(2s); }
    std::string Status(int panel) { return main().StatusBar1->Text(panel); }
    static bool Lit(QFrame* lamp) {
        return lamp->palette().color(QPalette::Window) == QColor(0, 255, 0);
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> out;
        const QListWidget& box = *forms().aServer->ListBox1;
        for (int i = 0; i < box.count(); ++i)
            out.push_back(box.item(i)->text().toStdString());
        return out;
    }
    const sonpad::ClientForms& forms() { return program->forms(); }

    std::unique_ptr<testing_support::RawListener> server =
        testing_support::ListenerInSettingsRange();
    testing_support::RawSocket peer;
};

TEST_F(ProtocolTest, ConnectRefusalsAndFailureStayInLocalPlayerMode) {
    struct Case {
        const char* name;
        const char* clientName;
        const char* address;
        bool songOpen;
        bool listening;
        const char* message;
    };
    const int unused = testing_support::FreePort();
    for (const Case& c : {
             Case{"a song plays here", "kitchen", "127.0.0.1", true, true,
                  "Please stop current song that is playing"},
             Case{"no name", "", "127.0.0.1", false, true,
                  "You need a Client Name and the Server IP address to connect."},
             Case{"no address", "kitchen", "", false, true,
                  "You need a Client Name and the Server IP address to connect."},
             Case{"nothing listens", "kitchen", "127.0.0.1", false, false,
                  "Error while trying to connect to HOST: 127.0.0.1\r\nIs the Server ACTIVE?"},
         }) {
        setup().Edit1->setText(c.clientName);
        setup().Edit3->setText(c.address);
        setup().SpinEdit1->SetValue(c.listening ? server->port() : unused);
        main().LocalSongOpen = c.songOpen;
        main().StatusBar1->SetText(0, "");
        dialogs.expectMessage(c.message);
        ClickConnect(true);
        EXPECT_EQ(dialogs.pending(), 0u) << c.name;
        EXPECT_TRUE(main().LocalMode) << c.name;
        EXPECT_FALSE(main().SpeedButton2->isChecked()) << c.name;
        EXPECT_FALSE(main().IdTCPClient1.connected()) << c.name;
        EXPECT_EQ(main().SpeedButton2->toolTip(), "Connect to Sonhall") << c.name;
        EXPECT_EQ(Status(0), c.listening ? "" : "Failed...") << c.name;
        EXPECT_FALSE(main().Animate2->isHidden()) << c.name;
        EXPECT_TRUE(main().Label16->isHidden()) << c.name;
    }
}

TEST_F(ProtocolTest, ConnectLogsInAndDisconnectLogsOff) {
    // Blanks count as a name; the log-in line carries the name as typed.
    setup().Edit1->setText("  ");
    ClickConnect(true);
    peer = server->accept();
    EXPECT_EQ(peer.receiveLine(), ">>>  \r\n");
    EXPECT_FALSE(main().LocalMode);
    EXPECT_TRUE(main().SpeedButton2->isChecked());
    EXPECT_EQ(main().SpeedButton2->toolTip(), "Disconnect from Sonhall");
    EXPECT_EQ(Status(0), "CONNECTED 127.0.0.1");
    EXPECT_EQ(main().Timer1->Interval(), 500);
    EXPECT_TRUE(main().Timer1->Enabled());
    EXPECT_FALSE(main().Animate1->isHidden());
    EXPECT_TRUE(main().Animate2->isHidden());
    for (QLabel* label : {main().Label16, main().Label17, main().Label18, main().Label19,
                          main().Label20, main().Label21})
        EXPECT_FALSE(label->isHidden());

    main().Playing = true;
    ClickConnect(false);
    EXPECT_EQ(peer.receiveLine(), "#LOGoff\r\n");
    EXPECT_TRUE(peer.waitClosed());
    EXPECT_TRUE(main().LocalMode);
    EXPECT_TRUE(main().Playing) << "the queue goes on here";
    EXPECT_EQ(main().Timer1->Interval(), 1000);
    EXPECT_TRUE(main().Timer1->Enabled()) << "the timer's state stays";
    EXPECT_EQ(Status(0), "");
    EXPECT_EQ(Status(1), "Disconnected from HOST: 127.0.0.1");
    EXPECT_EQ(Status(2), "");
    EXPECT_EQ(main().SpeedButton2->toolTip(), "Connect to Sonhall");
    EXPECT_TRUE(main().Animate1->isHidden());
    EXPECT_TRUE(main().Label16->isHidden());
}

TEST_F(ProtocolTest, TheConfigurationButtonOpensAndClosesTheWindow) {
    main().SpeedButton3Click();
    EXPECT_TRUE(setup().isVisible());
    EXPECT_FALSE(setup().isModal());
    main().SpeedButton3Click();
    EXPECT_FALSE(setup().isVisible());
    EXPECT_TRUE(ConfigExists()) << "its close saves the settings";
}

TEST_F(ProtocolTest, TheConfigurationSavedWhileConnectedKeepsClientMode) {
    setup().PlayHere = true;
    Connect();
    setup().SaveConfig();  // saving reloads the settings
    EXPECT_FALSE(main().LocalMode);
    ClickConnect(false);
    setup().SaveConfig();
    EXPECT_TRUE(main().LocalMode);
}

TEST_F(ProtocolTest, IdleTicksPollAndTheLogInAnswerAsksForTheServersFigures) {
    Connect();
    main().Timer1->OnTimer();
    EXPECT_EQ(Sent(), "#PLY?\r\n");
    Tick("#LOGack");
    EXPECT_EQ(Sent(), "#INI?\r\n");
    EXPECT_FALSE(main().RequestInFlight) << "the log-in answer leaves the flag alone";
    Tick("#INI327670200012303");
    EXPECT_EQ(main().Label16->text(), "02");
    EXPECT_EQ(main().Label17->text(), "000123");
    EXPECT_EQ(main().Label18->text(), "03");
    EXPECT_EQ(main().TrackBar1->value(), 32767);
    // Lines that came together are worked off one a tick: no poll goes out meanwhile.
    ASSERT_TRUE(peer.send("#CISnak\r\n#FILack\r\n"));
    main().Timer1->OnTimer();
    main().Timer1->OnTimer();
    main().Timer1->OnTimer();
    EXPECT_EQ(Sent(), "#PLY?\r\n") << "and no \"#VOL\" for the bar the reply moved";
}

TEST_F(ProtocolTest, PlayStatusRepliesFillTheDisplayFromTheLocalLibrary) {
    Song("Alpha", "Abba");
    Connect();
    Line("#PLY0000071000!250000*SONG1.MP3:4000000$");
    EXPECT_EQ(main().CurrentSongId, "000007");
    EXPECT_EQ(main().CurrentFileName, "SONG1.MP3");
    EXPECT_EQ(main().Label7->text(), "Alpha");
    EXPECT_EQ(main().Label8->text(), "Abba");
    EXPECT_EQ(main().Label10->text(), "Album");
    EXPECT_EQ(main().Label24->text(), "129 kbit");
    EXPECT_EQ(main().Label15->text(), "-04:09");

    // The same song: only the position, whatever the rest says.
    Line("#PLY000007125000!1*OTHER.MP3:5$");
    EXPECT_EQ(main().CurrentPosition, 125000);
    EXPECT_EQ(main().CurrentLength, 250000);
    EXPECT_EQ(main().CurrentFileName, "SONG1.MP3");
    EXPECT_EQ(main().Label15->text(), "-02:05");
    EXPECT_EQ(main().PercentText, "50");

    Line("#PLY@0!0*:0$");
    EXPECT_TRUE(main().Label7->text().isEmpty());
    EXPECT_EQ(main().CurrentSongId, "000007");

    // A song the library does not hold: titled by its file name, nothing of the one before.
    Line("#ply0000080!2000*unknown song.mp3:16508$");
    EXPECT_EQ(main().Label7->text(), "UNKNOWN SONG");
    EXPECT_TRUE(main().Label8->text().isEmpty());
    EXPECT_EQ(main().Label24->text(), "67 kbit");

    // Figures at the ends of their range are shown, not overflowed.
    Line("#PLY000009-1!2147483647*X.MP3:1$");
    EXPECT_EQ(main().CurrentPosition, -1);
}

TEST_F(ProtocolTest, SongInformationRewritesTheUntaggedRecordItWasAskedFor) {
    Song("Tagged");
    Song("");
    const std::string second = Song("");
    main().SongInfoRequests = {kv::SongInfoRequestEntry(1, "SONG2.MP3"),
                               kv::SongInfoRequestEntry(2, "SONG3.MP3")};
    const std::string before = main().SongLibrary[1];
    Connect();

    // The server's record: its own number, the tag columns, its own path.
    kv::SongFields f;
    f.title = "SERVER TITLE";
    f.artist = "SERVER ARTIST";
    f.album = "SERVER ALBUM";
    f.genre = "017";
    f.year = "2001";
    f.comment = "SERVER NOTE";
    f.path = "/SRV/MUSIC/SONG3.MP3";
    const std::string serverRecord = kv::BuildSongRecord(42, f);
    // Answers for the second request come first; each takes out the one it names.
    Line(kv::SongInfoReply("000002", serverRecord));
    EXPECT_EQ(main().SongInfoRequests, std::vector<std::string>{"000001SONG2.MP3"});
    const std::string& record = main().SongLibrary[2];
    EXPECT_EQ(record.substr(0, 6), second);
    EXPECT_EQ(record.substr(6, 127), serverRecord.substr(6, 127));
    EXPECT_EQ(record.substr(133), dir / "SONG3.MP3");
    EXPECT_EQ(Status(1), "#SIF updated.");
    EXPECT_EQ(main().CurrentSongId, "XxX");
    EXPECT_EQ(main().CurrentFileSize, 0);

    // Answers that fit no request change nothing: another file, an index past the library,
    // a request already answered.
    for (const std::string& stale :
         {kv::SongInfoReply("000001", serverRecord), kv::SongInfoReply("000099", serverRecord),
          kv::SongInfoReply("000002", serverRecord)}) {
        main().StatusBar1->SetText(1, "");
        Line(stale);
        EXPECT_EQ(main().SongInfoRequests.size(), 1u) << stale;
        EXPECT_EQ(main().SongLibrary[1], before) << stale;
        EXPECT_EQ(Status(1), "") << stale;
    }
}

TEST_F(ProtocolTest, AnUnansweredSongInformationRequestGoesToTheEnd) {
    Song("");
    Song("");
    main().SongInfoRequests = {"000000SONG1.MP3", "000001SONG2.MP3"};
    Connect();
    const auto idleRound = [&] {
        std::string sif;
        for (int i = 0; i < 20; ++i) {
            main().Timer1->OnTimer();
            const std::string line = Sent();
            if (line.starts_with("#SIF"))
                sif = line;
        }
        return sif;
    };
    EXPECT_EQ(idleRound(), "#SIF000000SONG1.MP3\r\n");
    EXPECT_EQ(Status(1), "#SIF requested.");
    Tick("#INI000000100000001");  // the round's "#INI?" answered; the "#SIF" never is
    EXPECT_EQ(idleRound(), "#SIF000001SONG2.MP3\r\n");
    EXPECT_EQ(main().SongInfoRequests,
              (std::vector<std::string>{"000001SONG2.MP3", "000000SONG1.MP3"}));
}

TEST_F(ProtocolTest, ServerInfoMovesTheBarWithoutAnEchoAndZeroMutes) {
    Connect();
    main().TrackBar1->setValue(5000);
    EXPECT_EQ(Sent(), "#VOL5000\r\n");
    main().RequestInFlight = true;
    Line("#INI000000100000001");
    EXPECT_FALSE(main().RequestInFlight);
    EXPECT_EQ(main().TrackBar1->value(), 0);
    EXPECT_TRUE(main().SpeedButton4->isChecked());
    EXPECT_TRUE(main().SendVolume);
    main().TrackBar1->setValue(1234);  // the user's move goes out
    EXPECT_EQ(Sent(), "#VOL1234\r\n");
}

// The blanks a file name starts with are its own: " lead.mp3" goes out with its blank, beside
// "lead.mp3" without one.
TEST_F(ProtocolTest, TheSubmittedFileNameKeepsTheBlanksItStartsWith) {
    const std::string blank = AddSong(dir / " LEAD.MP3", "Blank");
    const std::string plain = AddSong(dir / "LEAD.MP3", "Plain");
    dm().AddSongToQue(blank);
    dm().AddSongToQue(plain);
    Connect();
    main().btnPlayClick();
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    Line("#CISack");
    EXPECT_EQ(Sent(), "#FIL LEAD.MP3\r\n");
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    Line("#CISack");
    EXPECT_EQ(Sent(), "#FILLEAD.MP3\r\n");
}

TEST_F(ProtocolTest, QueueRoomAnswersSubmitTheQueueUntilTheServerIsFull) {
    const std::string a = Song("Alpha"), b = Song("Beta");
    dm().AddSongToQue(a);
    dm().AddSongToQue(b);
    Connect();
    main().btnPlayClick();
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    Line("#CISack");
    EXPECT_EQ(Sent(), "#FILSONG1.MP3\r\n");
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    EXPECT_TRUE(main().CisPending);
    Line("#FILnakSONG1.MP3");
    EXPECT_EQ(Status(1), "REJECTED: SONG1.MP3");
    Line("#CISnak");
    EXPECT_FALSE(main().CisPending);
    // The server wants more: asked again, once.
    Line("#AVL");
    Line("#AVL");
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    Line("#CISnak");
    // While a rescan waits, nobody asks.
    main().RescanPending = true;
    Line("#AVL");
    main().RescanPending = false;
    Line("#COMNEXT");
    main().Timer1->OnTimer();
    EXPECT_EQ(Sent(), "#PLY?\r\n");

    // The last entry submitted with the queue set to lose played songs: play stops, and no
    // further question goes out, or the server's answers would leave no tick idle.
    main().cbRemoveSong->setChecked(true);
    main().ListView1->clear();
    dm().AddSongToQue(a);
    Line("#CISack");
    EXPECT_EQ(Sent(), "#FILSONG1.MP3\r\n");
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    EXPECT_EQ(main().ListView1->topLevelItemCount(), 1) << "until the server answered";
    Line("#FILackSONG1.MP3");
    Line("#CISack");
    EXPECT_FALSE(main().Playing);
    main().Timer1->OnTimer();
    EXPECT_EQ(Sent(), "#PLY?\r\n");

    main().btnPlayClick();
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    Line("#AVL");
    EXPECT_FALSE(main().Playing);
    EXPECT_EQ(Status(1), "There are no songs selected.");
    EXPECT_EQ(Status(2), "STOP");
    main().StatusBar1->SetText(1, "");
    Line("#AVL");  // not playing: nothing
    EXPECT_EQ(Status(1), "");
}

TEST_F(ProtocolTest, TheSkipIsConfirmedByTheServer) {
    Connect();
    dm().AddSongToQue(Song("Alpha"));
    main().btnPlayClick();
    main().btnNextClick();
    EXPECT_TRUE(Lit(main().Panel5));
    EXPECT_FALSE(main().btnNext->isEnabled());
    Line("#COMnext");
    EXPECT_TRUE(Lit(main().Panel4));
    EXPECT_FALSE(Lit(main().Panel5));
    EXPECT_TRUE(main().btnNext->isEnabled());
}

TEST_F(ProtocolTest, RescanButtonInBothModes) {
    // Here: the local scan, the button up again at its end.
    main().SpeedButton5->setChecked(true);
    main().SpeedButton5Click();
    EXPECT_FALSE(main().SpeedButton5->isChecked());
    EXPECT_FALSE(main().RescanPending);
    EXPECT_EQ(Status(1), "Re-Scan directory completed.");

    Connect();
    main().SpeedButton5->setChecked(true);
    main().SpeedButton5Click();
    EXPECT_EQ(Sent(), "#SCN\r\n");
    EXPECT_EQ(Status(1),
              platform::LongTimeText(now.time()) + " Server RE-SCAN request sent to server.");
    // A second press while it is pending: the button stays down, nothing goes out.
    main().SpeedButton5->setChecked(false);
    main().SpeedButton5Click();
    EXPECT_TRUE(main().SpeedButton5->isChecked());

    struct Step {
        const char* line;
        const char* status;
        bool pending;
    };
    for (const Step& s : {Step{"#SCNServer Re-Scan request initiated...",
                               "SERVER RE-SCAN REQUEST INITIATED...", true},
                          Step{"#SCN  Scanning /music  ", "SCANNING /MUSIC", true},
                          Step{"#SCNDONE 120 songs found.", " 120 SONGS FOUND.", false}}) {
        Line(s.line);
        EXPECT_EQ(Status(1), s.status) << s.line;
        EXPECT_EQ(main().RescanPending, s.pending) << s.line;
        EXPECT_EQ(main().SpeedButton5->isChecked(), s.pending) << s.line;
    }
    main().SpeedButton5->setChecked(true);
    main().SpeedButton5Click();
    EXPECT_EQ(Sent(), "#SCN\r\n");
    Line("#SCNnak");
    EXPECT_EQ(Status(1), "Re-Scan request denied...");
    EXPECT_FALSE(main().SpeedButton5->isChecked());
    EXPECT_FALSE(main().RescanPending);
}

TEST_F(ProtocolTest, TheServerLogsEveryoneOffOrIsFull) {
    Connect();
    dm().AddSongToQue(Song("Alpha"));
    main().btnPlayClick();
    Line("#LOGoff");
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
    EXPECT_EQ(Sent(), "#LOGoff\r\n");
    EXPECT_FALSE(main().IdTCPClient1.connected());
    EXPECT_TRUE(main().LocalMode);
    EXPECT_FALSE(main().Playing);
    EXPECT_TRUE(Lit(main().Panel3));
    EXPECT_EQ(Status(0), "Force Server logoff");
    EXPECT_FALSE(main().SpeedButton2->isChecked());

    Connect();
    dialogs.expectError("Server reached MAX number of users.");
    Line("#LOGmax");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(Sent(), "#LOGoff\r\n");
    EXPECT_TRUE(main().LocalMode);
    EXPECT_FALSE(main().SpeedButton2->isChecked());
    EXPECT_TRUE(main().Label16->isHidden());
}

TEST_F(ProtocolTest, TheMessagesWindowKeepsOnlyWhatCameWhileItWasShown) {
    Connect();
    Line("Lost while hidden");
    main().ShowServerMessages1->trigger();
    EXPECT_TRUE(forms().aServer->isVisible());
    EXPECT_TRUE(main().ShowServerMessages1->isChecked());
    Line("SONHALL II");
    Line("DEN: hello: there ");
    Line("#ply@0!0*:0$");
    const std::string time = platform::LongTimeText(now.time());
    EXPECT_EQ(Messages(), (std::vector<std::string>{time + ": [PLY] \"@0!0*:0$\"", "SONHALL II",
                                                    "HELLO: THERE"}));
    // Its own close box hides it and takes the mark away; the lines stay.
    forms().aServer->close();
    EXPECT_FALSE(main().ShowServerMessages1->isChecked());
    Line("Lost again");
    main().ShowServerMessages1->trigger();
    EXPECT_EQ(Messages().size(), 3u);
    main().ShowServerMessages1->trigger();
    EXPECT_FALSE(forms().aServer->isVisible());
    EXPECT_FALSE(main().ShowServerMessages1->isChecked());
}

TEST_F(ProtocolTest, ALostConnectionEndsTheTickWithAnErrorAndLeavesModeAndButton) {
    Connect();
    peer.close();
    dialogs.expectError();
    main().Timer1->OnTimer();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_FALSE(main().Timer1->Enabled()) << "until a connect or PLAY";
    EXPECT_FALSE(main().LocalMode);
    EXPECT_TRUE(main().SpeedButton2->isChecked());
    main().Timer1->OnTimer();  // no connection left: the tick does nothing

    ClickConnect(false);
    EXPECT_TRUE(main().LocalMode);
    EXPECT_EQ(Status(1), "Disconnected from HOST: 127.0.0.1");
}

// However a connection ends, what it asked and never heard back about ends with it: the next
// connection asks for room, rescans and polls as a fresh one does.
TEST_F(ProtocolTest, QuestionsLeftOpenEndWithTheirConnection) {
    const std::string a = Song("Alpha"), b = Song("Beta");
    enum class Open { Cis, Scn, Fil };
    enum class End { ServerCloses, ServerResets, UserDisconnects, LogOff, LogMax };
    for (const Open open : {Open::Cis, Open::Scn, Open::Fil}) {
        for (const End end : {End::ServerCloses, End::ServerResets, End::UserDisconnects,
                              End::LogOff, End::LogMax}) {
            SCOPED_TRACE("open " + std::to_string(static_cast<int>(open)) + ", end " +
                         std::to_string(static_cast<int>(end)));
            main().ListView1->clear();
            dm().AddSongToQue(a);
            dm().AddSongToQue(b);
            Connect();
            main().btnPlayClick();
            ASSERT_EQ(Sent(), "#CISKITCHEN\r\n");
            switch (open) {
                case Open::Cis:
                    break;
                case Open::Scn:
                    Tick("#CISnak");
                    main().SpeedButton5->setChecked(true);
                    main().SpeedButton5Click();
                    ASSERT_EQ(Sent(), "#SCN\r\n");
                    break;
                case Open::Fil:
                    Tick("#CISack");
                    ASSERT_EQ(Sent(), "#FILSONG1.MP3\r\n");
                    ASSERT_EQ(Sent(), "#CISKITCHEN\r\n");
                    break;
            }
            main().btnNextClick();  // the skip waits for the server's word
            ASSERT_EQ(Sent(), "#COMNEXT\r\n");
            main().IdleTicks = 7;
            main().RequestInFlight = true;
            switch (end) {
                case End::ServerCloses:
                case End::ServerResets:
                    if (end == End::ServerCloses)
                        peer.close();
                    else
                        peer.abort();
                    dialogs.expectError();
                    main().Timer1->OnTimer();  // the read fails
                    break;
                case End::UserDisconnects:
                    ClickConnect(false);
                    break;
                case End::LogOff:
                    Tick("#LOGoff");
                    break;
                case End::LogMax:
                    dialogs.expectError("Server reached MAX number of users.");
                    Tick("#LOGmax");
                    break;
            }
            EXPECT_EQ(dialogs.pending(), 0u);
            EXPECT_FALSE(main().IdTCPClient1.connected());
            EXPECT_FALSE(main().CisPending);
            EXPECT_FALSE(main().RescanPending);
            EXPECT_FALSE(main().SpeedButton5->isChecked());
            EXPECT_TRUE(main().btnNext->isEnabled());
            EXPECT_EQ(main().IdleTicks, 0);
            EXPECT_FALSE(main().RequestInFlight);
            if (main().SpeedButton2->isChecked())
                ClickConnect(false);  // the user's reconnect: up, then down

            Connect();
            if (!main().Playing) {
                main().btnPlayClick();
                EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
                Tick("#CISnak");
            }
            Tick("#AVL");
            EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
            Tick("#CISack");
            EXPECT_TRUE(Sent().starts_with("#FIL"));
            EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
            Tick("#CISnak");
            main().SpeedButton5->setChecked(true);
            main().SpeedButton5Click();
            EXPECT_EQ(Sent(), "#SCN\r\n");
            EXPECT_TRUE(main().SpeedButton5->isChecked());
            Tick("#SCNnak");
            main().Timer1->OnTimer();
            EXPECT_EQ(Sent(), "#PLY?\r\n") << "the first idle tick polls";

            main().btnStopClick();
            ClickConnect(false);
        }
    }

    // Back here, the rescan button scans here again.
    Connect();
    main().SpeedButton5->setChecked(true);
    main().SpeedButton5Click();
    ASSERT_EQ(Sent(), "#SCN\r\n");
    peer.close();
    dialogs.expectError();
    main().Timer1->OnTimer();
    ClickConnect(false);
    main().SpeedButton5->setChecked(true);
    main().SpeedButton5Click();
    EXPECT_EQ(Status(1), "Re-Scan directory completed.");
    EXPECT_FALSE(main().SpeedButton5->isChecked());
}

// A request that cannot go out leaves nothing pending.
TEST_F(ProtocolTest, ARescanRequestThatCannotGoOutLeavesTheButtonUp) {
    Connect();
    peer.close();
    dialogs.expectError();
    main().Timer1->OnTimer();  // the connection is gone, the mode stays
    dialogs.expectError("Not connected");
    main().SpeedButton5->click();
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_FALSE(main().RescanPending);
    EXPECT_FALSE(main().SpeedButton5->isChecked());
}

// One malformed reply of each type: skipped, its error posted, and the next tick polls as
// ever. None of them does what it seems to say.
TEST_F(ProtocolTest, AnUnreadableReplyIsSkippedAndTheTickGoesOn) {
    using namespace std::string_literals;
    dm().AddSongToQue(Song("Alpha"));
    Connect();
    main().btnPlayClick();
    ASSERT_EQ(Sent(), "#CISKITCHEN\r\n");
    main().btnNextClick();
    ASSERT_EQ(Sent(), "#COMNEXT\r\n");
    main().SpeedButton5->setChecked(true);
    main().SpeedButton5Click();
    ASSERT_EQ(Sent(), "#SCN\r\n");
    struct Case {
        std::string line;
        std::string error;
    };
    const auto withNul = [](std::string_view shown) {
        return "The reply \"" + std::string(shown) + "\" holds a NUL byte";
    };
    for (const Case& c : {
             Case{"#SCN\0DONE"s, withNul("#SCN<NUL>DONE")},
             Case{"#AVL\0"s, withNul("#AVL<NUL>")},
             Case{"#CIS\0ack"s, withNul("#CIS<NUL>ack")},
             Case{"#PLY", "The reply \"#PLY\" has no \"!\""},
             Case{"#PLY000001x!1*A.MP3:1$", "'X' is not a valid integer value"},
             Case{"#PLY000002\0!1*A.MP3:1$"s, withNul("#PLY000002<NUL>!1*A.MP3:1$")},
             Case{"#FIL\0nakSONG1.MP3"s, withNul("#FIL<NUL>nakSONG1.MP3")},
             Case{"#SIFabcdef", "'ABCDEF' is not a valid integer value"},
             Case{"#INI12", "The reply \"#INI12\" is too short"},
             Case{"#INI1234x00000000000", "'1234X' is not a valid integer value"},
             Case{"#LOG\0off"s, withNul("#LOG<NUL>off")},
             Case{"#COM\0NEXT"s, withNul("#COM<NUL>NEXT")},
         }) {
        dialogs.expectPostedError(c.error);
        Tick(c.line);
        EXPECT_EQ(dialogs.pending(), 0u) << c.error;
        EXPECT_TRUE(main().Timer1->Enabled()) << c.error;
        dialogs.closeStanding();
        main().Timer1->OnTimer();
        EXPECT_EQ(Sent(), "#PLY?\r\n") << c.error;
    }
    EXPECT_TRUE(main().IdTCPClient1.connected());
    EXPECT_EQ(Status(0), "CONNECTED 127.0.0.1");
    EXPECT_TRUE(main().Playing);
    EXPECT_TRUE(main().CisPending);
    EXPECT_EQ(main().PlayedCount, 0);
    EXPECT_TRUE(main().RescanPending);
    EXPECT_TRUE(main().SpeedButton5->isChecked());
    EXPECT_FALSE(main().btnNext->isEnabled());
}

TEST_F(ProtocolTest, AServerSendingGarbageGetsOneBoxAtATimeAndTheRestCounted) {
    Connect();
    dialogs.expectPostedError("The reply \"#INI1\" is too short");
    for (int i = 0; i < 3; ++i)
        Tick("#INI1");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(dialogs.standing(), 1u);
    EXPECT_EQ(dialogs.textsOf(testing_support::FakeDialogs::Kind::Error).size(), 1u);
    EXPECT_EQ(Status(1), "Unreadable replies skipped: 2");
    EXPECT_TRUE(main().Timer1->Enabled());

    // Once the user closed it, the next one has a box of its own, and the count starts anew.
    dialogs.closeStanding();
    dialogs.expectPostedError("'X' is not a valid integer value");
    Tick("#PLY000001x!1*A.MP3:1$");
    Tick("#INI1");
    EXPECT_EQ(dialogs.pending(), 0u);
    EXPECT_EQ(dialogs.standing(), 1u);
    EXPECT_EQ(Status(1), "Unreadable replies skipped: 1");
    dialogs.closeStanding();
}

TEST_F(ProtocolTest, RoomOfferedAfterStopSubmitsNothing) {
    dm().AddSongToQue(Song("Alpha"));
    Connect();
    main().btnPlayClick();
    ASSERT_EQ(Sent(), "#CISKITCHEN\r\n");
    main().btnStopClick();
    Tick("#CISack");
    EXPECT_FALSE(main().CisPending);
    EXPECT_EQ(main().PlayedCount, 0);
    EXPECT_FALSE(sonpad::TaMain::QueueRowPlayed(main().ListView1->topLevelItem(0)));
    main().Timer1->OnTimer();
    EXPECT_EQ(Sent(), "#PLY?\r\n") << "neither \"#FIL\" nor \"#CIS\" went out";
    main().btnPlayClick();
    EXPECT_EQ(Sent(), "#CISKITCHEN\r\n");
}

// The song numbers of the two libraries are independent: neither side's song stands in for the
// other's after a change of mode.
TEST_F(ProtocolTest, EachSideShowsItsOwnSongAcrossAChangeOfConnection) {
    const std::string alpha = Song("Alpha");
    const std::string beta = Song("Beta");
    dm().AddSongToQue(beta);
    Connect();
    Line("#PLY0000011000!250000*SONG1.MP3:4000000$");
    ASSERT_EQ(main().Label7->text(), "Alpha");
    main().btnPlayClick();
    ClickConnect(false);
    main().Timer1->OnTimer();  // the queue goes on here
    ASSERT_TRUE(main().LocalSongOpen);
    ASSERT_EQ(main().CurrentSongId, beta);
    main().Timer1->OnTimer();
    EXPECT_EQ(main().Label7->text(), "Beta");

    // The server's song with the number the local one had.
    main().btnStopClick();
    Connect();
    Line("#PLY" + beta + "1000!250000*SONG1.MP3:4000000$");
    EXPECT_EQ(main().Label7->text(), "Alpha");
    EXPECT_EQ(main().CurrentLength, 250000);
}

// The test's side of the socket as a server that answers each "#" line as Sonhall2 does, and
// plays another client's rescan: from the first line that begins with `rescanFrom` on, that
// many "#" lines get "#SCNReading 1/12" instead. While it has room for this client and no
// rescan runs, it offers room with "#AVL" every second call, as an idle server each second.
class ScriptedServer {
  public:
    ScriptedServer(testing_support::RawSocket& peer, size_t room) : peer_(peer), room_(room) {}

    void RescanFrom(std::string_view prefix, int lines) {
        rescanFrom_ = prefix;
        rescanLines_ = lines;
    }
    bool Rescanning() const { return rescanning_ || rescanLines_ > 0; }
    // Answers what the client sent since the last call.
    void Serve() {
        for (;;) {
            std::string line = peer_.receiveLine(10ms);
            if (!line.ends_with("\r\n"))
                break;
            line.resize(line.size() - 2);
            sent.push_back(line);
            if (line.starts_with('#'))
                Answer(line);
        }
        if (!Rescanning() && queued.size() < room_ && ++calls_ % 2 == 0)
            Send(kv::kAvailable);
    }

    std::vector<std::string> sent;               // every line the client sent, in order
    std::vector<std::string> queued;             // the files the server queued, in order
    std::vector<std::string> scnAnswered;        // the lines the rescan answered
    std::map<std::string, std::string> records;  // upper-case file name -> the server's record
    int volume = 30000;

  private:
    void Send(std::string_view line) { ASSERT_TRUE(peer_.send(std::string(line) + "\r\n")); }
    void Answer(const std::string& line) {
        if (!rescanning_ && rescanLines_ > 0 && line.starts_with(rescanFrom_))
            rescanning_ = true;
        if (rescanning_) {
            scnAnswered.push_back(line);
            Send("#SCNReading 1/12");
            rescanning_ = --rescanLines_ > 0;
            return;
        }
        const std::string code = kv::CommandCode(line);
        const std::string arg = line.substr(4);
        if (code == "PLY") {
            Send("#PLY@0!0*:0$");
        } else if (code == "INI") {
            Send(kv::ServerInfoReply(volume, 1, 0, static_cast<std::int64_t>(queued.size())));
        } else if (code == "CIS") {
            Send(kv::QueueRoomReply(queued.size() < room_));
        } else if (code == "FIL") {
            const bool room = queued.size() < room_;
            if (room)
                queued.push_back(arg);
            Send(kv::QueueReply(room, arg));
        } else if (code == "COM") {
            Send(kv::kSkipDone);
        } else if (code == "VOL") {
            volume = std::stoi(arg);
        } else if (code == "SIF") {
            const kv::SongInfoRequest request = kv::ParseSongInfoRequest(arg);
            if (const auto record = records.find(request.fileName); record != records.end())
                Send(kv::SongInfoReply(request.index, record->second));
        } else if (code == "SCN") {
            Send(kv::kRescanRefused);
        }
    }

    testing_support::RawSocket& peer_;
    size_t room_;
    size_t calls_ = 0;
    std::string rescanFrom_;
    int rescanLines_ = 0;
    bool rescanning_ = false;
};

// Another client's rescan answers in place of the server: whatever it answered is asked or
// sent again once it is over, so each song of the queue is queued once and in order, the
// buttons come back and the user's volume reaches the server.
TEST_F(ProtocolTest, RequestsAnsweredByAnotherClientsRescanAreTakenUpAgain) {
    const std::vector<std::string> songs{Song("Alpha"), Song("Beta"), Song("Gamma"), Song("Delta")};
    Song("");  // untagged: its information is asked of the server, which holds it
    const std::vector<std::string> firstThree{"SONG1.MP3", "SONG2.MP3", "SONG3.MP3"};
    kv::SongFields f;
    f.title = "SERVER TITLE";
    f.path = "/SRV/SONG5.MP3";
    const std::string serverRecord = kv::BuildSongRecord(7, f);
    const auto count = [](const std::vector<std::string>& lines, std::string_view prefix) {
        return std::count_if(lines.begin(), lines.end(),
                             [&](const std::string& l) { return l.starts_with(prefix); });
    };
    struct Case {
        const char* name;
        std::function<void()> ask;  // what makes the client ask
        const char* rescanFrom;
        int rescanLines;
        std::vector<std::string> queued;  // what the server has queued at the end
        std::ptrdiff_t volumeLines;       // "#VOL" lines sent
        std::function<bool(const ScriptedServer&)> done;
    };
    const auto play = [&] { main().btnPlayClick(); };
    const auto queuedAll = [&](const ScriptedServer& s) { return s.queued == firstThree; };
    for (const Case& c : {
             Case{"room asked", play, "#CIS", 1, firstThree, 0, queuedAll},
             Case{"a song submitted", play, "#FIL", 1, firstThree, 0, queuedAll},
             Case{"a song submitted and the room asked", play, "#FIL", 3, firstThree, 0, queuedAll},
             Case{"room asked after a volume the server took",
                  [&] {
                      main().TrackBar1->setValue(1234);
                      play();
                  },
                  "#CIS", 1, firstThree, 1, queuedAll},
             Case{"a volume and the room asked after it",
                  [&] {
                      main().TrackBar1->setValue(1234);
                      play();
                  },
                  "#VOL", 2, firstThree, 2,
                  [&](const ScriptedServer& s) { return queuedAll(s) && s.volume == 1234; }},
             Case{"the skip",
                  [&] {
                      play();
                      main().btnNextClick();
                  },
                  "#COMNEXT", 1, firstThree, 0,
                  [&](const ScriptedServer& s) {
                      return queuedAll(s) && main().btnNext->isEnabled();
                  }},
             Case{"the song information",
                  [] {},
                  "#SIF",
                  1,
                  {},
                  0,
                  [&](const ScriptedServer&) { return main().SongInfoRequests.empty(); }},
             Case{"this client's own rescan",
                  [&] {
                      main().SpeedButton5->setChecked(true);
                      main().SpeedButton5Click();
                  },
                  "#SCN",
                  1,
                  {},
                  0,
                  [&](const ScriptedServer&) { return !main().SpeedButton5->isChecked(); }},
         }) {
        SCOPED_TRACE(c.name);
        main().ListView1->clear();
        for (const std::string& song : songs)
            dm().AddSongToQue(song);
        main().SongInfoRequests = {kv::SongInfoRequestEntry(4, "SONG5.MP3")};
        main().IdleTicks = 0;
        main().RequestInFlight = false;
        main().SendVolume = false;
        main().TrackBar1->setValue(30000);
        main().SendVolume = true;
        Connect();
        ScriptedServer server(peer, 3);
        server.records["SONG5.MP3"] = serverRecord;
        server.RescanFrom(c.rescanFrom, c.rescanLines);
        c.ask();
        const auto end = std::chrono::steady_clock::now() + 60s;
        while (server.Rescanning() || !c.done(server)) {
            if (std::chrono::steady_clock::now() > end) {
                ADD_FAILURE() << "never done; sent: " << testing::PrintToString(server.sent);
                break;
            }
            server.Serve();
            main().Timer1->OnTimer();
        }
        EXPECT_TRUE(!server.scnAnswered.empty() &&
                    server.scnAnswered.front().starts_with(c.rescanFrom));
        // A while more: nothing further goes out twice.
        for (int i = 0; i < 30; ++i) {
            server.Serve();
            main().Timer1->OnTimer();
        }
        EXPECT_EQ(server.queued, c.queued) << testing::PrintToString(server.sent);
        // Every "#FIL" the server answered itself queued a song: none came twice, none late.
        EXPECT_EQ(count(server.sent, "#FIL") - count(server.scnAnswered, "#FIL"),
                  static_cast<std::ptrdiff_t>(c.queued.size()))
            << testing::PrintToString(server.sent);
        EXPECT_FALSE(main().CisPending);
        EXPECT_FALSE(main().RescanPending);
        EXPECT_TRUE(main().btnNext->isEnabled());
        EXPECT_EQ(server.volume, main().TrackBar1->value());
        EXPECT_EQ(count(server.sent, "#VOL"), c.volumeLines) << "the user's volume reaches it";
        if (std::string_view(c.rescanFrom) == "#SIF") {
            EXPECT_EQ(count(server.sent, "#SIF"), 2) << "asked once more";
            EXPECT_EQ(main().SongLibrary[4].substr(6, 12), "SERVER TITLE");
        }
        main().btnStopClick();
        ClickConnect(false);
    }
}

// A song whose "#FIL" another client's rescan answered stays the queue's: it goes out again
// only while the queue still holds it as its next song, and whatever the user did to the
// queue meanwhile decides what the server gets. A connection's end puts it back at its place.
TEST_F(ProtocolTest, ASongTheRescanAnsweredGoesAgainOnlyWhileTheQueueHoldsIt) {
    const std::string tone =
        testing_support::readFile(testing_support::FixtureMp3("tone_22k_mono_1500ms.mp3"));
    const auto writeSong = [&](int n) {
        const std::string title = "Title " + std::to_string(n);
        dir.write("music/song" + std::to_string(n) + ".mp3",
                  tone + testing_support::TagBlock(title, "Artist"));
    };
    const auto scan = [&] {
        setup().ListBox1->clear();
        setup().ListBox1->addItem(platform::fileName(Entry("music")));
        setup().ScanLocalSongs();
    };
    const auto queueLibrary = [&](size_t from, size_t to) {
        for (size_t i = from; i < to && i < main().SongLibrary.size(); ++i)
            dm().AddSongToQue(dm().GetSongNo(static_cast<int>(i)));
    };
    const auto clearQueue = [&] {
        dialogs.expectConfirm(true, "Clear Song Que?");
        main().btnClearQueClick();
    };
    const std::string lists = dir.mkdir("lists");
    dir.write("lists/MINE.PLY", "song3.mp3\r\nsong1.mp3\r\n");
    setup().Edit2->setText(platform::fileName(lists.back() == '/' ? lists : lists + "/"));

    struct Case {
        const char* name;
        std::function<void()> act;        // between the replaced "#FIL" and the next room
        std::vector<std::string> queued;  // what the server queues after it
    };
    for (const Case& c : std::vector<Case>{
             {"nothing", [] {}, {"SONG1.MP3", "SONG2.MP3"}},
             {"Stop and Play",
              [&] {
                  main().btnStopClick();
                  main().btnPlayClick();
              },
              {"SONG1.MP3", "SONG2.MP3"}},
             {"the queue cleared", clearQueue, {}},
             {"its row removed",
              [&] {
                  main().ListView1->topLevelItem(0)->setSelected(true);
                  main().ListView1KeyDown(Qt::Key_Delete);
              },
              {"SONG2.MP3", "SONG3.MP3"}},
             {"a local scan without the song, then the library queued",
              [&] {
                  std::filesystem::remove(dir / "music/song1.mp3");
                  scan();
                  queueLibrary(0, 2);
              },
              {"SONG2.MP3", "SONG3.MP3"}},
             {"a list loaded in its place",
              [&] {
                  clearQueue();
                  main().ComboBox2->clear();
                  main().ComboBox2->addItem("MINE.PLY");
                  main().LoadPlaylistSelection();
                  main().btnPlaylistGoClick();
              },
              {"SONG3.MP3", "SONG1.MP3"}},
             {"disconnect and connect",
              [&] {
                  ClickConnect(false);
                  Connect();
              },
              {"SONG1.MP3", "SONG2.MP3"}},
         }) {
        SCOPED_TRACE(c.name);
        main().cbSeqPlay->setChecked(true);
        for (int n = 1; n <= 6; ++n)
            writeSong(n);
        scan();
        queueLibrary(0, 6);
        Connect();
        ScriptedServer server(peer, 2);
        server.RescanFrom("#FIL", 1);
        main().btnPlayClick();
        // Until the client has read the rescan's line in place of the first song's answer.
        for (int i = 0; i < 100 && Status(1) != "READING 1/12"; ++i) {
            server.Serve();
            main().Timer1->OnTimer();
        }
        ASSERT_EQ(server.scnAnswered, std::vector<std::string>{"#FILSONG1.MP3"});
        ASSERT_TRUE(server.queued.empty());
        c.act();
        for (int i = 0; i < 40; ++i) {
            server.Serve();
            main().Timer1->OnTimer();
        }
        std::vector<std::string> queued;
        for (const std::string& file : server.queued)
            queued.push_back(kv::UpperCase(file));
        EXPECT_EQ(queued, c.queued) << testing::PrintToString(server.sent);
        main().btnStopClick();
        ClickConnect(false);
        main().ListView1->clear();
    }
}

}  // namespace
}  // namespace client_testing
