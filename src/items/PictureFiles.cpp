#include "items/PictureFiles.h"

#include "data/DbError.h"

#include <QDir>
#include <QFile>

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
        throw DbError(75, QStringLiteral("Path/File access error: the picture file '%1' could not be deleted (%2).")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
}
