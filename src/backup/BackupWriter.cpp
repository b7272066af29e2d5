#include "backup/BackupWriter.h"

#include "backup/BackupError.h"
#include "backup/BlockFileSource.h"
#include "backup/DatabaseCopy.h"
#include "backup/MemberHashes.h"
#include "backup/ZipSupport.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "data/Sha256.h"
#include "data/SyncToDisk.h"
#include "program/BuildInfo.h"
#include "program/ItemFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <new>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Kinds of photos and documents whose files are compressed already;
// deflating them again costs time and saves nothing.
bool isCompressedPicture(const QString &name)
{
    static const QStringList packed = {QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("png"),
                                       QStringLiteral("gif"),  QStringLiteral("webp"), QStringLiteral("heic"),
                                       QStringLiteral("heif"), QStringLiteral("avif"), QStringLiteral("jp2"),
                                       QStringLiteral("pdf"),  QStringLiteral("zip"),  QStringLiteral("docx"),
                                       QStringLiteral("xlsx"), QStringLiteral("pptx"), QStringLiteral("odt"),
                                       QStringLiteral("ods"),  QStringLiteral("mp4"),  QStringLiteral("mov")};
    return packed.contains(QFileInfo(name).suffix().toLower());
}

// One file of the data folder on its way into the archive.
struct PlannedMember {
    QString name; // in the archive
    QString path; // on the disk
};

// A source that reads a file as libzip writes it, and records the bytes
// and the checksum of exactly what went into the archive: the file is read
// once, and a picture replaced meanwhile is recorded as it was written.
struct HashingFile {
    QString name;
    QString path;
    MemberHashes *hashes;
    QFile file;
    Sha256 hash;
    qint64 bytes = 0;
    zip_error_t error;

    HashingFile(QString memberName, QString filePath, MemberHashes *recorder)
        : name(std::move(memberName))
        , path(std::move(filePath))
        , hashes(recorder)
    {
        zip_error_init(&error);
    }
    ~HashingFile() { zip_error_fini(&error); }

    zip_int64_t fail(int code)
    {
        zip_error_set(&error, code, errno);
        hashes->fail(name, file.errorString());
        return -1;
    }

    zip_int64_t handle(void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            file.setFileName(path);
            hash.reset();
            bytes = 0;
            if (!file.open(QIODevice::ReadOnly))
                return fail(ZIP_ER_OPEN);
            return 0;
        case ZIP_SOURCE_READ: {
            const qint64 read = file.read(static_cast<char *>(data), qint64(length));
            if (read < 0)
                return fail(ZIP_ER_READ);
            hash.addData(QByteArrayView(static_cast<const char *>(data), read));
            bytes += read;
            return read;
        }
        case ZIP_SOURCE_CLOSE:
            file.close();
            hashes->record(BackupMember{name, bytes, hash.hexResult()});
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
            if (!stat)
                return -1;
            zip_stat_init(stat);
            const QFileInfo info(path);
            // The size guides libzip's progress; what it stores is what was read.
            if (info.exists()) {
                stat->size = zip_uint64_t(info.size());
                stat->mtime = time_t(info.lastModified().toSecsSinceEpoch());
                stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            }
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *file = static_cast<HashingFile *>(state);
        // Nothing may be thrown through libzip's C code: a checksum that
        // cannot get memory fails this member, and so the archive.
        try {
            return file->handle(data, length, command);
        } catch (const std::bad_alloc &) {
            zip_error_set(&file->error, ZIP_ER_MEMORY, 0);
            file->hashes->fail(file->name, QStringLiteral("out of memory"));
            return -1;
        }
    }
};

// The manifest, the archive's last member: made when libzip comes to it,
// from the checksums of the members it has written by then.
struct ManifestSource {
    BackupManifest manifest;
    MemberHashes *hashes;
    QByteArray json;
    qint64 offset = 0;
    bool built = false;
    zip_error_t error;

    ManifestSource(BackupManifest base, MemberHashes *recorder) : manifest(std::move(base)), hashes(recorder)
    {
        zip_error_init(&error);
    }
    ~ManifestSource() { zip_error_fini(&error); }

    bool build()
    {
        if (built)
            return true;
        // Every other member must be in the archive already: a manifest
        // without one of them would refuse a sound backup later.
        const std::optional<QList<BackupMember>> members = hashes->complete();
        if (!members) {
            zip_error_set(&error, ZIP_ER_INTERNAL, 0);
            return false;
        }
        manifest.members = *members;
        json = manifestJson(manifest);
        built = true;
        return true;
    }

    zip_int64_t handle(void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        switch (command) {
        case ZIP_SOURCE_OPEN:
            offset = 0;
            return build() ? 0 : -1;
        case ZIP_SOURCE_READ: {
            const qint64 count = std::min<qint64>(qint64(length), json.size() - offset);
            std::memcpy(data, json.constData() + offset, size_t(count));
            offset += count;
            return count;
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &error);
            if (!stat)
                return -1;
            zip_stat_init(stat);
            stat->mtime = time_t(manifest.created.toSecsSinceEpoch());
            stat->valid |= ZIP_STAT_MTIME;
            // Known only once the members before it are written.
            if (hashes->complete() && build()) {
                stat->size = zip_uint64_t(json.size());
                stat->valid |= ZIP_STAT_SIZE;
            }
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&error, data, length);
        case ZIP_SOURCE_FREE:
            delete this;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        return static_cast<ManifestSource *>(state)->handle(data, length, command);
    }
};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The members the data folder gives, in the order they go into the archive:
// databases first (from their copies), then the small files, the pictures.
QList<PlannedMember> planMembers(const QDir &folder, const QDir &staging, BackupSummary &summary)
{
    QList<PlannedMember> planned;
    for (const QString &name : {InventoryFileName, CatalogueFileName}) {
        if (QFileInfo::exists(staging.filePath(name)))
            planned.append({name, staging.filePath(name)});
    }
    const auto take = [&](const QString &name, const QString &path) {
        const QFileInfo info(path);
        if (info.isSymLink() || !info.isFile() || !memberKind(name)) {
            summary.skipped << name;
            return false;
        }
        planned.append({name, path});
        return true;
    };
    for (const QString &name : {ClaimantFileName, HelpFileName}) {
        if (QFileInfo::exists(folder.filePath(name)) || QFileInfo(folder.filePath(name)).isSymLink())
            take(name, folder.filePath(name));
    }
    const QStringList reports = folder.entryList({QStringLiteral("*.srp"), QStringLiteral("*.rpt")},
                                                 QDir::Files | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : reports) {
        if (take(name, folder.filePath(name)))
            ++summary.reportFiles;
    }
    const ItemFiles itemFiles(folder.path());
    for (const QString &name : itemFiles.names()) {
        if (take(PictureMemberPrefix + name, itemFiles.folder() + name))
            ++summary.pictures;
    }
    return planned;
}

void addMember(zip_t *archive, const PlannedMember &member, MemberHashes &hashes)
{
    zip_error_t error;
    zip_error_init(&error);
    auto *state = new HashingFile(member.name, member.path, &hashes);
    zip_source_t *source = zip_source_function_create(&HashingFile::callback, state, &error);
    if (!source) {
        delete state;
        const QString why = zipErrorText(&error);
        zip_error_fini(&error);
        throw BackupError(QStringLiteral("%1 could not be added to the backup: %2").arg(native(member.path), why));
    }
    zip_error_fini(&error);
    const zip_int64_t index = zip_file_add(archive, member.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        throw BackupError(QStringLiteral("%1 could not be added to the backup: %2")
                              .arg(native(member.path), QString::fromLocal8Bit(zip_strerror(archive))));
    }
    const bool packed = member.name.startsWith(PictureMemberPrefix) && isCompressedPicture(member.name);
    zip_set_file_compression(archive, zip_uint64_t(index), packed ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
    // A regular file for its owner alone, wherever it is unpacked.
    zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, (S_IFREG | 0600) << 16);
}

void addManifest(zip_t *archive, const BackupManifest &base, MemberHashes &hashes)
{
    zip_error_t error;
    zip_error_init(&error);
    auto *state = new ManifestSource(base, &hashes);
    zip_source_t *source = zip_source_function_create(&ManifestSource::callback, state, &error);
    zip_error_fini(&error);
    if (!source) {
        delete state;
        throw BackupError(QStringLiteral("The manifest could not be added to the backup."));
    }
    const zip_int64_t index = zip_file_add(archive, ManifestName.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        throw BackupError(QStringLiteral("The manifest could not be added to the backup: %1")
                              .arg(QString::fromLocal8Bit(zip_strerror(archive))));
    }
    zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 0);
    zip_file_set_external_attributes(archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, (S_IFREG | 0600) << 16);
}

void progressCallback(zip_t *, double fraction, void *state)
{
    static_cast<BackupProgress *>(state)->progress(fraction);
}

int cancelCallback(zip_t *, void *state)
{
    return static_cast<BackupProgress *>(state)->cancelled() ? 1 : 0;
}

} // namespace

BackupSummary writeBackup(const QString &dataFolder, const QString &zipPath, BackupProgress *progress)
{
    BackupProgress quiet;
    if (!progress)
        progress = &quiet;
    const QDir folder(QFileInfo(dataFolder).absoluteFilePath());
    const QString inventory = folder.filePath(InventoryFileName);
    if (!QFileInfo(inventory).isFile())
        throw BackupError(
            QStringLiteral("%1 holds no inventory database (%2).").arg(native(folder.path()), InventoryFileName));
    const QFileInfo target(QFileInfo(zipPath).absoluteFilePath());
    if (target.isDir())
        throw BackupError(
            QStringLiteral("%1 is a folder; name the backup file to write.").arg(native(target.filePath())));
    if (!target.dir().exists())
        throw BackupError(QStringLiteral("The folder %1 does not exist.").arg(native(target.path())));

    // Everything is made in a private folder beside the archive, so the
    // last step is a rename within one file system.
    QTemporaryDir stagingFolder(target.dir().filePath(QStringLiteral(".stowbook-backup-XXXXXX")));
    if (!stagingFolder.isValid())
        throw BackupError(QStringLiteral("The backup cannot be written in %1: %2")
                              .arg(native(target.path()), stagingFolder.errorString()));
    const QDir staging(stagingFolder.path());

    BackupSummary summary;
    BackupManifest base;
    base.programVersion = ProgramVersion;
    base.created = QDateTime::currentDateTimeUtc();
    base.created.setTime(QTime(base.created.time().hour(), base.created.time().minute(), base.created.time().second()));
    progress->stage(QStringLiteral("Copying the databases"));
    try {
        copyDatabase(inventory, staging.filePath(InventoryFileName));
        if (QFileInfo::exists(folder.filePath(CatalogueFileName)))
            copyDatabase(folder.filePath(CatalogueFileName), staging.filePath(CatalogueFileName));
        const InventoryFigures figures = inventoryFigures(staging.filePath(InventoryFileName));
        base.itemCount = figures.items;
        base.totalValue = figures.totalValue;
    } catch (const DbError &error) {
        // A program that holds the file for itself (Stowbook does after a
        // repair, until it is closed) lets nobody read it meanwhile.
        if (error.number() == DbError::InUse || error.number() == SQLITE_BUSY || error.number() == SQLITE_LOCKED)
            throw BackupError(QStringLiteral("The inventory in %1 is held by a program that lets no other read it "
                                             "(Stowbook holds it so after a repair, until it is closed). Close it "
                                             "and back up again; no backup file was written.")
                                  .arg(native(folder.path())));
        throw BackupError(QStringLiteral("The databases of %1 could not be copied: %2  %3")
                              .arg(native(folder.path()))
                              .arg(error.number())
                              .arg(error.text()));
    }

    const QList<PlannedMember> planned = planMembers(folder, staging, summary);
    MemberHashes hashes;
    QStringList expected;
    for (const PlannedMember &member : planned)
        expected << member.name;
    hashes.expect(expected);

    const QString staged = staging.filePath(QStringLiteral("backup.zip"));
    zip_error_t openError;
    zip_error_init(&openError);
    zip_source_t *file = newBlockFileSource(staged, &openError);
    ZipArchivePtr archive(file ? zip_open_from_source(file, ZIP_CREATE | ZIP_EXCL, &openError) : nullptr);
    if (!archive) {
        const QString why = zipErrorText(&openError);
        zip_source_free(file);
        zip_error_fini(&openError);
        throw BackupError(QStringLiteral("The backup cannot be written in %1: %2").arg(native(target.path()), why));
    }
    zip_error_fini(&openError);
    for (const PlannedMember &member : planned)
        addMember(archive.get(), member, hashes);
    addManifest(archive.get(), base, hashes);
    zip_register_progress_callback_with_state(archive.get(), 0.005, progressCallback, nullptr, progress);
    zip_register_cancel_callback_with_state(archive.get(), cancelCallback, nullptr, progress);

    progress->stage(QStringLiteral("Writing the pictures and files"));
    if (zip_close(archive.get()) != 0) {
        const int code = zip_error_code_zip(zip_get_error(archive.get()));
        QString why = QString::fromLocal8Bit(zip_strerror(archive.get()));
        if (!hashes.failure().isEmpty())
            why = hashes.failure();
        if (code == ZIP_ER_CANCELLED)
            throw BackupError(QStringLiteral("The backup was cancelled; no backup file was written."));
        throw BackupError(QStringLiteral("The backup %1 could not be written: %2").arg(native(target.filePath()), why));
    }
    archive.release(); // zip_close freed it
    progress->progress(1.0);
    progress->finishing(QStringLiteral("Saving the backup to the disk"));

    // The owner's alone, on the disk, and only then under its name.
    if (::chmod(QFile::encodeName(staged).constData(), 0600) != 0)
        throw BackupError(QStringLiteral("The backup %1 could not be made private: %2")
                              .arg(native(target.filePath()), QString::fromLocal8Bit(std::strerror(errno))));
    if (const std::optional<QString> why = syncToDisk(staged))
        throw BackupError(
            QStringLiteral("The backup %1 could not be written: %2").arg(native(target.filePath()), *why));
    // The backup it replaces is kept by a second name until the new one's
    // name is on the disk (where the file system has such names).
    const QByteArray targetName = QFile::encodeName(target.filePath());
    const QByteArray previous = QFile::encodeName(staging.filePath(QStringLiteral("previous.zip")));
    const bool previousKept = ::link(targetName.constData(), previous.constData()) == 0;
    if (::rename(QFile::encodeName(staged).constData(), targetName.constData()) != 0)
        throw BackupError(QStringLiteral("The backup could not be saved as %1: %2")
                              .arg(native(target.filePath()), QString::fromLocal8Bit(std::strerror(errno))));
    // Until its folder is on the disk the new name may vanish with a power
    // cut: such a backup is not called written, and the old one comes back.
    if (const std::optional<QString> why = syncToDisk(target.path())) {
        if (!previousKept || ::rename(previous.constData(), targetName.constData()) != 0)
            ::unlink(targetName.constData());
        throw BackupError(
            QStringLiteral("The backup %1 could not be written: %2").arg(native(target.filePath()), *why));
    }

    summary.manifest = base;
    summary.manifest.members = hashes.complete().value_or(QList<BackupMember>());
    summary.archiveBytes = QFileInfo(target.filePath()).size();
    progress->progress(1.0);
    return summary;
}
