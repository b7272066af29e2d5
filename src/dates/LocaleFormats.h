#pragma once

#include "data/DateValue.h"
#include "data/Money.h"

#include <QString>

// The locale's named formats, in one place. The locale is the default
// QLocale(): the system's at start-up, set by tests.

// "short date": the locale's short date, always with a four-digit year
// (a two-digit year is ambiguous for things bought decades ago).
QString formatShortDate(const DateValue &date);
// "currency": currency symbol, thousands separators, the locale's decimals.
QString formatCurrency(Money amount);
// "ddddd": the date part in the short date format (same as "short date").
QString formatDdddd(const DateValue &date);
// "medium time": hours and minutes in twelve-hour form with AM/PM
// ("7:05 PM"), whatever the locale's own time pattern.
QString formatMediumTime(const DateValue &time);
// "mmmm": the locale's full month name, month 1..12.
QString formatMonthName(int month);
// "ddd": the locale's abbreviated day name; dayOfWeek 1 is Sunday .. 7 Saturday.
QString formatDayAbbreviation(int dayOfWeek);
// The locale writing a date value as text with both parts as present (a
// value without a date part gives the time alone in the long time format).
QString formatGeneralDateTime(const DateValue &value);
