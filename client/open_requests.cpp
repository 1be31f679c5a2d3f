#include "client/open_requests.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "common/line_protocol.h"

namespace sonpad {
namespace {

// The server's word that this client's rescan started, as the reply table reads it.
const std::string& RescanStartedPayload() {
    static const std::string payload = kv::SplitReply(kv::kRescanStarted).payload;
    return payload;
}

}  // namespace

void OpenRequests::Written(std::string_view line, std::uint64_t ticket) {
    if (!line.starts_with('#'))
        return;
    Open open;
    open.request.code = kv::CommandCode(line);
    open.request.argument = std::string(line.size() > 4 ? line.substr(4) : std::string_view());
    open.request.ticket = ticket;
    open.key = kv::RequestKey(open.request.code, open.request.argument);
    open.alwaysReplies =
        kv::RepliesTo(open.request.code, open.request.argument) == kv::Replies::One;
    open_.push_back(std::move(open));
    if (open_.size() > kMaxOpen) {
        open_.pop_front();
        progressLines_ = std::min(progressLines_, open_.size());
    }
}

OpenRequests::Outcome OpenRequests::Received(std::string_view type, std::string_view payload) {
    if (type == kv::code::kAvailable) {
        Outcome outcome;
        outcome.serverAnswers = true;  // the server's player tick runs again
        return outcome;
    }
    if (type == kv::code::kRescan) {
        if (payload.starts_with("NAK"))
            return Answer(type, {}, Match::Plain);
        if (payload.starts_with("DONE"))
            return Answer(type, {}, Match::RescanEnds);
        if (payload == RescanStartedPayload())
            return Answer(type, {}, Match::RescanStarts);
        return Progress();
    }
    if (kv::IsAnswer(type))
        return Answer(type, kv::ReplyKeyOf(type, payload), Match::Plain);
    return {};  // "#LOG" lines answer the log-in line or come to everyone
}

bool OpenRequests::Holds(std::string_view code) const {
    return std::any_of(open_.begin(), open_.end(),
                       [&](const Open& open) { return open.request.code == code; });
}

void OpenRequests::Clear() {
    open_.clear();
    progressLines_ = 0;
}

OpenRequests::Outcome OpenRequests::Progress() {
    // The line of this client's own rescan comes before anything asked after it; a progress
    // line with nothing asked answers nothing of ours.
    if (open_.empty() || open_.front().rescanRunning)
        return {};
    progressLines_ = std::min(progressLines_ + 1, open_.size());
    Outcome outcome;
    TakeCertain(outcome.replaced);
    return outcome;
}

// A request that always replies with fewer requests before it than progress lines came drew
// one of them; when as many lines came as requests are open, each drew one.
void OpenRequests::TakeCertain(std::vector<Request>& replaced) {
    const bool all = progressLines_ == open_.size();
    std::deque<Open> left;
    for (size_t p = 0; p < open_.size(); ++p) {
        if (all || (p < progressLines_ && open_[p].alwaysReplies)) {
            replaced.push_back(std::move(open_[p].request));
            --progressLines_;
        } else {
            left.push_back(std::move(open_[p]));
        }
    }
    open_ = std::move(left);
}

OpenRequests::Outcome OpenRequests::Answer(std::string_view code, std::string_view key,
                                           Match match) {
    const auto fits = [&](const Open& open) {
        if (open.request.code != code)
            return false;
        if (open.key != key)
            return false;
        if (code == kv::code::kRescan)
            return open.rescanRunning == (match == Match::RescanEnds);
        return true;
    };
    // The first request of that kind that leaves room for the progress lines before it and
    // has no more always-replying requests before it than lines came; failing that (a server
    // out of step), the first of that kind.
    const size_t lines = progressLines_;
    std::optional<size_t> first;
    std::optional<size_t> answered;
    size_t alwaysBefore = 0;
    for (size_t j = 0; j < open_.size() && !answered; ++j) {
        if (fits(open_[j])) {
            if (!first)
                first = j;
            if (j >= lines && alwaysBefore <= lines)
                answered = j;
        }
        if (open_[j].alwaysReplies)
            ++alwaysBefore;
    }
    if (!answered)
        answered = first;
    if (!answered)
        return {};  // answers nothing this client asked: the list stays as it is

    // The lines before it: one for each that always replies, the rest for those that may not.
    std::vector<bool> drew(*answered, false);
    size_t left = lines;
    for (size_t i = 0; i < *answered && left > 0; ++i)
        if (open_[i].alwaysReplies) {
            drew[i] = true;
            --left;
        }
    for (size_t i = 0; i < *answered && left > 0; ++i)
        if (!open_[i].alwaysReplies)
            drew[i] = true;
    Outcome outcome;
    outcome.serverAnswers = true;
    for (size_t i = 0; i < *answered; ++i)
        if (drew[i])
            outcome.replaced.push_back(std::move(open_[i].request));
    open_.erase(open_.begin(), open_.begin() + static_cast<std::ptrdiff_t>(*answered));
    if (match == Match::RescanStarts) {
        open_.front().rescanRunning = true;
    } else {
        outcome.answered = std::move(open_.front().request);
        open_.pop_front();
    }
    progressLines_ = 0;
    return outcome;
}

}  // namespace sonpad
