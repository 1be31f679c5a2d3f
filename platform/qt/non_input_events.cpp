#include "platform/qt/non_input_events.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform::qt {
namespace {

bool Exposed(const QWidget& widget) {
    const QWindow* window = widget.window()->windowHandle();
    return window && window->isExposed();
}

}  // namespace

void letNonInputEventsIn() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void takeHeldInput() {
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

void waitUntilDrawn(QWidget& widget, int maxWaitMs) {
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(maxWaitMs);
    letNonInputEventsIn();
    while (widget.isVisible() && !Exposed(widget) && deadline.isActive())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    // The paint the exposure asked for.
    letNonInputEventsIn();
}

NonInputEventPacer::NonInputEventPacer(int intervalMs) : intervalMs_(intervalMs) {}

NonInputEventPacer::~NonInputEventPacer() {
    if (sinceLast_.isValid())
        takeHeldInput();
}

bool NonInputEventPacer::due() const {
    return !sinceLast_.isValid() || sinceLast_.elapsed() >= intervalMs_;
}

void NonInputEventPacer::letIn() {
    letNonInputEventsIn();
    sinceLast_.start();
}

bool NonInputEventPacer::letInWhenDue() {
    if (!due())
        return false;
    letIn();
    return true;
}

}  // namespace platform::qt
