#include "setup/PrivateFiles.h"

#include "setup/CreatedPaths.h"
#include "setup/DataFolderSetup.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

bool changeMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

static void setMode(const QString &path, mode_t mode)
{
    if (!changeMode(path, mode))
        throw SetupError(QStringLiteral("Could not make %1 private to you: %2")
                             .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno))));
}

void makeFilePrivate(const QString &path)
{
    setMode(path, PrivateFileMode);
}

void makeFolderPrivate(const QString &path, CreatedPaths &created)
{
    struct stat before {};
    if (::stat(QFile::encodeName(path).constData(), &before) != 0)
        throw SetupError(QStringLiteral("Could not read the permissions of %1: %2")
                             .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno))));
    // Every mode bit, set-group-ID and sticky included, so a failed setup
    // puts back exactly what was there.
    const mode_t old = before.st_mode & 07777;
    if (old == PrivateFolderMode)
        return;
    setMode(path, PrivateFolderMode);
    created.addModeChange(path, old);
}
