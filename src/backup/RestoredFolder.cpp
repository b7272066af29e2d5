#include "backup/RestoredFolder.h"

#include "backup/BackupError.h"
#include "data/Inventory.h"
#include "data/SyncToDisk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A folder's list of names put on the disk; the restore fails, saying so
// for the folder it makes, when it cannot be.
void syncFolder(const QString &path, const QString &target)
{
    if (const std::optional<QString> why = syncToDisk(path))
        throw BackupError(QStringLiteral("The restored folder %1 could not be written: %2. Nothing was changed.")
                              .arg(native(target), *why));
}

} // namespace

RestoredFolder::RestoredFolder(const QString &folder)
{
    if (folder.isEmpty())
        throw BackupError(QStringLiteral("No folder was named to restore into."));
    m_path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    m_parent = QFileInfo(m_path).path();
    const QFileInfo info(m_path);
    if (info.isSymLink() || (info.exists() && !info.isDir()))
        throw BackupError(QStringLiteral("%1 already exists and is not a folder. Restore makes a new data folder; "
                                         "nothing was changed.")
                              .arg(native(m_path)));
    if (info.isDir() && !QDir(m_path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        throw BackupError(QStringLiteral("%1 already exists and is not empty. Restore never writes into an existing "
                                         "data folder; name a new folder. Nothing was changed.")
                              .arg(native(m_path)));
    m_existed = info.isDir();
}

RestoredFolder::~RestoredFolder() = default;

void RestoredFolder::needRoom(qint64 bytes, const QString &what) const
{
    QString existing = m_parent;
    while (!QFileInfo(existing).isDir() && QFileInfo(existing).path() != existing)
        existing = QFileInfo(existing).path();
    const QStorageInfo storage(existing);
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < bytes)
        throw BackupError(QStringLiteral("%1 needs %2 MB, and %3 has only %4 MB free. Nothing was changed.")
                              .arg(what)
                              .arg(bytes / (1024 * 1024) + 1)
                              .arg(native(existing))
                              .arg(storage.bytesAvailable() / (1024 * 1024)));
}

QString RestoredFolder::prepare()
{
    if (const std::optional<QString> failed = m_made.make(m_parent))
        throw BackupError(QStringLiteral("The folder %1 cannot be made.").arg(native(*failed)));
    return QDir(m_parent).filePath(QLatin1Char('.') + QFileInfo(m_path).fileName());
}

QString RestoredFolder::staging()
{
    if (!m_staging) {
        m_staging = std::make_unique<QTemporaryDir>(prepare() + QStringLiteral(".restore-XXXXXX"));
        if (!m_staging->isValid())
            throw BackupError(
                QStringLiteral("Nothing can be written in %1: %2").arg(native(m_parent), m_staging->errorString()));
    }
    return m_staging->path();
}

void RestoredFolder::finish()
{
    const QString staged = staging();
    QFile::setPermissions(staged, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (QFileInfo(QDir(staged).filePath(ImagesFolderName)).isDir())
        syncFolder(QDir(staged).filePath(ImagesFolderName), m_path);
    syncFolder(staged, m_path);
    // An empty folder at the place is replaced; anything put there
    // meanwhile makes the rename fail and is left alone.
    if (::rename(QFile::encodeName(staged).constData(), QFile::encodeName(m_path).constData()) != 0)
        throw BackupError(QStringLiteral("The restored folder could not take the name %1: %2. Nothing was changed.")
                              .arg(native(m_path), QString::fromLocal8Bit(std::strerror(errno))));
    m_staging->setAutoRemove(false);
    try {
        // Until then the new name may vanish with a power cut: such a
        // restore is not called done.
        syncFolder(m_parent, m_path);
    } catch (const BackupError &) {
        QDir(m_path).removeRecursively();
        if (m_existed)
            QDir().mkdir(m_path);
        throw;
    }
    m_made.keep();
}
