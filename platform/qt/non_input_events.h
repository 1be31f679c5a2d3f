#pragma once

#include <QElapsedTimer>
#include <functional>

#include "platform/work_under_way.h"

class QObject;
class QWidget;

namespace platform::qt {

// Long work on the user-interface thread, for as long as it lives (nests): the pointer shows
// that the program is busy, and while the work lets events in, the user's input to the windows
// it blocks (clicks, wheel turns, keys, shortcuts, context menus) is dropped, not held, so it
// never acts on what the windows show after the work. A menu that something let in opens is
// closed again. A window's close is not input: it comes through. kind: Long or Scan.
class LongWork {
  public:
    explicit LongWork(WorkUnderWay::Kind kind = WorkUnderWay::Kind::Long);
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

  private:
    WorkUnderWay work_;
};

// Lets every event in but the user's input to the windows long work blocks: paints, timers
// (an animation's frames), sockets, what the window system says of windows (shown, exposed,
// closed), and the input to a box posted meanwhile. Called by long work only.
void letNonInputEventsIn();

// A window that takes the user's input while long work lets events in: a posted box, which
// only stands beside the work.
void takesInputDuringWork(QWidget& window);

// Runs command once no work is under way (at once when none is), unless owner is gone by then:
// what must not happen in the middle of work, such as a window's close.
void whenWorkEnds(QObject& owner, std::function<void()> command);

// Lets non-input events in until the window that holds widget is on the screen and drawn, or
// maxWaitMs have passed: a window manager maps a window just shown only after a round trip.
// Nothing happens for a hidden widget.
void waitUntilDrawn(QWidget& widget, int maxWaitMs = 1000);

// Lets non-input events in at the display's rate, for work that would otherwise do it per
// item: due() at the first call and then once intervalMs have passed since the last letIn().
class NonInputEventPacer {
  public:
    explicit NonInputEventPacer(int intervalMs);

    bool due() const;
    void letIn();
    // letIn() when due; true when it did.
    bool letInWhenDue();

  private:
    int intervalMs_;
    QElapsedTimer sinceLast_;
};

}  // namespace platform::qt
