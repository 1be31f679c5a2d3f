#pragma once

#include <QElapsedTimer>

class QWidget;

namespace platform::qt {

// Work that runs on the user-interface thread keeps the windows drawn: paints, timers (an
// animation's frames) and what the window system says of windows (shown, exposed, moved,
// closed) are handled. Clicks and keys stay queued until the work is done, so they cannot
// start anything inside it.
void letNonInputEventsIn();

// At the work's end: the clicks and keys held meanwhile are taken at once, not only with the
// next event from the window system.
void takeHeldInput();

// Lets non-input events in until the window that holds widget is on the screen and drawn, or
// maxWaitMs have passed: a window manager maps a window just shown only after a round trip.
// Nothing happens for a hidden widget.
void waitUntilDrawn(QWidget& widget, int maxWaitMs = 1000);

// Lets non-input events in at the display's rate, for work that would otherwise do it per
// item: due() at the first call and then once intervalMs have passed since the last letIn().
// Its end takes the held input.
class NonInputEventPacer {
  public:
    explicit NonInputEventPacer(int intervalMs);
    ~NonInputEventPacer();
    NonInputEventPacer(const NonInputEventPacer&) = delete;
    NonInputEventPacer& operator=(const NonInputEventPacer&) = delete;

    bool due() const;
    void letIn();
    // letIn() when due; true when it did.
    bool letInWhenDue();

  private:
    int intervalMs_;
    QElapsedTimer sinceLast_;
};

}  // namespace platform::qt
