// What goes out on each idle tick of the client mode.
#include "client/poll_rule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace client_testing {
namespace {

using sonpad::NextIdlePoll;
using sonpad::Poll;

// One letter a tick: P "#PLY?", S "#SIF", I "#INI?", - nothing.
char Tick(int& idleTicks, bool& inFlight, bool pending) {
    switch (NextIdlePoll(idleTicks, inFlight, pending)) {
        case Poll::PlayStatus:
            return 'P';
        case Poll::SongInfo:
            return 'S';
        case Poll::ServerInfo:
            return 'I';
        case Poll::Nothing:
            break;
    }
    return '-';
}

TEST(PollRuleTest, IdleTickSequences) {
    struct Case {
        const char* name;
        int idleTicks;
        bool inFlight;
        bool pending;
        int ticks;
        const char* sent;
        int idleAfter;
        bool inFlightAfter;     // not checked where requests are answered
        bool answered = false;  // each request's reply arrives on the tick after it
    };
    const std::vector<Case> cases = {
        {"nothing pending", 0, false, false, 20, "PPPPPPPPPPPPPPPPPPPI", 0, true},
        {"an entry pending", 0, false, true, 20, "PPPPPPPPPSPPPPPPPPPI", 0, true},
        // Nobody answered the "#INI?": silent until the 11th idle tick, and the 10th finds
        // the request still out, so no "#SIF" goes out.
        {"unanswered info request", 0, true, true, 20, "----------PPPPPPPPPI", 0, true},
        // An answer cleared the flag: the next round asks for song information again.
        {"answered info request", 0, false, true, 40, "PPPPPPPPPSPPPPPPPPPIPPPPPPPPPSPPPPPPPPPI", 0,
         false, true},
        {"counter carried over", 18, false, false, 3, "PI-", 1, true},
    };
    for (const Case& c : cases) {
        int idleTicks = c.idleTicks;
        bool inFlight = c.inFlight;
        std::string sent;
        for (int i = 0; i < c.ticks; ++i) {
            sent += Tick(idleTicks, inFlight, c.pending);
            if (c.answered && (sent.back() == 'S' || sent.back() == 'I'))
                inFlight = false;
        }
        EXPECT_EQ(sent, c.sent) << c.name;
        EXPECT_EQ(idleTicks, c.idleAfter) << c.name;
        if (!c.answered) {
            EXPECT_EQ(inFlight, c.inFlightAfter) << c.name;
        }
    }
}

}  // namespace
}  // namespace client_testing
