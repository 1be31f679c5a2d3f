#pragma once

#include <QRect>
#include <QSize>
#include <functional>

class QWidget;

namespace platform::widgets {

// What the window system's frame, title bar included, adds to a top-level window's size: the
// window's own once it has been framed; before that the frame of shown, a window of the
// program already on the screen (a window manager frames its windows alike); nothing while
// neither is known.
QSize FrameExtra(const QWidget& window, const QWidget* shown);

// The frame a window is to have, title bar included, given what the frame adds to its size.
using FrameRule = std::function<QRect(QSize frameExtra)>;

// Places the top-level window's frame, title bar included, where rule says, and gives its
// inner area the size the frame leaves. The window system is always told the place, also one
// the window seems to hold already: an unshown window seems to stand at 0/0, and one never
// placed goes where the window manager chooses. Where the frame was only estimated, the rule
// is applied again, once, as soon as the window has a frame of its own.
void PlaceFrame(QWidget& window, const FrameRule& rule, const QWidget* shown);

}  // namespace platform::widgets
