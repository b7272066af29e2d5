#include "dates/CalendarPage.h"
#include "CalendarTestSupport.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// The page as rows of day numbers, "." for an empty cell.
QStringList drawn(const CalendarPage &page)
{
    QStringList rows;
    for (int row = 0; row < CalendarPage::WeekRows; ++row) {
        QStringList cells;
        for (int column = 0; column < CalendarPage::WeekDays; ++column)
            cells << (page.dayAt(row, column) ? QString::number(page.dayAt(row, column)) : QStringLiteral("."));
        rows << cells.join(u' ');
    }
    return rows;
}

} // namespace

TEST(CalendarPage, DrawsTheMonthSundayFirstWithTheDayHighlighted)
{
    LocaleGuard guard("de_DE");               // its weeks start on Monday; the calendar's do not
    const CalendarPage may(day(2001, 5, 15)); // 1 May 2001 was a Tuesday
    EXPECT_EQ(drawn(may),
              (QStringList{". . 1 2 3 4 5", "6 7 8 9 10 11 12", "13 14 15 16 17 18 19", "20 21 22 23 24 25 26",
                           "27 28 29 30 31 . .", ". . . . . . ."}));
    EXPECT_EQ(std::pair(may.selectedRow(), may.selectedColumn()), std::pair(2, 2));
    // 1 December 2001 was a Saturday: 31 days reach the sixth row.
    const CalendarPage december(day(2001, 12, 31));
    EXPECT_EQ(drawn(december).last(), QStringLiteral("30 31 . . . . ."));
    EXPECT_EQ(std::pair(december.selectedRow(), december.selectedColumn()), std::pair(5, 1));
}

TEST(CalendarPage, StepsKeepTheDayOrTakeTheFirstAndBeepAtTheLimits)
{
    using Step = std::function<bool(CalendarPage &)>;
    const Step back = &CalendarPage::monthBack, forward = &CalendarPage::monthForward;
    const Step yearBack = &CalendarPage::yearBack, yearForward = &CalendarPage::yearForward;
    auto move = [](int days) { return Step([days](CalendarPage &page) { return page.moveDays(days); }); };
    struct Row {
        const char *what;
        DateValue from;
        Step step;
        std::optional<DateValue> to; // nullopt: beeps and stays
    };
    const Row rows[] = {
        {"31 March back: no 31 February, and no clamping", day(2001, 3, 31), back, day(2001, 2, 1)},
        {"31 January forward", day(2001, 1, 31), forward, day(2001, 2, 1)},
        {"January back", day(2001, 1, 15), back, day(2000, 12, 15)},
        {"December forward", day(2000, 12, 15), forward, day(2001, 1, 15)},
        {"29 February 2000 year forward", day(2000, 2, 29), yearForward, day(2001, 2, 1)},
        {"29 February 2000 year back", day(2000, 2, 29), yearBack, day(1999, 2, 1)},
        {"month forward from December 9999", day(9999, 12, 15), forward, std::nullopt},
        {"year forward in 9999", day(9999, 1, 15), yearForward, std::nullopt},
        {"month back from January 100", day(100, 1, 15), back, std::nullopt},
        {"year back in 100", day(100, 12, 15), yearBack, std::nullopt},
        {"a day past 31 May", day(2001, 5, 31), move(1), day(2001, 6, 1)},
        {"a week before 3 January", day(2001, 1, 3), move(-7), day(2000, 12, 27)},
        {"a day past the last day", day(9999, 12, 31), move(1), std::nullopt},
    };
    // The dates are made from texts in the locale's order: a month read as
    // a day would land elsewhere.
    for (const char *locale : {"en_US", "en_GB", "sv_SE"}) {
        LocaleGuard guard(locale);
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(locale) + ": " + row.what);
            ScriptedPrompts prompts;
            CalendarPage page(row.from);
            EXPECT_EQ(row.step(page), row.to.has_value());
            EXPECT_EQ(DateValue::fromDate(page.curDate()), row.to.value_or(row.from));
            EXPECT_EQ(cellOf(page, page.curDate().day()), std::pair(page.selectedRow(), page.selectedColumn()));
            EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::Beep), row.to ? 0 : 1);
        }
    }
}

TEST(CalendarPage, PicksDaysButNotEmptyCells)
{
    LocaleGuard guard("en_GB"); // day first: 1 May must not come back as 5 January
    const CalendarPage page(day(2001, 5, 15));
    EXPECT_EQ(page.pick(0, 2), day(2001, 5, 1));
    EXPECT_EQ(page.pick(4, 4), day(2001, 5, 31));
    for (const auto &[row, column] : {std::pair(0, 1), std::pair(4, 5), std::pair(5, 0)})
        EXPECT_EQ(page.pick(row, column), std::nullopt) << row << "," << column;
}

TEST(CalendarPage, StartsWithinTheYearsItShows)
{
    const TodayGuard today(QDate(2001, 5, 15));
    EXPECT_EQ(CalendarPage(day(99, 12, 31)).curDate(), QDate(100, 1, 1));
    EXPECT_EQ(CalendarPage(DateValue(1e12)).curDate(), QDate(2001, 5, 15)) << "no calendar day: today";
}
