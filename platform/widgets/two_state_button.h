#pragma once

class QAbstractButton;

namespace platform::widgets {

// Makes the button a two-state one whose toggle through the accessibility tree does what a
// click does: Qt's own toggle only flips the state, without the click the windows act on.
void MakeTwoState(QAbstractButton* button);

}  // namespace platform::widgets
