#include "items/WindowBeside.h"

#include <algorithm>

std::optional<QPoint> windowBeside(const QRect &beside, const QSize &window, const QRect &screen)
{
    if (window.height() > screen.height())
        return std::nullopt;
    // The top as the other window's, moved up where the window would reach
    // below the screen.
    const int top = std::clamp(beside.top(), screen.top(), screen.bottom() + 1 - window.height());
    if (beside.right() + 1 + window.width() <= screen.right() + 1)
        return QPoint(beside.right() + 1, top);
    if (beside.left() - window.width() >= screen.left())
        return QPoint(beside.left() - window.width(), top);
    return std::nullopt;
}
