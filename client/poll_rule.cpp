#include "client/poll_rule.h"

namespace sonpad {

Poll NextIdlePoll(int& idleTicks, bool& requestInFlight, bool songInfoPending) {
    Poll poll = Poll::Nothing;
    ++idleTicks;
    if (idleTicks == 10 && songInfoPending && !requestInFlight) {
        requestInFlight = true;
        poll = Poll::SongInfo;
    }
    if (idleTicks > 10 && requestInFlight)
        requestInFlight = false;
    if (idleTicks > 19) {
        idleTicks = 0;
        requestInFlight = true;
        poll = Poll::ServerInfo;
    }
    if (!requestInFlight)
        poll = Poll::PlayStatus;
    return poll;
}

}  // namespace sonpad
