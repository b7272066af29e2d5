#include "FileModes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <sys/stat.h>

static mode_t modeOf(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return mode_t(-1);
    return info.st_mode & 07777;
}

QMap<QString, mode_t> fileModes(const QString &folder)
{
    QMap<QString, mode_t> modes;
    modes.insert(QStringLiteral("./"), modeOf(folder));
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString name = root.relativeFilePath(info.filePath()) + (info.isDir() ? QStringLiteral("/") : QString());
        modes.insert(name, modeOf(info.filePath()));
    }
    return modes;
}

UmaskGuard::UmaskGuard(mode_t mask) : m_previous(::umask(mask))
{
}

UmaskGuard::~UmaskGuard()
{
    ::umask(m_previous);
}

QStringList notPrivate(const QMap<QString, mode_t> &modes)
{
    QStringList wrong;
    for (auto it = modes.cbegin(); it != modes.cend(); ++it) {
        const mode_t wanted = it.key().endsWith(u'/') ? 0700 : 0600;
        if (it.value() != wanted)
            wrong << QStringLiteral("%1 %2").arg(it.key()).arg(it.value(), 4, 8, QLatin1Char('0'));
    }
    return wrong;
}
