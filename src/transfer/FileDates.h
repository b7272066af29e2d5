#pragma once

#include "data/DateValue.h"

#include <QString>
#include <QStringView>
#include <optional>

// Dates as files of other programs write them. A date of three numbers
// ("01.03.2021", "3/1/2021") is read in one order for the whole column,
// decided from its values, never in the order that happens to fit one
// value: a day and a month are never swapped to make a date.

enum class DateStyle {
    DayMonthYear, // 24.12.2019, 24/12/2019
    MonthDayYear, // 12/24/2019
    YearMonthDay, // 2019-12-24
};

// "24.12.2019", "12/24/2019", "2019-12-24": how the order writes a date.
QString dateStyleExample(DateStyle style);
// "day first, like 24.12.2019": the order in words, for messages.
QString dateStyleWords(DateStyle style);

// The order in which this computer's locale writes dates.
DateStyle localeDateStyle();

// A date read in the order: ISO ("2019-12-24", with a time after a blank or
// a "T") in any order; three numbers separated by "/", "." or "-" (or
// blanks), a first number of three or four digits being the year whatever
// the order, a two-digit year read as the record form reads it; a time may
// follow after a blank ("14:30", "2:30 PM"). A date with a month name
// ("15 May 2021", "15. Mai 2021") is read as the locale reads it: the name
// leaves no doubt. Nothing when the text is not such a date.
std::optional<DateValue> readFileDate(QStringView text, DateStyle style);

// What one value tells about the order of its column.
enum class DateClue {
    None,      // no date of numbers in any order ("15 May 2021" tells nothing either)
    Neutral,   // read alike in every order ("5/5/2017")
    YearFirst, // the year first ("2019-12-24"): read alike, but it shows the order
    DayFirst,  // only day-month-year reads it ("24.12.2019")
    MonthFirst,
    Ambiguous, // both read it, as different days ("01.03.2021")
};
DateClue dateClue(QStringView text);
