#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <utility>

// The words a typed date or time may hold: month names and abbreviations,
// day names, AM/PM markers; those of the default locale first, then the
// English ones, which are accepted everywhere.
class DateWords {
public:
    DateWords(); // reads the default QLocale()

    // 1..12, or 0 when the word is no month: a full name, an abbreviation
    // (with or without its dot), or a prefix of three or more letters that
    // fits one month only.
    int month(QStringView word) const;
    // 1 for a morning marker, 2 for an afternoon marker, 0 otherwise.
    int dayHalf(QStringView word) const;
    bool isDayName(QStringView word) const;
    // The text with the locale's day-half markers of several words ("de la
    // tarde", "p. m.") replaced by "AM" or "PM", so they read as one word;
    // every blank becomes a plain one.
    QString withPlainDayHalves(const QString &text) const;

private:
    static QString key(QStringView word);
    static int uniquePrefixMonth(const QString &key, const QStringList &fullNames);

    QHash<QString, int> m_localeMonths;
    QHash<QString, int> m_englishMonths;
    QStringList m_localeFullMonths; // index 0 is January
    QStringList m_englishFullMonths;
    QHash<QString, int> m_dayHalves;
    QStringList m_dayNames;
    QList<std::pair<QString, int>> m_compositeDayHalves; // longest first
};
