#include "data/DateValue.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

struct SerialCase {
    double serial;
    QDate date;
    QTime time;
    const char *iso;
};

// The day numbers follow from the base day, 30 December 1899 (serial 0).
TEST(DateValue, SerialsMatchCalendarDays)
{
    const SerialCase cases[] = {
        {0.0, QDate(1899, 12, 30), QTime(0, 0), "1899-12-30"},
        {1.0, QDate(1899, 12, 31), QTime(0, 0), "1899-12-31"},
        {-1.0, QDate(1899, 12, 29), QTime(0, 0), "1899-12-29"},
        // Before the base day the fraction is still the time of day.
        {-1.25, QDate(1899, 12, 29), QTime(6, 0), "1899-12-29 06:00:00"},
        {2.5, QDate(1900, 1, 1), QTime(12, 0), "1900-01-01 12:00:00"},
        {61.0, QDate(1900, 3, 1), QTime(0, 0), "1900-03-01"},
        {36526.0, QDate(2000, 1, 1), QTime(0, 0), "2000-01-01"},
        {-657434.0, QDate(100, 1, 1), QTime(0, 0), "0100-01-01"},
        {2958465.75, QDate(9999, 12, 31), QTime(18, 0), "9999-12-31 18:00:00"},
    };
    for (const SerialCase &c : cases) {
        SCOPED_TRACE(c.iso);
        const DateValue value(c.serial);
        EXPECT_EQ(value.date(), c.date);
        EXPECT_EQ(value.time(), c.time);
        EXPECT_EQ(value.hasTime(), c.time != QTime(0, 0));
        EXPECT_EQ(value.toIsoText(), QString::fromLatin1(c.iso));
        EXPECT_EQ(DateValue::fromDateTime(c.date, c.time), value);
        const auto parsed = DateValue::fromIsoText(QString::fromLatin1(c.iso));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_DOUBLE_EQ(parsed->serial(), c.serial);
    }
    // On the base day itself there is nothing to count backwards: -0.5 is the
    // same moment as 0.5.
    EXPECT_EQ(DateValue(-0.5).date(), QDate(1899, 12, 30));
    EXPECT_EQ(DateValue(-0.5).time(), QTime(12, 0));
}

TEST(DateValue, TimeRoundsToTheSecondAndCarriesIntoTheNextDay)
{
    const DateValue almostMidnight(1.0 + (86399.6 / 86400.0));
    EXPECT_EQ(almostMidnight.date(), QDate(1900, 1, 1));
    EXPECT_EQ(almostMidnight.time(), QTime(0, 0));
    EXPECT_FALSE(almostMidnight.hasTime());
    EXPECT_EQ(almostMidnight.toIsoText(), QStringLiteral("1900-01-01"));

    // Counting backwards, late on 28 December rounds to the 29th, not the 27th.
    const DateValue beforeBase(-2.0 - (86399.7 / 86400.0));
    EXPECT_EQ(beforeBase.date(), QDate(1899, 12, 29));
    EXPECT_EQ(beforeBase.time(), QTime(0, 0));

    EXPECT_EQ(DateValue(0.5 + 0.4 / 86400.0).time(), QTime(12, 0, 0));
    EXPECT_DOUBLE_EQ(DateValue::fromTime(QTime(18, 30)).serial(), 18.5 / 24);
}

TEST(DateValue, IsoTextRoundTripsOverCenturies)
{
    // Every 997th day from year 100 on, each with a different time of day.
    for (double day = -657434; day < 2958465; day += 997) {
        const int seconds = int(std::fmod(day * 7919, 86400));
        const DateValue value = DateValue::fromDateTime(DateValue(day).date(), QTime(0, 0).addSecs(seconds));
        const auto back = DateValue::fromIsoText(value.toIsoText());
        ASSERT_TRUE(back.has_value()) << qPrintable(value.toIsoText());
        EXPECT_EQ(back->date(), value.date());
        EXPECT_EQ(back->time(), value.time());
    }
}

TEST(DateValue, RefusesTextThatIsNoDate)
{
    const char *const refused[] = {
        "",
        "2023-02-29",
        "2023-13-01",
        "2023-00-10",
        "2023-1-01",
        "23-01-01",
        "2023/01/01",
        "2023-01-01 24:00",
        "2023-01-01 12:60",
        "2023-01-01 12:00:60",
        "2023-01-01X12:00",
        "2023-01-01 12:00:00.5",
        "0000-01-01",
        "abcd-ef-gh",
        "2023-01-01 ",
    };
    for (const char *text : refused)
        EXPECT_FALSE(DateValue::fromIsoText(QString::fromLatin1(text)).has_value()) << text;

    // Dates a four-digit year cannot hold have no text.
    EXPECT_EQ(DateValue(3e6).toIsoText(), QString());
    EXPECT_EQ(DateValue(-700000).toIsoText(), QString());
    EXPECT_EQ(DateValue(std::numeric_limits<double>::quiet_NaN()).toIsoText(), QString());

    const auto leapDay = DateValue::fromIsoText(u"2024-02-29T08:30");
    ASSERT_TRUE(leapDay.has_value());
    EXPECT_EQ(leapDay->date(), QDate(2024, 2, 29));
    EXPECT_EQ(leapDay->time(), QTime(8, 30));
}
