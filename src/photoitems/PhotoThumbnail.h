#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The photo at path made small enough to fit size, upright as the camera
// held it. The small copy a camera embeds in the photo's EXIF block is
// taken when it shows the whole photo and is large enough to fill size;
// else the photo is decoded at a reduced size from the start (a JPEG's
// decoder then skips most of the work), so a 12-megapixel photo takes a few
// hundredths of a second and little memory. A null image when the file
// cannot be read as a picture. Safe to call on any thread.
QImage readThumbnail(const QString &path, QSize size);

// The small copy embedded in the photo's EXIF block as it is stored (not
// turned); a null image when there is none or it cannot be read.
QImage embeddedThumbnail(const QString &path);
