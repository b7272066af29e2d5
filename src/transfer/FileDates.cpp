#include "transfer/FileDates.h"

#include "dates/DateOrder.h"
#include "dates/LocaleConversions.h"

#include <QDate>

namespace {

// Longer than any date a file holds.
constexpr qsizetype MaxDateText = 64;
constexpr int FirstYear = 100;
constexpr int LastYear = 9999;

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Three numbers at the start of a text, and what follows them.
struct Triple {
    int value[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    QStringView rest; // empty, or a time after a blank
};

std::optional<Triple> tripleOf(QStringView text)
{
    Triple triple;
    qsizetype i = 0;
    const qsizetype n = text.size();
    for (int k = 0; k < 3; ++k) {
        if (k > 0) {
            // Between two numbers: one of "/.-", blanks, or both.
            const qsizetype start = i;
            while (i < n && text[i].isSpace())
                ++i;
            if (i < n && (text[i] == u'/' || text[i] == u'.' || text[i] == u'-'))
                ++i;
            while (i < n && text[i].isSpace())
                ++i;
            if (i == start)
                return std::nullopt;
        }
        const qsizetype start = i;
        while (i < n && isDigit(text[i]) && i - start < 5)
            triple.value[k] = triple.value[k] * 10 + (text[i++].unicode() - u'0');
        triple.digits[k] = int(i - start);
        if (triple.digits[k] == 0 || triple.digits[k] > 4)
            return std::nullopt;
    }
    if (i < n && !text[i].isSpace())
        return std::nullopt;
    triple.rest = text.sliced(i).trimmed();
    return triple;
}

int fullYear(int value, int digits)
{
    if (digits <= 2)
        return value < TwoDigitYearPivot ? 2000 + value : 1900 + value;
    return value;
}

std::optional<QDate> dateOf(int year, int yearDigits, int month, int day)
{
    const int y = fullYear(year, yearDigits);
    if (y < FirstYear || y > LastYear || !QDate::isValid(y, month, day))
        return std::nullopt;
    return QDate(y, month, day);
}

std::optional<QDate> tripleDate(const Triple &t, DateStyle style)
{
    if (t.digits[0] >= 3 || style == DateStyle::YearMonthDay)
        return t.digits[1] > 2 || t.digits[2] > 2 ? std::nullopt
                                                  : dateOf(t.value[0], t.digits[0], t.value[1], t.value[2]);
    if (t.digits[0] > 2 || t.digits[1] > 2)
        return std::nullopt;
    if (style == DateStyle::DayMonthYear)
        return dateOf(t.value[2], t.digits[2], t.value[1], t.value[0]);
    return dateOf(t.value[2], t.digits[2], t.value[0], t.value[1]);
}

// The time after a date, as the record form reads a time alone.
std::optional<QTime> timeOf(QStringView text)
{
    const std::optional<DateValue> value = toDate(text);
    if (!value || value->serial() < 0.0 || value->serial() >= 1.0)
        return std::nullopt;
    return value->time();
}

bool holdsLetter(QStringView text)
{
    for (const QChar c : text) {
        if (c.isLetter())
            return true;
    }
    return false;
}

// The runs of digits before a time ("14:30" begins with the run before its ":").
int numbersBeforeTime(QStringView text)
{
    int runs = 0;
    for (qsizetype i = 0; i < text.size() && text[i] != u':'; ++i) {
        if (!isDigit(text[i]) || (i > 0 && isDigit(text[i - 1])))
            continue;
        qsizetype end = i;
        while (end < text.size() && isDigit(text[end]))
            ++end;
        if (end == text.size() || text[end] != u':')
            ++runs;
    }
    return runs;
}

} // namespace

QString dateStyleExample(DateStyle style)
{
    switch (style) {
    case DateStyle::DayMonthYear:
        return QStringLiteral("24.12.2019");
    case DateStyle::MonthDayYear:
        return QStringLiteral("12/24/2019");
    case DateStyle::YearMonthDay:
        return QStringLiteral("2019-12-24");
    }
    return QString();
}

QString dateStyleWords(DateStyle style)
{
    switch (style) {
    case DateStyle::DayMonthYear:
        return QStringLiteral("day first, like %1").arg(dateStyleExample(style));
    case DateStyle::MonthDayYear:
        return QStringLiteral("month first, like %1").arg(dateStyleExample(style));
    case DateStyle::YearMonthDay:
        return QStringLiteral("year first, like %1").arg(dateStyleExample(style));
    }
    return QString();
}

DateStyle localeDateStyle()
{
    const QString order = readingDateOrder();
    if (order.startsWith(u'y'))
        return DateStyle::YearMonthDay;
    if (order.startsWith(u'd'))
        return DateStyle::DayMonthYear;
    return DateStyle::MonthDayYear;
}

std::optional<DateValue> readFileDate(QStringView text, DateStyle style)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > MaxDateText)
        return std::nullopt;
    if (const std::optional<DateValue> iso = DateValue::fromIsoText(text)) {
        const int year = iso->date().year();
        if (year >= FirstYear && year <= LastYear)
            return iso;
        return std::nullopt;
    }
    if (const std::optional<Triple> triple = tripleOf(text)) {
        const std::optional<QDate> date = tripleDate(*triple, style);
        if (!date)
            return std::nullopt;
        if (triple->rest.isEmpty())
            return DateValue::fromDate(*date);
        if (const std::optional<QTime> time = timeOf(triple->rest))
            return DateValue::fromDateTime(*date, *time);
        return std::nullopt;
    }
    // A month by its name leaves no order to decide. Three numbers beside
    // words ("Tue 01.03.2021") would be read in the locale's order: no.
    if (holdsLetter(text) && numbersBeforeTime(text) < 3)
        return toDate(text);
    return std::nullopt;
}

DateClue dateClue(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.size() > MaxDateText)
        return DateClue::None;
    const std::optional<Triple> triple = tripleOf(text);
    if (!triple) {
        if (DateValue::fromIsoText(text) && readFileDate(text, DateStyle::YearMonthDay))
            return DateClue::YearFirst;
        // Read alike in every order, or not at all: it tells nothing either
        // way, and the month names need not be looked up.
        return DateClue::None;
    }
    // A time after the date that no order can read makes it no date.
    if (!triple->rest.isEmpty() && !timeOf(triple->rest))
        return DateClue::None;
    if (triple->digits[0] >= 3)
        return tripleDate(*triple, DateStyle::YearMonthDay) ? DateClue::YearFirst : DateClue::None;
    const std::optional<QDate> dayFirst = tripleDate(*triple, DateStyle::DayMonthYear);
    const std::optional<QDate> monthFirst = tripleDate(*triple, DateStyle::MonthDayYear);
    if (dayFirst && monthFirst)
        return *dayFirst == *monthFirst ? DateClue::Neutral : DateClue::Ambiguous;
    if (dayFirst)
        return DateClue::DayFirst;
    if (monthFirst)
        return DateClue::MonthFirst;
    return DateClue::None;
}
