#include "backup/BackupReader.h"

#include "backup/BackupError.h"
#include "backup/DatabaseCopy.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "data/Sha256.h"
#include "data/SyncToDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 ChunkBytes = 1024 * 1024;

QString quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// Why a member name cannot be unpacked, or an empty text for an allowed one.
QString nameProblem(const QString &name)
{
    if (name.startsWith(u'/') || (name.size() > 1 && name.at(1) == u':'))
        return QStringLiteral("is an absolute path");
    for (const QStringView part : QStringView(name).split(u'/')) {
        if (part == u"..")
            return QStringLiteral("leads out of the data folder (\"..\")");
    }
    if (name.contains(u'\\'))
        return QStringLiteral("holds a backslash");
    if (name == ManifestName || memberKind(name))
        return QString();
    return QStringLiteral("is no file a backup holds");
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A file made new in a folder of our own: never through a link, never over
// an existing file, for its owner alone.
class NewFile {
public:
    explicit NewFile(const QString &path) : m_path(path)
    {
        m_handle =
            ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    ~NewFile()
    {
        if (m_handle >= 0)
            ::close(m_handle);
    }
    bool isOpen() const { return m_handle >= 0; }
    bool write(const char *data, qint64 size)
    {
        while (size > 0) {
            const ssize_t written = ::write(m_handle, data, size_t(size));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }
    // Synced and closed: std::nullopt, else why not.
    std::optional<QString> finish()
    {
        std::optional<QString> failure = syncToDisk(m_handle);
        if (::close(m_handle) != 0 && !failure)
            failure = systemError();
        m_handle = -1;
        return failure;
    }

private:
    QString m_path;
    int m_handle = -1;
};

// Why libzip would not open an archive, in the reader's words.
QString openFailure(const QString &description, int zipError, int systemError)
{
    // libzip's checks of the directory find a name listed twice first.
    if (zipError == ZIP_ER_EXISTS)
        return QStringLiteral("%1 cannot be used: a member is there twice.").arg(description);
    return QStringLiteral("%1 cannot be read: %2.").arg(description, plainZipReadError(zipError, systemError));
}

// "1 item", "12 items", the count written plainly.
QString plainCount(qint64 items)
{
    return QString::number(items) + (items == 1 ? QStringLiteral(" item") : QStringLiteral(" items"));
}

} // namespace

BackupArchive::BackupArchive(zip_t *archive, QString description, qint64 archiveBytes)
    : m_archive(archive)
    , m_description(std::move(description))
    , m_archiveBytes(archiveBytes)
{
}

BackupArchive::~BackupArchive() = default;

void BackupArchive::refuse(const QString &why) const
{
    throw BackupError(QStringLiteral("%1 cannot be used: %2.").arg(m_description, why));
}

std::unique_ptr<BackupArchive> BackupArchive::open(const QString &path)
{
    const QString description = QStringLiteral("The backup %1").arg(QDir::toNativeSeparators(path));
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        throw BackupError(openFailure(description, error, errno));
    return std::unique_ptr<BackupArchive>(new BackupArchive(archive, description, QFileInfo(path).size()));
}

std::unique_ptr<BackupArchive> BackupArchive::openBytes(const QByteArray &bytes)
{
    const QString description = QStringLiteral("The backup");
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (!archive) {
        const QString why = openFailure(description, zip_error_code_zip(&error), zip_error_code_system(&error));
        zip_source_free(source);
        zip_error_fini(&error);
        throw BackupError(why);
    }
    zip_error_fini(&error);
    return std::unique_ptr<BackupArchive>(new BackupArchive(archive, description, bytes.size()));
}

void BackupArchive::checkEntries()
{
    const zip_int64_t count = zip_get_num_entries(m_archive.get(), 0);
    if (count < 0)
        refuse(QStringLiteral("its list of members cannot be read"));
    if (count > MaxMembers)
        refuse(QStringLiteral("it has %1 members, more than a backup ever holds").arg(count));
    // The bytes the members take at the least, each with its local header
    // and its entry in the directory at the end: more than the archive has
    // means that members overlap, sharing compressed data to unpack the
    // same bytes many times over (a ZIP bomb, whose sizes and checksums can
    // all be true). libzip's checks of the directory do not look for that.
    zip_uint64_t claimed = 22; // the directory's end record
    for (zip_uint64_t i = 0; i < zip_uint64_t(count); ++i) {
        const char *rawName = zip_get_name(m_archive.get(), i, 0);
        if (!rawName)
            refuse(QStringLiteral("the name of member %1 cannot be read").arg(i + 1));
        const QString name = QString::fromUtf8(rawName);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_archive.get(), i, 0, &stat) != 0)
            refuse(QStringLiteral("member %1 cannot be read").arg(quoted(name)));

        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_archive.get(), i, 0, &system, &attributes) != 0)
            refuse(QStringLiteral("the attributes of member %1 cannot be read").arg(quoted(name)));
        const mode_t mode = mode_t(attributes >> 16);
        if (system == ZIP_OPSYS_UNIX && S_ISLNK(mode))
            refuse(QStringLiteral("member %1 is a link").arg(quoted(name)));
        // A folder entry for the picture folder is harmless; any other
        // folder is not part of a data folder.
        if (name.endsWith(u'/') || (system == ZIP_OPSYS_UNIX && S_ISDIR(mode))) {
            if (name == PictureMemberPrefix && stat.size == 0)
                continue;
            refuse(QStringLiteral("member %1 is a folder").arg(quoted(name)));
        }
        if (system == ZIP_OPSYS_UNIX && mode != 0 && !S_ISREG(mode))
            refuse(QStringLiteral("member %1 is not a plain file").arg(quoted(name)));
        if (const QString problem = nameProblem(name); !problem.isEmpty())
            refuse(QStringLiteral("member %1 %2").arg(quoted(name), problem));
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            refuse(QStringLiteral("member %1 is encrypted").arg(quoted(name)));
        if (!(stat.valid & ZIP_STAT_COMP_METHOD)
            || (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE))
            refuse(QStringLiteral("member %1 is packed in a way backups never are").arg(quoted(name)));
        if (!(stat.valid & ZIP_STAT_SIZE))
            refuse(QStringLiteral("member %1 has no size").arg(quoted(name)));
        if (!(stat.valid & ZIP_STAT_COMP_SIZE) || stat.comp_size > zip_uint64_t(m_archiveBytes))
            refuse(QStringLiteral("member %1 claims more bytes than the archive has").arg(quoted(name)));
        const zip_uint64_t nameBytes = std::strlen(zip_get_name(m_archive.get(), i, ZIP_FL_ENC_RAW));
        claimed += 30 + 46 + 2 * nameBytes + stat.comp_size;
        if (claimed > zip_uint64_t(m_archiveBytes))
            refuse(QStringLiteral("its members overlap: member %1 and others share their compressed data, which "
                                  "a backup never does (this is how a ZIP bomb unpacks to many times its size)")
                       .arg(quoted(name)));
        if (m_index.contains(name))
            refuse(QStringLiteral("member %1 is there twice").arg(quoted(name)));
        m_index.insert(name, i);
    }
}

const BackupManifest &BackupArchive::manifest()
{
    if (m_manifest)
        return *m_manifest;
    checkEntries();
    const auto found = m_index.constFind(ManifestName);
    if (found == m_index.constEnd())
        refuse(QStringLiteral("it holds no manifest; it is not a %1 backup").arg(QStringLiteral("Stowbook")));
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_stat_index(m_archive.get(), *found, 0, &stat);
    if (qint64(stat.size) > MaxManifestBytes || stat.size > zip_uint64_t(MaxManifestBytes))
        refuse(QStringLiteral("its manifest is larger than %1 bytes").arg(MaxManifestBytes));

    // The manifest has no checksum of its own: it is read with the same
    // limit, and then checked part by part.
    QByteArray json;
    readMember(BackupMember{ManifestName, qint64(stat.size), QByteArray()},
               [&json](const char *data, qint64 size, QString &) {
                   json.append(data, size);
                   return true;
               });
    QString problem;
    std::optional<BackupManifest> parsed = parseManifest(json, &problem);
    if (!parsed)
        refuse(problem);

    QSet<QString> listed;
    for (const BackupMember &member : parsed->members) {
        listed.insert(member.name);
        const auto entry = m_index.constFind(member.name);
        if (entry == m_index.constEnd())
            refuse(QStringLiteral("member %1, listed in the manifest, is missing").arg(quoted(member.name)));
        zip_stat_t memberStat;
        zip_stat_init(&memberStat);
        zip_stat_index(m_archive.get(), *entry, 0, &memberStat);
        if (memberStat.size != zip_uint64_t(member.size))
            refuse(QStringLiteral("member %1 claims %2 bytes, the manifest %3")
                       .arg(quoted(member.name))
                       .arg(memberStat.size)
                       .arg(member.size));
    }
    for (auto entry = m_index.constBegin(); entry != m_index.constEnd(); ++entry) {
        if (entry.key() != ManifestName && !listed.contains(entry.key()))
            refuse(QStringLiteral("member %1 is not listed in the manifest").arg(quoted(entry.key())));
    }
    if (!listed.contains(InventoryFileName))
        refuse(QStringLiteral("it holds no inventory database"));
    m_manifest = std::move(*parsed);
    return *m_manifest;
}

void BackupArchive::readMember(const BackupMember &member, const Sink &sink)
{
    const auto entry = m_index.constFind(member.name);
    if (entry == m_index.constEnd())
        refuse(QStringLiteral("member %1 is missing").arg(quoted(member.name)));
    ZipFilePtr file(zip_fopen_index(m_archive.get(), *entry, 0));
    if (!file) {
        zip_error_t *error = zip_get_error(m_archive.get());
        refuse(
            QStringLiteral("member %1 cannot be read: %2")
                .arg(quoted(member.name), plainZipReadError(zip_error_code_zip(error), zip_error_code_system(error))));
    }
    Sha256 hash;
    QByteArray buffer(ChunkBytes, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        // One byte more than the member may have, to see it go beyond.
        const qint64 wanted = std::min<qint64>(ChunkBytes, member.size - total + 1);
        const zip_int64_t read = zip_fread(file.get(), buffer.data(), zip_uint64_t(wanted));
        if (read < 0) {
            zip_error_t *error = zip_file_get_error(file.get());
            refuse(QStringLiteral("member %1 is damaged: %2")
                       .arg(quoted(member.name),
                            plainZipReadError(zip_error_code_zip(error), zip_error_code_system(error))));
        }
        if (read == 0)
            break;
        total += read;
        if (total > member.size)
            refuse(QStringLiteral("member %1 holds more than the %2 bytes stated for it")
                       .arg(quoted(member.name))
                       .arg(member.size));
        hash.addData(QByteArrayView(buffer.constData(), read));
        QString reason;
        if (!sink(buffer.constData(), read, reason))
            throw BackupError(reason);
    }
    if (total != member.size)
        refuse(QStringLiteral("member %1 holds %2 bytes, not the %3 stated for it")
                   .arg(quoted(member.name))
                   .arg(total)
                   .arg(member.size));
    if (!member.sha256.isEmpty() && hash.hexResult() != member.sha256)
        refuse(QStringLiteral("member %1 does not match its checksum; the backup is damaged").arg(quoted(member.name)));
}

void BackupArchive::checkDatabase(const QString &path, const QString &name, MemberKind kind,
                                  const BackupManifest &contents) const
{
    try {
        const QString problems = integrityProblems(path);
        if (!problems.isEmpty())
            refuse(QStringLiteral("the database %1 in it is damaged:\n%2").arg(name, problems));
        if (kind == MemberKind::Inventory) {
            const InventoryFigures figures = inventoryFigures(path);
            if (figures.items != contents.itemCount || figures.totalValue != contents.totalValue)
                // Plain numbers, as the amounts beside them and in the manifest.
                refuse(QStringLiteral("its inventory holds %1 worth %2, the manifest says %3 worth %4")
                           .arg(plainCount(figures.items), figures.totalValue.toDecimalText(),
                                plainCount(contents.itemCount), contents.totalValue.toDecimalText()));
        }
    } catch (const DbError &error) {
        refuse(QStringLiteral("the database %1 in it cannot be read (%2  %3)")
                   .arg(name)
                   .arg(error.number())
                   .arg(error.text()));
    }
}

void BackupArchive::verify(const QString &scratchFolder, const std::function<void(double)> &progress)
{
    const BackupManifest &contents = manifest();
    qint64 totalBytes = 0;
    for (const BackupMember &member : contents.members)
        totalBytes += member.size;
    qint64 done = 0;
    const QDir scratch(scratchFolder);
    for (const BackupMember &member : contents.members) {
        const MemberKind kind = *memberKind(member.name);
        const bool database = kind == MemberKind::Inventory || kind == MemberKind::Catalogue;
        if (!database) {
            readMember(member, [](const char *, qint64, QString &) { return true; });
        } else {
            const QString path = scratch.filePath(member.name);
            // The scratch copy goes however its check ends.
            const std::unique_ptr<const QString, void (*)(const QString *)> removal(
                &path, [](const QString *copy) { QFile::remove(*copy); });
            {
                NewFile file(path);
                if (!file.isOpen())
                    throw BackupError(QStringLiteral("The database %1 cannot be checked in %2: %3")
                                          .arg(member.name, QDir::toNativeSeparators(scratchFolder), systemError()));
                readMember(member, [&](const char *data, qint64 size, QString &reason) {
                    if (file.write(data, size))
                        return true;
                    reason = QStringLiteral("The database %1 cannot be checked in %2: %3")
                                 .arg(member.name, QDir::toNativeSeparators(scratchFolder), systemError());
                    return false;
                });
                if (const std::optional<QString> why = file.finish())
                    throw BackupError(QStringLiteral("The database %1 cannot be checked in %2: %3")
                                          .arg(member.name, QDir::toNativeSeparators(scratchFolder), *why));
            }
            checkDatabase(path, member.name, kind, contents);
        }
        done += member.size;
        if (progress && totalBytes > 0)
            progress(double(done) / double(totalBytes));
    }
}

void BackupArchive::extractTo(const QString &folder, const std::function<void(double)> &progress)
{
    const BackupManifest &contents = manifest();
    const QDir target(folder);
    if (!target.mkdir(ImagesFolderName) && !QFileInfo(target.filePath(ImagesFolderName)).isDir())
        throw BackupError(QStringLiteral("The folder %1 cannot be made.")
                              .arg(QDir::toNativeSeparators(target.filePath(ImagesFolderName))));
    QFile::setPermissions(target.filePath(ImagesFolderName), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qint64 totalBytes = 0;
    for (const BackupMember &member : contents.members)
        totalBytes += member.size;
    qint64 done = 0;
    for (const BackupMember &member : contents.members) {
        // The name was checked: one plain part, or images/ and one plain part.
        const QString path = target.filePath(member.name);
        NewFile file(path);
        if (!file.isOpen())
            throw BackupError(
                QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), systemError()));
        readMember(member, [&](const char *data, qint64 size, QString &reason) {
            if (file.write(data, size))
                return true;
            reason = QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), systemError());
            return false;
        });
        if (const std::optional<QString> why = file.finish())
            throw BackupError(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path), *why));
        done += member.size;
        if (progress && totalBytes > 0)
            progress(double(done) / double(totalBytes));
    }
}
