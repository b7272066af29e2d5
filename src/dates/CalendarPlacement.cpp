#include "dates/CalendarPlacement.h"

#include <QtGlobal>

QSize calendarFrameSize(const QSize &calendar, const QRect &ownerFrame, const QRect &ownerGeometry)
{
    const QSize frame = ownerFrame.size() - ownerGeometry.size();
    return calendar + QSize(qMax(0, frame.width()), qMax(0, frame.height()));
}

QPoint calendarPosition(CalendarPlacement placement, const QRect &box, const QSize &calendar, const QRect &screen)
{
    const int boxRight = box.x() + box.width();
    QPoint at;
    switch (placement) {
    case CalendarPlacement::LeftAlignedBelow:
        at = QPoint(box.x(), box.y() + qRound(2.5 * box.height()));
        break;
    case CalendarPlacement::RightAlignedBelow:
        at = QPoint(boxRight - calendar.width(), box.y() + 2 * box.height());
        break;
    case CalendarPlacement::RightAlignedEndingBelow:
        at = QPoint(boxRight - calendar.width(), box.y() + 3 * box.height() - calendar.height());
        break;
    }
    // qMax last: a calendar larger than the screen keeps its top-left corner on it.
    at.setX(qMax(screen.x(), qMin(at.x(), screen.x() + screen.width() - calendar.width())));
    at.setY(qMax(screen.y(), qMin(at.y(), screen.y() + screen.height() - calendar.height())));
    return at;
}
