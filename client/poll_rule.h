#pragma once

// What the client sends on a client-mode tick that read nothing from the server. Plain
// integers and flags, no Qt, so the rule can be tried on any sequence of ticks.
namespace sonpad {

enum class Poll {
    Nothing,     // a request is still out
    PlayStatus,  // "#PLY?"
    SongInfo,    // "#SIF" + the first pending entry
    ServerInfo,  // "#INI?"
};

// Counts the idle tick and says what goes out: "#PLY?" normally, the song-information
// request on the 10th idle tick when one is pending and none is out, "#INI?" on the 20th
// (the count then starts again). While a request is out no "#PLY?" is sent; from the 11th
// idle tick on a request counts as out no longer.
Poll NextIdlePoll(int& idleTicks, bool& requestInFlight, bool songInfoPending);

}  // namespace sonpad
