#pragma once

#include <QFocusEvent>
#include <QPushButton>
#include <QWidget>

// How the forms' fields and buttons behave alike in both programs.
namespace platform::widgets {

// A push button that the Enter key in a field of its window does not press.
inline QPushButton* PlainButton(const char* text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

// The Enter key (either one) moves the focus to target, so that leaving the field runs its
// check; true when the key was taken.
inline bool FocusOnEnter(int key, QWidget* target) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    target->setFocus(Qt::TabFocusReason);
    return true;
}

// Only a move to another control of the window is leaving a field; a box or another window
// taking the focus is not.
inline bool LeavesForAnotherControl(const QFocusEvent& event) {
    return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

}  // namespace platform::widgets
