#include "dates/LocaleText.h"

#include <QLocale>

QString withoutFormatChars(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Format)
            result += c;
    }
    return result;
}

QString withLocaleDigitsAsAscii(QStringView text)
{
    QString result = withoutFormatChars(text);
    const QLocale locale;
    if (locale.zeroDigit() == u"0")
        return result;
    for (int d = 0; d < 10; ++d)
        result.replace(locale.toString(d), QString(QChar(u'0' + d)));
    return result;
}

std::optional<qint16> toInt16(QStringView text)
{
    const QString cleaned = withoutFormatChars(text).trimmed();
    if (cleaned.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : cleaned) {
        const int digit = digitValueOf(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 10 + digit;
        if (value > 32767)
            return std::nullopt;
    }
    return qint16(value);
}
