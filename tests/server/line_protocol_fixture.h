// A listening server over real loopback sockets and the helpers its tests share.
#pragma once

#include <QListWidget>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/main_window.h"
#include "tests/server/server_test_support.h"
#include "tests/support/socket_peers.h"

namespace server_testing {

using namespace std::chrono_literals;

class LineProtocolTest : public ServerTest {
  protected:
    // A listening server with songs song1.mp3 ... in one folder, a song/client limit of 3 and
    // the volume range the third tick sets.
    void Start(int songs = 3) {
        port = FreePort();
        for (int i = 1; i <= songs; ++i)
            Song("music/song" + std::to_string(i) + ".mp3", TagBlock("TITLE " + std::to_string(i)));
        WriteConfig("[SONHALL]\nCROSSFADE=98\nDIRECTORIES=1\nPORT=" + std::to_string(port) +
                    "\nCLIENT SONG=3\nMP3 PATH1=" + Entry("music") + "\n");
        Create();
        main().FormShow();
        main().TrackBar1->setRange(0, 65535);
        main().btnActivateClick();
    }

    // The next line, letting the server's handling run meanwhile (this is its thread).
    std::optional<std::string> Read(LineClient& c, std::chrono::milliseconds timeout = 10s) {
        std::optional<std::string> line;
        WaitUntil(
            [&] {
                line = c.ReadLine(5ms);
                return line.has_value();
            },
            timeout);
        return line;
    }
    bool Closed(LineClient& c) {
        return WaitUntil([&] { return c.WaitClosed(5ms); });
    }
    bool Listed(size_t n) {
        return WaitUntil([&] { return main().IdTCPServer1.lockList().connections().size() == n; });
    }
    std::vector<std::string> Box() {
        std::vector<std::string> names;
        for (int i = 0; i < main().ListBox2->count(); ++i)
            names.push_back(main().ListBox2->item(i)->text().toStdString());
        return names;
    }

    // Connects and waits for the connect handling: the greeting and the box line.
    void Open(LineClient& c) {
        const int before = main().ListBox2->count();
        ASSERT_TRUE(c.Connect(port));
        ASSERT_EQ(Read(c), "SONHALL II");
        ASSERT_TRUE(WaitUntil([&] { return main().ListBox2->count() > before; }));
    }
    // Logs in within the limit; every other connection given sees the announcement too.
    void Join(LineClient& c, const std::string& name, std::vector<LineClient*> others = {}) {
        Open(c);
        c.Send(">>>" + name);
        ASSERT_EQ(Read(c), name + " has just logged in.");
        ASSERT_EQ(Read(c), "#LOGack");
        for (LineClient* o : others)
            ASSERT_EQ(Read(*o), name + " has just logged in.");
    }
    // The reply to line, or nothing when the next line is the answer to a query sent after it.
    std::optional<std::string> Reply(LineClient& c, std::string_view line) {
        c.Send(line);
        c.Send("@CLIENTS:");
        std::optional<std::string> first = Read(c);
        if (!first || first->starts_with("@clients:"))
            return std::nullopt;
        const auto probe = Read(c);
        EXPECT_TRUE(probe && probe->starts_with("@clients:")) << line;
        return first;
    }

    int port = 0;
};

}  // namespace server_testing
