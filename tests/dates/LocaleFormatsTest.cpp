#include "LocaleGuard.h"

#include "dates/LocaleConversions.h"
#include "dates/LocaleFormats.h"

#include <gtest/gtest.h>

namespace {

const DateValue may30 = DateValue::fromDate(QDate(1998, 5, 30));
const DateValue afternoon = DateValue::fromDateTime(QDate(2001, 5, 15), QTime(14, 30, 15));

TEST(LocaleFormats, shortDateAlwaysHasFourDigitYears)
{
    const struct {
        const char *locale;
        const char *text;
    } rows[] = {{"en_US", "5/30/1998"}, {"en_GB", "30/05/1998"}, {"de_DE", "30.05.1998"}, {"sv_SE", "1998-05-30"}};
    for (const auto &row : rows) {
        LocaleGuard locale(row.locale);
        EXPECT_EQ(formatShortDate(may30), QLatin1String(row.text)) << row.locale;
        EXPECT_EQ(formatDdddd(may30), QLatin1String(row.text)) << row.locale;
    }
}

TEST(LocaleFormats, namesOfMonthsAndDays)
{
    LocaleGuard english("en_US");
    EXPECT_EQ(formatMonthName(5), u"May");
    EXPECT_EQ(formatDayAbbreviation(1), u"Sun");
    EXPECT_EQ(formatDayAbbreviation(7), u"Sat");
    EXPECT_EQ(formatMonthName(0), QString());
    EXPECT_EQ(formatMonthName(13), QString());
    EXPECT_EQ(formatDayAbbreviation(8), QString());
    {
        LocaleGuard russian("ru_RU");
        // The month on its own, not as inside a date ("30 мая 1998").
        EXPECT_EQ(formatMonthName(5), QString::fromUtf16(u"\u043c\u0430\u0439"));
    }
    LocaleGuard german("de_DE");
    EXPECT_EQ(formatMonthName(3), QString::fromUtf16(u"M\u00e4rz"));
    EXPECT_EQ(formatDayAbbreviation(1), u"So");
}

TEST(LocaleFormats, mediumTimeIsTwelveHourInEveryLocale)
{
    for (const char *name : {"en_US", "de_DE"}) {
        LocaleGuard locale(name);
        EXPECT_EQ(formatMediumTime(DateValue::fromTime(QTime(19, 5))), u"7:05 PM") << name;
        EXPECT_EQ(formatMediumTime(DateValue::fromTime(QTime(0, 0))), u"12:00 AM") << name;
    }
}

TEST(LocaleFormats, generalDateTimeShowsThePartsPresent)
{
    LocaleGuard locale("en_US");
    EXPECT_EQ(formatGeneralDateTime(may30), u"5/30/1998");
    EXPECT_EQ(formatGeneralDateTime(afternoon), u"5/15/2001 2:30:15 PM");
    EXPECT_EQ(formatGeneralDateTime(DateValue::fromTime(QTime(14, 30, 15))), u"2:30:15 PM");
    EXPECT_EQ(formatGeneralDateTime(DateValue()), u"12:00:00 AM");
}

// Whatever the named formats write must pass the date test, or a box showing
// it could never be left.
TEST(LocaleFormats, writtenDatesAndTimesReadBack)
{
    for (const char *name :
         {"en_US", "en_GB", "de_DE", "sv_SE", "fr_FR", "hu_HU", "bg_BG", "sq_AL", "ar_EG", "ko_KR", "fi_FI", "es_ES"}) {
        LocaleGuard locale(name);
        EXPECT_EQ(toDate(formatGeneralDateTime(afternoon)), afternoon) << name;
        const DateValue evening = DateValue::fromTime(QTime(19, 5));
        EXPECT_EQ(toDate(formatMediumTime(evening)), evening) << name;
    }
}

} // namespace
