#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The photo at path made small enough to fit size, upright as the camera
// held it; decoded at a reduced size from the start (a JPEG's decoder then
// skips most of the work), so a 12-megapixel photo takes a few hundredths
// of a second and little memory. A null image when the file cannot be read
// as a picture. Safe to call on any thread.
QImage readThumbnail(const QString &path, QSize size);
