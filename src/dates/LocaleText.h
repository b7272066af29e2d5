#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

// Small character rules shared by the number and date readers.

// Invisible format characters (bidi marks, zero-width joiners, BOM) that
// locales put into their own texts; readers drop them before anything else.
QString withoutFormatChars(QStringView text);

// The text without format characters and with the default locale's own
// digits turned into ASCII ones; the digits of some scripts lie outside the
// 16-bit range, where no single QChar is a digit.
QString withLocaleDigitsAsAscii(QStringView text);

// Any Unicode blank, including the no-break blanks of currency texts.
inline bool isBlank(QChar c)
{
    return c.isSpace();
}

// 0..9 for a decimal digit of any script, -1 otherwise.
inline int digitValueOf(QChar c)
{
    return c.isDigit() ? c.digitValue() : -1;
}

// A whole number written with digits only (any script), blanks around
// allowed; std::nullopt when not such a number or outside the 16-bit range.
std::optional<qint16> toInt16(QStringView text);
