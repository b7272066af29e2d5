#pragma once

class QAbstractButton;
class QApplication;

// Presses button as a click of the mouse does: the focus moves to it first,
// so that the field being left runs its leave check (formatting, the total,
// the date check), and the button's command runs only when the focus really
// arrived. A check that refuses puts the focus back and nothing is pressed.
// A button that takes no focus, or one in a window that is not active, is
// simply clicked. False when nothing was pressed.
bool pressButton(QAbstractButton *button);

// Installs the desktop rules for buttons on the whole application, for
// every window:
// - an access key (Alt+letter) presses its button through pressButton; a
//   key shared by several buttons presses none, it moves the focus to the
//   next of them after the focused control in tab order;
// - Enter or Return on a focused push button presses it, as Space does;
// - a mouse press on a button that did not get the focus (the field being
//   left refused to let it go) is dropped, so the click does not happen.
// Idempotent.
void installButtonRules(QApplication *app);
