#include "items/PictureFiles.h"

#include "data/DbError.h"
#include "data/Inventory.h"
#include "program/Globals.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <mutex>
#include <system_error>
#include <unistd.h>

namespace {

// Photographs of today's cameras need more memory than the image reader
// allows by default (a 48-megapixel photo takes about 200 MB): as much as
// the largest picture kept at 32 bits a pixel.
constexpr int PictureAllocationLimitMB = int(MaxPicturePixels * 4 / (1024 * 1024));

// sentence: what went wrong, with %1 for the file's name.
DbError accessError(const QString &sentence, const QString &path, const QString &reason)
{
    return DbError::pathFileAccess(sentence.arg(QDir::toNativeSeparators(path)) + QStringLiteral(" (%1).").arg(reason));
}

const QString NotWritten = QStringLiteral("the picture file '%1' could not be written");

} // namespace

QString pictureFolder()
{
    return DataFolder + ImagesFolderName + QLatin1Char('/');
}

QString pictureBaseName(qint64 iteid)
{
    return QStringLiteral("%1").arg(iteid, 8, 10, QLatin1Char('0'));
}

QString findPictureFile(const QString &folder, qint64 iteid)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({pictureBaseName(iteid) + QStringLiteral(".*")}, QDir::Files,
                                            QDir::Name);
    return names.isEmpty() ? QString() : dir.filePath(names.front());
}

void deletePictureFile(const QString &folder, qint64 iteid)
{
    const QString path = findPictureFile(folder, iteid);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.remove())
        throw accessError(QStringLiteral("the picture file '%1' could not be deleted"), path, file.errorString());
}

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

// The rename is only lasting once the folder itself is on the disk; without
// this a power cut could bring back the old picture. Best effort: a folder
// that cannot be synced (some network file systems) changes nothing.
static void syncFolder(const QString &folder)
{
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

namespace {

// Writes the content into the file; false, with the reason, when it fails.
using ContentWriter = std::function<bool(QSaveFile &file, QString &reason)>;

// The safe write of every picture: the whole file is made under a hidden
// name, synced, and then takes the place of the item's picture in one step;
// the item's other picture files go after that.
void writeStagedPicture(const QString &folder, qint64 iteid, const QString &extension, const ContentWriter &write)
{
    const QDir dir(folder);
    const QString name = pictureBaseName(iteid) + QLatin1Char('.') + extension;
    const QString target = dir.filePath(name);
    // The complete file is first made under a hidden name that the lookup
    // never matches: a write cut short, even by a crash, leaves at most that
    // file behind, and the next write starts it over.
    const QString staging = dir.filePath(QLatin1Char('.') + name + QStringLiteral(".new"));
    {
        QSaveFile file(staging);
        if (!file.open(QIODevice::WriteOnly))
            throw accessError(NotWritten, target, file.errorString());
        QString reason;
        if (!write(file, reason)) {
            // A full disk shows up as the file's error; a writer on top of
            // it only knows that its device failed.
            if (file.error() != QFileDevice::NoError)
                reason = file.errorString();
            file.cancelWriting();
            throw accessError(NotWritten, target, reason);
        }
        if (!file.flush()) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw accessError(NotWritten, target, reason);
        }
        // On the disk before it takes the old file's place. A file system
        // that cannot sync at all (EINVAL) still gets the picture.
        if (::fsync(file.handle()) != 0 && errno != EINVAL) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            file.cancelWriting();
            throw accessError(NotWritten, target, reason);
        }
        if (!file.commit())
            throw accessError(NotWritten, target, file.errorString());
    }
    std::error_code failure;
    std::filesystem::rename(QFileInfo(staging).filesystemFilePath(), QFileInfo(target).filesystemFilePath(),
                            failure);
    if (failure) {
        QFile::remove(staging);
        throw accessError(NotWritten, target,
                          QString::fromStdString(failure.message()));
    }
    syncFolder(folder);

    for (const QString &other : dir.entryList({pictureBaseName(iteid) + QStringLiteral(".*")}, QDir::Files)) {
        if (other == name)
            continue;
        QFile old(dir.filePath(other));
        if (!old.remove())
            throw accessError(QStringLiteral("the older picture file '%1' could not be removed"),
                              old.fileName(), old.errorString());
    }
}

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

void writePictureFile(const QString &folder, qint64 iteid, const PictureFile &file)
{
    writeStagedPicture(folder, iteid, file.extension, [&file](QSaveFile &out, QString &reason) {
        if (out.write(file.bytes) == file.bytes.size())
            return true;
        reason = out.errorString();
        return false;
    });
}

void writePictureFile(const QString &folder, qint64 iteid, const QImage &picture)
{
    writeStagedPicture(folder, iteid, QStringLiteral("png"), [&picture](QSaveFile &out, QString &reason) {
        QImageWriter writer(&out, "png");
        if (writer.write(picture))
            return true;
        reason = writer.errorString();
        return false;
    });
}
