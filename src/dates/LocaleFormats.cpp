#include "dates/LocaleFormats.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

QString shortDatePattern(const QLocale &locale)
{
    QString pattern = locale.dateFormat(QLocale::ShortFormat);
    if (!pattern.contains(QStringLiteral("yyyy"))) {
        static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
        pattern.replace(twoDigitYear, QStringLiteral("yyyy"));
    }
    return pattern;
}

} // namespace

QString formatShortDate(const DateValue &date)
{
    const QLocale locale;
    return locale.toString(date.date(), shortDatePattern(locale));
}

QString formatCurrency(Money amount)
{
    const QLocale locale;
    return locale.toCurrencyString(amount.toDouble());
}
