#pragma once

#include "data/Money.h"

#include <QString>
#include <QStringView>

// Amounts and quantities as files of other programs write them. Unlike the
// record form, which reads what the user types by the computer's locale, a
// file is read in one style for all its values, decided from the values
// themselves: a file written on a German computer is read alike on any.

enum class NumberStyle {
    Plain,        // "1234.56": a point before the decimals, no grouping
    DecimalPoint, // "1,234.56": a point before the decimals, commas group thousands
    DecimalComma, // "1.234,56" or "1 234,56": a comma before the decimals, points or blanks group
};

// "1234.56", "1,234.56", "1.234,56": how the style writes a number.
QString numberStyleExample(NumberStyle style);

// The style in which this computer writes numbers: a decimal comma or point.
NumberStyle localeNumberStyle();

// A number read in a style: digits, grouped in threes by the style's
// grouping separator or not at all; the style's decimal separator; a sign
// before or after, or parentheses around a negative amount; a currency sign
// or code before or after ("$", "€", "£", "EUR", "USD", "CHF", ...); blanks
// around. More than four decimals are not read (the money type keeps four,
// and rounding would store another number than the file's).
struct FileNumber {
    enum class Kind {
        Number,          // value holds it
        NotANumber,      // not a number in this style
        TooManyDecimals, // written in this style, but with more than four decimals
        OutOfRange,      // written in this style, but beyond what the money type holds
    };
    Kind kind = Kind::NotANumber;
    Money value;
};
FileNumber readFileNumber(QStringView text, NumberStyle style);

// What one value tells about the style of its column.
enum class NumberClue {
    None,           // a number in no style
    Neutral,        // read alike by every style that reads it ("12", "1 500")
    PointDecimal,   // only a decimal point reads it, grouping not needed ("12.50", "1.5")
    PointGrouped,   // only a decimal point with comma grouping reads it ("1,234.56")
    CommaDecimal,   // only a decimal comma reads it ("0,99", "1.234,56", "1 234,56")
    AmbiguousPlain, // "1.234": plain one and a bit, or one thousand with point grouping
    AmbiguousComma, // "1,234": one thousand with comma grouping, or one and a bit
};
NumberClue numberClue(QStringView text);
