#include "copies/CopyRestore.h"

#include "backup/BackupError.h"
#include "backup/RestoredFolder.h"
#include "copies/CopyError.h"
#include "copies/StagedFile.h"
#include "data/Inventory.h"

#include <QDir>
#include <QFileInfo>

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

namespace {

CopyManifest restoreInto(RestoredFolder &target, const CopyPlace &place, const FoundVersion &version,
                         const std::function<void(double)> &progress)
{
    // Every byte is checked before anything is written.
    const QStringList problems = checkVersion(place, version);
    if (!problems.isEmpty())
        throw CopyError(QStringLiteral("The version %1 in %2 is damaged and was not restored; nothing was changed. "
                                       "Choose another version.\n  %3")
                            .arg(version.name, native(place.folder()), problems.join(QStringLiteral("\n  "))));
    const CopyManifest &manifest = *version.manifest;
    qint64 needed = 0;
    for (const BackupMember &member : manifest.contents.members)
        needed += member.size;
    target.needRoom(needed, QStringLiteral("The version"));

    const QString staging = target.staging();
    makePrivateFolder(staging + u'/' + ImagesFolderName);
    qint64 done = 0;
    const QString from = place.versionFolder(version.name);
    for (const BackupMember &member : manifest.contents.members) {
        const QString source = isStoredMember(member) ? place.storedFile(member.sha256) : from + u'/' + member.name;
        const QString final = staging + u'/' + member.name;
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
    target.finish();
    return manifest;
}

} // namespace

CopyManifest restoreCopy(const CopyPlace &place, const FoundVersion &version, const QString &folder,
                         const std::function<void(double)> &progress)
{
    // The new folder's own checks and steps are the backup's restore's; a
    // copy's restore says what they find as its own.
    try {
        RestoredFolder target(folder);
        return restoreInto(target, place, version, progress);
    } catch (const BackupError &error) {
        throw CopyError(error.message());
    }
}
