#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

// Where a window of size `window` (frame included) goes so that it does not
// cover `beside` (another window's frame, in screen pixels): to its right
// when the screen's available area has room there, else to its left, top
// edges aligned and kept on the screen. Nothing when neither side has room;
// the window manager then places it.
std::optional<QPoint> windowBeside(const QRect &beside, const QSize &window, const QRect &screen);
