#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

// Where a window of size `window` (frame included) goes so that it covers
// as little as possible of `beside` (another window's frame, in screen
// pixels): to its right when the screen's available area has room there,
// else to its left; with room on neither side, against the screen's edge on
// the side with more room. Top edges aligned and kept on the screen.
// Nothing when the window is taller or wider than the screen; the window
// manager then places it.
std::optional<QPoint> windowBeside(const QRect &beside, const QSize &window, const QRect &screen);
