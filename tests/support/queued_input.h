#pragma once

#include <Qt>
#include <functional>

class QWidget;
class QPoint;

namespace testing_support {

// Input as a display gives it: queued with the window system and taken in by the next event
// loop that lets input in. (QTest's clicks are handed to the widget at once, past every loop,
// so they cannot show which loop lets the user in.)
void QueueClick(QWidget* widget);  // the left button at the widget's centre
void QueueClickAt(QWidget* widget, QPoint at);
void QueueDoubleClickAt(QWidget* widget, QPoint at);
void QueueWheel(QWidget* widget, int steps);  // steps down (negative: up) at the centre
void QueueKey(QWidget* widget, Qt::Key key);  // pressed and released in the widget's window
void QueueCloseButton(QWidget* widget);       // the frame's close button of the widget's window

// Lets events in as long work does (platform::qt::letNonInputEventsIn) until the window system
// has handed out all the input queued with it and also holds (when given), or a generous
// deadline has passed; whether they came.
bool LetInUntilInputTaken(const std::function<bool()>& also = {});

}  // namespace testing_support
