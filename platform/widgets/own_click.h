#pragma once

#include <functional>

class QWidget;

namespace platform::widgets {

// Runs handler on a click of the left button on the widget itself: the press and the release
// over it, neither over one of its child controls (those have clicks of their own).
void OnOwnClick(QWidget* widget, std::function<void()> handler);

}  // namespace platform::widgets
