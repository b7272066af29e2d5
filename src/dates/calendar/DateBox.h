#pragma once

#include "dates/DateBoxRules.h"

#include <QLineEdit>

class QAction;

// A box for a date typed in the locale's short date format, with a
// drop-down button (also F4 or Alt+Down) that opens the calendar. Being a
// QLineEdit, its text, textChanged (raised by every change: typing, the "+"
// and "-" keys, the calendar's date) and the rest are QLineEdit's.
//
// Leaving the box (the focus moving to another control of its window) runs
// the leave check: a date or the empty text passes and raises leaveAccepted;
// anything else, blanks included, shows the role's message and puts the
// focus back, the text left as typed. The focus coming and going with the
// whole window, or moving while a FocusReturn lives, is not leaving.
class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(const DateBoxRole &role, QWidget *parent = nullptr);

    const DateBoxRole &role() const { return m_role; }

    // Handlers (public so that tests can call them as the events would).
    // Opens the calendar at the box's date (today's when the text is none)
    // where the role says, writes the date it gives back in the short date
    // format (the starting date when nothing was picked), runs the leave
    // check on it at once, then moves the focus on as Tab would. The button
    // takes the focus first, as a click into the box would; when the field
    // being left refuses to let it go, no calendar opens.
    void DropDown();
    // The leave check; false when the text was refused.
    bool LostFocus();
    // "+" (days 1) or "-" (days -1) when the role steps the date.
    void KeyPress(int days);

    QAction *dropDownButton() const { return m_dropDown; }

signals:
    // The box was left holding a date or nothing.
    void leaveAccepted();
    // The leave check refused the text (its message was shown).
    void leaveRefused();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QRect screenAnchor() const;

    DateBoxRole m_role;
    QAction *m_dropDown;
    // True while the focus moves on from a date the calendar gave, whose
    // leave check has already run.
    bool m_movingOn = false;
};
