#include "program/ItemFiles.h"

#include "data/DbError.h"
#include "data/Inventory.h"
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

const QString NotWritten = QStringLiteral("the picture file '%1' could not be written");

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
    if (dot < KeyDigits || dot + 1 >= name.size())
        return std::nullopt;
    const QStringView digits = name.first(dot);
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 key = digits.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return key;
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
    return listNames(m_folder, QDir::Files | QDir::System, [](const QString &name) { return keyOf(name).has_value(); });
}

QString ItemFiles::writePicture(qint64 key, const QByteArray &bytes, const QString &extension) const
{
    const QString name = fileName(key, extension);
    const QString target = m_folder + name;
    // The complete file is first made under a hidden name that is no item
    // file: a write cut short, even by a crash, leaves at most that file
    // behind, and the next write starts it over.
    const QString staging = m_folder + u'.' + name + QStringLiteral(".new");
    {
        QSaveFile file(staging);
        if (!file.open(QIODevice::WriteOnly))
            throw accessError(NotWritten, target, file.errorString());
        // The inventory's pictures show what the household owns: its owner's alone.
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            const QString reason = file.errorString();
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
    // this a power cut could bring back the old picture.
    if (const std::optional<QString> unsynced = syncToDisk(m_folder))
        throw accessError(NotWritten, target, *unsynced);

    for (const QString &other : namesOf(key)) {
        if (other == name)
            continue;
        QFile old(m_folder + other);
        if (!old.remove())
            throw accessError(QStringLiteral("the older picture file '%1' could not be removed"), old.fileName(),
                              old.errorString());
    }
    return target;
}

void ItemFiles::removeFiles(qint64 key) const
{
    for (const QString &name : namesOf(key)) {
        QFile file(m_folder + name);
        if (!file.remove())
            throw accessError(QStringLiteral("the picture file '%1' could not be deleted"), file.fileName(),
                              file.errorString());
    }
}
