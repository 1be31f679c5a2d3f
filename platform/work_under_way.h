#pragma once

#include <functional>

// Work under way on the user-interface thread, and the one guard of the commands that must not
// run inside it. Long work (a scan, a tree build, a copy, a load) lets events in while it runs,
// so the windows are drawn, timers fire and connections are answered; whatever those events
// start comes from outside the work. User-interface thread only.
namespace platform {

class WorkUnderWay {
  public:
    enum class Kind {
        Short,         // a tick, a connection's job, the start-up: lets no events in itself
        LetsEventsIn,  // long work
    };
    explicit WorkUnderWay(Kind kind = Kind::Short);
    ~WorkUnderWay();
    WorkUnderWay(const WorkUnderWay&) = delete;
    WorkUnderWay& operator=(const WorkUnderWay&) = delete;

  private:
    bool long_;
};

// Any work, short or long, is on the stack.
bool workUnderWay();
bool longWorkUnderWay();

// Long work is under way and the caller is not its own code: an event it let in (an
// accessibility action, a timer, a connection's job) or the loop of a box it shows got here.
// A command that would open a box, a chooser or a menu, or change what the work reads, does
// nothing then: its user gave it on a screen the work is about to change.
bool outsideLongWork();

// Runs command at once when no work is under way, else once the outermost work has ended
// (from the event loop, in the order given): a window's close, the program's end.
void whenWorkEnds(std::function<void()> command);

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
