#include "FolderContents.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = root.relativeFilePath(info.filePath());
        if (info.isDir()) {
            contents.insert(name + QLatin1Char('/'), {});
        } else {
            QFile file(info.filePath());
            contents.insert(name, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
        }
    }
    return contents;
}
