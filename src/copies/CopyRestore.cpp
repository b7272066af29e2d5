#include "copies/CopyRestore.h"

#include "copies/CopyError.h"
#include "copies/StagedFile.h"
#include "data/Inventory.h"
#include "data/MissingFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

CopyPlace soleInventory(const QString &copiesFolder)
{
    const QList<CopyPlace> places = inventoriesIn(copiesFolder);
    if (places.isEmpty())
        throw CopyError(QStringLiteral("%1 holds no copies of an inventory.").arg(native(copiesFolder)));
    if (places.size() > 1) {
        QStringList lines;
        for (const CopyPlace &place : places) {
            QString dataFolder;
            const QList<FoundVersion> versions = findVersions(place);
            for (auto version = versions.crbegin(); version != versions.crend() && dataFolder.isEmpty(); ++version) {
                if (version->manifest)
                    dataFolder = version->manifest->dataFolder;
            }
            lines << QStringLiteral("  %1  (copies of %2)").arg(native(place.folder()), native(dataFolder));
        }
        throw CopyError(QStringLiteral("%1 holds the copies of %2 inventories; name the folder of one of them:\n%3")
                            .arg(native(copiesFolder))
                            .arg(places.size())
                            .arg(lines.join(u'\n')));
    }
    return places.first();
}

FoundVersion chooseVersion(const CopyPlace &place, const QString &choice)
{
    const QList<FoundVersion> versions = findVersions(place);
    if (versions.isEmpty())
        throw CopyError(QStringLiteral("%1 holds no version to restore.").arg(native(place.folder())));
    if (choice.isEmpty())
        return versions.last();
    for (const FoundVersion &version : versions) {
        if (version.name == choice)
            return version;
    }
    const QDate day = QDate::fromString(choice, Qt::ISODate);
    if (day.isValid()) {
        for (auto version = versions.crbegin(); version != versions.crend(); ++version) {
            if (version->made.date() == day)
                return *version;
        }
    }
    QStringList names;
    for (const FoundVersion &version : versions)
        names << version.name;
    throw CopyError(QStringLiteral("%1 holds no version %2. Its versions: %3.")
                        .arg(native(place.folder()), choice, names.join(QStringLiteral(", "))));
}

CopyManifest restoreCopy(const CopyPlace &place, const FoundVersion &version, const QString &folder,
                         const std::function<void(double)> &progress)
{
    if (folder.isEmpty())
        throw CopyError(QStringLiteral("No folder was named to restore into."));
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    const QFileInfo targetInfo(target);
    if (targetInfo.isSymLink() || (targetInfo.exists() && !targetInfo.isDir()))
        throw CopyError(QStringLiteral("%1 already exists and is not a folder. Restore makes a new data folder; "
                                       "nothing was changed.")
                            .arg(native(target)));
    if (targetInfo.isDir()
        && !QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        throw CopyError(QStringLiteral("%1 already exists and is not empty. Restore never writes into an existing "
                                       "data folder; name a new folder. Nothing was changed.")
                            .arg(native(target)));
    const bool targetWasThere = targetInfo.isDir();

    // Every byte is checked before anything is written.
    const QStringList problems = checkVersion(place, version);
    if (!problems.isEmpty())
        throw CopyError(QStringLiteral("The version %1 in %2 is damaged and was not restored; nothing was changed. "
                                       "Choose another version.\n  %3")
                            .arg(version.name, native(place.folder()), problems.join(QStringLiteral("\n  "))));
    const CopyManifest &manifest = *version.manifest;

    const QString parent = QFileInfo(target).path();
    qint64 needed = 0;
    for (const BackupMember &member : manifest.contents.members)
        needed += member.size;
    QString existing = parent;
    while (!QFileInfo(existing).isDir() && QFileInfo(existing).path() != existing)
        existing = QFileInfo(existing).path();
    const QStorageInfo storage(existing);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < needed)
        throw CopyError(QStringLiteral("The version needs %1 MB, and %2 has only %3 MB free. Nothing was changed.")
                            .arg(needed / (1024 * 1024) + 1)
                            .arg(native(existing))
                            .arg(storage.bytesAvailable() / (1024 * 1024)));

    MadeFolders made;
    if (const std::optional<QString> failed = made.make(parent))
        throw CopyError(QStringLiteral("The folder %1 cannot be made.").arg(native(*failed)));
    const QString hidden = QDir(parent).filePath(QLatin1Char('.') + QFileInfo(target).fileName());
    QTemporaryDir staging(hidden + QStringLiteral(".restore-XXXXXX"));
    if (!staging.isValid())
        throw CopyError(QStringLiteral("Nothing can be written in %1: %2").arg(native(parent), staging.errorString()));
    const QString images = staging.path() + u'/' + ImagesFolderName;
    makePrivateFolder(images);
    qint64 done = 0;
    const QString from = place.versionFolder(version.name);
    for (const BackupMember &member : manifest.contents.members) {
        const QString source = isStoredMember(member) ? place.storedFile(member.sha256) : from + u'/' + member.name;
        const QString final = staging.path() + u'/' + member.name;
        StagedFile file(QFileInfo(final).path());
        file.copyFrom(source);
        file.finish();
        // Read again as it is copied: a file changed since the check is
        // not restored.
        if (file.size() != member.size || file.sha256() != member.sha256)
            throw CopyError(
                QStringLiteral("%1 changed while it was restored; nothing was changed.").arg(native(source)));
        file.commitAs(final, false);
        done += member.size;
        if (progress && needed > 0)
            progress(double(done) / double(needed));
    }
    QFile::setPermissions(staging.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    syncFolder(images);
    syncFolder(staging.path());
    if (::rename(QFile::encodeName(staging.path()).constData(), QFile::encodeName(target).constData()) != 0)
        throw CopyError(QStringLiteral("The restored folder could not take the name %1: %2. Nothing was changed.")
                            .arg(native(target), QString::fromLocal8Bit(std::strerror(errno))));
    staging.setAutoRemove(false);
    try {
        syncFolder(parent);
    } catch (const CopyError &) {
        // Until the new name is on the disk it may vanish with a power cut:
        // such a restore is not called done.
        QDir(target).removeRecursively();
        if (targetWasThere)
            QDir().mkdir(target);
        throw;
    }
    made.keep();
    return manifest;
}
