#include "backup/RestoreBackup.h"

#include "backup/BackupError.h"
#include "backup/BackupReader.h"
#include "data/Inventory.h"
#include "data/MissingFolders.h"
#include "data/SyncToDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A folder's list of names put on the disk; the restore fails, saying so
// for the folder it makes, when it cannot be.
void syncFolder(const QString &path, const QString &target)
{
    if (const std::optional<QString> why = syncToDisk(path))
        throw BackupError(QStringLiteral("The restored folder %1 could not be written: %2. Nothing was changed.")
                              .arg(native(target), *why));
}

} // namespace

BackupManifest verifyBackup(const QString &zipPath, const std::function<void(double)> &progress)
{
    const std::unique_ptr<BackupArchive> archive = BackupArchive::open(zipPath);
    QTemporaryDir scratch(QDir::temp().filePath(QStringLiteral("stowbook-verify-XXXXXX")));
    if (!scratch.isValid())
        throw BackupError(
            QStringLiteral("No temporary folder to check the databases in: %1").arg(scratch.errorString()));
    archive->verify(scratch.path(), progress);
    return archive->manifest();
}

BackupManifest restoreBackup(const QString &zipPath, const QString &folder, const std::function<void(double)> &progress)
{
    if (folder.isEmpty())
        throw BackupError(QStringLiteral("No folder was named to restore into."));
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() || (targetInfo.exists() && !targetInfo.isDir()))
        throw BackupError(QStringLiteral("%1 already exists and is not a folder. Restore makes a new data folder; "
                                         "nothing was changed.")
                              .arg(native(target)));
    if (targetInfo.isDir()
        && !QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        throw BackupError(QStringLiteral("%1 already exists and is not empty. Restore never writes into an existing "
                                         "data folder; name a new folder. Nothing was changed.")
                              .arg(native(target)));

    const bool targetWasThere = targetInfo.isDir(); // and empty

    const std::unique_ptr<BackupArchive> archive = BackupArchive::open(zipPath);
    const BackupManifest &manifest = archive->manifest();

    // Room for the new folder, and for a scratch copy of the largest
    // database while it is checked.
    const QString parent = QFileInfo(target).path();
    qint64 needed = 0;
    qint64 largestDatabase = 0;
    for (const BackupMember &member : manifest.members) {
        needed += member.size;
        if (!member.name.contains(u'/'))
            largestDatabase = std::max(largestDatabase, member.size);
    }
    QString existing = parent;
    while (!QFileInfo(existing).isDir() && QFileInfo(existing).path() != existing)
        existing = QFileInfo(existing).path();
    const QStorageInfo storage(existing);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < needed + largestDatabase)
        throw BackupError(QStringLiteral("The backup needs %1 MB, and %2 has only %3 MB free. Nothing was changed.")
                              .arg((needed + largestDatabase) / (1024 * 1024) + 1)
                              .arg(native(existing))
                              .arg(storage.bytesAvailable() / (1024 * 1024)));

    const auto part = [&progress](double from, double width) {
        return [&progress, from, width](double fraction) {
            if (progress)
                progress(from + width * fraction);
        };
    };
    MadeFolders made;
    if (const std::optional<QString> failed = made.make(parent))
        throw BackupError(QStringLiteral("The folder %1 cannot be made.").arg(native(*failed)));
    const QString hidden = QDir(parent).filePath(QLatin1Char('.') + QFileInfo(target).fileName());
    // The whole backup is checked before anything is unpacked from it. The
    // databases' scratch copies go beside the new folder, on the disk that
    // was found to have room for them; the system's temporary folder may
    // be small, elsewhere, or not there.
    {
        QTemporaryDir scratch(hidden + QStringLiteral(".verify-XXXXXX"));
        if (!scratch.isValid())
            throw BackupError(
                QStringLiteral("Nothing can be written in %1: %2").arg(native(parent), scratch.errorString()));
        archive->verify(scratch.path(), part(0, 0.5));
    }

    // Everything is unpacked in one hidden folder beside the new one; it
    // becomes the new folder by a rename, or goes entirely.
    QTemporaryDir staging(hidden + QStringLiteral(".restore-XXXXXX"));
    if (!staging.isValid())
        throw BackupError(
            QStringLiteral("Nothing can be written in %1: %2").arg(native(parent), staging.errorString()));
    archive->extractTo(staging.path(), part(0.5, 0.5));
    QFile::setPermissions(staging.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    syncFolder(QDir(staging.path()).filePath(ImagesFolderName), target);
    syncFolder(staging.path(), target);

    // An empty folder at target is replaced; anything put there meanwhile
    // makes the rename fail and is left alone.
    if (::rename(QFile::encodeName(staging.path()).constData(), QFile::encodeName(target).constData()) != 0)
        throw BackupError(QStringLiteral("The restored folder could not take the name %1: %2. Nothing was changed.")
                              .arg(native(target), QString::fromLocal8Bit(std::strerror(errno))));
    staging.setAutoRemove(false);
    try {
        // Until then the new name may vanish with a power cut.
        syncFolder(parent, target);
    } catch (const BackupError &) {
        QDir(target).removeRecursively();
        if (targetWasThere)
            QDir().mkdir(target);
        throw;
    }
    made.keep();
    return manifest;
}
