#include "platform/tcp/tcp_client.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/tcp/tcp_server.h"
#include "tests/support/socket_peers.h"
#include "tests/support/waits.h"

namespace platform::tcp {
namespace {

using namespace std::chrono_literals;
using testing_support::RawListener;
using testing_support::RawSocket;

const char* word(ClientStatus s) {
    switch (s) {
        case ClientStatus::resolving:
            return "resolving";
        case ClientStatus::connecting:
            return "connecting";
        case ClientStatus::connected:
            return "connected";
        case ClientStatus::disconnecting:
            return "disconnecting";
        case ClientStatus::disconnected:
            return "disconnected";
    }
    return "?";
}

// A client whose notifications are logged in order.
class ClientTest : public ::testing::Test {
  protected:
    void SetUp() override {
        client.setHost("127.0.0.1");
        client.setPort(listener.port());
        client.onStatus([this](ClientStatus s, std::string_view) { log.push_back(word(s)); });
        client.onConnected([this] { log.push_back("onConnected"); });
        client.onDisconnected([this] { log.push_back("onDisconnected"); });
    }
    RawSocket connectAndAccept() {
        client.connect();
        return listener.accept();
    }

    RawListener listener;
    TcpClient client;
    std::vector<std::string> log;
};

TEST_F(ClientTest, ConnectAndDisconnectNotifyInOrder) {
    client.onConnected([this] {
        log.push_back("onConnected");
        client.writeLine("KV:KITCHEN");  // the log-in line goes out from here
    });
    RawSocket server = connectAndAccept();
    EXPECT_TRUE(client.connected());
    EXPECT_EQ(log,
              (std::vector<std::string>{"resolving", "connecting", "connected", "onConnected"}));
    EXPECT_EQ(server.receiveLine(), "KV:KITCHEN\r\n");

    log.clear();
    client.disconnect();
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(log, (std::vector<std::string>{"disconnecting", "disconnected", "onDisconnected"}));
    EXPECT_TRUE(server.waitClosed());

    log.clear();
    client.disconnect();
    EXPECT_TRUE(log.empty());
    EXPECT_THROW(client.writeLine("x"), Error);
    EXPECT_THROW(client.readLine(5), Error);
}

TEST_F(ClientTest, RefusedConnectRaisesTheReason) {
    const int port = testing_support::UnusedPort();
    client.setPort(port);
    try {
        client.connect();
        FAIL() << "connected to a closed port";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Could not connect to 127.0.0.1 port " +
                                             std::to_string(port) + ": Connection refused");
    }
    EXPECT_FALSE(client.connected());
    EXPECT_EQ(log, (std::vector<std::string>{"resolving", "connecting"}));
}

TEST_F(ClientTest, HostNamesResolve) {
    // "localhost" may name ::1 first, where nothing listens; the IPv4 address follows.
    TcpServer server;
    server.setPort(0);
    server.onConnect([](Connection& c) { c.writeLine("SONHALL II"); });
    server.setActive(true);
    client.setHost("localhost");
    client.setPort(server.port());
    client.connect();
    EXPECT_EQ(client.readLine(10'000), "SONHALL II");
}

TEST_F(ClientTest, ReadWaitsAtMostItsTimeOutAndKeepsPartialLines) {
    RawSocket server = connectAndAccept();
    EXPECT_EQ(client.readLine(5), "");
    server.send("#PLY@0!0");
    EXPECT_EQ(client.readLine(20), "");
    server.send("*:0$\r\n\r\nSONHALL II\n");
    EXPECT_EQ(client.readLine(10'000), "#PLY@0!0*:0$");
    EXPECT_EQ(client.readLine(10'000), "");  // an empty line
    EXPECT_EQ(client.readLine(10'000), "SONHALL II");
    EXPECT_EQ(client.readLine(0), "");
    EXPECT_TRUE(client.connected());
}

TEST_F(ClientTest, ServerClosingEndsTheConnectionAtTheNextRead) {
    struct Case {
        const char* name;
        std::string lastBytes;
    };
    const Case cases[] = {
        {"orderly close", "#LOGoff\r\n"},
        {"line over the limit", std::string(kMaxLineLength + 2, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        RawSocket server = connectAndAccept();
        server.send(c.lastBytes);
        server.close();
        if (c.lastBytes == "#LOGoff\r\n") {
            EXPECT_EQ(client.readLine(10'000), "#LOGoff");
        }
        EXPECT_THROW(client.readLine(10'000), Error);
        EXPECT_FALSE(client.connected());
        EXPECT_EQ(log.back(), "onDisconnected");
    }
    // And the next connect works.
    RawSocket server = connectAndAccept();
    EXPECT_TRUE(client.connected());
}

TEST_F(ClientTest, ServerThatNeverReadsFailsTheWriteWithinTheSendTimeout) {
    client.setSendTimeout(200ms);
    RawSocket server = connectAndAccept();
    const std::string chunk(kMaxLineLength, 'v');
    bool failed = false;
    for (int i = 0; i < 4000 && !failed; ++i) {
        try {
            client.writeLine(chunk);
        } catch (const Error&) {
            failed = true;
        }
    }
    EXPECT_TRUE(failed);
    EXPECT_FALSE(client.connected());
}

}  // namespace
}  // namespace platform::tcp
