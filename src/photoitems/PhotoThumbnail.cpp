#include "photoitems/PhotoThumbnail.h"

#include <QImageReader>

QImage readThumbnail(const QString &path, QSize size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (!full.isValid())
        return QImage();
    // The stored size, before turning: a photo taken upright is stored on
    // its side, and fits the box turned too.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    reader.setScaledSize(full.scaled(turned ? size.transposed() : size, Qt::KeepAspectRatio));
    return reader.read();
}
