#include "items/PictureFiles.h"

#include "app/Globals.h"
#include "data/DbError.h"
#include "data/Inventory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace {

constexpr int PathFileAccessError = 75;

// Photographs of today's cameras need more memory than the image reader
// allows by default (a 48-megapixel photo takes about 200 MB).
constexpr int PictureAllocationLimitMB = 512;

// sentence: what went wrong, with %1 for the file's name.
DbError accessError(const QString &sentence, const QString &path, const QString &reason)
{
    return DbError(PathFileAccessError, QStringLiteral("Path/File access error: ")
                                            + sentence.arg(QDir::toNativeSeparators(path))
                                            + QStringLiteral(" (%1).").arg(reason));
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

QImage readPictureFile(const QString &path, QString *reason)
{
    if (QImageReader::allocationLimit() < PictureAllocationLimitMB)
        QImageReader::setAllocationLimit(PictureAllocationLimitMB);
    QImageReader reader(path);
    // Pictures put in the folder by hand may carry any extension.
    reader.setDecideFormatFromContent(true);
    // Photos taken upright but stored sideways are shown (and kept) upright.
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull() && reason)
        *reason = reader.errorString();
    return picture;
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

void writePictureFile(const QString &folder, qint64 iteid, const QImage &picture)
{
    const QDir dir(folder);
    const QString name = pictureBaseName(iteid) + QStringLiteral(".bmp");
    const QString target = dir.filePath(name);
    // The complete file is first made under a hidden name that the lookup
    // never matches: a write cut short, even by a crash, leaves at most that
    // file behind, and the next write starts it over.
    const QString staging = dir.filePath(QLatin1Char('.') + name + QStringLiteral(".new"));
    {
        QSaveFile file(staging);
        if (!file.open(QIODevice::WriteOnly))
            throw accessError(NotWritten, target, file.errorString());
        QImageWriter writer(&file, "bmp");
        if (!writer.write(picture)) {
            file.cancelWriting();
            throw accessError(NotWritten, target, writer.errorString());
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

    for (const QString &other : dir.entryList({pictureBaseName(iteid) + QStringLiteral(".*")}, QDir::Files)) {
        if (other == name)
            continue;
        QFile old(dir.filePath(other));
        if (!old.remove())
            throw accessError(QStringLiteral("the older picture file '%1' could not be removed"),
                              old.fileName(), old.errorString());
    }
}
