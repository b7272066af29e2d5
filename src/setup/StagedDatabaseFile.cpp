#include "setup/StagedDatabaseFile.h"

#include "setup/DataFolderSetup.h"
#include "setup/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

static const char *const JournalSuffixes[] = {"-wal", "-shm", "-journal"};

StagedDatabaseFile::StagedDatabaseFile(const QString &finalPath) : m_finalPath(finalPath)
{
    const QFileInfo target(finalPath);
    QString reason;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString candidate = target.absolutePath() + QStringLiteral("/.") + target.fileName()
            + QStringLiteral(".%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        QFile file(candidate);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            // Before SQLite writes a byte; its journal files take the
            // database's permissions.
            try {
                makeFilePrivate(candidate);
            } catch (const SetupError &) {
                file.remove();
                throw;
            }
            m_path = candidate;
            return;
        }
        reason = file.errorString();
    }
    throw SetupError(QStringLiteral("Could not create a file in %1: %2")
                         .arg(QDir::toNativeSeparators(target.absolutePath()), reason));
}

StagedDatabaseFile::~StagedDatabaseFile()
{
    if (m_placed)
        return;
    QFile::remove(m_path);
    for (const char *suffix : JournalSuffixes)
        QFile::remove(m_path + QLatin1String(suffix));
}

void StagedDatabaseFile::place()
{
    // A write-ahead log that is still there holds part of the database:
    // renaming the main file away from it would lose that part.
    const QFileInfo log(m_path + QStringLiteral("-wal"));
    if (log.exists() && log.size() > 0)
        throw SetupError(QStringLiteral("%1 was not completely written.").arg(m_finalPath));
    if (QFileInfo::exists(m_finalPath))
        throw SetupError(QStringLiteral("%1 already exists; it was left as it is.").arg(m_finalPath));
    QFile file(m_path);
    if (!file.rename(m_finalPath))
        throw SetupError(QStringLiteral("Could not put %1 in place: %2").arg(m_finalPath, file.errorString()));
    m_placed = true;
    for (const char *suffix : JournalSuffixes)
        QFile::remove(m_path + QLatin1String(suffix));
}
