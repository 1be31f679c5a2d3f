#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace platform::widgets {

// A panel, list or label in the colours of its design: its background (filled) and its text.
inline void SetColours(QWidget* widget, const QColor& base, const QColor& text) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, base);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

}  // namespace platform::widgets
