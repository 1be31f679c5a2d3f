#pragma once

#include <functional>

// The one record of the work under way on the user-interface thread, and the one guard of the
// commands that must not run inside it. Long work (a scan, a tree build, a copy, a load) lets
// events in while it runs, so the windows are drawn, timers fire and connections are answered;
// whatever those events start comes from outside the work. User-interface thread only.
namespace platform {

// Work under way for as long as it lives (nests; what a job, a tick or a start-up runs nests
// inside it).
class WorkUnderWay {
  public:
    enum class Kind {
        Short,       // a tick, a connection's job: lets no events in itself
        StartUpDue,  // a start-up that waits in the event queue for its turn
        StartUp,     // a program's start-up: lets no events in itself, its scan and boxes do
        Long,        // long work: lets events in
        Scan,        // long work that rebuilds the library
    };
    explicit WorkUnderWay(Kind kind = Kind::Short);
    ~WorkUnderWay();
    WorkUnderWay(const WorkUnderWay&) = delete;
    WorkUnderWay& operator=(const WorkUnderWay&) = delete;
};

// Any work, due or under way, short or long.
bool workUnderWay();
// Work of that kind.
bool workUnderWay(WorkUnderWay::Kind kind);
bool longWorkUnderWay();
// A scan is running (it may be letting this call in).
bool scanUnderWay();

// Long work is under way and the caller is not its own code: an event it let in (an
// accessibility action, a timer, a connection's job) or the loop of a box it shows got here.
// A command that would open a box, a chooser or a menu, or change what the work reads, does
// nothing then: its user gave it on a screen the work is about to change.
bool outsideLongWork();

// Long work's own letting events in runs at the event loop level now running: what comes in
// now is the work's events, not the input of a box's own loop.
bool longWorkLettingEventsInHere();

// Runs command at once when no work is under way, else once the outermost work has ended
// (from the event loop, in the order given): a window's close, the program's end.
void whenWorkEnds(std::function<void()> command);
// Something waits for the work's end.
bool workEndAwaited();

// Marks the time long work lets events in.
class LettingEventsIn {
  public:
    LettingEventsIn();
    ~LettingEventsIn();
    LettingEventsIn(const LettingEventsIn&) = delete;
    LettingEventsIn& operator=(const LettingEventsIn&) = delete;
};

// What the user-interface toolkit adds: set once by it (platform/qt/non_input_events.h).
struct WorkHooks {
    std::function<int()> loopLevel;                      // the event loops now running
    std::function<void()> longWorkBegan, longWorkEnded;  // the outermost long work's
    std::function<void(std::function<void()>)> post;     // runs a call from the event loop
};
void setWorkHooks(WorkHooks hooks);

}  // namespace platform
