// The server's side of the line protocol over real loopback sockets: log-in and the limit of
// two, the commands and queries, chat, the join and leave lines, the rescan, and connections
// that end in the middle of things.
#include <QEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>
#include <utility>

#include "common/text_helpers.h"
#include "platform/qt/tick_timer.h"
#include "platform/widgets/animate_control.h"
#include "platform/widgets/status_panels.h"
#include "server/data_module.h"
#include "server/main_window.h"
#include "server/progress_window.h"
#include "server/setup_window.h"
#include "server/simple_client.h"
#include "tests/server/line_protocol_fixture.h"
#include "tests/server/server_test_support.h"
#include "tests/support/fake_player.h"
#include "tests/support/socket_peers.h"

namespace server_testing {
namespace {

using namespace std::chrono_literals;

// A fake player that lets the test look in while a song is being started on it.
class WatchedPlayer : public testing_support::FakePlayer {
  public:
    void open() override {
        FakePlayer::open();
        if (onOpen)
            onOpen();
    }
    std::function<void()> onOpen;
};

// Runs a job once, at the next paint of the watched widget.
class AtNextPaint : public QObject {
  public:
    explicit AtNextPaint(QWidget* widget) { widget->installEventFilter(this); }
    std::function<void()> job;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && job)
            std::exchange(job, {})();
        return false;
    }
};

TEST_F(LineProtocolTest, AThirdLogInIsAnnouncedRefusedAndDropped) {
    Start();
    LineClient a, b, c;
    Join(a, "KITCHEN");
    Join(b, "DEN", {&a});
    EXPECT_TRUE(main().Animate3->active());
    Open(c);
    EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 3/2");
    c.Send(">>>GARAGE");
    for (LineClient* x : {&a, &b, &c})
        EXPECT_EQ(Read(*x), "GARAGE has just logged in.");
    EXPECT_EQ(Read(c), "#LOGmax");
    for (LineClient* x : {&a, &b, &c})
        EXPECT_EQ(Read(*x), "GARAGE has disconnected.");
    EXPECT_EQ(Box(), (std::vector<std::string>{"KITCHEN", "DEN"}));
    EXPECT_EQ(main().ClientList.size(), 2u);
    EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 2/2");
    EXPECT_EQ(main().StatusBar1->Text(0), "MAXIMUM USER limit reached. Max=2");

    // The server closes the refused connection after those lines, and its end is not
    // announced a second time.
    EXPECT_TRUE(Closed(c));
    EXPECT_TRUE(Listed(2));
    for (LineClient* x : {&a, &b})
        EXPECT_EQ(Reply(*x, "#PLY?"), "#PLY@0!0*:0$") << "nothing came before";
    EXPECT_EQ(Box(), (std::vector<std::string>{"KITCHEN", "DEN"}));
    EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 2/2");
}

TEST_F(LineProtocolTest, AConnectionStillLoggingInCountsTowardTheLimit) {
    Start();
    LineClient a, silent, b;
    Join(a, "KITCHEN");
    Open(silent);
    a.Send("@ clients :whatever");
    EXPECT_EQ(Read(a), "@clients:KITCHEN,\"Logging In\"");
    Open(b);
    b.Send(">>>DEN");
    EXPECT_EQ(Read(b), "DEN has just logged in.");
    EXPECT_EQ(Read(b), "#LOGmax");
    EXPECT_EQ(Box(), (std::vector<std::string>{"KITCHEN", "Logging In"}));

    // The refused b is closed; the silent one was never announced, nor is its end.
    EXPECT_TRUE(Closed(b));
    silent.ShutdownWrite();
    EXPECT_EQ(Read(a), "DEN has just logged in.");
    EXPECT_EQ(Read(a), "DEN has disconnected.");
    EXPECT_TRUE(Listed(1));
    EXPECT_EQ(Reply(a, "#PLY?"), "#PLY@0!0*:0$") << "nothing came before";
    EXPECT_EQ(Box(), (std::vector<std::string>{"KITCHEN"}));
    EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 1/2");
    EXPECT_TRUE(main().Animate3->active());
}

// Silent connections cannot keep everyone out: they are closed at the log-in deadline, and
// their ends are not announced.
TEST_F(LineProtocolTest, ConnectionsThatDoNotLogInInTimeAreClosedUnannounced) {
    adjustEnvironment = [](sonhall::ServerEnvironment& env) { env.logInTimeout = 600ms; };
    Start();
    LineClient a, idle1, idle2;
    Join(a, "KITCHEN");
    Open(idle1);
    Open(idle2);
    EXPECT_TRUE(Closed(idle1));
    EXPECT_TRUE(Closed(idle2));
    EXPECT_TRUE(Listed(1));
    EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"});
    EXPECT_EQ(Reply(a, "#PLY?"), "#PLY@0!0*:0$") << "no leave lines came before";
    // The deadline is for logging in only; and the room is free again.
    LineClient b;
    Join(b, "DEN", {&a});
    std::this_thread::sleep_for(800ms);
    EXPECT_EQ(Reply(b, "#INI?"), "#INI000000200000000");
}

// Connections beyond 64 are closed as they come, before any greeting; many silent ones ending
// at once are not announced, and the logged-in client is answered right after.
TEST_F(LineProtocolTest, AtMost64ConnectionsAndSilentOnesEndUnannounced) {
    Start();
    LineClient a;
    Join(a, "KITCHEN");
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<LineClient>> silent;
        for (int i = 0; i < 63; ++i) {
            silent.push_back(std::make_unique<LineClient>());
            ASSERT_TRUE(silent.back()->Connect(port));
        }
        ASSERT_TRUE(Listed(64));
        LineClient over;
        ASSERT_TRUE(over.Connect(port));
        EXPECT_EQ(over.ReadLine(), std::nullopt) << round;  // closed without a greeting
        EXPECT_TRUE(Closed(over)) << round;
        for (auto& c : silent)
            c->Reset();
        EXPECT_TRUE(Listed(1)) << round;
        EXPECT_EQ(Reply(a, "#PLY?"), "#PLY@0!0*:0$") << "no leave lines came before";
        EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"});
    }
}

// The limit "#CIS" tells of holds for "#FIL" too, for a client that does not ask first.
TEST_F(LineProtocolTest, QueueingBeyondTheClientsOwnLimitIsRefused) {
    Start();
    LineClient k;
    Join(k, "Kitchen");
    dm().QueueSong("song1.mp3", "DEN");  // another client's record does not count
    for (const std::string file : {"song1.mp3", "song2.mp3", "song3.mp3"})
        EXPECT_EQ(Reply(k, "#FIL" + file), "#FILack" + file);
    EXPECT_EQ(Reply(k, "#FILsong1.mp3"), "#FILnaksong1.mp3");
    EXPECT_EQ(Reply(k, "#CISKITCHEN"), "#CISnak");
    EXPECT_EQ(main().SongQueue.size(), 4u);
    EXPECT_EQ(main().ListBox1->count(), 4);
}

TEST_F(LineProtocolTest, ClientsLeavingInAnyOrderLeaveTheOthersListed) {
    Start();
    for (const bool firstLeavesFirst : {true, false}) {
        LineClient a, b;
        Join(a, "KITCHEN");
        Join(b, "DEN", {&a});
        LineClient& leaving = firstLeavesFirst ? a : b;
        LineClient& staying = firstLeavesFirst ? b : a;
        const std::string stays = firstLeavesFirst ? "DEN" : "KITCHEN";
        const std::string goes = firstLeavesFirst ? "KITCHEN" : "DEN";
        leaving.ShutdownWrite();
        EXPECT_EQ(Read(staying), goes + " has disconnected.");
        EXPECT_EQ(Box(), std::vector<std::string>{stays});
        ASSERT_EQ(main().ClientList.size(), 1u);
        EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 1/2");
        staying.Send("@CLIENTS:");
        EXPECT_EQ(Read(staying), "@clients:" + stays);
        staying.ShutdownWrite();
        EXPECT_TRUE(Listed(0));
        EXPECT_TRUE(Box().empty());
        EXPECT_TRUE(main().ClientList.empty());
        EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 0/2");
        EXPECT_FALSE(main().Animate3->active());
    }
}

TEST_F(LineProtocolTest, ALeavingClientTakesItsOwnLineWhenNamesDifferOnlyInCase) {
    Start();
    LineClient a, b;
    Join(a, "kitchen");
    Join(b, "KITCHEN", {&a});
    b.ShutdownWrite();
    EXPECT_EQ(Read(a), "KITCHEN has disconnected.");
    EXPECT_EQ(Box(), std::vector<std::string>{"kitchen"});
    ASSERT_EQ(main().ClientList.size(), 1u);
    EXPECT_EQ(main().ClientList[0]->Name, "kitchen");
}

TEST_F(LineProtocolTest, LogInNamesAreTakenAfterTheMarkerAsSent) {
    Start();
    struct Case {
        std::string line, announcement, boxName;
    };
    const Case cases[] = {
        {"LOGKITCHEN", "KITCHEN has just logged in.", "KITCHEN"},
        {"abc", "has just logged in.", ""},
        {"a", "has just logged in.", ""},
        {"123  Den ", "Den  has just logged in.", "  Den "},
    };
    for (const Case& c : cases) {
        LineClient client;
        Open(client);
        client.Send(c.line);
        EXPECT_EQ(Read(client), c.announcement) << c.line;
        EXPECT_EQ(Read(client), "#LOGack");
        EXPECT_EQ(Box(), std::vector<std::string>{c.boxName});
        client.ShutdownWrite();
        EXPECT_TRUE(Listed(0));
    }
    // The name "Logging In" keeps the connection in the log-in state.
    LineClient client;
    Open(client);
    client.Send(">>>Logging In");
    EXPECT_EQ(Read(client), "Logging In has just logged in.");
    EXPECT_EQ(Read(client), "#LOGack");
    client.Send(">>>KITCHEN");
    EXPECT_EQ(Read(client), "KITCHEN has just logged in.");
    EXPECT_EQ(Read(client), "#LOGack");
    EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"});
}

TEST_F(LineProtocolTest, CommandsQueriesAndWhatGetsNoReply) {
    Start();
    LineClient k;
    Join(k, "KITCHEN");
    const std::string record2 = main().SongLibrary.at(1);
    struct Case {
        std::string line;
        std::optional<std::string> reply;
    };
    const Case cases[] = {
        {"#PLY?", "#PLY@0!0*:0$"},
        {"#ply?", "#PLY@0!0*:0$"},
        {"#PLYwhatever", "#PLY@0!0*:0$"},
        {"#COMnext", std::nullopt},
        {"#XYZ?", std::nullopt},
        {"#", std::nullopt},
        {"#PL", std::nullopt},
        {"", std::nullopt},
        {"#LOG", std::nullopt},
        {"#LOGout", std::nullopt},
        {"#SIF000001NOSUCH.MP3", std::nullopt},
        {"#SIF", std::nullopt},
        {"@nothing", std::nullopt},
        {"@other:CLIENTS", std::nullopt},
        {"#VOL123", std::nullopt},
        {"#FILnosuch.mp3", "#FILnaknosuch.mp3"},
        {"#FIL", "#FILnak"},
        {"#FILsong1.mp3", "#FILacksong1.mp3"},
        {"#SIF000077song2.mp3", "#SIF000077" + record2},
        {"#sif123456 SONG2.MP3 ", "#SIF123456" + record2},
        {"#INI?", "#INI001230100000001"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Reply(k, c.line), c.reply) << "line: " << c.line;
    EXPECT_FALSE(main().SkipRequested) << "#COMnext";
    EXPECT_EQ(Reply(k, "#COMNEXT"), "#COMNEXT");
    EXPECT_TRUE(main().SkipRequested);
    EXPECT_EQ(main().TrackBar1->value(), 123);
    ASSERT_EQ(main().SongQueue.size(), 1u);
    EXPECT_EQ(main().SongQueue[0].record.substr(6, 7), "KITCHEN");
    EXPECT_EQ(main().StatusBar1->Text(0), "#SIF acknowledged.");
    EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"});  // "#LOG" without "OFF" keeps it
}

TEST_F(LineProtocolTest, PlayStatusCarriesTheActiveSong) {
    Start();
    LineClient k;
    Join(k, "KITCHEN");
    main().ActivePlayer = 1;
    main().CurrentSongId = "000042";
    main().CurrentPosition = 7000;
    main().CurrentLength = 9000;
    main().CurrentFileName = "SONG.MP3";
    main().CurrentFileSize = 5000;
    main().PublishQueryAnswers();  // as the tick does when it ends
    EXPECT_EQ(Reply(k, "#PLY?"), "#PLY0000427000!9000*SONG.MP3:5000$");
}

TEST_F(LineProtocolTest, QueueRoomCountsTheClientsRecordsInUpperCase) {
    Start();
    LineClient k;
    Join(k, "kitchen");
    dm().QueueSong("song1.mp3", "kitchen");
    dm().QueueSong("song2.mp3", "Kitchen");
    dm().QueueSong("song3.mp3", "DEN");
    EXPECT_EQ(Reply(k, "#CISkitchen"), "#CISack");
    dm().QueueSong("song3.mp3", "KITCHEN");
    EXPECT_EQ(Reply(k, "#CISkitchen"), "#CISnak");
    EXPECT_EQ(Reply(k, "#CISden"), "#CISack");
    EXPECT_EQ(Reply(k, "#CIS kitchen"), "#CISack");  // the blank stays and matches no record
}

TEST_F(LineProtocolTest, ServerInfoKeepsItsWidths) {
    Start();
    LineClient k;
    Join(k, "KITCHEN");
    for (int i = 0; i < 100; ++i)
        dm().QueueSong("song1.mp3", "KITCHEN");
    struct Case {
        std::string volume, reply;
    };
    const Case cases[] = {
        {"#VOL65535", "#INI655350100000010"},
        {"#VOL99999", "#INI655350100000010"},  // the track bar clamps
        {"#VOL-7", "#INI000000100000010"},
        {"#VOL300", "#INI003000100000010"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Reply(k, c.volume), std::nullopt);
        EXPECT_EQ(Reply(k, "#INI?"), c.reply) << c.volume;
    }
}

TEST_F(LineProtocolTest, ChatGoesToEveryoneTrimmedUnderTheSendersName) {
    Start();
    LineClient k, s;
    Join(k, "KITCHEN");
    Join(s, "System", {&k});
    k.Send(" hello \t");
    for (LineClient* x : {&k, &s})
        EXPECT_EQ(Read(*x), "KITCHEN: hello");
    s.Send("the server speaks");
    for (LineClient* x : {&k, &s})
        EXPECT_EQ(Read(*x), "the server speaks");
}

TEST_F(LineProtocolTest, LogOffInAnyCaseDropsTheClientLeavingItsConnectionOpen) {
    Start();
    LineClient a;
    Join(a, "KITCHEN");
    for (const std::string line : {"#LOGoff", "#LOGOFF", "#LOGOff"}) {
        LineClient b;
        Join(b, "DEN", {&a});
        b.Send(line);
        EXPECT_EQ(Read(a), "DEN has disconnected.") << line;
        EXPECT_EQ(Read(b), "DEN has disconnected.");
        EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"});
        EXPECT_EQ(main().StatusBar1->Text(1), "USERS/MAX: 1/2");
        // Dropped: the connection stays until the client closes it, and answers nothing.
        b.Send("#PLY?");
        b.Send("@CLIENTS:");
        b.ShutdownWrite();
        EXPECT_TRUE(Closed(b));
        EXPECT_TRUE(Listed(1));
        EXPECT_EQ(Reply(a, "#PLY?"), "#PLY@0!0*:0$") << "no second leave line";
    }
}

TEST_F(LineProtocolTest, AFaultyConnectionEndsAloneWithItsLeaveLine) {
    Start();
    struct Case {
        const char* what;
        std::function<void(LineClient&)> act;
    };
    const Case cases[] = {
        {"a volume that is not a number", [](LineClient& c) { c.Send("#VOLloud"); }},
        {"killed in the middle of a line",
         [](LineClient& c) {
             c.SendRaw("#PL");
             c.Reset();
         }},
        {"closed in the middle of a line",
         [](LineClient& c) {
             c.SendRaw("#FILsong");
             c.ShutdownWrite();
         }},
        {"a line over 64 KiB", [](LineClient& c) { c.SendRaw(std::string(70 * 1024, 'x')); }},
    };
    LineClient stays;
    Join(stays, "KITCHEN");
    for (const Case& c : cases) {
        LineClient faulty;
        Join(faulty, "DEN", {&stays});
        c.act(faulty);
        EXPECT_EQ(Read(stays), "DEN has disconnected.") << c.what;
        EXPECT_TRUE(Listed(1)) << c.what;
        EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"}) << c.what;
        EXPECT_EQ(Reply(stays, "#PLY?"), "#PLY@0!0*:0$") << c.what;
    }
    EXPECT_EQ(main().TrackBar1->value(), 0);
}

// Broadcasts go out all the while; each new connection must still hear the greeting first.
TEST_F(LineProtocolTest, TheGreetingComesFirstEvenWhileBroadcastsGoOut) {
    Start();
    std::atomic<bool> stop{false};
    std::thread noise([&] {
        while (!stop) {
            main().Broadcast("System", "noise");
            std::this_thread::sleep_for(20us);  // a pace the writers keep up with
        }
    });
    struct JoinAtExit {
        std::atomic<bool>& stop;
        std::thread& thread;
        ~JoinAtExit() {
            stop = true;
            thread.join();
        }
    } joinAtExit{stop, noise};
    for (int i = 0; i < 30; ++i) {
        LineClient c;
        ASSERT_TRUE(c.Connect(port));
        EXPECT_EQ(Read(c), "SONHALL II") << "connection " << i;
    }
}

TEST_F(LineProtocolTest, APeerThatStopsReadingEndsAlone) {
    Start();
    main().IdTCPServer1.setSendTimeout(300ms);  // for the connections made from now on
    LineClient reader, deaf;
    Join(reader, "KITCHEN");
    Join(deaf, "DEN", {&reader});
    const std::string big(60 * 1024, 'x');
    std::vector<std::string> heard;
    for (int i = 0; i < 1000 && main().IdTCPServer1.lockList().connections().size() == 2; ++i) {
        main().Broadcast("System", big);
        while (auto line = Read(reader, 20ms))
            if (*line != big)
                heard.push_back(*line);
    }
    while (auto line = Read(reader, 200ms))
        if (*line != big)
            heard.push_back(*line);
    EXPECT_EQ(heard, std::vector<std::string>{"DEN has disconnected."});
    EXPECT_EQ(Box(), std::vector<std::string>{"KITCHEN"});
    EXPECT_EQ(Reply(reader, "#PLY?"), "#PLY@0!0*:0$");
}

// A logged-in client that stops reading while another chats and polls as fast as it can: the
// poller never waits for the silent one, the tick goes on, every line reaches the poller in
// order, and the silent one is dropped with its leave line.
TEST_F(LineProtocolTest, AClientThatStopsReadingStallsNobody) {
    Start();
    main().IdTCPServer1.setSendTimeout(1s);  // for the connections made from now on
    testing_support::RawSocket deaf = testing_support::RawSocket::connectTo(port, 4096);
    ASSERT_EQ(deaf.receiveLine(), "SONHALL II\r\n");
    ASSERT_TRUE(deaf.send(">>>DEAF\r\n"));
    ASSERT_TRUE(WaitUntil([&] { return Box() == std::vector<std::string>{"DEAF"}; }));
    LineClient chatty;
    Join(chatty, "CHATTY");

    std::atomic<int> ticks{0};
    QTimer tick;  // the player tick as the real timer runs it, on this thread
    QObject::connect(&tick, &QTimer::timeout, [&] {
        main().Timer1Timer();
        ++ticks;
    });
    tick.start(1000);

    std::atomic<bool> done{false};
    std::chrono::microseconds worst{0};
    int chats = 0;
    bool inOrder = true, heardLeave = false;
    std::thread client([&] {
        const std::string filler(2 * 1024, 'c');
        int heard = 0;
        // Reads until a line that stop accepts; checks the others on the way.
        auto readUntil = [&](const std::function<bool(const std::string&)>& stop) {
            for (;;) {
                const std::optional<std::string> line = chatty.ReadLine(5s);
                if (!line)
                    return;
                if (*line == "DEAF has disconnected.")
                    heardLeave = true;
                else if (line->starts_with("#")) {  // the reply, or the tick's "#AVL"
                    if (stop(*line))
                        return;
                } else if (*line != "CHATTY: " + std::to_string(heard++) + " " + filler) {
                    inOrder = false;
                } else if (stop(*line)) {
                    return;
                }
            }
        };
        // Until the silent one is dropped and the tick has run meanwhile, however long a
        // loaded machine takes for either.
        const auto end = std::chrono::steady_clock::now() + 60s;
        while ((!heardLeave || ticks == 0) && std::chrono::steady_clock::now() < end) {
            const std::string chat = std::to_string(chats++) + " " + filler;
            chatty.Send(chat);
            readUntil([&](const std::string& line) { return line == "CHATTY: " + chat; });
            const auto sent = std::chrono::steady_clock::now();
            chatty.Send("#PLY?");
            readUntil([](const std::string& line) { return line.starts_with("#PLY"); });
            worst = std::max(worst, std::chrono::duration_cast<std::chrono::microseconds>(
                                        std::chrono::steady_clock::now() - sent));
        }
        done = true;
    });
    // A real event loop: the server's jobs run as soon as they come.
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done)
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    client.join();
    tick.stop();

    // Waiting on the silent one would show as a round trip of its whole send time-out.
    EXPECT_LT(worst, 1s) << chats << " chat lines";
    EXPECT_TRUE(inOrder);
    EXPECT_TRUE(heardLeave);
    EXPECT_EQ(Box(), std::vector<std::string>{"CHATTY"});
    EXPECT_GT(ticks, 0);
}

TEST_F(LineProtocolTest, RescanAnswersOtherCommandsWithItsProgressMeanwhile) {
    Start(3);
    LineClient a, b;
    Join(a, "KITCHEN");
    Join(b, "DEN", {&a});
    for (const bool timerOn : {true, false}) {
        main().Timer1->SetEnabled(timerOn);
        Song("music/song" + std::to_string(timerOn ? 4 : 5) + ".mp3");
        const int files = timerOn ? 4 : 5;
        // Lines from b while the scan stands at its first file, letting events in.
        std::vector<std::string> during;
        bool asked = false;
        const auto hook =
            QObject::connect(main().edtCurrSong, &QLineEdit::textChanged, [&](const QString& text) {
                if (asked || !text.startsWith("Reading"))
                    return;
                asked = true;
                QTimer::singleShot(0, [&] {
                    EXPECT_EQ(main().IdTCPServer1Tag, 1);
                    EXPECT_FALSE(main().Timer1->Enabled());
                    for (const char* line : {"#PLY?", "#FILsong1.mp3", "@CLIENTS:", "hi"}) {
                        b.Send(line);
                        during.push_back(Read(b).value_or("(nothing)"));
                    }
                });
            });
        a.Send("#SCN");
        EXPECT_EQ(Read(a), "#SCNServer Re-Scan request initiated...");
        EXPECT_EQ(Read(a), "DEN: hi");
        EXPECT_EQ(Read(a), "#SCNDONEServer read: " + std::to_string(files) + " files");
        QObject::disconnect(hook);
        const std::string progress = "#SCNReading 1/" + std::to_string(files);
        EXPECT_EQ(during, (std::vector<std::string>{progress, progress, "@clients:KITCHEN,DEN",
                                                    "DEN: hi"}));
        EXPECT_TRUE(main().SongQueue.empty()) << "the #FIL during the scan did nothing";
        EXPECT_EQ(main().SongLibrary.size(), static_cast<size_t>(files));
        EXPECT_EQ(main().IdTCPServer1Tag, 0);
        EXPECT_EQ(main().Timer1->Enabled(), timerOn);
        EXPECT_TRUE(main().edtCurrSong->text().isEmpty());
        EXPECT_EQ(Reply(b, "#PLY?"), "#PLY@0!0*:0$");
    }
}

TEST_F(LineProtocolTest, RescanIsRefusedWhileASongIsShownOrAnotherScanRuns) {
    Start();
    LineClient a;
    Join(a, "KITCHEN");
    main().ActivePlayer = 2;
    EXPECT_EQ(Reply(a, "#SCN"), "#SCNnak");
    EXPECT_EQ(main().IdTCPServer1Tag, 0);
    EXPECT_TRUE(main().Timer1->Enabled());
    main().ActivePlayer = 0;

    std::optional<std::string> reply;
    const auto hook =
        QObject::connect(&progress(), &QWidget::windowTitleChanged, [&](const QString& title) {
            if (reply || !title.startsWith("Reading"))
                return;
            a.Send("#SCN");
            reply = Read(a);
        });
    setup().ReadSongs();
    QObject::disconnect(hook);
    EXPECT_EQ(reply, "#SCNnak");
    EXPECT_EQ(main().SongLibrary.size(), 3u);
}

TEST_F(LineProtocolTest, ARescanWhoseRequesterIsGoneStillRestoresTheTick) {
    Start();
    LineClient a, b;
    Join(a, "KITCHEN");
    Join(b, "DEN", {&a});
    bool cut = false;
    const auto hook = QObject::connect(main().edtCurrSong, &QLineEdit::textChanged, [&] {
        if (cut)
            return;
        cut = true;
        main().ClientList.at(0)->Thread->disconnect();  // its "#SCNDONE" cannot go out
    });
    a.Send("#SCN");
    EXPECT_EQ(Read(b), "KITCHEN has disconnected.");
    QObject::disconnect(hook);
    EXPECT_EQ(main().IdTCPServer1Tag, 0);
    EXPECT_TRUE(main().Timer1->Enabled());
    EXPECT_TRUE(main().edtCurrSong->text().isEmpty());
    EXPECT_EQ(Reply(b, "#PLY?"), "#PLY@0!0*:0$");
}

// The replies are answered on the connection's own thread while the tick goes on, so the tick
// is held where it matters: inside a song's start, and after its "#AVL" went out (the tick's
// last step paints the window), before the tick's end.
TEST_F(LineProtocolTest, RepliesAfterAStartsInvitationShowTheNewSongAndNoHalfDoneStart) {
    Start(3);
    auto p1 = std::make_unique<WatchedPlayer>();
    auto p2 = std::make_unique<WatchedPlayer>();
    WatchedPlayer* one = p1.get();
    main().MediaPlayer1 = std::move(p1);
    main().MediaPlayer2 = std::move(p2);
    main().Timer1->Tag = 0;  // past the start-up ticks
    main().show();
    LineClient k;
    Join(k, "KITCHEN");
    for (int i = 1; i <= 3; ++i) {
        const std::string file = "song" + std::to_string(i) + ".mp3";
        ASSERT_EQ(Reply(k, "#FIL" + file), "#FILack" + file);
    }
    const auto ask = [&](std::string_view line) {
        k.Send(line);
        return k.ReadLine(10s).value_or("(nothing)");
    };
    const auto info = [](int played, int queued) {
        return "#INI0000001" + kv::PadLeft(std::to_string(played), 6, "0") +
               kv::PadLeft(std::to_string(queued), 2, "0");
    };
    AtNextPaint painted(&main());
    for (int song = 1; song <= 3; ++song) {
        std::string whileStarting, invitation, playing, counted;
        one->onOpen = [&] { whileStarting = ask("#INI?"); };
        painted.job = [&] {
            invitation = k.ReadLine(10s).value_or("(nothing)");
            playing = ask("#PLY?");
            counted = ask("#INI?");
        };
        main().Timer1Timer();
        const std::string name = "SONG" + std::to_string(song) + ".MP3";
        const auto size =
            std::filesystem::file_size(dir / ("music/song" + std::to_string(song) + ".mp3"));
        EXPECT_EQ(whileStarting, info(song - 1, 4 - song)) << "song " << song;
        EXPECT_EQ(invitation, "#AVL");
        EXPECT_EQ(playing, "#PLY00000" + std::to_string(song) + "0!200000*" + name + ":" +
                               std::to_string(size) + "$");
        EXPECT_EQ(counted, info(song, 3 - song));
        one->advance(200000);  // the song ends; the next tick starts the next one
    }
}

}  // namespace
}  // namespace server_testing
