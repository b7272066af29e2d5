#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// A typed date or time cut into numbers, words and the gaps between them.
struct DateToken {
    enum class Kind { Number, Word, Gap };
    Kind kind = Kind::Gap;
    // Word: the word as typed (inner dots kept: "a.m"); Gap: its
    // punctuation with the blanks left out, so a gap of blanks is empty.
    QString text;
    int value = 0;  // Number: its value, -1 when it has more than 9 digits
    int digits = 0; // Number: how many digits were written
    // Gap: a "-" after a blank and right before a digit, which reads as
    // the sign of that number ("5 -3 2001"), not as a separator.
    bool minusSign = false;

    bool isGap(QStringView punctuation) const { return kind == Kind::Gap && text == punctuation; }
};

// Digits of any script, letters and the gap characters (blanks and
// / - . , :) are allowed; any other character gives std::nullopt.
std::optional<QList<DateToken>> tokenizeDate(QStringView text);
