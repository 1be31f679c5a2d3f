#include "platform/tcp/tcp_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/errors.h"
#include "platform/tcp/line_buffer.h"
#include "platform/tcp/tcp_client.h"
#include "tests/support/socket_peers.h"
#include "tests/support/waits.h"

namespace platform::tcp {
namespace {

using namespace std::chrono_literals;
using testing_support::RawSocket;
using testing_support::WaitUntil;

// What the handlers saw, in order, for checks from the test thread.
struct Journal {
    std::mutex m;
    std::vector<std::string> events;
    void add(std::string e) {
        std::lock_guard lock(m);
        events.push_back(std::move(e));
    }
    std::vector<std::string> snapshot() {
        std::lock_guard lock(m);
        return events;
    }
    void clear() {
        std::lock_guard lock(m);
        events.clear();
    }
    size_t count(const std::string& e) {
        auto all = snapshot();
        return std::count(all.begin(), all.end(), e);
    }
};

// A server on a free port whose handlers log "connect", "line:<text>", "disconnect".
class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server.setPort(0);
        server.onConnect([this](Connection&) { journal.add("connect"); });
        server.onExecute([this](Connection& c) { journal.add("line:" + c.readLine()); });
        server.onDisconnect([this](Connection&) { journal.add("disconnect"); });
    }
    void activate() {
        server.setActive(true);
        ASSERT_NE(server.port(), 0);
    }
    size_t listed() { return server.lockList().connections().size(); }

    Journal journal;  // outlives the server's threads
    TcpServer server;
};

TEST_F(ServerTest, LinesEndAtLfAndDropOneCrWhateverThePackets) {
    // One stream, sent whole, then in pieces of 1 to 3 bytes that cut through the line ends.
    const std::string stream = "hello\na\r\na\r\r\n\r\n\nx\ry\n\r\rz\n";
    const std::vector<std::string> lines = {"hello", "a", "a\r", "", "", "x\ry", "\r\rz"};
    activate();
    for (size_t piece : {stream.size(), size_t{1}, size_t{2}, size_t{3}}) {
        SCOPED_TRACE("piece " + std::to_string(piece));
        journal.clear();
        RawSocket peer = RawSocket::connectTo(server.port());
        ASSERT_TRUE(peer.sendInPieces(stream, piece));
        peer.close();
        ASSERT_TRUE(WaitUntil([&] { return journal.count("disconnect") == 1; }));
        std::vector<std::string> expected = {"connect"};
        for (const auto& l : lines)
            expected.push_back("line:" + l);
        expected.push_back("disconnect");
        EXPECT_EQ(journal.snapshot(), expected);
    }
}

TEST_F(ServerTest, LineOverTheLimitEndsTheConnection) {
    const std::string longest(kMaxLineLength, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        bool accepted;
    };
    const Case cases[] = {
        {"longest line", longest + "\n", true},
        {"longest line with CR", longest + "\r\n", true},
        {"one more", longest + "x\n", false},
        {"endless line", std::string(4 * kMaxLineLength, 'y'), false},
    };
    activate();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        journal.clear();
        RawSocket peer = RawSocket::connectTo(server.port());
        peer.send(c.bytes + "after\n");  // may fail once the server has closed
        if (c.accepted) {
            ASSERT_TRUE(WaitUntil([&] { return journal.count("line:after") == 1; }));
            EXPECT_EQ(journal.snapshot()[1], "line:" + longest);
            peer.close();
        } else {
            EXPECT_TRUE(peer.waitClosed());
        }
        ASSERT_TRUE(WaitUntil([&] { return journal.count("disconnect") == 1; }));
        if (!c.accepted) {
            EXPECT_EQ(journal.snapshot(), (std::vector<std::string>{"connect", "disconnect"}));
        }
    }
}

TEST_F(ServerTest, PeerVanishingMidLineEndsTheConnectionOnce) {
    activate();
    for (bool reset : {true, false}) {
        SCOPED_TRACE(reset ? "reset" : "orderly close");
        journal.clear();
        RawSocket peer = RawSocket::connectTo(server.port());
        peer.send("first\nhal");
        ASSERT_TRUE(WaitUntil([&] { return journal.count("line:first") == 1; }));
        reset ? peer.abort() : peer.close();
        ASSERT_TRUE(WaitUntil([&] { return journal.count("disconnect") == 1; }));
        EXPECT_EQ(journal.snapshot(),
                  (std::vector<std::string>{"connect", "line:first", "disconnect"}));
        EXPECT_TRUE(WaitUntil([&] { return listed() == 0; }));
    }
}

struct Tag : ConnectionData {
    explicit Tag(std::atomic<int>& alive) : alive(alive) { ++alive; }
    ~Tag() override { --alive; }
    std::atomic<int>& alive;
};

TEST_F(ServerTest, HandlerErrorEndsOnlyItsConnectionAndDataSlotIsFreed) {
    std::atomic<int> tags{0};
    server.onConnect([&](Connection& c) {
        c.data = std::make_unique<Tag>(tags);
        journal.add("connect " + c.peerAddress());
        c.writeLine("SONHALL II");
    });
    server.onExecute([&](Connection& c) {
        const std::string line = c.readLine();
        if (line == "fail")
            throw Error("'x' is not a valid integer value");
        c.writeLine("echo " + line + (dynamic_cast<Tag*>(c.data.get()) ? " tagged" : ""));
    });
    activate();
    RawSocket a = RawSocket::connectTo(server.port());
    RawSocket b = RawSocket::connectTo(server.port());
    EXPECT_EQ(a.receiveLine(), "SONHALL II\r\n");
    EXPECT_EQ(b.receiveLine(), "SONHALL II\r\n");
    EXPECT_EQ(tags, 2);
    EXPECT_EQ(journal.count("connect 127.0.0.1"), 2u);

    a.send("fail\n");
    EXPECT_TRUE(a.waitClosed());
    ASSERT_TRUE(WaitUntil([&] { return journal.count("disconnect") == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return tags == 1; }));

    b.send("hi\r\n");
    EXPECT_EQ(b.receiveLine(), "echo hi tagged\r\n");
    server.setActive(false);
    EXPECT_EQ(journal.count("disconnect"), 2u);
    EXPECT_EQ(tags, 0);
}

// Writes only queue; a peer that takes nothing ends its connection, by the size of its queue
// or by the age of its oldest line, without any writer waiting for it.
TEST_F(ServerTest, PeerThatNeverReadsIsEndedWithoutAWriterWaiting) {
    activate();
    const std::string chunk(kMaxLineLength, 'z');
    struct Case {
        const char* what;
        std::chrono::milliseconds sendTimeout;
        std::chrono::microseconds pause;  // between writes
        bool overflows;                   // else it ends before its queue is full
    };
    const Case cases[] = {
        // A time-out no loaded machine reaches first.
        {"a queue over its limit", 60s, 0us, true},
        // Paced so that the queue stays far below its limit.
        {"a line waiting longer than the send time-out", 200ms, 10ms, false},
    };
    size_t ended = 0;
    for (const Case& k : cases) {
        server.setSendTimeout(k.sendTimeout);  // for the connection made next
        RawSocket idle = RawSocket::connectTo(server.port(), 4096);
        ASSERT_TRUE(WaitUntil([&] { return listed() == 1; })) << k.what;
        std::string error;
        for (int i = 0; i < 4000 && error.empty(); ++i) {
            {
                auto list = server.lockList();  // it stays listed, and so valid, meanwhile
                try {
                    list.connections().at(0)->writeLine(chunk);
                } catch (const std::exception& e) {
                    error = e.what();
                }
            }
            std::this_thread::sleep_for(k.pause);
        }
        // The write after the end fails, or finds the connection gone from the list.
        EXPECT_FALSE(error.empty()) << k.what;
        EXPECT_EQ(error.find("does not take its lines") != std::string::npos, k.overflows)
            << k.what << ": " << error;
        ++ended;
        EXPECT_TRUE(WaitUntil([&] { return journal.count("disconnect") == ended; })) << k.what;
        EXPECT_TRUE(WaitUntil([&] { return listed() == 0; })) << k.what;
    }
}

TEST_F(ServerTest, WritesFromManyThreadsStayWholeLines) {
    constexpr int kThreads = 8;
    constexpr int kLines = 3;  // all of them fit the connection's queue
    activate();
    TcpClient client;
    client.setHost("127.0.0.1");
    client.setPort(server.port());
    client.connect();
    ASSERT_TRUE(WaitUntil([&] { return listed() == 1; }));
    // Stays valid: only this test ends the connection. Lines longer than the socket buffers
    // go out in several sends, where unguarded writers would interleave.
    Connection* c = server.lockList().connections().front();

    auto lineOf = [](int t, int i) {
        return std::string(1, char('A' + t)) + std::to_string(i) + ":" +
               std::string(50000, char('a' + t));
    };
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([&, t] {
            try {
                for (int i = 0; i < kLines; ++i)
                    c->writeLine(lineOf(t, i));
            } catch (const Error&) {  // seen below as missing lines
            }
        });
    }
    std::vector<std::string> got;
    try {
        for (int n = 0; n < kThreads * kLines; ++n) {
            got.push_back(client.readLine(10'000));
            if (got.back().empty())
                break;
        }
    } catch (const Error& e) {  // mixed lines can run past the length limit
        ADD_FAILURE() << e.what();
    }
    client.disconnect();  // frees writers stuck on a reader that gave up
    for (auto& w : writers)
        w.join();

    // Each writer's lines arrive whole and in its order.
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : got) {
        const int t = line.empty() ? -1 : line[0] - 'A';
        ASSERT_TRUE(t >= 0 && t < kThreads) << line.substr(0, 20);
        ASSERT_EQ(line, lineOf(t, next[t])) << line.substr(0, 20);
        ++next[t];
    }
    EXPECT_EQ(got.size(), size_t{kThreads * kLines});
}

TEST_F(ServerTest, DeactivationWakesBlockedReadsAndEndsEveryConnection) {
    activate();
    std::vector<RawSocket> peers;
    for (int i = 0; i < 3; ++i)
        peers.push_back(RawSocket::connectTo(server.port()));
    peers[0].send("half a li");
    ASSERT_TRUE(WaitUntil([&] { return journal.count("connect") == 3 && listed() == 3; }));

    {
        auto list = server.lockList();
        for (Connection* c : list.connections())
            c->writeLine("#LOGoff");
    }
    server.setActive(false);
    EXPECT_FALSE(server.active());
    EXPECT_EQ(journal.count("disconnect"), 3u);
    EXPECT_EQ(listed(), 0u);
    for (RawSocket& p : peers) {
        EXPECT_EQ(p.receiveLine(), "#LOGoff\r\n");
        EXPECT_TRUE(p.waitClosed());
    }
    EXPECT_THROW(RawSocket::connectTo(server.port()), std::runtime_error);

    // The same port again.
    activate();
    RawSocket again = RawSocket::connectTo(server.port());
    EXPECT_TRUE(WaitUntil([&] { return journal.count("connect") == 4; }));
}

TEST_F(ServerTest, TheGreetingIsTheFirstLineWhateverIsBroadcastMeanwhile) {
    server.setGreeting("HELLO");
    activate();
    std::atomic<bool> stop{false};
    std::thread broadcaster([&] {
        while (!stop) {
            const auto list = server.lockList();
            for (Connection* c : list.connections()) {
                try {
                    c->writeLine("noise");
                } catch (const Error&) {
                }
            }
            std::this_thread::sleep_for(20us);  // a pace the writers keep up with
        }
    });
    for (int i = 0; i < 30; ++i) {
        RawSocket peer = RawSocket::connectTo(server.port());
        EXPECT_EQ(peer.receiveLine(), "HELLO\r\n") << "connection " << i;
    }
    stop = true;
    broadcaster.join();
    EXPECT_THROW(server.setGreeting("LATE"), std::logic_error);
}

TEST_F(ServerTest, ListenFailureNamesThePortAndTheReason) {
    activate();
    TcpServer second;
    second.setPort(server.port());
    try {
        second.setActive(true);
        FAIL() << "listening twice on one port";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Could not listen on port " +
                                             std::to_string(server.port()) +
                                             ": Address already in use");
    }
    EXPECT_FALSE(second.active());
    server.setActive(false);
    second.setActive(true);
    EXPECT_TRUE(second.active());
}

TEST_F(ServerTest, DisconnectHandlerBroadcastsWhileAnotherThreadHoldsTheList) {
    // The leaving connection is still listed while its disconnect handler broadcasts; its own
    // send fails quietly, the others get the line.
    std::atomic<bool> sawItself{false};
    server.onDisconnect([&](Connection& leaving) {
        auto list = server.lockList();
        for (Connection* c : list.connections()) {
            if (c == &leaving)
                sawItself = true;
            try {
                c->writeLine("has disconnected.");
            } catch (const Error&) {
            }
        }
        journal.add("disconnect");
    });
    activate();
    RawSocket stays = RawSocket::connectTo(server.port());
    RawSocket leaves = RawSocket::connectTo(server.port());
    ASSERT_TRUE(WaitUntil([&] { return listed() == 2; }));
    {
        auto list = server.lockList();
        leaves.abort();
        std::this_thread::sleep_for(50ms);  // let the leaving thread reach the lock
        for (Connection* c : list.connections()) {
            try {
                c->writeLine("broadcast");
            } catch (const Error&) {
            }
        }
    }
    EXPECT_EQ(stays.receiveLine(), "broadcast\r\n");
    EXPECT_EQ(stays.receiveLine(), "has disconnected.\r\n");
    // The handler may still be going through the list: it has ended once the entry is gone.
    EXPECT_TRUE(WaitUntil([&] { return listed() == 1; }));
    EXPECT_TRUE(sawItself);
    server.setActive(false);  // the handlers use this test's locals
}

TEST_F(ServerTest, SetActiveFromAHandlerIsRefused) {
    std::atomic<bool> refused{false};
    server.onExecute([&](Connection& c) {
        c.readLine();
        try {
            server.setActive(false);
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    activate();
    RawSocket peer = RawSocket::connectTo(server.port());
    peer.send("stop\n");
    EXPECT_TRUE(WaitUntil([&] { return refused.load(); }));
    EXPECT_TRUE(server.active());
    server.setActive(false);
}

TEST_F(ServerTest, ManyConnectCyclesLeaveNoFilesOrThreadsBehind) {
    server.onConnect([](Connection& c) { c.writeLine("SONHALL II"); });
    activate();
    // Four clients side by side, 4,000 cycles in all.
    auto cycles = [this](int n) {
        TcpClient client;
        client.setHost("127.0.0.1");
        client.setPort(server.port());
        for (int i = 0; i < n; ++i) {
            client.connect();
            if (client.readLine(10'000) != "SONHALL II")
                return false;
            client.disconnect();
        }
        return true;
    };
    ASSERT_TRUE(cycles(20));
    ASSERT_TRUE(WaitUntil([&] { return listed() == 0; }));
    const int files = testing_support::OpenFileCount();
    const long memory = testing_support::VirtualMemoryKb();

    std::atomic<int> good{0};
    std::vector<std::thread> clients;
    for (int t = 0; t < 4; ++t)
        clients.emplace_back([&] { good += cycles(1000); });
    for (auto& c : clients)
        c.join();
    EXPECT_EQ(good, 4);
    ASSERT_TRUE(WaitUntil([&] { return listed() == 0; }));
    EXPECT_TRUE(WaitUntil([&] { return testing_support::OpenFileCount() <= files; }))
        << testing_support::OpenFileCount() << " open files, " << files << " before";
    // Threads never joined would keep their stacks: 4,000 of them, gigabytes.
    EXPECT_LT(testing_support::VirtualMemoryKb() - memory, 512 * 1024);
}

}  // namespace
}  // namespace platform::tcp
