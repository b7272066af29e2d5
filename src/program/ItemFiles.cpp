#include "program/ItemFiles.h"

#include "data/DbError.h"
#include "data/Inventory.h"
#include "data/Sha256.h"
#include "data/SyncToDisk.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// sentence: what went wrong, with %1 for the file's name.
DbError accessError(const QString &sentence, const QString &path, const QString &reason)
{
    return DbError::pathFileAccess(sentence.arg(QDir::toNativeSeparators(path)) + QStringLiteral(" (%1).").arg(reason));
}

const QString PictureNotWritten = QStringLiteral("the picture file '%1' could not be written");
const QString FileNotWritten = QStringLiteral("the file '%1' could not be written");

constexpr int KeyDigits = 8;

// The names in folder that pass keep, in name order. Only the names that
// pass are sorted: a folder of many pictures is read once and not sorted
// whole for one item.
template <class Keep>
QStringList listNames(const QString &folder, QDir::Filters filters, Keep &&keep)
{
    QStringList names;
    QDirIterator entries(folder, filters);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        if (keep(name))
            names << name;
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The value of at least fewest decimal digits and nothing else; std::nullopt
// for anything else, and for a number too large to be a key.
std::optional<qint64> digitsValue(QStringView digits, qsizetype fewest)
{
    if (digits.size() < fewest)
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

DbError tooLarge(const QString &path, qint64 maxBytes)
{
    return DbError::pathFileAccess(
        QStringLiteral("The file '%1' is larger than %2 MB, the most a file of an item may hold.")
            .arg(QDir::toNativeSeparators(path))
            .arg(maxBytes / (1024 * 1024)));
}

// Gives the file at from the further name to as well: a hard link where the
// file system has them (instant, and no second copy on the disk), else a
// copy. to is made whole under a hidden name and renamed in, so it never
// exists half-written; a file already at to is replaced.
void linkOrCopy(const QString &from, const QString &to)
{
    const QString staging =
        QFileInfo(to).absolutePath() + u'/' + u'.' + QFileInfo(to).fileName() + QStringLiteral(".new");
    QFile::remove(staging);
    std::error_code failure;
    std::filesystem::create_hard_link(QFileInfo(from).filesystemFilePath(), QFileInfo(staging).filesystemFilePath(),
                                      failure);
    if (failure && !QFile::copy(from, staging))
        throw accessError(PictureNotWritten, to, QString::fromStdString(failure.message()));
    if (failure) {
        // A copy is new data: on the disk before it takes its name.
        if (const std::optional<QString> unsynced = syncToDisk(staging)) {
            QFile::remove(staging);
            throw accessError(PictureNotWritten, to, *unsynced);
        }
    }
    std::filesystem::rename(QFileInfo(staging).filesystemFilePath(), QFileInfo(to).filesystemFilePath(), failure);
    if (failure) {
        QFile::remove(staging);
        throw accessError(PictureNotWritten, to, QString::fromStdString(failure.message()));
    }
}

void removeOld(const QString &path)
{
    QFile old(path);
    if (!old.remove())
        throw accessError(QStringLiteral("the older picture file '%1' could not be removed"), path, old.errorString());
}

} // namespace

ItemFiles::ItemFiles(const QString &dataFolder)
{
    m_folder = dataFolder;
    if (!m_folder.isEmpty() && !m_folder.endsWith(u'/'))
        m_folder += u'/';
    m_folder += ImagesFolderName + u'/';
}

QString ItemFiles::baseName(qint64 key)
{
    return QStringLiteral("%1").arg(key, KeyDigits, 10, QLatin1Char('0'));
}

QString ItemFiles::fileName(qint64 key, const QString &extension)
{
    return baseName(key) + u'.' + extension;
}

std::optional<qint64> ItemFiles::keyOf(QStringView name)
{
    const qsizetype dot = name.indexOf(u'.');
    if (dot < 0 || dot + 1 >= name.size())
        return std::nullopt;
    return digitsValue(name.first(dot), KeyDigits);
}

QString ItemFiles::furtherFileName(qint64 key, qint64 number, const QString &extension)
{
    return baseName(key) + u'-' + baseName(number) + u'.' + extension;
}

std::optional<ItemFiles::FurtherName> ItemFiles::furtherOf(QStringView name)
{
    const qsizetype hyphen = name.indexOf(u'-');
    if (hyphen < 0)
        return std::nullopt;
    const std::optional<qint64> key = digitsValue(name.first(hyphen), KeyDigits);
    const QStringView rest = name.sliced(hyphen + 1);
    const qsizetype dot = rest.indexOf(u'.');
    if (!key || dot < 0 || dot + 1 >= rest.size())
        return std::nullopt;
    const std::optional<qint64> number = digitsValue(rest.first(dot), KeyDigits);
    if (!number)
        return std::nullopt;
    return FurtherName{*key, *number};
}

QStringList ItemFiles::namesOf(qint64 key) const
{
    return listNames(m_folder, QDir::Files, [key](const QString &name) { return keyOf(name) == key; });
}

QString ItemFiles::picture(qint64 key) const
{
    const QStringList names = namesOf(key);
    return names.isEmpty() ? QString() : m_folder + names.front();
}

QHash<qint64, QString> ItemFiles::pictures() const
{
    QHash<qint64, QString> found;
    for (const QString &name :
         listNames(m_folder, QDir::Files, [](const QString &name) { return keyOf(name).has_value(); })) {
        const qint64 key = *keyOf(name);
        if (!found.contains(key))
            found.insert(key, m_folder + name);
    }
    return found;
}

QStringList ItemFiles::names() const
{
    return listNames(m_folder, QDir::Files | QDir::System, [](const QString &name) { return isItemFile(name); });
}

QString ItemFiles::writeStaged(const QString &name, const std::function<QString(QSaveFile &)> &fill) const
{
    const QString target = m_folder + name;
    const QString &NotWritten = keyOf(name) ? PictureNotWritten : FileNotWritten;
    // The complete file is first made under a hidden name that is no item
    // file: a write cut short, even by a crash, leaves at most that file
    // behind, and the next write starts it over.
    const QString staging = m_folder + u'.' + name + QStringLiteral(".new");
    {
        QSaveFile file(staging);
        if (!file.open(QIODevice::WriteOnly))
            throw accessError(NotWritten, target, file.errorString());
        // The inventory's files show what the household owns: its owner's alone.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QString reason = fill(file);
        if (reason.isEmpty() && !file.flush())
            reason = file.errorString();
        if (!reason.isEmpty()) {
            file.cancelWriting();
            throw accessError(NotWritten, target, reason);
        }
        // On the disk before it takes the old file's place.
        if (const std::optional<QString> failure = syncToDisk(file.handle())) {
            file.cancelWriting();
            throw accessError(NotWritten, target, *failure);
        }
        if (!file.commit())
            throw accessError(NotWritten, target, file.errorString());
    }
    std::error_code failure;
    std::filesystem::rename(QFileInfo(staging).filesystemFilePath(), QFileInfo(target).filesystemFilePath(), failure);
    if (failure) {
        QFile::remove(staging);
        throw accessError(NotWritten, target, QString::fromStdString(failure.message()));
    }
    // The rename lasts only once the folder's list is on the disk; without
    // this a power cut could bring back the old file.
    if (const std::optional<QString> unsynced = syncToDisk(m_folder))
        throw accessError(NotWritten, target, *unsynced);
    return target;
}

QString ItemFiles::writePicture(qint64 key, const QByteArray &bytes, const QString &extension) const
{
    const QString name = fileName(key, extension);
    const QString target = writeStaged(
        name, [&bytes](QSaveFile &file) { return file.write(bytes) == bytes.size() ? QString() : file.errorString(); });
    for (const QString &other : namesOf(key)) {
        if (other != name)
            removeOld(m_folder + other);
    }
    return target;
}

QString ItemFiles::writeFurther(const QString &name, const QByteArray &bytes) const
{
    return writeStaged(
        name, [&bytes](QSaveFile &file) { return file.write(bytes) == bytes.size() ? QString() : file.errorString(); });
}

QString ItemFiles::copyIn(const QString &name, const QString &source, qint64 maxBytes, QByteArray *sha256) const
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        throw accessError(QStringLiteral("the file '%1' could not be read"), source, from.errorString());
    if (from.size() > maxBytes)
        throw tooLarge(source, maxBytes);
    Sha256 hash;
    const QString target = writeStaged(name, [&](QSaveFile &file) -> QString {
        // Pieces large enough that the disk, not the calls, sets the pace.
        QByteArray piece(1 << 20, Qt::Uninitialized);
        qint64 copied = 0;
        for (;;) {
            const qint64 got = from.read(piece.data(), piece.size());
            if (got < 0)
                return from.errorString();
            if (got == 0)
                return QString();
            // The file may grow while it is read: the limit holds for what is copied.
            copied += got;
            if (copied > maxBytes)
                return tooLarge(source, maxBytes).text();
            hash.addData(QByteArrayView(piece.constData(), got));
            if (file.write(piece.constData(), got) != got)
                return file.errorString();
        }
    });
    if (sha256)
        *sha256 = hash.hexResult();
    return target;
}

void ItemFiles::removeFile(const QString &name) const
{
    QFile file(m_folder + name);
    if (file.exists() && !file.remove())
        throw accessError(QStringLiteral("the file '%1' could not be deleted"), file.fileName(), file.errorString());
}

QString ItemFiles::swapWithPicture(qint64 key, const QString &name, const QString &formerName) const
{
    const QString source = m_folder + name;
    if (!QFileInfo(source).isFile())
        throw accessError(PictureNotWritten, source, QStringLiteral("it is missing"));
    const QString former = picture(key);
    if (!former.isEmpty() && !formerName.isEmpty())
        linkOrCopy(former, m_folder + formerName);
    const QString newName = fileName(key, QFileInfo(name).suffix());
    linkOrCopy(source, m_folder + newName);
    for (const QString &other : namesOf(key)) {
        if (other != newName)
            removeOld(m_folder + other);
    }
    if (const std::optional<QString> unsynced = syncToDisk(m_folder))
        throw accessError(PictureNotWritten, m_folder + newName, *unsynced);
    return m_folder + newName;
}

void ItemFiles::removePicture(qint64 key) const
{
    for (const QString &name : namesOf(key))
        removeOld(m_folder + name);
}

void ItemFiles::removeFiles(qint64 key) const
{
    const QStringList names = listNames(m_folder, QDir::Files, [key](const QString &name) {
        if (const std::optional<FurtherName> further = furtherOf(name))
            return further->key == key;
        return keyOf(name) == key;
    });
    for (const QString &name : names) {
        QFile file(m_folder + name);
        if (!file.remove())
            throw accessError(QStringLiteral("the picture file '%1' could not be deleted"), file.fileName(),
                              file.errorString());
    }
}
