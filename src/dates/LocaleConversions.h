#pragma once

#include "data/DateValue.h"
#include "data/Money.h"

#include <QString>
#include <QStringView>
#include <optional>

// Reading back what the locale writes: the text-to-number and text-to-date
// conversions with their validity tests, in one place. The locale is the
// default QLocale().

// A number as the locale writes it: digits with an optional sign (before or
// after, or parentheses around the number for a negative amount), the
// locale's decimal separator, its thousands separators, its currency symbol
// (or ISO code) before or after, blanks around. Thousands separators may
// stand between any two digits before the decimal separator, so where "." is
// the thousands separator "1.5" is fifteen; a second decimal separator, or a
// thousands separator after the first, makes the text no number. Digits of
// the locale's script count as well. Empty or blank text is not a number.
bool isNumber(QStringView text);
std::optional<double> toNumber(QStringView text);
// The same syntax read exactly to four decimals (more decimals are rounded
// half away from zero); amounts beyond the money range give std::nullopt.
std::optional<Money> toMoney(QStringView text);

// A date and/or time as the locale writes it. Accepts the locale's short
// date (two- or four-digit year) and its time patterns; three numbers
// separated by "/", ".", "-", "," or blanks in the order readingDateOrder()
// gives, or year-month-day when the first has three or more digits; ISO
// "2001-05-15"; month names and abbreviations of the locale or English
// ("15 May 2001", "May 15, 2001", "15. Mai 2001"), after an optional weekday;
// two-digit years (00-29 are 2000-2029, 30-99 are 1930-1999); and a time
// "14:30", "2:30:15 PM", "2 pm" alone or after the date. Years run from 100
// to 9999. A day the month does not have is not a date, and neither are two
// numbers without a year: day and month are never swapped to make a text
// fit, and nothing depends on today's date.
bool isDate(QStringView text);
std::optional<DateValue> toDate(QStringView text);

// The window that decides the century of a two-digit year: years below it
// are 20xx, others 19xx.
inline constexpr int TwoDigitYearPivot = 30;
