#include "copies/CopyWriter.h"

#include "backup/DatabaseCopy.h"
#include "copies/CopyError.h"
#include "copies/CopyPlace.h"
#include "copies/CopyStore.h"
#include "copies/StagedFile.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "data/SyncToDisk.h"
#include "program/BuildInfo.h"
#include "program/Household.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// One copy of an inventory at a time, whichever program makes it. The lock
// goes with the process, so a copy that was killed holds nobody up.
class CopyLock {
public:
    explicit CopyLock(const QString &path)
    {
        m_handle = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_handle < 0)
            throw CopyError(QStringLiteral("The copies cannot be written in %1: %2")
                                .arg(native(QFileInfo(path).path()), QString::fromLocal8Bit(std::strerror(errno))));
        if (::flock(m_handle, LOCK_EX | LOCK_NB) != 0) {
            ::close(m_handle);
            throw CopyError(QStringLiteral("Another copy of this inventory is being made into %1; no second one was "
                                           "started.")
                                .arg(native(QFileInfo(path).path())));
        }
    }
    ~CopyLock() { ::close(m_handle); }
    CopyLock(const CopyLock &) = delete;
    CopyLock &operator=(const CopyLock &) = delete;

private:
    int m_handle = -1;
};

// What an item file was when its checksum was taken: a file written again
// (as the program writes them: a new file renamed in place) has a new inode
// and change time, which nobody can set back.
struct FileState {
    qint64 size = 0;
    qint64 modified = 0; // ns
    qint64 changed = 0;  // ns
    qint64 inode = 0;
    friend bool operator==(const FileState &, const FileState &) = default;
};

std::optional<FileState> plainFileState(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileState{qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec,
                     qint64(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec, qint64(info.st_ino)};
}

// The checksums of the item files at the last copy, so an unchanged photo
// is not read again: kept beside the copies, trusted only for a file whose
// state is still the same.
class ChecksumCache {
public:
    explicit ChecksumCache(QString path) : m_path(std::move(path))
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > MaxManifestBytes)
            return;
        const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        for (auto entry = root.begin(); entry != root.end(); ++entry) {
            const QJsonArray fields = entry.value().toArray();
            if (fields.size() != 5 || !isChecksumName(fields[4].toString()))
                continue;
            const FileState state{fields[0].toString().toLongLong(), fields[1].toString().toLongLong(),
                                  fields[2].toString().toLongLong(), fields[3].toString().toLongLong()};
            m_old.insert(entry.key(), {state, fields[4].toString().toLatin1()});
        }
    }

    std::optional<QByteArray> find(const QString &name, const FileState &state) const
    {
        const auto found = m_old.constFind(name);
        if (found == m_old.constEnd() || !(found->first == state))
            return std::nullopt;
        return found->second;
    }
    void remember(const QString &name, const FileState &state, const QByteArray &sha)
    {
        m_new.insert(name, {state, sha});
    }
    // Written whole or not at all: a lost cache only costs reading again.
    void save(const QString &stagingFolder) const
    {
        QJsonObject root;
        for (auto entry = m_new.begin(); entry != m_new.end(); ++entry) {
            const FileState &state = entry->first;
            // As text: times in nanoseconds are past what a JSON number keeps exactly.
            root.insert(entry.key(),
                        QJsonArray{QString::number(state.size), QString::number(state.modified),
                                   QString::number(state.changed), QString::number(state.inode),
                                   QString::fromLatin1(entry->second)});
        }
        const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact);
        StagedFile file(stagingFolder);
        file.write(json.constData(), json.size());
        file.finish();
        file.commitAs(m_path);
    }

private:
    QString m_path;
    QHash<QString, std::pair<FileState, QByteArray>> m_old;
    QHash<QString, std::pair<FileState, QByteArray>> m_new;
};

// Whose copies these are, for a person looking into the folder.
void describeInventory(const CopyPlace &place, const QString &dataFolder, const QString &staging)
{
    const QJsonObject about{{QStringLiteral("program"), QStringLiteral("Stowbook")},
                            {QStringLiteral("inventory"), place.identity()},
                            {QStringLiteral("dataFolder"), dataFolder}};
    QFile existing(place.aboutFile());
    if (existing.open(QIODevice::ReadOnly) && QJsonDocument::fromJson(existing.readAll()).object() == about)
        return;
    const QByteArray json = QJsonDocument(about).toJson(QJsonDocument::Indented);
    StagedFile file(staging);
    file.write(json.constData(), json.size());
    file.finish();
    file.commitAs(place.aboutFile());
}

class CopyMaker {
public:
    CopyMaker(const Household &household, const QString &copiesFolder, const CopyClock &clock,
              const CopyControl &control)
        : m_control(control)
        , m_data(QDir(QFileInfo(household.DataFolder()).absoluteFilePath()))
        , m_itemFiles(household.itemFiles())
        , m_place(copiesFolder, inventoryIdentity(household.DataFolder()))
        , m_now(clock ? clock().toUTC() : QDateTime::currentDateTimeUtc())
    {
        m_now.setTime(QTime(m_now.time().hour(), m_now.time().minute(), m_now.time().second()));
    }

    CopyResult run();

private:
    CopyResult make();
    void copyDatabases();
    void copySmallFiles();
    void storeItemFiles();
    // Keeps the file at path as the member, in the files folder by its
    // checksum unless a file of that checksum is there already.
    void storeFile(const QString &member, const QString &path);
    std::optional<CopyManifest> newestManifest() const;
    void verifyStaged(const CopyManifest &manifest, const QSet<QByteArray> &written) const;
    QString freeVersionName() const;
    [[noreturn]] void refuse(const QString &why) const;
    void stopIfCancelled() const;

    const CopyControl &m_control;
    QDir m_data;
    ItemFiles m_itemFiles;
    CopyPlace m_place;
    QDateTime m_now;
    QString m_staging;
    QList<BackupMember> m_members;
    QSet<QByteArray> m_written; // stored files this copy wrote
    std::unique_ptr<ChecksumCache> m_cache;
    std::unique_ptr<QFile> m_ledger;
    CopyResult m_result;
    InventoryFigures m_figures;
};

void CopyMaker::refuse(const QString &why) const
{
    throw CopyError(QStringLiteral("No copy was made: %1").arg(why));
}

void CopyMaker::stopIfCancelled() const
{
    if (m_control.cancelled && m_control.cancelled())
        throw CopyCancelled(QStringLiteral("The copy was stopped before it was complete; no version was made."));
}

void CopyMaker::copyDatabases()
{
    try {
        for (const QString &name : {InventoryFileName, CatalogueFileName}) {
            const QString source = m_data.filePath(name);
            if (name == CatalogueFileName && !QFileInfo::exists(source))
                continue;
            const QString target = m_staging + u'/' + name;
            copyDatabase(source, target);
            ::chmod(QFile::encodeName(target).constData(), 0600);
            if (const std::optional<QString> why = syncToDisk(target))
                throw CopyError(QStringLiteral("%1 could not be written: %2").arg(native(target), *why));
            QString problem;
            const std::optional<FileDigest> digest = digestOf(target, &problem);
            if (!digest)
                throw CopyError(QStringLiteral("%1 could not be read back: %2").arg(native(target), problem));
            m_members.append(BackupMember{name, digest->size, digest->sha256});
            m_result.bytesWritten += digest->size;
        }
        m_figures = inventoryFigures(m_staging + u'/' + InventoryFileName);
    } catch (const DbError &error) {
        if (error.number() == DbError::InUse || error.number() == SQLITE_BUSY || error.number() == SQLITE_LOCKED)
            refuse(QStringLiteral("the inventory in %1 is held by a program that lets no other read it (Stowbook "
                                  "holds it so after a repair, until it is closed).")
                       .arg(native(m_data.path())));
        refuse(QStringLiteral("the databases of %1 could not be copied: %2  %3")
                   .arg(native(m_data.path()))
                   .arg(error.number())
                   .arg(error.text()));
    }
}

void CopyMaker::copySmallFiles()
{
    QStringList names;
    for (const QString &name : {ClaimantFileName, HelpFileName}) {
        if (QFileInfo::exists(m_data.filePath(name)) || QFileInfo(m_data.filePath(name)).isSymLink())
            names << name;
    }
    names << m_data.entryList({QStringLiteral("*.srp"), QStringLiteral("*.rpt")}, QDir::Files | QDir::System,
                              QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names)
        storeFile(name, m_data.filePath(name));
}

void CopyMaker::storeItemFiles()
{
    const QStringList names = m_itemFiles.names();
    for (qsizetype i = 0; i < names.size(); ++i) {
        stopIfCancelled();
        if (m_control.progress)
            m_control.progress(i, names.size());
        storeFile(PictureMemberPrefix + names[i], m_itemFiles.folder() + names[i]);
    }
    if (m_control.progress)
        m_control.progress(names.size(), names.size());
}

void CopyMaker::storeFile(const QString &member, const QString &path)
{
    const std::optional<FileState> state = plainFileState(path);
    if (!state || !memberKind(member)) {
        m_result.skipped << member;
        return;
    }
    std::optional<QByteArray> sha = m_cache->find(member, *state);
    if (sha) {
        const std::optional<FileState> stored = plainFileState(m_place.storedFile(*sha));
        if (!stored || stored->size != state->size)
            sha.reset();
    }
    qint64 size = state->size;
    if (!sha) {
        StagedFile file(m_staging);
        file.copyFrom(path);
        file.finish();
        sha = file.sha256();
        size = file.size();
        const QString target = m_place.storedFile(*sha);
        const std::optional<FileState> stored = plainFileState(target);
        if (!stored || stored->size != size) {
            // Named in the ledger before it has its name: a copy killed now
            // leaves no stored file that nothing accounts for.
            m_ledger->write(*sha + '\n');
            if (!m_ledger->flush())
                refuse(QStringLiteral("%1 cannot be written: %2")
                           .arg(native(m_ledger->fileName()), m_ledger->errorString()));
            makePrivateFolder(QFileInfo(target).path());
            file.commitAs(target);
            m_written.insert(*sha);
            m_result.bytesWritten += size;
        }
    }
    m_cache->remember(member, *state, *sha);
    m_members.append(BackupMember{member, size, *sha});
}

std::optional<CopyManifest> CopyMaker::newestManifest() const
{
    const QList<FoundVersion> versions = findVersions(m_place);
    for (auto version = versions.crbegin(); version != versions.crend(); ++version) {
        if (version->manifest)
            return version->manifest;
    }
    return std::nullopt;
}

void CopyMaker::verifyStaged(const CopyManifest &manifest, const QSet<QByteArray> &written) const
{
    QStringList paths;
    QList<BackupMember> read;
    for (const BackupMember &member : manifest.contents.members) {
        const bool stored = isStoredMember(member);
        const QString path = stored ? m_place.storedFile(member.sha256) : m_staging + u'/' + member.name;
        // A stored file written before was checked when it was written, and
        // --verify reads them all; here its size must match.
        if (stored && !written.contains(member.sha256)) {
            const std::optional<FileState> state = plainFileState(path);
            if (!state || state->size != member.size)
                refuse(QStringLiteral("%1 is not as it was written.").arg(native(path)));
            continue;
        }
        paths << path;
        read << member;
    }
    const QList<DigestResult> digests = digestsOf(paths);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (!digests[i].digest)
            refuse(QStringLiteral("%1 cannot be read back: %2").arg(native(paths[i]), digests[i].problem));
        if (digests[i].digest->size != read[i].size || digests[i].digest->sha256 != read[i].sha256)
            refuse(QStringLiteral("%1 does not read back as it was written.").arg(native(paths[i])));
    }
    try {
        for (const QString &name : {InventoryFileName, CatalogueFileName}) {
            const QString path = m_staging + u'/' + name;
            if (!QFileInfo::exists(path))
                continue;
            const QString problems = integrityProblems(path);
            if (!problems.isEmpty())
                refuse(QStringLiteral("the copy of %1 fails its integrity check:\n%2").arg(name, problems));
        }
        const InventoryFigures figures = inventoryFigures(m_staging + u'/' + InventoryFileName);
        if (figures.items != manifest.contents.itemCount || figures.totalValue != manifest.contents.totalValue)
            refuse(QStringLiteral("the copy of the inventory does not hold what was copied."));
    } catch (const DbError &error) {
        refuse(QStringLiteral("the copy of the databases cannot be read back: %1  %2")
                   .arg(error.number())
                   .arg(error.text()));
    }
}

QString CopyMaker::freeVersionName() const
{
    const QString base = versionNameAt(m_now);
    QString name = base;
    for (int n = 2;
         QFileInfo::exists(m_place.versionFolder(name)) || QFileInfo(m_place.versionFolder(name)).isSymLink(); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

CopyResult CopyMaker::run()
{
    const QString inventory = m_data.filePath(InventoryFileName);
    if (!QFileInfo(inventory).isFile())
        refuse(QStringLiteral("%1 holds no inventory database (%2).").arg(native(m_data.path()), InventoryFileName));
    const QFileInfo copies(m_place.copiesFolder());
    if (!copies.isDir())
        throw CopyError(QStringLiteral("The copies folder %1 is not there. If it is on a USB drive, plug the drive in; "
                                       "if a sync service carries it, see that the folder was not moved or renamed. "
                                       "No copy was made.")
                            .arg(native(m_place.copiesFolder())));
    makePrivateFolder(m_place.copiesFolder() + u'/' + CopiesFolderName);
    makePrivateFolder(m_place.folder());
    makePrivateFolder(m_place.versionsFolder());
    makePrivateFolder(m_place.filesFolder());
    const CopyLock lock(m_place.lockFile());
    clearLeftovers(m_place);

    // The working folder is taken away by clearLeftovers, with the stored
    // files its ledger names that no version refers to, however the copy
    // ends: made, not needed, failed.
    QTemporaryDir staging(m_place.folder() + u'/' + StagingPrefix + QStringLiteral("XXXXXX"));
    if (!staging.isValid())
        throw CopyError(QStringLiteral("No copy was made: nothing can be written in %1 (%2).")
                            .arg(native(m_place.folder()), staging.errorString()));
    staging.setAutoRemove(false);
    m_staging = staging.path();
    try {
        make();
    } catch (const CopyError &) {
        // The failure that stopped the copy is the one to tell; a working
        // folder that cannot be cleared now is cleared by the next copy.
        try {
            clearLeftovers(m_place);
        } catch (const CopyError &) {
        }
        // A drive pulled out half-way fails with whatever step it cut
        // short; what the user needs to hear is that the folder went away.
        if (!QFileInfo(m_place.copiesFolder()).isDir())
            throw CopyError(QStringLiteral("The copies folder %1 went away while the copy was made (a USB drive "
                                           "pulled out, a sync folder moved); no copy was made. The earlier "
                                           "versions in it are as they were.")
                                .arg(native(m_place.copiesFolder())));
        throw;
    }
    // The copy is made (or was not needed): a failing upkeep is told, and
    // does not make it a failed copy.
    try {
        clearLeftovers(m_place);
        m_result.removedVersions = pruneCopies(m_place, m_now);
    } catch (const CopyError &error) {
        m_result.upkeepProblem = error.message();
    }
    return m_result;
}

CopyResult CopyMaker::make()
{
    describeInventory(m_place, m_data.absolutePath(), m_staging);
    m_cache = std::make_unique<ChecksumCache>(m_place.hashCacheFile());

    m_ledger = std::make_unique<QFile>(m_staging + u'/' + StoredLedgerName);
    if (!m_ledger->open(QIODevice::WriteOnly))
        refuse(QStringLiteral("%1 cannot be written: %2").arg(native(m_ledger->fileName()), m_ledger->errorString()));
    stopIfCancelled();
    copyDatabases();
    copySmallFiles();
    storeItemFiles();
    m_ledger->close();

    CopyManifest manifest;
    manifest.identity = m_place.identity();
    manifest.dataFolder = m_data.absolutePath();
    manifest.contents.programVersion = ProgramVersion;
    manifest.contents.created = m_now;
    manifest.contents.itemCount = m_figures.items;
    manifest.contents.totalValue = m_figures.totalValue;
    manifest.contents.members = m_members;
    m_result.storedFiles = 0;
    for (const BackupMember &member : m_members)
        m_result.storedFiles += isStoredMember(member) ? 1 : 0;
    m_result.newStoredFiles = int(m_written.size());

    const std::optional<CopyManifest> newest = newestManifest();
    if (newest && newest->contents.members == m_members) {
        m_cache->save(m_staging);
        m_result.made = false;
        m_result.version = newest->version;
        m_result.manifest = *newest;
        m_result.bytesWritten = 0;
        return m_result;
    }

    manifest.version = freeVersionName();
    const QByteArray json = copyManifestJson(manifest);
    {
        StagedFile file(m_staging);
        file.write(json.constData(), json.size());
        file.finish();
        file.commitAs(m_staging + u'/' + CopyManifestName);
        m_result.bytesWritten += file.size();
        const QByteArray line = manifestChecksumLine(json);
        StagedFile checksum(m_staging);
        checksum.write(line.constData(), line.size());
        checksum.finish();
        checksum.commitAs(m_staging + u'/' + ManifestChecksumName);
        m_result.bytesWritten += checksum.size();
    }
    QString problem;
    if (!readVersionManifest(m_staging, &problem))
        refuse(QStringLiteral("the manifest does not read back as it was written: %1.").arg(problem));
    verifyStaged(manifest, m_written);
    stopIfCancelled();

    // Checked: now it counts. Its ledger goes, since the version names its
    // stored files from here on.
    QFile::remove(m_staging + u'/' + StoredLedgerName);
    syncFolder(m_staging);
    const QString target = m_place.versionFolder(manifest.version);
    if (::rename(QFile::encodeName(m_staging).constData(), QFile::encodeName(target).constData()) != 0)
        refuse(QStringLiteral("the version could not take its name %1: %2")
                   .arg(native(target), QString::fromLocal8Bit(std::strerror(errno))));
    syncFolder(m_place.versionsFolder());
    syncFolder(m_place.folder());

    m_result.made = true;
    m_result.version = manifest.version;
    m_result.manifest = manifest;
    // The working folder is gone; the cache goes through the folder that
    // receives it. A version made is made whether or not the cache is kept:
    // a lost cache only means reading the photos again next time.
    try {
        m_cache->save(m_place.folder());
    } catch (const CopyError &) {
    }
    return m_result;
}

} // namespace

CopyResult makeCopy(const Household &household, const QString &copiesFolder, const CopyClock &clock,
                    const CopyControl &control)
{
    return CopyMaker(household, copiesFolder, clock, control).run();
}
