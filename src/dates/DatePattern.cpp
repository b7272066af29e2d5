#include "dates/DatePattern.h"

#include <QRegularExpression>

namespace {

// Calls visit(letter, runLength) for each run of one pattern letter
// outside quoted literal text.
template <typename Visit>
void forEachField(const QString &pattern, Visit visit)
{
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\'') {
            quoted = !quoted;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (!quoted && c.isLetter())
            visit(c, run);
        i += run;
    }
}

} // namespace

QString shortDatePattern(const QLocale &locale)
{
    QString pattern = locale.dateFormat(QLocale::ShortFormat);
    if (!pattern.contains(QStringLiteral("yyyy"))) {
        static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
        pattern.replace(twoDigitYear, QStringLiteral("yyyy"));
    }
    return pattern;
}

QString patternDateOrder(const QString &pattern)
{
    QString order;
    forEachField(pattern, [&](QChar letter, qsizetype run) {
        // "ddd" and "dddd" are day names, not the day of the month.
        QChar field;
        if (letter == u'd' && run <= 2)
            field = u'd';
        else if (letter == u'M')
            field = u'm';
        else if (letter == u'y')
            field = u'y';
        if (!field.isNull() && !order.contains(field))
            order += field;
    });
    return order.size() == 3 ? order : QString();
}

QString withoutZone(const QString &pattern)
{
    QString result;
    bool quoted = false;
    for (const QChar c : pattern) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    result.replace(QStringLiteral("()"), QString());
    // What separated the zone from the time goes with it ("h:mm:ss a, t").
    auto isLoose = [](QChar c) { return c.isSpace() || c == u',' || c == u'-'; };
    while (!result.isEmpty() && isLoose(result.back()))
        result.chop(1);
    while (!result.isEmpty() && isLoose(result.front()))
        result.remove(0, 1);
    return result;
}

bool hasTwoDigitYear(const QString &pattern)
{
    bool twoDigits = false;
    forEachField(pattern, [&](QChar letter, qsizetype run) {
        if (letter == u'y' && run == 2)
            twoDigits = true;
    });
    return twoDigits;
}
