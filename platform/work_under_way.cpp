#include "platform/work_under_way.h"

#include <algorithm>
#include <deque>
#include <utility>
#include <vector>

#include "platform/event_guard.h"

namespace platform {
namespace {

using Kind = WorkUnderWay::Kind;

// A piece of work, or long work's letting events in, with the event loop level it began at.
// Code runs at the level it began at; a box's own loop runs above it.
struct Entry {
    const void* owner;
    bool letIn;  // else work
    Kind kind;
    int loopLevel;
};

bool IsLong(Kind kind) {
    return kind == Kind::Long || kind == Kind::Scan;
}

bool IsLong(const Entry& e) {
    return !e.letIn && IsLong(e.kind);
}

struct State {
    std::vector<Entry> entries;  // innermost last
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

bool RunsHere(const Entry& e) {
    return LoopLevel() == e.loopLevel;
}

bool AnyWork(bool (*matches)(const Entry&)) {
    const std::vector<Entry>& entries = state().entries;
    return std::any_of(entries.begin(), entries.end(), matches);
}

bool AnyWork() {
    return AnyWork([](const Entry& e) { return !e.letIn; });
}

void RunPending() {
    State& s = state();
    s.runPosted = false;
    while (!s.pending.empty() && !AnyWork()) {
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

void Add(const void* owner, bool letIn, Kind kind) {
    State& s = state();
    const bool firstLong = IsLong(kind) && !letIn && !longWorkUnderWay();
    s.entries.push_back({owner, letIn, kind, LoopLevel()});
    if (firstLong && s.hooks.longWorkBegan)
        s.hooks.longWorkBegan();
}

void Remove(const void* owner, bool letIn) {
    State& s = state();
    // Innermost first; an entry kept by a window (a start-up that is due) may end out of turn.
    const auto it = std::find_if(
        s.entries.rbegin(), s.entries.rend(),
        [owner, letIn](const Entry& e) { return e.owner == owner && e.letIn == letIn; });
    if (it == s.entries.rend())
        return;
    const bool wasLong = IsLong(*it);
    s.entries.erase(std::next(it).base());
    if (wasLong && !longWorkUnderWay() && s.hooks.longWorkEnded)
        s.hooks.longWorkEnded();
    if (!AnyWork())
        PostPending();
}

}  // namespace

WorkUnderWay::WorkUnderWay(Kind kind) {
    Add(this, false, kind);
}

WorkUnderWay::~WorkUnderWay() {
    Remove(this, false);
}

bool workUnderWay() {
    return AnyWork();
}

bool workUnderWay(Kind kind) {
    const std::vector<Entry>& entries = state().entries;
    return std::any_of(entries.begin(), entries.end(),
                       [kind](const Entry& e) { return !e.letIn && e.kind == kind; });
}

bool longWorkUnderWay() {
    return AnyWork([](const Entry& e) { return IsLong(e); });
}

bool scanUnderWay() {
    return workUnderWay(Kind::Scan);
}

bool outsideLongWork() {
    // The innermost long work's own code runs when nothing it let in is under way and the
    // loop level is its own.
    const std::vector<Entry>& entries = state().entries;
    const auto work =
        std::find_if(entries.rbegin(), entries.rend(), [](const Entry& e) { return IsLong(e); });
    if (work == entries.rend())
        return false;
    const bool lettingIn =
        std::any_of(entries.rbegin(), work, [](const Entry& e) { return e.letIn; });
    return lettingIn || !RunsHere(*work);
}

bool longWorkLettingEventsInHere() {
    const std::vector<Entry>& entries = state().entries;
    const auto letIn =
        std::find_if(entries.rbegin(), entries.rend(), [](const Entry& e) { return e.letIn; });
    return letIn != entries.rend() && RunsHere(*letIn);
}

void whenWorkEnds(std::function<void()> command) {
    State& s = state();
    if (!AnyWork() && s.pending.empty()) {
        command();
        return;
    }
    s.pending.push_back(std::move(command));
    if (!AnyWork())
        PostPending();
}

bool workEndAwaited() {
    return !state().pending.empty();
}

LettingEventsIn::LettingEventsIn() {
    if (longWorkUnderWay())
        Add(this, true, Kind::Long);
}

LettingEventsIn::~LettingEventsIn() {
    Remove(this, true);
}

void setWorkHooks(WorkHooks hooks) {
    state().hooks = std::move(hooks);
}

}  // namespace platform
