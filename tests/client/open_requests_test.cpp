// Which requests another client's rescan answered, from the order of the lines alone.
#include "client/open_requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/line_protocol.h"

namespace client_testing {
namespace {

constexpr const char* kProgress = "<#SCNReading 1/12";

// ">" a line the client wrote, "<" a line the server sent.
struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> replaced;  // code + argument, in the order the list gave them
    size_t open;                        // requests still waiting at the end
};

TEST(OpenRequestsTest, ProgressLinesArePutDownToTheRequestsTheyAnswered) {
    for (const Case& c : std::vector<Case>{
             {"a request that always replies", {">#CISK", kProgress}, {"CISK"}, 0},
             {"one without a reply, alone", {">#VOL5", kProgress}, {"VOL5"}, 0},
             {"one without a reply taken before the rescan",
              {">#VOL5", ">#CISK", kProgress, ">#PLY?", "<#PLY@0!0*:0$"},
              {"CISK"},
              0},
             {"both in the rescan",
              {">#VOL5", ">#CISK", kProgress, kProgress},
              {"VOL5", "CISK"},
              0},
             {"the rescan over before the next one",
              {">#VOL5", ">#CISK", kProgress, "<#CISack"},
              {"VOL5"},
              0},
             {"still open while it cannot tell", {">#VOL5", ">#CISK", kProgress}, {}, 2},
             {"a song information answered before the rescan",
              {">#SIF000001A.MP3", ">#PLY?", "<#SIF000001000009TITLE", kProgress},
              {"PLY?"},
              0},
             {"a song information the server does not hold",
              {">#SIF000001A.MP3", ">#PLY?", "<#PLY@0!0*:0$", ">#CISK", kProgress},
              {"CISK"},
              0},
             {"one without a reply among many in the rescan",
              {">#SIF000001A.MP3", ">#PLY?", kProgress, ">#CISK", kProgress, "<#CISack"},
              {"PLY?", "SIF000001A.MP3"},
              0},
             {"the rescan over between a song and its question",
              {">#FILA.MP3", ">#CISK", kProgress, "<#CISack", ">#FILB.MP3", ">#VOL1", ">#CISK",
               "<#FILackB.MP3", "<#CISnak"},
              {"FILA.MP3"},
              0},
             {"this client's own rescan",
              {">#SCN", ">#PLY?", "<#SCNServer Re-Scan request initiated...", kProgress,
               "<#SCNDONE Server read: 12 files", "<#PLY@0!0*:0$"},
              {},
              0},
             {"this client's rescan request answered by another's",
              {">#PLY?", ">#SCN", kProgress, kProgress},
              {"PLY?", "SCN"},
              0},
             {"a refused rescan", {">#SCN", "<#SCNnak", ">#CISK", kProgress}, {"CISK"}, 0},
             {"lines without a reply of their own",
              {">#LOGoff", ">#COMX", "Chat", kProgress, kProgress},
              {"LOGoff", "COMX"},
              0},
             {"a reply to nothing asked", {">#CISK", "<#PLY@0!0*:0$", "<#AVL"}, {}, 1},
             {"a server out of step", {">#FILA.MP3", ">#CISK", "<#CISack"}, {}, 0},
         }) {
        SCOPED_TRACE(c.name);
        sonpad::OpenRequests open;
        std::vector<std::string> replaced;
        for (const std::string& line : c.lines) {
            if (line.starts_with('>')) {
                open.Written(line.substr(1));
                continue;
            }
            const kv::Reply reply = kv::SplitReply(line.substr(1));
            for (const auto& request : open.Received(reply.type, reply.payload).replaced)
                replaced.push_back(request.code + request.argument);
        }
        EXPECT_EQ(replaced, c.replaced);
        EXPECT_EQ(open.size(), c.open);
    }
}

// What the server says again by itself, or answers as its own, tells the client it may ask.
TEST(OpenRequestsTest, TheServersOwnWordsSayTheRescanIsOver) {
    sonpad::OpenRequests open;
    open.Written("#CISK", 7);
    const auto progress = open.Received("SCN", "READING 1/12");
    ASSERT_EQ(progress.replaced.size(), 1u);
    EXPECT_EQ(progress.replaced[0].ticket, 7u);
    EXPECT_FALSE(progress.serverAnswers);
    EXPECT_TRUE(open.Received("AVL", "").serverAnswers);
    open.Written("#PLY?");
    EXPECT_TRUE(open.Received("PLY", "@0!0*:0$").serverAnswers);
    EXPECT_FALSE(open.Received("LOG", "ACK").serverAnswers) << "the log-in line's answer";
}

// The server's own answer names the request it answers, with the writer's ticket.
TEST(OpenRequestsTest, AnAnswerGivesBackTheRequestItAnswers) {
    sonpad::OpenRequests open;
    open.Written("#FILA.MP3", 1);
    open.Written("#CISK", 2);
    open.Written("#FIL B.MP3", 3);
    EXPECT_FALSE(open.Received("FIL", "ACKC.MP3").answered) << "a file nobody sent";
    const auto a = open.Received("FIL", "ACKA.MP3");
    ASSERT_TRUE(a.answered);
    EXPECT_EQ(a.answered->ticket, 1u);
    EXPECT_EQ(open.Received("CIS", "ACK").answered->ticket, 2u);
    const auto b = open.Received("FIL", "NAK B.MP3");
    ASSERT_TRUE(b.answered);
    EXPECT_EQ(b.answered->argument, " B.MP3") << "the line as written";
    EXPECT_EQ(b.answered->ticket, 3u);
    EXPECT_EQ(open.size(), 0u);
}

TEST(OpenRequestsTest, AServerThatAnswersNothingKeepsTheListBounded) {
    sonpad::OpenRequests open;
    for (size_t i = 0; i < sonpad::OpenRequests::kMaxOpen + 10; ++i)
        open.Written("#PLY?");
    EXPECT_EQ(open.size(), sonpad::OpenRequests::kMaxOpen);
    open.Clear();
    EXPECT_EQ(open.size(), 0u);
    EXPECT_FALSE(open.Holds("PLY"));
}

}  // namespace
}  // namespace client_testing
