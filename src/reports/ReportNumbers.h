#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Numbers as report files and table formats hold them: plain decimals, no
// grouping, no exponent.

// A single-precision number to seven significant digits without trailing
// zeros, "." as the decimal point: 2880.0f gives "2880", 2 x 561.6f
// "1123.2", and 1.5 x 561.6f (842.39996f) "842.4".
QString singleText(float value);
// The same for a double: the shortest text that reads back exactly.
QString doubleText(double value);
// A text written with "." given the default locale's decimal point, as
// report files are written.
QString withLocaleDecimalPoint(const QString &dotText);

// A whole number on a report file line: blanks around, an optional sign,
// ASCII digits; it must fit in 16 bits.
std::optional<qint16> readFileInteger(QStringView text);
// A decimal number on a report file line: blanks around, an optional sign,
// digits with at most one decimal point, which may be the default locale's,
// "." or "," (files hold no grouping, so a file written under another
// locale still reads). At least one digit.
std::optional<double> readFileDecimal(QStringView text);
