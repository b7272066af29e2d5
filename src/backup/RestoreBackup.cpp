#include "backup/RestoreBackup.h"

#include "backup/BackupError.h"
#include "backup/BackupReader.h"
#include "backup/RestoredFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
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
    RestoredFolder target(folder);
    const std::unique_ptr<BackupArchive> archive = BackupArchive::open(zipPath);
    const BackupManifest &manifest = archive->manifest();

    // Room for the new folder, and for a scratch copy of the largest
    // database while it is checked.
    qint64 needed = 0;
    qint64 largestDatabase = 0;
    for (const BackupMember &member : manifest.members) {
        needed += member.size;
        if (!member.name.contains(u'/'))
            largestDatabase = std::max(largestDatabase, member.size);
    }
    target.needRoom(needed + largestDatabase, QStringLiteral("The backup"));

    const auto part = [&progress](double from, double width) {
        return [&progress, from, width](double fraction) {
            if (progress)
                progress(from + width * fraction);
        };
    };
    const QString hidden = target.prepare();
    // The whole backup is checked before anything is unpacked from it. The
    // databases' scratch copies go beside the new folder, on the disk that
    // was found to have room for them; the system's temporary folder may
    // be small, elsewhere, or not there.
    {
        QTemporaryDir scratch(hidden + QStringLiteral(".verify-XXXXXX"));
        if (!scratch.isValid())
            throw BackupError(QStringLiteral("Nothing can be written in %1: %2")
                                  .arg(native(QFileInfo(target.path()).path()), scratch.errorString()));
        archive->verify(scratch.path(), part(0, 0.5));
    }
    archive->extractTo(target.staging(), part(0.5, 0.5));
    target.finish();
    return manifest;
}
