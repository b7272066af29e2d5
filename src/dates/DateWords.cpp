#include "dates/DateWords.h"

#include "dates/LocaleText.h"

#include <QLocale>
#include <algorithm>

// Words are compared case-folded, without dots and invisible marks, so "Mai."
// "mai" and "MAI" are one word, and "p.m." is "pm".
QString DateWords::key(QStringView word)
{
    QString folded = withoutFormatChars(word).toCaseFolded();
    folded.remove(u'.');
    return folded.trimmed();
}

DateWords::DateWords()
{
    const QLocale locale;
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (int m = 1; m <= 12; ++m) {
        for (const QLocale::FormatType type : {QLocale::LongFormat, QLocale::ShortFormat}) {
            for (const QString &name : {locale.monthName(m, type), locale.standaloneMonthName(m, type)}) {
                if (const QString k = key(name); !k.isEmpty() && !m_localeMonths.contains(k))
                    m_localeMonths.insert(k, m);
            }
            if (const QString k = key(english.monthName(m, type)); !k.isEmpty())
                m_englishMonths.insert(k, m);
        }
        m_localeFullMonths << key(locale.monthName(m, QLocale::LongFormat));
        m_englishFullMonths << key(english.monthName(m, QLocale::LongFormat));
    }
    for (int d = 1; d <= 7; ++d) {
        for (const QLocale::FormatType type : {QLocale::LongFormat, QLocale::ShortFormat}) {
            m_dayNames << key(locale.dayName(d, type)) << key(locale.standaloneDayName(d, type))
                       << key(english.dayName(d, type));
        }
    }
    m_dayNames.removeAll(QString());
    for (const auto &[text, half] : {std::pair{locale.amText(), 1}, std::pair{locale.pmText(), 2},
                                     std::pair{QStringLiteral("AM"), 1}, std::pair{QStringLiteral("PM"), 2}}) {
        if (const QString k = key(text); !k.isEmpty() && !m_dayHalves.contains(k))
            m_dayHalves.insert(k, half);
        QString cleaned = withoutFormatChars(text).trimmed();
        std::replace_if(cleaned.begin(), cleaned.end(), isBlank, u' ');
        if (std::any_of(cleaned.begin(), cleaned.end(), [](QChar c) { return !c.isLetter() && !c.isMark(); }))
            m_compositeDayHalves.append({cleaned, half});
    }
    std::sort(m_compositeDayHalves.begin(), m_compositeDayHalves.end(),
              [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
}

QString DateWords::withPlainDayHalves(const QString &text) const
{
    // The markers' blanks are plain ones, and so are the text's here.
    QString result = text;
    std::replace_if(result.begin(), result.end(), isBlank, u' ');
    auto isWordChar = [](QChar c) { return c.isLetter() || c.isMark(); };
    for (const auto &[marker, half] : m_compositeDayHalves) {
        const QString plain = half == 1 ? QStringLiteral("AM") : QStringLiteral("PM");
        qsizetype from = 0;
        while ((from = result.indexOf(marker, from, Qt::CaseInsensitive)) >= 0) {
            const qsizetype end = from + marker.size();
            // Only whole words: "p. m." inside a longer word is something else.
            if ((from > 0 && isWordChar(result[from - 1])) || (end < result.size() && isWordChar(result[end]))) {
                from = end;
                continue;
            }
            result.replace(from, marker.size(), plain);
            from += plain.size();
        }
    }
    return result;
}

int DateWords::uniquePrefixMonth(const QString &key, const QStringList &fullNames)
{
    if (key.size() < 3)
        return 0;
    int found = 0;
    for (int m = 1; m <= fullNames.size(); ++m) {
        if (fullNames[m - 1].startsWith(key)) {
            if (found != 0)
                return 0;
            found = m;
        }
    }
    return found;
}

int DateWords::month(QStringView word) const
{
    const QString k = key(word);
    if (k.isEmpty())
        return 0;
    if (const int m = m_localeMonths.value(k))
        return m;
    if (const int m = uniquePrefixMonth(k, m_localeFullMonths))
        return m;
    if (const int m = m_englishMonths.value(k))
        return m;
    return uniquePrefixMonth(k, m_englishFullMonths);
}

int DateWords::dayHalf(QStringView word) const
{
    return m_dayHalves.value(key(word));
}

bool DateWords::isDayName(QStringView word) const
{
    const QString k = key(word);
    return !k.isEmpty() && m_dayNames.contains(k);
}
