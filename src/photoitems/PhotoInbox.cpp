#include "photoitems/PhotoInbox.h"

#include "data/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>

namespace {

// The settings' key for the inventory: its folder's canonical path,
// hashed, so a data folder reached through a link is still the one.
QString folderKey(const QString &dataFolder)
{
    const QFileInfo info(dataFolder);
    const QString path =
        info.canonicalFilePath().isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : info.canonicalFilePath();
    return QStringLiteral("photoInbox/%1/folder").arg(QString::fromLatin1(Sha256::hexOf(path.toUtf8()).left(16)));
}

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Stowbook"),
                     QStringLiteral("Stowbook"));
}

bool namedAsPhoto(const QString &name)
{
    static const QStringList endings = {QStringLiteral(".jpg"), QStringLiteral(".jpeg"), QStringLiteral(".png"),
                                        QStringLiteral(".heic"), QStringLiteral(".heif")};
    return std::any_of(endings.begin(), endings.end(),
                       [&](const QString &ending) { return name.endsWith(ending, Qt::CaseInsensitive); });
}

} // namespace

QString readInboxFolder(const QString &dataFolder)
{
    return userSettings().value(folderKey(dataFolder)).toString();
}

void writeInboxFolder(const QString &dataFolder, const QString &folder)
{
    QSettings settings = userSettings();
    if (folder.isEmpty())
        settings.remove(folderKey(dataFolder));
    else
        settings.setValue(folderKey(dataFolder), folder);
}

QStringList filesInFolder(const QString &folder)
{
    QStringList files;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries)
        files << entry.absoluteFilePath();
    return files;
}

QStringList withFolderFiles(const QStringList &paths)
{
    QStringList files;
    for (const QString &path : paths) {
        if (QFileInfo(path).isDir())
            files << filesInFolder(path);
        else
            files << path;
    }
    return files;
}

PhotoInbox::PhotoInbox(const QString &folder) : m_folder(folder)
{
}

QStringList PhotoInbox::look(const QDateTime &now)
{
    QStringList ready;
    QHash<QString, qint64> sizes;
    m_waiting = 0;
    for (const QString &path : filesInFolder(m_folder)) {
        const QFileInfo info(path);
        if (!namedAsPhoto(info.fileName()))
            continue;
        sizes.insert(path, info.size());
        const auto seen = m_sizes.constFind(path);
        // A file whose time a copier set back to the photo's own still
        // grows between two looks.
        const bool growing = seen != m_sizes.constEnd() && *seen != info.size();
        if (growing || info.lastModified().secsTo(now) < QuietSeconds)
            ++m_waiting;
        else
            ready << path;
    }
    m_sizes = std::move(sizes);
    return ready;
}

std::optional<QString> PhotoInbox::moveToDone(const QString &path, QString *error) const
{
    const QString done = QDir(m_folder).filePath(InboxDoneName);
    if (!QDir().mkpath(done)) {
        if (error)
            *error = QStringLiteral("The folder '%1' could not be made.").arg(QDir::toNativeSeparators(done));
        return std::nullopt;
    }
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix();
    QFile file(path);
    for (int n = 1; n < 10000; ++n) {
        const QString name = n == 1 ? info.fileName() : QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        const QString target = QDir(done).filePath(name);
        if (QFileInfo::exists(target))
            continue;
        // Qt's rename never replaces a file that appeared meanwhile.
        if (file.rename(target))
            return target;
        if (QFileInfo::exists(target))
            continue;
        break;
    }
    if (error)
        *error = file.errorString();
    return std::nullopt;
}
