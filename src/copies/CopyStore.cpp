#include "copies/CopyStore.h"

#include "copies/CopyError.h"
#include "copies/Retention.h"
#include "copies/StagedFile.h"
#include "data/Inventory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void removeFile(const QString &path)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT)
        throw CopyError(QStringLiteral("%1 could not be removed: %2")
                            .arg(native(path), QString::fromLocal8Bit(std::strerror(errno))));
}

// The names this program puts in a version's folder or its working folder.
bool isOurVersionFile(const QString &name)
{
    if (name == CopyManifestName || name == ManifestChecksumName || name == StoredLedgerName || name == PinnedMarkerName
        || name.startsWith(PartPrefix) || memberKind(name).has_value())
        return true;
    // What SQLite leaves beside a database copy cut short.
    for (const QString &database : {InventoryFileName, CatalogueFileName}) {
        for (const char *suffix : {"-journal", "-wal", "-shm"}) {
            if (name == database + QLatin1String(suffix))
                return true;
        }
    }
    return false;
}

// The manifest of a working folder: a version being removed was checked
// when it was let go, and its checksum file may be gone already.
std::optional<CopyManifest> workingManifest(const QString &folder)
{
    QFile file(folder + u'/' + CopyManifestName);
    if (QFileInfo(file.fileName()).isSymLink() || !file.open(QIODevice::ReadOnly) || file.size() > MaxManifestBytes)
        return std::nullopt;
    return parseCopyManifest(file.readAll(), nullptr);
}

// Removes the files of ours in a working folder, then the folder when that
// left it empty. A version's manifest, when it can still be read, says
// which files are ours; without it, the names a copy writes are.
void removeWorkingFolder(const QString &path)
{
    const QDir dir(path);
    const std::optional<CopyManifest> manifest = workingManifest(path);
    QSet<QString> listed;
    if (manifest) {
        for (const BackupMember &member : manifest->contents.members)
            listed.insert(member.name);
    }
    const auto ours = [&](const QString &name) {
        if (!manifest)
            return isOurVersionFile(name);
        return listed.contains(name) || name == ManifestChecksumName || name == PinnedMarkerName
            || name == StoredLedgerName || name.startsWith(PartPrefix);
    };
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    // The manifest last: until then a removal cut short still knows the rest.
    names.removeAll(CopyManifestName);
    for (const QString &name : names) {
        if (ours(name))
            removeFile(dir.filePath(name));
    }
    removeFile(dir.filePath(CopyManifestName));
    QDir().rmdir(path);
}

QSet<QByteArray> storedOf(const CopyManifest &manifest)
{
    QSet<QByteArray> stored;
    for (const BackupMember &member : manifest.contents.members) {
        if (isStoredMember(member))
            stored.insert(member.sha256);
    }
    return stored;
}

// What the kept versions refer to; std::nullopt when one cannot be read.
std::optional<QSet<QByteArray>> referencedStored(const QList<FoundVersion> &versions, const QSet<QString> &skip = {})
{
    QSet<QByteArray> referenced;
    for (const FoundVersion &version : versions) {
        if (skip.contains(version.name))
            continue;
        if (!version.manifest)
            return std::nullopt;
        referenced.unite(storedOf(*version.manifest));
    }
    return referenced;
}

void removeStored(const CopyPlace &place, const QSet<QByteArray> &candidates, const QSet<QByteArray> &referenced)
{
    QSet<QString> folders;
    for (const QByteArray &sha : candidates) {
        if (referenced.contains(sha))
            continue;
        const QString path = place.storedFile(sha);
        removeFile(path);
        folders.insert(QFileInfo(path).path());
    }
    for (const QString &folder : folders) {
        syncFolder(folder);
        QDir().rmdir(folder); // only when nothing else is in it
    }
}

// A version's folder that holds something besides what the copy wrote
// there is kept whole: whatever the retention says, what someone put there
// is left where they put it.
bool onlyOurFiles(const CopyPlace &place, const FoundVersion &version)
{
    QSet<QString> ours = {CopyManifestName, ManifestChecksumName, PinnedMarkerName};
    for (const BackupMember &member : version.manifest->contents.members) {
        if (!isStoredMember(member))
            ours.insert(member.name);
    }
    const QDir folder(place.versionFolder(version.name));
    for (const QString &name :
         folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (!ours.contains(name))
            return false;
    }
    return true;
}

} // namespace

std::optional<CopyManifest> readVersionManifest(const QString &versionFolder, QString *problem)
{
    QFile file(versionFolder + u'/' + CopyManifestName);
    if (QFileInfo(file.fileName()).isSymLink() || !file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = QStringLiteral("its manifest cannot be read (%1)").arg(file.errorString());
        return std::nullopt;
    }
    if (file.size() > MaxManifestBytes) {
        if (problem)
            *problem = QStringLiteral("its manifest is larger than %1 bytes").arg(MaxManifestBytes);
        return std::nullopt;
    }
    const QByteArray json = file.readAll();
    QFile checksum(versionFolder + u'/' + ManifestChecksumName);
    if (QFileInfo(checksum.fileName()).isSymLink() || !checksum.open(QIODevice::ReadOnly)
        || checksum.read(4096) != manifestChecksumLine(json)) {
        if (problem)
            *problem = QStringLiteral("its manifest does not match its checksum (%1)").arg(ManifestChecksumName);
        return std::nullopt;
    }
    return parseCopyManifest(json, problem);
}

QList<FoundVersion> findVersions(const CopyPlace &place)
{
    QList<FoundVersion> found;
    const QDir versions(place.versionsFolder());
    for (const QString &name : versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const std::optional<QDateTime> made = versionTime(name);
        if (!made)
            continue;
        FoundVersion version;
        version.name = name;
        version.made = *made;
        const QString folder = versions.filePath(name);
        version.pinned = QFileInfo::exists(folder + u'/' + PinnedMarkerName);
        version.manifest = readVersionManifest(folder, &version.problem);
        if (version.manifest && (version.manifest->version != name || version.manifest->identity != place.identity())) {
            version.manifest.reset();
            version.problem = QStringLiteral("its manifest belongs to another version or inventory");
        }
        found.append(version);
    }
    std::sort(found.begin(), found.end(), [](const FoundVersion &a, const FoundVersion &b) {
        return a.made != b.made ? a.made < b.made : a.name < b.name;
    });
    return found;
}

void pinVersion(const CopyPlace &place, const QString &version, bool pinned)
{
    const QString folder = place.versionFolder(version);
    if (!versionTime(version) || !QFileInfo(folder).isDir())
        throw CopyError(QStringLiteral("There is no version %1 in %2.").arg(version, native(place.folder())));
    const QString marker = folder + u'/' + PinnedMarkerName;
    if (pinned) {
        StagedFile file(folder);
        file.write("kept whatever the retention says\n", 33);
        file.finish();
        file.commitAs(marker);
    } else {
        removeFile(marker);
        syncFolder(folder);
    }
}

void clearLeftovers(const CopyPlace &place)
{
    const QDir dir(place.folder());
    for (const QString &name : dir.entryList({PartPrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        removeFile(dir.filePath(name));
    const QStringList leftovers =
        dir.entryList({StagingPrefix + u'*', RetiringPrefix + u'*'}, QDir::Dirs | QDir::Hidden | QDir::NoSymLinks);
    if (leftovers.isEmpty())
        return;
    const std::optional<QSet<QByteArray>> referenced = referencedStored(findVersions(place));
    for (const QString &name : leftovers) {
        const QString folder = dir.filePath(name);
        QSet<QByteArray> candidates;
        if (name.startsWith(StagingPrefix)) {
            QFile ledger(folder + u'/' + StoredLedgerName);
            if (ledger.open(QIODevice::ReadOnly)) {
                for (const QByteArray &line : ledger.readAll().split('\n')) {
                    if (isChecksumName(QString::fromLatin1(line)))
                        candidates.insert(line);
                }
            }
        } else if (const std::optional<CopyManifest> manifest = workingManifest(folder)) {
            candidates = storedOf(*manifest);
        }
        if (referenced)
            removeStored(place, candidates, *referenced);
        removeWorkingFolder(folder);
    }
    syncFolder(place.folder());
}

QStringList pruneCopies(const CopyPlace &place, const QDateTime &now)
{
    const QList<FoundVersion> versions = findVersions(place);
    QList<VersionStamp> stamps;
    for (const FoundVersion &version : versions) {
        if (version.manifest)
            stamps.append({version.name, version.made, version.pinned});
    }
    const QSet<QString> keep = versionsToKeep(stamps, now);
    QSet<QString> retired;
    for (const FoundVersion &version : versions) {
        if (version.manifest && !keep.contains(version.name) && onlyOurFiles(place, version))
            retired.insert(version.name);
    }
    if (retired.isEmpty())
        return {};
    const std::optional<QSet<QByteArray>> referenced = referencedStored(versions, retired);

    QStringList removed;
    for (const FoundVersion &version : versions) {
        if (!retired.contains(version.name))
            continue;
        // Out of versions/ first, in one step: a version is either whole
        // under its name or gone, and a removal cut short is finished by
        // clearLeftovers.
        const QString from = place.versionFolder(version.name);
        const QString to = place.folder() + u'/' + RetiringPrefix + version.name;
        if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
            throw CopyError(QStringLiteral("The version %1 could not be removed: %2")
                                .arg(native(from), QString::fromLocal8Bit(std::strerror(errno))));
        syncFolder(place.versionsFolder());
        syncFolder(place.folder());
        // Its stored files before its manifest, which names them.
        if (referenced)
            removeStored(place, storedOf(*version.manifest), *referenced);
        removeWorkingFolder(to);
        removed << version.name;
    }
    syncFolder(place.folder());
    return removed;
}

QList<CopyPlace> inventoriesIn(const QString &copiesFolder)
{
    const QFileInfo given(QDir::cleanPath(QFileInfo(copiesFolder).absoluteFilePath()));
    QString root;
    QStringList identities;
    if (isIdentityName(given.fileName()) && QFileInfo(given.path()).fileName() == CopiesFolderName) {
        root = QFileInfo(given.path()).path();
        identities << given.fileName();
    } else {
        const QString copies =
            given.fileName() == CopiesFolderName ? given.filePath() : given.filePath() + u'/' + CopiesFolderName;
        root = QFileInfo(copies).path();
        for (const QString &name : QDir(copies).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
            if (isIdentityName(name))
                identities << name;
        }
    }
    QList<CopyPlace> places;
    for (const QString &identity : identities) {
        CopyPlace place(root, identity);
        if (QFileInfo(place.versionsFolder()).isDir())
            places.append(place);
    }
    return places;
}
