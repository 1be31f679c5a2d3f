#include "tests/server/queued_input.h"

#include <qpa/qwindowsysteminterface.h>

#include <QWidget>
#include <QWindow>

namespace server_testing {

using Queued = QWindowSystemInterface::AsynchronousDelivery;

void QueueClick(QWidget* widget) {
    QWidget* top = widget->window();
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF local = widget->mapTo(top, centre);
    const QPointF global = widget->mapToGlobal(centre);
    QWindowSystemInterface::handleMouseEvent<Queued>(top->windowHandle(), local, global,
                                                     Qt::LeftButton, Qt::LeftButton,
                                                     QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(top->windowHandle(), local, global,
                                                     Qt::NoButton, Qt::LeftButton,
                                                     QEvent::MouseButtonRelease);
}

void QueueCloseButton(QWidget* widget) {
    QWindowSystemInterface::handleCloseEvent<Queued>(widget->window()->windowHandle());
}

}  // namespace server_testing
