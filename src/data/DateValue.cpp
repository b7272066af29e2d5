#include "data/DateValue.h"

#include <cmath>

static constexpr qint64 BaseJulianDay = 2415019; // 30 December 1899
static constexpr int SecondsPerDay = 86400;

// A serial as calendar day (relative to the base day) and second of that day,
// rounded to the second; a time that rounds up to midnight belongs to the
// next calendar day. False for serials no date can stand for.
static bool splitSerial(double serial, qint64 &day, int &second)
{
    // Beyond some hundred million years a double no longer holds the time of
    // day, and no caller means such a date.
    if (!std::isfinite(serial) || std::fabs(serial) > 1e11)
        return false;
    const double whole = std::trunc(serial);
    const double fraction = std::fabs(serial - whole);
    day = qint64(whole);
    long seconds = std::lround(fraction * SecondsPerDay);
    if (seconds >= SecondsPerDay) {
        seconds -= SecondsPerDay;
        ++day; // forward in time, for days before the base day too
    }
    second = int(seconds);
    return true;
}

// Before the base day the whole part counts backwards while the fraction is
// still the time of day, so the time is subtracted there.
static DateValue fromParts(qint64 day, double dayFraction)
{
    return DateValue(day < 0 ? double(day) - dayFraction : double(day) + dayFraction);
}

DateValue DateValue::fromDate(const QDate &date)
{
    if (!date.isValid())
        return DateValue();
    return DateValue(double(date.toJulianDay() - BaseJulianDay));
}

DateValue DateValue::fromDateTime(const QDate &date, const QTime &time)
{
    if (!date.isValid())
        return DateValue();
    const double fraction = time.isValid() ? time.msecsSinceStartOfDay() / (SecondsPerDay * 1000.0) : 0.0;
    return fromParts(date.toJulianDay() - BaseJulianDay, fraction);
}

DateValue DateValue::fromTime(const QTime &time)
{
    if (!time.isValid())
        return DateValue();
    return DateValue(time.msecsSinceStartOfDay() / (SecondsPerDay * 1000.0));
}

QDate DateValue::date() const
{
    qint64 day;
    int second;
    if (!splitSerial(m_serial, day, second))
        return QDate();
    return QDate::fromJulianDay(BaseJulianDay + day);
}

QTime DateValue::time() const
{
    qint64 day;
    int second;
    if (!splitSerial(m_serial, day, second))
        return QTime();
    return QTime::fromMSecsSinceStartOfDay(second * 1000);
}

bool DateValue::hasTime() const
{
    qint64 day;
    int second;
    return splitSerial(m_serial, day, second) && second != 0;
}

QString DateValue::toIsoText() const
{
    qint64 day;
    int second;
    if (!splitSerial(m_serial, day, second))
        return QString();
    const QDate d = QDate::fromJulianDay(BaseJulianDay + day);
    // Four-digit years only: anything else would not read back.
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return QString();
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(d.year(), 4, 10, QLatin1Char('0'))
                       .arg(d.month(), 2, 10, QLatin1Char('0'))
                       .arg(d.day(), 2, 10, QLatin1Char('0'));
    if (second != 0) {
        text += QStringLiteral(" %1:%2:%3")
                    .arg(second / 3600, 2, 10, QLatin1Char('0'))
                    .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(second % 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

// The number in text[from, from + length), all ASCII digits; -1 otherwise.
static int digitsAt(QStringView text, qsizetype from, qsizetype length)
{
    int value = 0;
    for (qsizetype i = from; i < from + length; ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

std::optional<DateValue> DateValue::fromIsoText(QStringView text)
{
    // YYYY-MM-DD, then optionally a blank or "T", HH:MM and optionally :SS.
    const qsizetype n = text.size();
    if (n != 10 && n != 16 && n != 19)
        return std::nullopt;
    if (text[4] != u'-' || text[7] != u'-')
        return std::nullopt;
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int dayOfMonth = digitsAt(text, 8, 2);
    if (year < 1 || month < 0 || dayOfMonth < 0 || !QDate::isValid(year, month, dayOfMonth))
        return std::nullopt;
    const QDate date(year, month, dayOfMonth);
    if (n == 10)
        return fromDate(date);
    if ((text[10] != u' ' && text[10] != u'T') || text[13] != u':')
        return std::nullopt;
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    int second = 0;
    if (n == 19) {
        if (text[16] != u':')
            return std::nullopt;
        second = digitsAt(text, 17, 2);
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return fromDateTime(date, QTime(hour, minute, second));
}
