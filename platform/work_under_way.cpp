#include "platform/work_under_way.h"

#include <deque>
#include <utility>
#include <vector>

#include "platform/event_guard.h"

namespace platform {
namespace {

// A long work's own code runs at the loop level it began at, with no events being let in.
struct LongFrame {
    int loopLevel;
    int lettingIn = 0;
};

struct State {
    int depth = 0;
    std::vector<LongFrame> longFrames;
    std::deque<std::function<void()>> pending;
    bool runPosted = false;
    WorkHooks hooks;
};

State& state() {
    static State s;
    return s;
}

int LoopLevel() {
    const State& s = state();
    return s.hooks.loopLevel ? s.hooks.loopLevel() : 0;
}

void RunPending() {
    State& s = state();
    s.runPosted = false;
    while (!s.pending.empty() && s.depth == 0) {
        std::function<void()> command = std::move(s.pending.front());
        s.pending.pop_front();
        guarded(command);
    }
}

void PostPending() {
    State& s = state();
    if (s.pending.empty() || s.runPosted)
        return;
    if (!s.hooks.post) {
        RunPending();
        return;
    }
    s.runPosted = true;
    s.hooks.post(RunPending);
}

}  // namespace

WorkUnderWay::WorkUnderWay(Kind kind) : long_(kind == Kind::LetsEventsIn) {
    State& s = state();
    ++s.depth;
    if (!long_)
        return;
    s.longFrames.push_back({LoopLevel()});
    if (s.longFrames.size() == 1 && s.hooks.longWorkBegan)
        s.hooks.longWorkBegan();
}

WorkUnderWay::~WorkUnderWay() {
    State& s = state();
    if (long_) {
        s.longFrames.pop_back();
        if (s.longFrames.empty() && s.hooks.longWorkEnded)
            s.hooks.longWorkEnded();
    }
    if (--s.depth == 0)
        PostPending();
}

bool workUnderWay() {
    return state().depth > 0;
}

bool longWorkUnderWay() {
    return !state().longFrames.empty();
}

bool outsideLongWork() {
    const State& s = state();
    if (s.longFrames.empty())
        return false;
    const LongFrame& innermost = s.longFrames.back();
    return innermost.lettingIn > 0 || LoopLevel() > innermost.loopLevel;
}

void whenWorkEnds(std::function<void()> command) {
    State& s = state();
    if (s.depth == 0 && s.pending.empty()) {
        command();
        return;
    }
    s.pending.push_back(std::move(command));
    if (s.depth == 0)
        PostPending();
}

LettingEventsIn::LettingEventsIn() {
    if (State& s = state(); !s.longFrames.empty())
        ++s.longFrames.back().lettingIn;
}

LettingEventsIn::~LettingEventsIn() {
    if (State& s = state(); !s.longFrames.empty())
        --s.longFrames.back().lettingIn;
}

void setWorkHooks(WorkHooks hooks) {
    state().hooks = std::move(hooks);
}

}  // namespace platform
