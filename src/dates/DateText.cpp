#include "dates/LocaleConversions.h"

#include "dates/DateOrder.h"
#include "dates/DatePattern.h"
#include "dates/DateTokens.h"
#include "dates/DateWords.h"
#include "dates/LocaleText.h"

#include <QLocale>

namespace {

// Longer than any date and time anyone types; past it the text is refused.
constexpr qsizetype MaxDateText = 256;
// The calendar's range of years.
constexpr int FirstYear = 100;
constexpr int LastYear = 9999;

using Kind = DateToken::Kind;
using Tokens = QList<DateToken>;

bool isBlankGap(const Tokens &tokens, qsizetype i)
{
    return i >= 0 && i < tokens.size() && tokens[i].isGap(u"");
}

bool inYearRange(const QDate &date)
{
    return date.isValid() && date.year() >= FirstYear && date.year() <= LastYear;
}

// Where the time of day begins among the tokens; tokens.size() for none.
// A time is an hour followed by ":", or an hour with a day-half marker at
// the very end ("2 PM"); a marker may also stand before it ("PM 2:30").
qsizetype findTimeStart(const Tokens &tokens, const DateWords &words)
{
    const qsizetype n = tokens.size();
    qsizetype start = n;
    for (qsizetype i = 0; i + 1 < n; ++i) {
        if (tokens[i].kind == Kind::Number && tokens[i + 1].isGap(u":")) {
            start = i;
            break;
        }
    }
    if (start == n && n >= 2 && tokens[n - 1].kind == Kind::Word && words.dayHalf(tokens[n - 1].text) != 0) {
        qsizetype j = n - 2;
        if (isBlankGap(tokens, j))
            --j;
        if (j >= 0 && tokens[j].kind == Kind::Number)
            start = j;
    }
    if (start < n) {
        qsizetype j = start - 1;
        if (isBlankGap(tokens, j))
            --j;
        if (j >= 0 && tokens[j].kind == Kind::Word && words.dayHalf(tokens[j].text) != 0)
            start = j;
    }
    return start;
}

// [marker] hour [":" minutes [":" seconds]] [marker], from token i to the end.
std::optional<QTime> readTime(const Tokens &tokens, qsizetype i, const DateWords &words)
{
    const qsizetype n = tokens.size();
    int half = 0;
    if (i < n && tokens[i].kind == Kind::Word) {
        half = words.dayHalf(tokens[i].text);
        if (half == 0)
            return std::nullopt;
        ++i;
        if (isBlankGap(tokens, i) || (i < n && tokens[i].isGap(u".")))
            ++i;
    }
    int parts[3] = {0, 0, 0};
    int count = 0;
    for (;;) {
        if (i >= n || tokens[i].kind != Kind::Number || tokens[i].digits > 2)
            return std::nullopt;
        parts[count++] = tokens[i].value;
        ++i;
        if (count == 3 || i + 1 >= n || !tokens[i].isGap(u":"))
            break;
        ++i;
    }
    if (isBlankGap(tokens, i))
        ++i;
    if (i < n && tokens[i].kind == Kind::Word) {
        if (half != 0)
            return std::nullopt;
        half = words.dayHalf(tokens[i].text);
        if (half == 0)
            return std::nullopt;
        ++i;
        // The abbreviation's closing dot ("7:05 odp.").
        if (i + 1 == n && tokens[i].isGap(u"."))
            ++i;
    }
    if (i != n || (count == 1 && half == 0))
        return std::nullopt;
    int hour = parts[0];
    if (half != 0) {
        if (hour > 12)
            return std::nullopt;
        hour = hour % 12 + (half == 2 ? 12 : 0);
    }
    if (!QTime::isValid(hour, parts[1], parts[2]))
        return std::nullopt;
    return QTime(hour, parts[1], parts[2]);
}

struct DateItem {
    bool monthWord = false;
    int value = 0;
    int digits = 0;
};

int fullYear(const DateItem &item)
{
    if (item.value < 0 || item.digits > 4)
        return -1;
    if (item.digits <= 2)
        return item.value < TwoDigitYearPivot ? 2000 + item.value : 1900 + item.value;
    return item.value;
}

// Three numbers, or two numbers and a month name, from token 0 to end.
std::optional<QDate> readDate(const Tokens &tokens, qsizetype end, const DateWords &words)
{
    QList<DateItem> items;
    for (qsizetype i = 0; i < end; ++i) {
        const DateToken &token = tokens[i];
        switch (token.kind) {
        case Kind::Gap:
            if (token.minusSign || token.text.size() > 1
                || (token.text.size() == 1 && !QStringLiteral("/-.,").contains(token.text)))
                return std::nullopt;
            break;
        case Kind::Word:
            if (const int month = words.month(token.text)) {
                items << DateItem{true, month, 0};
            } else if (i != 0 || !words.isDayName(token.text)) {
                // Only a weekday in front is passed over ("Tuesday, May 15, 2001").
                return std::nullopt;
            }
            break;
        case Kind::Number:
            items << DateItem{false, token.value, token.digits};
            break;
        }
    }
    if (items.size() != 3)
        return std::nullopt;

    DateItem day, month, year;
    const int monthWords =
        int(std::count_if(items.begin(), items.end(), [](const DateItem &item) { return item.monthWord; }));
    if (monthWords == 0) {
        QString order = readingDateOrder();
        // A year of three or more digits in front is year-month-day ("2001-05-15").
        if (items[0].digits >= 3 && !order.startsWith(u'y'))
            order = QStringLiteral("ymd");
        for (int k = 0; k < 3; ++k) {
            const QChar letter = order[k];
            (letter == u'd' ? day : letter == u'm' ? month : year) = items[k];
        }
    } else if (monthWords == 1 && items[0].monthWord) { // May 15, 2001
        month = items[0];
        day = items[1];
        year = items[2];
    } else if (monthWords == 1 && items[1].monthWord) { // 15 May 2001, 2001 May 15
        month = items[1];
        const bool yearFirst = items[0].digits >= 3;
        year = yearFirst ? items[0] : items[2];
        day = yearFirst ? items[2] : items[0];
    } else {
        return std::nullopt;
    }
    if (day.monthWord || year.monthWord || day.digits > 2 || (!month.monthWord && month.digits > 2))
        return std::nullopt;
    const int y = fullYear(year);
    if (y < FirstYear || y > LastYear || !QDate::isValid(y, month.value, day.value))
        return std::nullopt;
    return QDate(y, month.value, day.value);
}

std::optional<DateValue> readDateText(const QString &text)
{
    const DateWords words;
    const std::optional<Tokens> tokens = tokenizeDate(words.withPlainDayHalves(text));
    if (!tokens || tokens->isEmpty())
        return std::nullopt;
    const qsizetype timeStart = findTimeStart(*tokens, words);
    std::optional<QTime> time;
    if (timeStart < tokens->size()) {
        time = readTime(*tokens, timeStart, words);
        if (!time)
            return std::nullopt;
    }
    // Punctuation never starts a date or time: "-5/15/2001" is no date.
    if (tokens->first().kind == Kind::Gap)
        return std::nullopt;
    qsizetype dateEnd = timeStart;
    if (dateEnd > 0 && (*tokens)[dateEnd - 1].kind == Kind::Gap) {
        // After the date: blanks, a closing dot ("1998. 05. 30."), or a comma
        // before the time.
        const QString &gap = (*tokens)[dateEnd - 1].text;
        if (!(gap.isEmpty() || gap == u"." || (time && gap == u",")))
            return std::nullopt;
        --dateEnd;
    }
    if (dateEnd == 0)
        return time ? std::optional(DateValue::fromTime(*time)) : std::nullopt;
    const std::optional<QDate> date = readDate(*tokens, dateEnd, words);
    if (!date)
        return std::nullopt;
    return time ? DateValue::fromDateTime(*date, *time) : DateValue::fromDate(*date);
}

// A pattern with a two-digit year reads it as 19xx; the century follows our
// window instead.
QDate withYearWindow(const QDate &date, const QString &pattern)
{
    if (!date.isValid() || !hasTwoDigitYear(pattern) || date.year() < 1900 || date.year() > 1999)
        return date;
    if (date.year() - 1900 >= TwoDigitYearPivot)
        return date;
    return QDate(date.year() + 100, date.month(), date.day());
}

// The locale's own patterns, for the short dates and times whose literal
// text the reader above does not know ("30.05.1998 г.", "14.30").
std::optional<DateValue> readWithLocalePatterns(const QString &text)
{
    const QLocale locale;
    const QStringList datePatterns = {shortDatePattern(locale), locale.dateFormat(QLocale::ShortFormat),
                                      locale.dateFormat(QLocale::LongFormat)};
    const QStringList timePatterns = {withoutZone(locale.timeFormat(QLocale::ShortFormat)),
                                      withoutZone(locale.timeFormat(QLocale::LongFormat))};
    auto readDatePart = [&](const QString &part) -> QDate {
        for (const QString &pattern : datePatterns) {
            const QDate date = withYearWindow(locale.toDate(part, pattern), pattern);
            if (inYearRange(date))
                return date;
        }
        return QDate();
    };
    auto readTimePart = [&](const QString &part) -> QTime {
        for (const QString &pattern : timePatterns) {
            if (const QTime time = locale.toTime(part, pattern); time.isValid())
                return time;
        }
        return QTime();
    };

    if (const QDate date = readDatePart(text); date.isValid())
        return DateValue::fromDate(date);
    if (const QTime time = readTimePart(text); time.isValid())
        return DateValue::fromTime(time);
    // A date and a time: try each blank as the place where the time begins.
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if (!isBlank(text[i]))
            continue;
        const QDate date = readDatePart(text.left(i).trimmed());
        if (!date.isValid())
            continue;
        if (const QTime time = readTimePart(text.mid(i + 1).trimmed()); time.isValid())
            return DateValue::fromDateTime(date, time);
    }
    return std::nullopt;
}

} // namespace

std::optional<DateValue> toDate(QStringView input)
{
    if (input.size() > MaxDateText)
        return std::nullopt;
    const QString text = withLocaleDigitsAsAscii(input).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    if (const std::optional<DateValue> iso = DateValue::fromIsoText(text)) {
        if (inYearRange(iso->date()))
            return iso;
        return std::nullopt;
    }
    if (const std::optional<DateValue> value = readDateText(text))
        return value;
    return readWithLocalePatterns(text);
}

bool isDate(QStringView text)
{
    return toDate(text).has_value();
}
