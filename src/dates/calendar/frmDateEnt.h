#pragma once

#include "dates/CalendarPage.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QLineEdit;
class QTableWidget;
class QToolButton;

// The calendar date picker: one month as a grid of days, with spinners for
// the month and the year. The caller creates the window with the date it
// starts from, sets caption and position, calls showModal() and then reads
// PickedDate(). Picking a day makes it PickedDate() and closes the window;
// closing it any other way (its frame, Escape) leaves PickedDate() the date
// the window started from. One window per opening.
//
// Picking: a click on a day, or Enter on the highlighted day. The arrow keys
// move the highlight through the days (into the next or previous month at
// the month's ends), Home and End to the month's first and last day, Page Up
// and Page Down step the month, and with Ctrl the year.
class frmDateEnt : public QDialog {
    Q_OBJECT
public:
    explicit frmDateEnt(const DateValue &start, QWidget *parent = nullptr);

    // Runs the window modal until it closes.
    void showModal();
    // Tests script the open window: while a runner is set, showModal() hands
    // the window to it instead of running it; an empty runner restores the
    // real modal run.
    using ModalRunner = std::function<void(frmDateEnt &)>;
    static void setModalRunner(ModalRunner runner);

    // Handlers (public so that tests can call them as the events would).
    void Form_Load();
    void ShowMonth();
    // A day cell picked: row 0..5 (the weeks under the heading), column 0
    // (Sunday) .. 6. An empty cell does nothing.
    void Grid1_Click(int row, int column);
    void Spin1_SpinDown(); // previous month
    void Spin1_SpinUp();   // next month
    void Spin2_SpinDown(); // previous year
    void Spin2_SpinUp();   // next year
    void txtMonth_GotFocus();
    void txtYear_GotFocus();

    // The day picked, or the starting date when none was.
    const DateValue &PickedDate() const { return m_pickedDate; }

    // The window's state, as the handlers leave it.
    const CalendarPage &page() const { return m_page; }
    std::array<QString, 12> MonthNames;

    struct SpinButton {
        QToolButton *down = nullptr; // back
        QToolButton *up = nullptr;   // forward
    };

    QLineEdit *txtMonth;
    SpinButton Spin1;
    QLineEdit *txtYear;
    SpinButton Spin2;
    // Six week rows under a heading of the locale's abbreviated day names.
    QTableWidget *Grid1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SpinButton makeSpinButton(const QString &name, const QString &what);
    bool gridKeyPress(int key, Qt::KeyboardModifiers modifiers);
    void fitToTexts();

    DateValue m_pickedDate;
    CalendarPage m_page;
};
