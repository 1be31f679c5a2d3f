#pragma once

#include <QString>

class QWidget;

namespace platform::widgets {

// Sets the widget's tooltip; when the widget's tooltip stands on the screen at that moment (the
// mouse rests on it), the standing one shows the new text at once instead of keeping the old
// one until the mouse moves away: a hint that follows a clock, a countdown or a status text.
void SetLiveToolTip(QWidget* widget, const QString& text);

}  // namespace platform::widgets
