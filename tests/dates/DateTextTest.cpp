#include "LocaleGuard.h"

#include "dates/DateOrder.h"
#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"

#include <gtest/gtest.h>

namespace {

DateValue dateOf(int year, int month, int day)
{
    return DateValue::fromDate(QDate(year, month, day));
}

DateValue dateTimeOf(int year, int month, int day, int hour, int minute, int second = 0)
{
    return DateValue::fromDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

DateValue timeOf(int hour, int minute, int second = 0)
{
    return DateValue::fromTime(QTime(hour, minute, second));
}

const char *const dateLocales[] = {"en_US", "en_GB", "de_DE", "sv_SE", "fr_FR", "hu_HU", "bg_BG", "ar_EG", "ko_KR"};

TEST(DateText, readsTheLocalesShortDateBack)
{
    const QDate dates[] = {{2001, 5, 15}, {1998, 12, 31}, {2000, 2, 29}, {1929, 1, 1},
                           {2030, 7, 4},  {100, 1, 1},    {9999, 12, 31}};
    for (const char *name : dateLocales) {
        LocaleGuard locale(name);
        for (const QDate &date : dates) {
            const QString text = formatShortDate(DateValue::fromDate(date));
            EXPECT_EQ(toDate(text), DateValue::fromDate(date)) << name << " \"" << text.toStdString() << "\"";
        }
    }
}

// The calendar composes every day it shows and picks; each must read back.
TEST(DateText, readsEveryComposedDayOfALeapAndACommonYear)
{
    for (const char *name : {"en_US", "en_GB", "de_DE", "sv_SE"}) {
        LocaleGuard locale(name);
        ChkDateFmt();
        for (QDate date(2000, 1, 1); date <= QDate(2001, 12, 31); date = date.addDays(1)) {
            const QString text = BuildDateText(qint16(date.month()), qint16(date.day()), qint16(date.year()));
            ASSERT_EQ(toDate(text), DateValue::fromDate(date)) << name << " \"" << text.toStdString() << "\"";
        }
    }
}

TEST(DateText, refusesComposedDaysTheMonthDoesNotHave)
{
    struct Row {
        qint16 month, day, year;
    };
    const Row rows[] = {{4, 31, 2001}, {2, 29, 1999}, {2, 30, 2000}, {2, 29, 1900}, {13, 1, 2001},
                        {0, 1, 2001},  {1, 0, 2001},  {1, 32, 2001}, {5, -3, 2001}, {-5, 3, 2001}};
    for (const char *name : {"en_US", "en_GB", "de_DE", "sv_SE"}) {
        LocaleGuard locale(name);
        ChkDateFmt();
        for (const Row &row : rows) {
            const QString text = BuildDateText(row.month, row.day, row.year);
            EXPECT_FALSE(isDate(text)) << name << " \"" << text.toStdString() << "\"";
        }
    }
}

struct TypedDate {
    const char *locale;
    const char16_t *text;
    DateValue value;
};

const TypedDate typedDates[] = {
    // Separators and the locale's order of three numbers.
    {"en_US", u"5/15/2001", dateOf(2001, 5, 15)},
    {"en_US", u"5-15-2001", dateOf(2001, 5, 15)},
    {"en_US", u" 5 15 2001 ", dateOf(2001, 5, 15)},
    {"en_GB", u"15/05/2001", dateOf(2001, 5, 15)},
    {"de_DE", u"15.5.2001", dateOf(2001, 5, 15)},
    {"de_DE", u"15-05-01", dateOf(2001, 5, 15)},
    {"sv_SE", u"01-05-15", dateOf(2001, 5, 15)},
    {"hu_HU", u"2001. 05. 15.", dateOf(2001, 5, 15)},
    // A year of three or four digits in front is always year, month, day.
    {"en_US", u"2001/5/15", dateOf(2001, 5, 15)},
    {"de_DE", u"2001-05-15", dateOf(2001, 5, 15)},
    {"en_GB", u"2001-05-15 14:30", dateTimeOf(2001, 5, 15, 14, 30)},
    // Two-digit years: 00-29 are this century, 30-99 the last.
    {"en_US", u"1/1/00", dateOf(2000, 1, 1)},
    {"en_US", u"12/31/29", dateOf(2029, 12, 31)},
    {"en_US", u"1/1/30", dateOf(1930, 1, 1)},
    {"en_US", u"12/31/99", dateOf(1999, 12, 31)},
    {"en_US", u"2/29/00", dateOf(2000, 2, 29)},
    {"en_US", u"1/1/100", dateOf(100, 1, 1)},
    // Month names and abbreviations.
    {"en_US", u"May 15, 2001", dateOf(2001, 5, 15)},
    {"en_US", u"15 May 2001", dateOf(2001, 5, 15)},
    {"en_US", u"15-may-01", dateOf(2001, 5, 15)},
    {"en_US", u"Tuesday, May 15, 2001", dateOf(2001, 5, 15)},
    {"en_US", u"Sept. 3, 2001", dateOf(2001, 9, 3)},
    {"de_DE", u"15. Mai 2001", dateOf(2001, 5, 15)},
    {"de_DE", u"Dienstag, 15. Mai 2001", dateOf(2001, 5, 15)},
    {"de_DE", u"15 May 2001", dateOf(2001, 5, 15)}, // English names are known everywhere
    // Times alone and after a date.
    {"en_US", u"14:30", timeOf(14, 30)},
    {"en_US", u"2:30:15 PM", timeOf(14, 30, 15)},
    {"en_US", u"2:30 pm", timeOf(14, 30)},
    {"en_US", u"2:30 p.m.", timeOf(14, 30)},
    {"en_US", u"2 PM", timeOf(14, 0)},
    {"en_US", u"12:00 AM", timeOf(0, 0)},
    {"en_US", u"12:30 PM", timeOf(12, 30)},
    {"en_US", u"5/15/2001 2:30:15 PM", dateTimeOf(2001, 5, 15, 14, 30, 15)},
    {"en_US", u"May 15, 2001, 2:30 PM", dateTimeOf(2001, 5, 15, 14, 30)},
    {"de_DE", u"15.05.2001 14:30", dateTimeOf(2001, 5, 15, 14, 30)},
    {"sv_SE", u"2:30 em", timeOf(14, 30)},
    {"es_ES", u"2:30 p. m.", timeOf(14, 30)}, // a marker of two words
    {"fi_FI", u"14.30", timeOf(14, 30)},      // the locale's own time pattern
    {"bg_BG", u"15.05.2001 \u0433.", dateOf(2001, 5, 15)},
};

TEST(DateText, readsTypedDatesAndTimes)
{
    for (const TypedDate &row : typedDates) {
        LocaleGuard locale(row.locale);
        const QString text = QString::fromUtf16(row.text);
        EXPECT_EQ(toDate(text), row.value) << row.locale << " \"" << text.toStdString() << "\"";
    }
}

struct RefusedDate {
    const char *locale;
    const char16_t *text;
};

const RefusedDate refusedDates[] = {
    {"en_US", u""},
    {"en_US", u"   "},
    {"en_US", u"abc"},
    {"en_US", u"0"},
    {"en_US", u"4/31/2001"},
    {"en_US", u"2/29/1999"},
    {"en_US", u"2/30/2000"},
    {"en_US", u"15/5/2001"}, // no silent swap of day and month
    {"de_DE", u"5/31/2001"},
    {"sv_SE", u"15/05/2001"}, // a year-first locale with the year last
    {"en_US", u"5/15"},       // no year: it would depend on today
    {"en_US", u"May 2001"},
    {"en_US", u"15 May"},
    {"en_US", u"May May 2001"},
    {"en_US", u"15 Mayo 2001"},
    {"en_US", u"5/15/2001/7"},
    {"en_US", u"5//15/2001"},
    {"en_US", u"-5/15/2001"},
    {"en_US", u"5/15/2001x"},
    {"en_US", u"5/15/2001 +"},
    {"en_US", u"1/1/099"},
    {"en_US", u"1/1/0099"},
    {"en_US", u"1/1/10000"},
    {"en_US", u"0099-01-01"},
    {"en_US", u"99999999999/1/1"},
    {"en_US", u"005/15/2001"},
    {"en_US", u"25:00"},
    {"en_US", u"14:60"},
    {"en_US", u"13:00 PM"},
    {"en_US", u"2:30:15:10"},
    {"en_US", u"14:"},
    {"en_US", u":30"},
    {"en_US", u"2:30 XM"},
    {"en_US", u"PM"},
    {"en_US", u"14"},
    {"en_US", u"2:30 PM AM"},
    {"en_US", u"5/15/2001 14:30 5/15/2001"},
    {"en_US", u"2:30.5"},
};

TEST(DateText, refusesWhatIsNoDate)
{
    for (const RefusedDate &row : refusedDates) {
        LocaleGuard locale(row.locale);
        const QString text = QString::fromUtf16(row.text);
        EXPECT_FALSE(isDate(text)) << row.locale << " \"" << text.toStdString() << "\"";
    }
}

TEST(DateText, oddTextIsSimplyNoDate)
{
    LocaleGuard locale("en_US");
    const QString odd[] = {QString(100000, u'5'),
                           QString(300, u'/'),
                           QStringLiteral("5/15/2001") + QString(300, u' '),
                           QString::fromUtf16(u"\U0001F600"),
                           QString(QChar(0xdc00)),
                           QStringLiteral("5/15") + QChar(0) + QStringLiteral("/2001"),
                           QString::fromUtf16(u"\u0665/\u0661\u0665/\u0662\u0660\u0660\u0661\u0301")};
    for (const QString &text : odd)
        EXPECT_FALSE(isDate(text)) << text.size();
}

TEST(DateText, threeNumbersFollowTheFoundDateOrder)
{
    LocaleGuard locale("en_US");
    EXPECT_EQ(toDate(u"5 6 2001"), dateOf(2001, 5, 6)); // before ChkDateFmt: the locale's order
    DateOrder = QStringLiteral("dmy");
    EXPECT_EQ(toDate(u"5 6 2001"), dateOf(2001, 6, 5));
    DateOrder = QStringLiteral("ydm");
    EXPECT_EQ(toDate(u"01 6 5"), dateOf(2001, 5, 6));
    // An order BuildDateText writes as month, day, year is read that way.
    DateOrder = QStringLiteral("myd");
    EXPECT_EQ(toDate(BuildDateText(5, 6, 2001)), dateOf(2001, 5, 6));
}

} // namespace
