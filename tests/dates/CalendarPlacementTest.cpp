#include "dates/CalendarPlacement.h"

#include <gtest/gtest.h>

TEST(CalendarPlacement, FollowsTheBoxAndStaysOnTheScreen)
{
    using P = CalendarPlacement;
    const QSize calendar(180, 160);
    const QRect screen(0, 0, 1920, 1080);
    struct Row {
        const char *what;
        P placement;
        QRect box;
        QPoint expected;
    };
    // A box 21 high at (200, 300), its right edge at 350.
    const Row rows[] = {
        {"left aligned, 2.5 heights (52.5 rounds up) down", P::LeftAlignedBelow, QRect(200, 300, 150, 21), {200, 353}},
        {"right aligned, 2 heights down", P::RightAlignedBelow, QRect(200, 300, 150, 21), {170, 342}},
        {"bottom 3 heights down", P::RightAlignedEndingBelow, QRect(200, 300, 150, 21), {170, 203}},
        {"pulled in from the right and bottom", P::LeftAlignedBelow, QRect(1850, 1000, 60, 20), {1740, 920}},
        {"pushed in from the left and top", P::RightAlignedEndingBelow, QRect(10, 20, 100, 20), {0, 0}},
    };
    for (const Row &row : rows)
        EXPECT_EQ(calendarPosition(row.placement, row.box, calendar, screen), row.expected) << row.what;
    EXPECT_EQ(calendarPosition(P::LeftAlignedBelow, QRect(500, 500, 100, 20), QSize(900, 700), QRect(0, 0, 800, 600)),
              QPoint(0, 0))
        << "larger than the screen: its top-left corner stays visible";
}

// Before it is shown the calendar has no frame; counted like its owner's,
// the calendar of a box low on the screen ends on it, title bar and all.
TEST(CalendarPlacement, CountsTheFrameTheCalendarWillGet)
{
    const QRect screen(0, 0, 1366, 720);
    // An owner 800 x 600 inside a frame with a 23-pixel title bar and 1-pixel borders.
    const QRect ownerFrame(100, 80, 802, 624);
    const QRect ownerGeometry(101, 103, 800, 600);
    const QSize calendar(230, 210);
    const QSize outer = calendarFrameSize(calendar, ownerFrame, ownerGeometry);
    EXPECT_EQ(outer, QSize(232, 234));
    EXPECT_EQ(calendarFrameSize(calendar, ownerGeometry, ownerGeometry), calendar) << "no frame, nothing added";
    // A box 21 high near the bottom: 2.5 heights down would end below the screen.
    const QRect box(300, 640, 120, 21);
    for (const CalendarPlacement placement : {CalendarPlacement::LeftAlignedBelow, CalendarPlacement::RightAlignedBelow,
                                              CalendarPlacement::RightAlignedEndingBelow}) {
        const QPoint at = calendarPosition(placement, box, outer, screen);
        EXPECT_LE(at.y() + outer.height(), screen.bottom() + 1) << int(placement);
        EXPECT_GE(at.y(), screen.top()) << int(placement);
    }
}
