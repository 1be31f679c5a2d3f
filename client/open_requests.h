#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The "#" lines this connection wrote whose replies have not all come, in the order written.
// No Qt, so any order of lines and replies can be tried.
//
// The server answers one connection's lines in the order they came, as the reply rules of
// common/line_protocol.h say: some always with one line, "#SIF" only when it holds the file,
// the rest with none. While another client's rescan runs, every
// "#" line gets one progress line ("#SCN" + text) in place of its own reply, its own or none.
// Counting those lines against the requests in order tells which requests a rescan answered:
// - a request that always replies is answered by the rescan as soon as more progress lines
//   came than requests stand before it;
// - otherwise the question waits for the server's next answer of its own, which names the
//   request it answers and so says how many of those before it the rescan answered: every
//   one that always replies, and, when lines are left over, those that may stay unanswered
//   ("#VOL", "#SIF"), all of which then count as answered by the rescan (asking them again
//   is harmless; losing them is not).
namespace sonpad {

class OpenRequests {
  public:
    struct Request {
        std::string code;          // characters 2-4 of the line, upper case: "FIL"
        std::string argument;      // the rest of the line, as written
        std::uint64_t ticket = 0;  // the writer's number for what the request stands for
    };
    struct Outcome {
        std::vector<Request> replaced;    // answered by another client's rescan, in request order
        std::optional<Request> answered;  // the request the line is the server's own answer to
        // The line is the server's own answer or its "#AVL": no rescan holds its replies now.
        bool serverAnswers = false;
    };

    // A line that went out; only "#" lines are kept.
    void Written(std::string_view line, std::uint64_t ticket = 0);
    // A "#" line from the server, split as the reply table reads it (type and payload upper
    // case and trimmed).
    Outcome Received(std::string_view type, std::string_view payload);
    bool Holds(std::string_view code) const;
    size_t size() const { return open_.size(); }
    void Clear();

    // A server that answers nothing must not make the list grow without end.
    static constexpr size_t kMaxOpen = 1000;

  private:
    struct Open {
        Request request;
        std::string key;  // what its reply repeats, upper case; empty when nothing
        bool alwaysReplies = true;
        bool rescanRunning = false;  // a "#SCN" of this client that the server started
    };
    enum class Match { Plain, RescanStarts, RescanEnds };

    Outcome Progress();
    Outcome Answer(std::string_view code, std::string_view key, Match match);
    void TakeCertain(std::vector<Request>& replaced);

    std::deque<Open> open_;
    // Progress lines that came for requests still listed, not yet put down to one of them.
    size_t progressLines_ = 0;
};

}  // namespace sonpad
