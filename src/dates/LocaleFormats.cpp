#include "dates/LocaleFormats.h"

#include "dates/DatePattern.h"

#include <QLocale>

QString formatShortDate(const DateValue &date)
{
    const QLocale locale;
    return locale.toString(date.date(), shortDatePattern(locale));
}

QString formatDdddd(const DateValue &date)
{
    return formatShortDate(date);
}

QString formatMediumTime(const DateValue &time)
{
    return QLocale().toString(time.time(), QStringLiteral("h:mm AP"));
}

QString formatMonthName(int month)
{
    if (month < 1 || month > 12)
        return QString();
    // Stand-alone: the name labels a month on its own, so languages that
    // inflect month names inside a date want the nominative here.
    return QLocale().standaloneMonthName(month, QLocale::LongFormat);
}

QString formatDayAbbreviation(int dayOfWeek)
{
    if (dayOfWeek < 1 || dayOfWeek > 7)
        return QString();
    // Our week starts on Sunday; Qt counts Monday as 1 and Sunday as 7.
    const int qtDay = dayOfWeek == 1 ? 7 : dayOfWeek - 1;
    return QLocale().standaloneDayName(qtDay, QLocale::ShortFormat);
}

QString formatGeneralDateTime(const DateValue &value)
{
    const QDate date = value.date();
    if (!date.isValid())
        return QString();
    const QLocale locale;
    const QString time = locale.toString(value.time(), withoutZone(locale.timeFormat(QLocale::LongFormat)));
    // Day 0 is the base day of the count: a value there is a time of day alone.
    if (date == QDate(1899, 12, 30))
        return time;
    if (!value.hasTime())
        return formatShortDate(value);
    return formatShortDate(value) + u' ' + time;
}
