#include "data/MissingFolders.h"

#include <QDir>
#include <QFileInfo>

QStringList missingFolders(const QString &path)
{
    QStringList missing;
    // Climbed by name: QDir::cdUp refuses to climb to a folder that does
    // not exist, which would stop the list after its innermost folder.
    QString folder = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(folder).isDir()) {
        missing.prepend(folder);
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    return missing;
}
