#pragma once

class QAbstractButton;
class QFocusEvent;
class QWidget;

// Whether a control losing the focus is the user leaving it, so that its
// leave check (formatting, checking, storing) runs. Every leave check of
// every window asks this one question. It is not leaving when:
// - the whole window loses the focus (another window, a menu or a message
//   box opened), or the menu bar takes it for its keys;
// - a refused field takes the focus back (a FocusReturn lives);
// - the focus goes to a control that throws the edit away (Cancel): a check
//   that refused there would trap the user in text they want to discard;
// - the control's window is closing: leaving never waits for a check.
bool isLeaving(const QWidget *control, const QFocusEvent *event);

// Whether a control getting the focus is the user entering it (its entering
// handler runs): not when the focus only comes back with the whole window,
// or from a menu.
bool isEntering(const QFocusEvent *event);

// The focus arriving at button runs no leave check (see isLeaving).
void setDiscardsEdits(QAbstractButton *button);

// From now on no leave check runs in window (it is closing for good).
void stopLeaveChecks(QWidget *window);
