#pragma once

class QAbstractButton;

namespace platform::widgets {

// Makes the button a two-state one whose toggle through the accessibility tree does what a
// click does: Qt's own toggle only flips the state, without the click the windows act on. While
// long work refuses commands from outside it, the toggle does nothing, as the command would.
void MakeTwoState(QAbstractButton* button);

}  // namespace platform::widgets
