#pragma once

#include "LocaleGuard.h"
#include "ScriptedPrompts.h"
#include "data/DateValue.h"
#include "dates/CalendarPage.h"
#include "dates/Today.h"

#include <QDate>
#include <utility>

// Fixes today's date for one test and puts the clock back afterwards.
struct TodayGuard {
    explicit TodayGuard(QDate date) { setToday(date); }
    ~TodayGuard() { setToday(std::nullopt); }
};

inline DateValue day(int year, int month, int dayOfMonth)
{
    return DateValue::fromDate(QDate(year, month, dayOfMonth));
}

// The {row, column} showing dayOfMonth; {-1, -1} when the page has none.
inline std::pair<int, int> cellOf(const CalendarPage &page, int dayOfMonth)
{
    for (int row = 0; row < CalendarPage::WeekRows; ++row)
        for (int column = 0; column < CalendarPage::WeekDays; ++column)
            if (page.dayAt(row, column) == dayOfMonth)
                return {row, column};
    return {-1, -1};
}
