#include "items/WindowBeside.h"

#include <algorithm>

std::optional<QPoint> windowBeside(const QRect &beside, const QSize &window, const QRect &screen)
{
    if (window.height() > screen.height() || window.width() > screen.width())
        return std::nullopt;
    // The top as the other window's, moved up where the window would reach
    // below the screen.
    const int top = std::clamp(beside.top(), screen.top(), screen.bottom() + 1 - window.height());
    const int roomRight = screen.right() - beside.right();
    const int roomLeft = beside.left() - screen.left();
    if (roomRight >= window.width())
        return QPoint(beside.right() + 1, top);
    if (roomLeft >= window.width())
        return QPoint(beside.left() - window.width(), top);
    if (roomRight >= roomLeft)
        return QPoint(screen.right() + 1 - window.width(), top);
    return QPoint(screen.left(), top);
}
