#include "BackupFixture.h"
#include "FailingSync.h"
#include "QtPrinters.h"

#include "backup/BackupError.h"
#include "backup/BackupWriter.h"
#include "backup/RestoreBackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <functional>

namespace {

using PathTest = std::function<bool(const QString &)>;

const QString DiskFailure = QString::fromLocal8Bit(std::strerror(EIO));

// fsync is told the path the kernel keeps for a descriptor: links resolved.
PathTest exactly(const QString &path)
{
    return [wanted = QFileInfo(path).canonicalFilePath()](const QString &synced) { return synced == wanted; };
}

PathTest endingIn(const QString &ending, const QString &folderPart)
{
    return [=](const QString &synced) { return synced.endsWith(ending) && synced.contains(folderPart); };
}

} // namespace

// A backup the disk did not confirm is no backup: it fails naming the file
// and the disk's reason, leaves no archive behind, and a backup already of
// that name stays, even when the new one had taken its name.
TEST_F(BackupTest, ABackupThatCannotBeSyncedFailsAndLeavesNoArchive)
{
    const QString zip = scratch(QStringLiteral("nightly.zip"));
    const QByteArray older = "last night's backup";
    struct Row {
        const char *name;
        PathTest failsFor;
        bool olderThere;
    };
    const Row rows[] = {
        {"the archive", endingIn(QStringLiteral("/backup.zip"), QStringLiteral("/.stowbook-backup-")), true},
        {"the folder it is saved in", exactly(scratchFolder()), true},
        {"the folder it is saved in, the first backup of that name", exactly(scratchFolder()), false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile file(zip);
        file.remove();
        if (row.olderThere) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(older);
            file.close();
        }
        FailingSync failing(row.failsFor);
        try {
            writeBackup(dataFolder(), zip);
            ADD_FAILURE() << "a backup the disk did not keep was called written";
        } catch (const BackupError &error) {
            EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(zip))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(DiskFailure)) << error.message().toStdString();
        }
        EXPECT_EQ(failing.failed().size(), 1) << "the case's sync was reached once";
        const QMap<QString, QByteArray> left = folderContents(scratchFolder());
        EXPECT_EQ(left.keys(), row.olderThere ? QStringList{QStringLiteral("nightly.zip")} : QStringList());
        EXPECT_EQ(left.value(QStringLiteral("nightly.zip")), row.olderThere ? older : QByteArray());
    }
}

// A restore whose files or folders the disk did not confirm fails naming
// one and the reason, and leaves nothing: no restored folder (an empty one
// made for it stays), no hidden one beside it, no scratch copy.
TEST_F(BackupTest, ARestoreThatCannotBeSyncedFailsAndLeavesNothing)
{
    const QString zip = scratch(QStringLiteral("b.zip"));
    writeBackup(dataFolder(), zip);
    const QString parent = scratch(QStringLiteral("place"));
    ASSERT_TRUE(QDir().mkdir(parent));
    const QString target = parent + QStringLiteral("/restored");
    const QString targetNamed = QDir::toNativeSeparators(target);
    const QString staging = QStringLiteral("/.restored.restore-");
    struct Row {
        const char *name;
        PathTest failsFor;
        QString named;
        bool targetMade = false;
    };
    const Row rows[] = {
        {"a restored picture", endingIn(QStringLiteral("/images/00000003.jpg"), staging),
         QStringLiteral("00000003.jpg")},
        {"the restored picture folder", endingIn(QStringLiteral("/images"), staging), targetNamed},
        {"the restored folder",
         [](const QString &path) { return path.section(u'/', -1).startsWith(QLatin1String(".restored.restore-")); },
         targetNamed},
        // The restored folder has its name by then.
        {"the folder it is restored in", exactly(parent), targetNamed},
        {"the folder it is restored in, into an empty folder", exactly(parent), targetNamed, true},
        {"a database's copy being checked", endingIn(QStringLiteral("/stowbook.db"), QStringLiteral("verify-")),
         QStringLiteral("stowbook.db")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.targetMade) {
            ASSERT_TRUE(QDir().mkdir(target));
        }
        const QStringList before = folderContents(scratchFolder()).keys();
        FailingSync failing(row.failsFor);
        try {
            restoreBackup(zip, target);
            ADD_FAILURE() << "a restore the disk did not keep was called done";
        } catch (const BackupError &error) {
            EXPECT_TRUE(error.message().contains(row.named)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(DiskFailure)) << error.message().toStdString();
        }
        EXPECT_EQ(failing.failed().size(), 1) << "the case's sync was reached once";
        EXPECT_EQ(folderContents(scratchFolder()).keys(), before);
        QDir(target).removeRecursively(); // the next case starts as this one did
    }
}

// A file system that cannot sync at all (it says so with ENOTSUP or EINVAL)
// gives nothing more by asking again: backups and restores go through there.
TEST_F(BackupTest, AFileSystemThatCannotSyncStillTakesBackupsAndRestores)
{
    const QString inScratch = QFileInfo(scratchFolder()).canonicalFilePath();
    for (const int error : {ENOTSUP, EINVAL}) {
        SCOPED_TRACE(error);
        const QString zip = scratch(QStringLiteral("b%1.zip").arg(error));
        const QString target = scratch(QStringLiteral("restored%1").arg(error));
        FailingSync unsupported([inScratch](const QString &path) { return path.startsWith(inScratch); }, error);
        try {
            writeBackup(dataFolder(), zip);
            restoreBackup(zip, target);
        } catch (const BackupError &failure) {
            ADD_FAILURE() << failure.message().toStdString();
        }
        EXPECT_TRUE(QFileInfo(target + QStringLiteral("/stowbook.db")).isFile());
        EXPECT_FALSE(unsupported.failed().isEmpty()) << "the syncs were refused";
    }
}
