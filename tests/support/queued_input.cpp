#include "tests/support/queued_input.h"

#include <qpa/qwindowsysteminterface.h>

#include <QKeySequence>
#include <QPoint>
#include <QWidget>
#include <QWindow>
#include <chrono>

#include "platform/qt/non_input_events.h"

namespace testing_support {
namespace {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

void QueueButton(QWidget* widget, QPoint at, QEvent::Type type, Qt::MouseButtons down) {
    QWidget* top = widget->window();
    const QPointF local = widget->mapTo(top, QPointF(at));
    const QPointF global = widget->mapToGlobal(QPointF(at));
    QWindowSystemInterface::handleMouseEvent<Queued>(top->windowHandle(), local, global, down,
                                                     Qt::LeftButton, type);
}

}  // namespace

void QueueClick(QWidget* widget) {
    QueueClickAt(widget, widget->rect().center());
}

void QueueClickAt(QWidget* widget, QPoint at) {
    QueueButton(widget, at, QEvent::MouseButtonPress, Qt::LeftButton);
    QueueButton(widget, at, QEvent::MouseButtonRelease, Qt::NoButton);
}

void QueueDoubleClickAt(QWidget* widget, QPoint at) {
    // A display sends two clicks; Qt makes the second press a double-click.
    QueueClickAt(widget, at);
    QueueClickAt(widget, at);
}

void QueueWheel(QWidget* widget, int steps) {
    QWidget* top = widget->window();
    const QPoint centre = widget->rect().center();
    // Queued: the window system's events are not delivered at once unless asked to be.
    QWindowSystemInterface::handleWheelEvent(
        top->windowHandle(), QPointF(widget->mapTo(top, centre)),
        QPointF(widget->mapToGlobal(centre)), QPoint(), QPoint(0, -120 * steps));
}

void QueueKey(QWidget* widget, Qt::Key key) {
    QWindow* window = widget->window()->windowHandle();
    const QString text = QKeySequence(key).toString().toLower();
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyPress, key, Qt::NoModifier,
                                                   text);
    QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyRelease, key, Qt::NoModifier,
                                                   text);
}

void QueueCloseButton(QWidget* widget) {
    QWindowSystemInterface::handleCloseEvent<Queued>(widget->window()->windowHandle());
}

bool LetInUntilInputTaken(const std::function<bool()>& also) {
    const auto came = [&also] {
        return QWindowSystemInterface::windowSystemEventsQueued() == 0 && (!also || also());
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!came() && std::chrono::steady_clock::now() < deadline)
        platform::qt::letNonInputEventsIn();
    return came();
}

}  // namespace testing_support
