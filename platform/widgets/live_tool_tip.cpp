#include "platform/widgets/live_tool_tip.h"

#include <QCursor>
#include <QToolTip>
#include <QWidget>

namespace platform::widgets {

void SetLiveToolTip(QWidget* widget, const QString& text) {
    const QString before = widget->toolTip();
    if (text == before)
        return;
    widget->setToolTip(text);
    // The tip that stands is this widget's when it shows the old text with the mouse on it.
    if (!QToolTip::isVisible() || QToolTip::text() != before || !widget->isVisible())
        return;
    const QPoint mouse = QCursor::pos();
    if (!widget->rect().contains(widget->mapFromGlobal(mouse)))
        return;
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(mouse, text, widget);
}

}  // namespace platform::widgets
