#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a date box puts the calendar it opens, relative to the box.
enum class CalendarPlacement {
    // Left edges aligned; the calendar's top 2.5 box heights below the
    // box's top, which clears the box and the window's own frame.
    LeftAlignedBelow,
    // Right edges aligned; the top 2 box heights below the box's top.
    RightAlignedBelow,
    // Right edges aligned; the calendar's bottom 3 box heights below the
    // box's top.
    RightAlignedEndingBelow,
};

// The calendar's size on the screen, its frame included. The window
// manager puts the frame around it only once it is shown; until then it is
// taken to be as thick as the frame around the box's window (ownerFrame, its
// outer rectangle; ownerGeometry, the part inside the frame).
QSize calendarFrameSize(const QSize &calendar, const QRect &ownerFrame, const QRect &ownerGeometry);

// The calendar's top-left corner, in screen pixels.
// box: the box's position within its window plus the window's (outer)
// position on the screen, and the box's size. calendar: the calendar
// window's size. screen: the available area of the box's screen; the
// calendar is moved back onto it where it would stick out, and where it is
// larger than the screen its top-left corner stays visible.
QPoint calendarPosition(CalendarPlacement placement, const QRect &box, const QSize &calendar, const QRect &screen);
