#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace sonhall {

// The replies to the read-only lines ("#PLY?", "#INI?", "@clients:" and, while a protocol
// rescan runs, the progress reply to every "#" line) as the user-interface thread last
// published them. A logged-in connection's own thread answers those lines from here, without
// handing them over. The user-interface thread publishes at the end of every job and tick,
// before every broadcast, while a protocol rescan shows its progress, and when the user
// changes what they report; never in the middle of a job or a tick. So a connection's answers
// follow from its own earlier lines and from every broadcast it has heard, and none shows a
// change half done.
class QueryAnswers {
  public:
    struct Texts {
        std::string playStatus;
        std::string serverInfo;
        std::string clientList;
        bool rescanning = false;
        std::string rescanProgress;
    };
    void Publish(Texts texts);  // user-interface thread

    // What the handling of a logged-in connection's line gives, when it can be told from here.
    struct Answer {
        bool answered = false;  // false: the line must be handed over
        std::string reply;      // empty: no reply
    };
    Answer For(std::string_view line) const;  // any thread

  private:
    mutable std::mutex mutex_;
    Texts texts_;
};

}  // namespace sonhall
