#pragma once

#include "data/DateValue.h"

#include <QDate>
#include <array>
#include <optional>

// The calendar's years: from 100, the earliest year the date conversion
// reads with all its digits (a composed year below it would be read as a
// two-digit year), to 9999.
inline constexpr int CalendarFirstYear = 100;
inline constexpr int CalendarLastYear = 9999;

// What the calendar window shows, without the window: the date in view
// (CurDate: its month is on display, its day is the highlighted cell) and
// the month laid out in six week rows of seven days, Sunday first.
//
// Dates are made as the locale reads them: month, day and year composed by
// BuildDateText and converted back, so a day the new month lacks fails and
// the step lands on the 1st instead.
class CalendarPage {
public:
    static constexpr int WeekRows = 6;
    static constexpr int WeekDays = 7;

    // Starts at the date part of start. A date outside the calendar's years
    // starts at the nearest day within them; one no calendar day stands for
    // starts at today's date.
    explicit CalendarPage(const DateValue &start);

    const QDate &curDate() const { return m_curDate; }
    qint16 curMonth() const { return m_curMonth; }
    qint16 curYear() const { return m_curYear; }

    // The day in week row 0..5, column 0 (Sunday) .. 6 (Saturday); 0 for an
    // empty cell before the 1st or after the last day.
    int dayAt(int row, int column) const;
    // The cell of CurDate's day.
    int selectedRow() const { return m_selectedRow; }
    int selectedColumn() const { return m_selectedColumn; }

    // Lays out CurDate's month and finds the highlighted cell.
    void ShowMonth();

    // One step of the spinners: the same day in the new month (day 1 when
    // it has no such day). At the first or last year the step beeps, changes
    // nothing and gives false.
    bool monthBack();
    bool monthForward();
    bool yearBack();
    bool yearForward();
    // Moves CurDate by whole days, into the next or previous month when it
    // leaves this one; beeps and gives false beyond the calendar's years.
    bool moveDays(int days);

    // The date of the day in that cell; std::nullopt for an empty cell.
    std::optional<DateValue> pick(int row, int column) const;

private:
    bool stepTo(int month, int year);

    QDate m_curDate;
    qint16 m_curMonth = 0;
    qint16 m_curYear = 0;
    std::array<std::array<int, WeekDays>, WeekRows> m_days{};
    int m_selectedRow = 0;
    int m_selectedColumn = 0;
};
