#include "items/PictureFiles.h"

#include "data/DbError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <mutex>

namespace {

// Photographs of today's cameras need more memory than the image reader
// allows by default (a 48-megapixel photo takes about 200 MB): as much as
// the largest picture kept at 32 bits a pixel.
constexpr int PictureAllocationLimitMB = int(MaxPicturePixels * 4 / (1024 * 1024));

} // namespace

// The reader's own limit guards the formats whose header gives no size. Set
// once, whichever thread reads the first picture.
static void raiseAllocationLimit()
{
    static std::once_flag raised;
    std::call_once(raised, [] {
        if (QImageReader::allocationLimit() < PictureAllocationLimitMB)
            QImageReader::setAllocationLimit(PictureAllocationLimitMB);
    });
}

// Reads with the settings every picture is read with; reader has its file
// or device set.
static QImage readPicture(QImageReader &reader, QString *reason)
{
    raiseAllocationLimit();
    // Pictures put in the folder by hand may carry any extension.
    reader.setDecideFormatFromContent(true);
    // Photos taken upright but stored sideways are shown (and kept) upright.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels) {
        if (reason)
            *reason = QStringLiteral("the picture has %1 x %2 pixels, more than can be kept")
                          .arg(size.width())
                          .arg(size.height());
        return QImage();
    }
    // Some readers stop early at a file cut short and leave the rest of the
    // picture as the memory happened to be: laid out here first and filled,
    // the missing part is plain instead (the readers fill a picture of the
    // right size and format in place).
    QImage picture;
    const QImage::Format format = reader.imageFormat();
    if (size.isValid() && format != QImage::Format_Invalid) {
        picture = QImage(size, format);
        if (picture.depth() <= 8)
            picture.fill(0u);
        else
            picture.fill(Qt::white);
    }
    if (!reader.read(&picture))
        picture = QImage();
    if (!picture.isNull() && qint64(picture.width()) * picture.height() > MaxPicturePixels) {
        if (reason)
            *reason = QStringLiteral("the picture has %1 x %2 pixels, more than can be kept")
                          .arg(picture.width())
                          .arg(picture.height());
        return QImage();
    }
    if (picture.isNull() && reason)
        *reason = reader.errorString();
    return picture;
}

QImage readPictureFile(const QString &path, QString *reason)
{
    QImageReader reader(path);
    return readPicture(reader, reason);
}

// The reader's size of the picture as it is shown: a picture stored turned
// by a quarter is shown with its sides swapped.
static QSize uprightSize(QImageReader &reader)
{
    const QSize stored = reader.size();
    if (!stored.isValid())
        return QSize();
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90) ? stored.transposed() : stored;
}

QSize pictureFileSize(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = uprightSize(reader);
    if (size.isEmpty() || qint64(size.width()) * size.height() > MaxPicturePixels)
        return QSize();
    return size;
}

QImage readPictureFileScaled(const QString &path, QSize bound, QString *reason)
{
    if (bound.isEmpty()) {
        if (reason)
            *reason = QStringLiteral("no room to draw the picture");
        return QImage();
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize upright = uprightSize(reader);
    if (!upright.isEmpty() && reader.supportsOption(QImageIOHandler::ScaledSize)
        && qint64(upright.width()) * upright.height() <= MaxPicturePixels) {
        const QSize fitted = upright.width() <= bound.width() && upright.height() <= bound.height()
            ? upright
            : upright.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        // The reader scales the picture as stored, before turning it upright.
        const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
        reader.setScaledSize(turned ? fitted.transposed() : fitted);
        raiseAllocationLimit();
        QImage picture = reader.read();
        if (picture.isNull() && reason)
            *reason = reader.errorString();
        return picture;
    }
    // Other kinds are read whole, with every check, and then shrunk.
    const QImage whole = readPictureFile(path, reason);
    if (whole.isNull() || (whole.width() <= bound.width() && whole.height() <= bound.height()))
        return whole;
    return whole.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage readPictureData(const QByteArray &bytes, QString *reason)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = buffer.errorString();
        return QImage();
    }
    QImageReader reader(&buffer);
    return readPicture(reader, reason);
}

QImage opaquePicture(const QImage &picture)
{
    if (picture.isNull() || !picture.hasAlphaChannel())
        return picture;
    QImage opaque(picture.size(), QImage::Format_RGB32);
    opaque.setDevicePixelRatio(picture.devicePixelRatio());
    opaque.fill(Qt::white);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, picture);
    return opaque;
}

namespace {

// A file's own extension when it is a plain one: letters and digits, up to
// eight, taken in lower case.
QString plainExtension(const QString &path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,8}$"));
    const QString suffix = QFileInfo(path).suffix();
    return plain.match(suffix).hasMatch() ? suffix.toLower() : QString();
}

// The usual extension of a kind of picture as the image plugins name it.
QString extensionOfKind(const QByteArray &kind)
{
    if (kind == "jpeg")
        return QStringLiteral("jpg");
    static const QRegularExpression plain(QStringLiteral("^[a-z0-9]{1,8}$"));
    const QString name = QString::fromLatin1(kind).toLower();
    return plain.match(name).hasMatch() ? name : QStringLiteral("img");
}

} // namespace

std::optional<LoadedPicture> loadPictureFile(const QString &path, QString *reason)
{
    const auto refuse = [reason](const QString &why) -> std::optional<LoadedPicture> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // The size is checked before anything is read: a file of gigabytes
    // would take as much memory before its content could be refused.
    if (file.size() > MaxPictureFileBytes)
        return refuse(QStringLiteral("the file has %1 bytes, more than a picture that can be kept").arg(file.size()));
    // Read for the size the file has (a read's buffer is made as large as
    // it may be asked to hold); one byte more shows a file still growing.
    const qint64 size = file.size();
    LoadedPicture loaded;
    loaded.file.bytes = file.read(size + 1);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (loaded.file.bytes.size() != size)
        return refuse(QStringLiteral("the file changed while it was read"));
    loaded.picture = readPictureData(loaded.file.bytes, reason);
    if (loaded.picture.isNull())
        return std::nullopt;
    loaded.file.extension = plainExtension(path);
    if (loaded.file.extension.isEmpty()) {
        QBuffer buffer(&loaded.file.bytes);
        buffer.open(QIODevice::ReadOnly);
        loaded.file.extension = extensionOfKind(QImageReader::imageFormat(&buffer));
    }
    return loaded;
}

PictureFile pictureFileOf(const QImage &picture)
{
    PictureFile file{QByteArray(), QStringLiteral("png")};
    QBuffer buffer(&file.bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw DbError::pathFileAccess(
            QStringLiteral("the picture could not be kept as PNG (%1).").arg(writer.errorString()));
    return file;
}
