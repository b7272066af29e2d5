#include "reports/ReportNumbers.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

static QString shortestFixed(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0"); // no "-0"; files never hold infinities
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString singleText(float value)
{
    // Seven significant digits, as single precision is written: the
    // product 1.5f * 561.6f is 842.39996f, and is written 842.4.
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0");
    const int magnitude = int(std::floor(std::log10(std::fabs(double(value)))));
    QString text = QString::number(double(value), 'f', std::max(0, 6 - magnitude));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString doubleText(double value)
{
    return shortestFixed(value);
}

QString withLocaleDecimalPoint(const QString &dotText)
{
    QString text = dotText;
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

static bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

static QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Takes a leading sign off text; true when it was a minus.
static bool takeSign(QStringView &text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c == u'+') {
        text = text.mid(1);
        return false;
    }
    if (c == u'-' || c == u'\u2212') {
        text = text.mid(1);
        return true;
    }
    return false;
}

std::optional<qint16> readFileInteger(QStringView text)
{
    text = trimBlanks(text);
    const bool negative = takeSign(text);
    if (text.isEmpty() || text.size() > 6)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(value);
}

std::optional<double> readFileDecimal(QStringView text)
{
    text = trimBlanks(text);
    const bool negative = takeSign(text);
    const QString localePoint = QLocale().decimalPoint();
    QByteArray plain = negative ? QByteArray("-") : QByteArray();
    bool digits = false;
    bool point = false;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            plain += char(c.unicode());
            digits = true;
            ++i;
        } else if (!point && (c == u'.' || c == u',')) {
            plain += '.';
            point = true;
            ++i;
        } else if (!point && !localePoint.isEmpty() && text.mid(i).startsWith(localePoint)) {
            plain += '.';
            point = true;
            i += localePoint.size();
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(plain.constData(), plain.constData() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.constData() + plain.size() || !std::isfinite(value))
        return std::nullopt;
    return value == 0 ? 0.0 : value;
}
