#include "photoitems/PhotoThumbnail.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <libexif/exif-data.h>
#include <memory>

namespace {

struct ExifDataFree {
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

// The photo turned as the camera held it; Qt's order: mirrored, then a
// quarter turn clockwise.
QImage turned(const QImage &image, QImageIOHandler::Transformations how)
{
    QImage result = image.mirrored(how.testFlag(QImageIOHandler::TransformationMirror),
                                   how.testFlag(QImageIOHandler::TransformationFlip));
    if (how.testFlag(QImageIOHandler::TransformationRotate90))
        result = result.transformed(QTransform().rotate(90));
    return result;
}

} // namespace

QImage embeddedThumbnail(const QString &path)
{
    const std::unique_ptr<ExifData, ExifDataFree> data(exif_data_new_from_file(QFile::encodeName(path).constData()));
    if (!data || !data->data || data->size == 0)
        return QImage();
    QImage thumbnail;
    // Whatever the file says, only a JPEG of an EXIF block's size is read.
    if (!thumbnail.loadFromData(QByteArrayView(data->data, qsizetype(data->size)), "JPEG"))
        return QImage();
    return thumbnail;
}

QImage readThumbnail(const QString &path, QSize size)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (!full.isValid())
        return QImage();
    // The stored size, before turning: a photo taken upright is stored on
    // its side, and fits the box turned too.
    const QImageIOHandler::Transformations how = reader.transformation();
    const QSize box = how.testFlag(QImageIOHandler::TransformationRotate90) ? size.transposed() : size;
    const QSize fitted = full.scaled(box, Qt::KeepAspectRatio);
    // The camera's own small copy spares decoding the photo, when it shows
    // the whole photo (the same shape: some cameras pad it with bars) and
    // fills the box without being enlarged.
    const QImage small = embeddedThumbnail(path);
    if (!small.isNull() && small.width() >= fitted.width() && small.height() >= fitted.height()
        && qAbs(double(small.width()) / small.height() - double(full.width()) / full.height()) < 0.02)
        return turned(small.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation), how);
    reader.setScaledSize(fitted);
    return reader.read();
}
