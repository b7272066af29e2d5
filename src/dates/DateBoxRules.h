#pragma once

#include "data/DateValue.h"
#include "dates/CalendarPlacement.h"

#include <QString>
#include <optional>

// What a date box does, apart from being a window control.

// What one date box says and does: the calendar's caption and position, the
// message shown when it is left holding neither a date nor nothing, whether
// "+" and "-" step its date, and the name a screen reader gives the box's
// calendar button (one a window's other calendar buttons do not share).
struct DateBoxRole {
    QString calendarCaption;
    CalendarPlacement placement = CalendarPlacement::LeftAlignedBelow;
    QString invalidMessage;
    bool stepKeys = false;
    QString buttonName;
};

// The item editor's purchase date.
extern const DateBoxRole PurchaseDateRole;

// A box's text as its leave check sees it. Only the empty text is empty: a
// text of blanks is no date and is refused.
enum class LeavingText { Empty, Valid, Invalid };
LeavingText checkLeavingText(const QString &text);

// The text after "+" (days 1) or "-" (days -1): a valid date one day later
// or earlier in the short date format (a time of day is dropped); for any
// other text, empty included, today's date. std::nullopt when the step would
// leave the years a date box reads (before 1 January 100, after 31 December
// 9999): the box keeps its text and beeps.
std::optional<QString> steppedDateText(const QString &text, int days);

// The date the calendar opens at: the box's date when its text is one,
// else today's date.
DateValue calendarStartDate(const QString &text);
