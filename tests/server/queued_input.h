#pragma once

class QWidget;

namespace server_testing {

// Input as a display gives it: queued with the window system and taken in by the next event
// loop that lets input in. (QTest's clicks are handed to the widget at once, past every loop,
// so they cannot show which loop lets the user in.)
void QueueClick(QWidget* widget);        // the left button at the widget's centre
void QueueCloseButton(QWidget* widget);  // the frame's close button of the widget's window

}  // namespace server_testing
