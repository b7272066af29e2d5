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

MadeFolders::~MadeFolders()
{
    if (m_kept)
        return;
    for (auto folder = m_folders.crbegin(); folder != m_folders.crend(); ++folder)
        QDir().rmdir(*folder);
}

std::optional<QString> MadeFolders::make(const QString &path)
{
    for (const QString &folder : missingFolders(path)) {
        if (!QDir().mkdir(folder))
            return folder;
        m_folders << folder;
    }
    return std::nullopt;
}
