#pragma once

#include <QLocale>
#include <QString>

// Reading the locale's own date and time patterns (QLocale's pattern letters).

// The locale's short date pattern with the year widened to four digits.
QString shortDatePattern(const QLocale &locale);

// The order of day, month and year fields in a date pattern as "mdy", "dmy",
// "ymd"...; empty when the pattern lacks one of the three.
QString patternDateOrder(const QString &pattern);

// A time pattern without its time zone field ("h:mm:ss AP t" gives
// "h:mm:ss AP"): our date values carry no zone.
QString withoutZone(const QString &pattern);

// True when the pattern writes the year with two digits only.
bool hasTwoDigitYear(const QString &pattern);
