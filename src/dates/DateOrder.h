#pragma once

#include <QString>

// The order of month, day and year in the locale's short date ("mdy", "dmy",
// "ymd"...), and its separator; set once at start-up by ChkDateFmt, empty
// until then.
inline QString DateOrder;
inline QString DateSep;

// Finds DateOrder and DateSep from the locale's short date of 30 May 1998.
void ChkDateFmt();

// Month, day and year as three numbers joined by single blanks in DateOrder,
// a text the locale's date conversion reads as that date.
QString BuildDateText(qint16 month, qint16 day, qint16 year);

// What ChkDateFmt finds in the sample date as some short date pattern wrote
// it. separator: the first of "/", ".", " ", "-" in the text, empty when none
// is. order: "m" for the field that reads 5, "d" for 30, "y" for any other
// number. When the text does not split into three such numbers (a month
// name, another separator), the order comes from the pattern's own fields
// instead, so that BuildDateText still writes what the conversion reads;
// empty when neither tells.
struct DateFormatCheck {
    QString order;
    QString separator;
};
DateFormatCheck checkDateFormat(const QString &sampleText, const QString &pattern);

// The order in which the date conversion reads three numbers: the order
// BuildDateText writes once DateOrder is set, else the locale's short date
// order (month, day, year when even that is unknown).
QString readingDateOrder();
