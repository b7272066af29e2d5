#include "BackupFixture.h"
#include "LockHolder.h"
#include "ScriptedPrompts.h"

#include "backup/BackupError.h"
#include "backup/BackupReader.h"
#include "backup/BackupWriter.h"
#include "backup/DatabaseCopy.h"
#include "backup/RestoreBackup.h"
#include "data/Database.h"
#include "data/Inventory.h"
#include "items/ItemAttachments.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QThread>
#include <atomic>

namespace {

// Records what the backup told its watcher.
class WatchedProgress : public BackupProgress {
public:
    void stage(const QString &text) override { stages << text; }
    void progress(double fraction) override
    {
        EXPECT_GE(fraction, last) << "progress never goes back";
        last = fraction;
    }
    bool cancelled() override { return cancelAt >= 0 && last >= cancelAt; }
    QStringList stages;
    double last = 0;
    double cancelAt = -1;
};

} // namespace

// Backup, check and restore give the same inventory, pictures, report files
// and claimant details byte for byte, in a folder for the owner alone.
TEST_F(BackupTest, ARestoredBackupIsTheDataFolderAgain)
{
    // Item 3 has a second photo and a receipt besides its picture.
    {
        ScriptedPrompts prompts;
        setPrompts(&prompts);
        Household household(dataFolder());
        household.openInventory();
        ItemAttachments attachments(household);
        for (const auto &[name, bytes] : {std::pair{"side.png", QByteArray("\x89PNG a side")},
                                          std::pair{"receipt.pdf", QByteArray("%PDF-1.4 the receipt")}}) {
            QFile file(scratch(QString::fromLatin1(name)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        attachments.attach(3, AttachedKind::Photo, scratch(QStringLiteral("side.png")));
        attachments.attach(3, AttachedKind::Receipt, scratch(QStringLiteral("receipt.pdf")), QStringLiteral("shop"));
        QFile::remove(scratch(QStringLiteral("side.png")));
        QFile::remove(scratch(QStringLiteral("receipt.pdf")));
        household.closeInventory();
        setPrompts(nullptr);
    }
    const QString zip = scratch(QStringLiteral("inventory.zip"));
    WatchedProgress watcher;
    const BackupSummary summary = writeBackup(dataFolder(), zip, &watcher);
    EXPECT_EQ(modeOf(zip), 0600);
    EXPECT_EQ(folderContents(scratchFolder()).keys(), QStringList{QStringLiteral("inventory.zip")})
        << "nothing but the archive is left beside it";
    EXPECT_DOUBLE_EQ(watcher.last, 1.0);
    EXPECT_FALSE(watcher.stages.isEmpty());

    const QMap<QString, QByteArray> original = folderContents(dataFolder());
    int pictures = 0;
    for (const QString &name : original.keys())
        pictures += name.startsWith(QStringLiteral("images/0")) ? 1 : 0;
    EXPECT_EQ(summary.pictures, pictures);
    EXPECT_GT(pictures, 10);
    EXPECT_EQ(summary.reportFiles, 4) << "the three ready-made reports and the user's";
    EXPECT_GT(summary.manifest.itemCount, 50);
    EXPECT_EQ(summary.manifest.totalValue, inventoryFigures(dataFolder() + InventoryFileName).totalValue);
    QStringList pictureNames;
    for (const QString &name : original.keys()) {
        if (name.startsWith(QStringLiteral("images/0")))
            pictureNames << name;
    }
    EXPECT_EQ(summary.manifest.members.last().name, pictureNames.last()) << "the pictures come last";

    const BackupManifest checked = verifyBackup(zip);
    EXPECT_EQ(checked.members, summary.manifest.members);
    EXPECT_EQ(checked.itemCount, summary.manifest.itemCount);

    const QString restored = scratch(QStringLiteral("new place/data"));
    const BackupManifest manifest = restoreBackup(zip, restored);
    EXPECT_EQ(manifest.members, summary.manifest.members);

    QMap<QString, QByteArray> copy = folderContents(restored);
    // The databases are copies made by SQLite: the same rows, not the same bytes.
    for (const QString &database : {InventoryFileName, CatalogueFileName}) {
        ASSERT_TRUE(copy.remove(database)) << database.toStdString();
        EXPECT_EQ(integrityProblems(restored + u'/' + database), QString());
    }
    QMap<QString, QByteArray> expected = original;
    for (const QString &name : original.keys()) {
        if (name.startsWith(InventoryFileName) || name.startsWith(CatalogueFileName))
            expected.remove(name);
    }
    EXPECT_EQ(copy, expected);
    for (const QString &table : {QStringLiteral("items"), QStringLiteral("categories"), QStringLiteral("locations"),
                                 QStringLiteral("itemfiles")})
        EXPECT_EQ(tableRows(restored + "/stowbook.db", table), tableRows(dataFolder() + InventoryFileName, table))
            << table.toStdString();
    EXPECT_EQ(tableRows(restored + "/rptspec.db", "rptspec"), tableRows(dataFolder() + CatalogueFileName, "rptspec"));

    EXPECT_EQ(modeOf(restored), 0700);
    EXPECT_EQ(modeOf(restored + "/images"), 0700);
    EXPECT_EQ(modeOf(restored + "/stowbook.db"), 0600);
    EXPECT_EQ(modeOf(restored + "/images/00000003.jpg"), 0600);
    EXPECT_EQ(QDir(scratch("new place")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"data"})
        << "no staging folder left";
}

// A backup replaces the file it is told to write only once it is complete;
// one cancelled half way leaves the old one and nothing else.
TEST_F(BackupTest, ACancelledBackupLeavesTheOldFile)
{
    const QString zip = scratch(QStringLiteral("nightly.zip"));
    QFile old(zip);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("last night's backup");
    old.close();

    WatchedProgress watcher;
    watcher.cancelAt = 0.3;
    try {
        writeBackup(dataFolder(), zip, &watcher);
        ADD_FAILURE() << "a cancelled backup was written";
    } catch (const BackupError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("cancelled"))) << error.message().toStdString();
    }
    EXPECT_EQ(folderContents(scratchFolder()), (QMap<QString, QByteArray>{{"nightly.zip", "last night's backup"}}));

    writeBackup(dataFolder(), zip);
    EXPECT_NO_THROW(verifyBackup(zip));
    EXPECT_EQ(folderContents(scratchFolder()).keys(), QStringList{"nightly.zip"});
}

// The program goes on storing items while the backup runs: the backup is
// the inventory of one moment, sound, with every item stored before it began.
TEST_F(BackupTest, ABackupTakenWhileItemsAreWrittenHoldsEveryEarlierItem)
{
    const QString inventory = dataFolder() + InventoryFileName;
    const QStringList before = tableRows(inventory, QStringLiteral("items"));
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    QThread *writer = QThread::create([&] {
        auto db = Database::open(inventory);
        db->setBusyTimeout(2000);
        while (!stop.load()) {
            Transaction transaction(*db);
            for (int i = 0; i < 20; ++i)
                db->execute(QStringLiteral("insert into items (Item, totvalue, Notes) values (?, 12.5, ?)"),
                            {QStringLiteral("Written meanwhile %1").arg(written.load()), QString(2000, u'x')});
            transaction.commit();
            written += 20;
        }
    });
    writer->start();
    while (written.load() < 200)
        QThread::yieldCurrentThread();
    const QString zip = scratch(QStringLiteral("busy.zip"));
    const BackupSummary summary = writeBackup(dataFolder(), zip);
    stop = true;
    writer->wait();
    delete writer;

    const QString restored = scratch(QStringLiteral("restored"));
    restoreBackup(zip, restored);
    EXPECT_EQ(integrityProblems(restored + "/stowbook.db"), QString());
    const QStringList rows = tableRows(restored + "/stowbook.db", QStringLiteral("items"));
    EXPECT_EQ(rows.size(), summary.manifest.itemCount);
    EXPECT_GE(rows.size(), before.size() + 200);
    EXPECT_EQ(rows.mid(0, before.size()), before) << "every item stored before the backup, exactly";
}

// Restore makes a new data folder: it refuses anything already there and
// changes nothing, but takes an empty folder someone made for it.
TEST_F(BackupTest, RestoreRefusesAnExistingFolderAndTakesAnEmptyOne)
{
    const QString zip = scratch(QStringLiteral("b.zip"));
    writeBackup(dataFolder(), zip);
    struct Row {
        const char *name;
        const char *file;
        const char *refusal;
    };
    const Row rows[] = {
        {"a data folder", "stowbook.db", "already exists and is not empty"},
        {"a folder with a hidden file", ".notes", "already exists and is not empty"},
        {"a plain file", nullptr, "is not a folder"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString target = scratch(QString::fromLatin1(row.name));
        if (row.file) {
            ASSERT_TRUE(QDir().mkpath(target));
            QFile file(target + u'/' + QLatin1String(row.file));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("mine");
        } else {
            QFile file(target);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("mine");
        }
        const QMap<QString, QByteArray> before = folderContents(scratchFolder());
        try {
            restoreBackup(zip, target);
            ADD_FAILURE() << "restored over " << row.name;
        } catch (const BackupError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(row.refusal))) << error.message().toStdString();
        }
        EXPECT_EQ(folderContents(scratchFolder()), before);
    }
    const QString empty = scratch(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkdir(empty));
    restoreBackup(zip, empty);
    EXPECT_TRUE(QFile::exists(empty + "/stowbook.db"));
    EXPECT_EQ(modeOf(empty), 0700);
}

// A restore checks the databases on the disk it restores to, where it
// checked for room: a temporary folder of the system that cannot be written
// does not stop it, nor does one that is not there while the program's
// current folder cannot be written either (as "/" for a program started
// from a menu). Nothing of the check stays beside the restored folder.
TEST_F(BackupTest, ARestoreChecksTheDatabasesBesideTheNewFolder)
{
    const QString zip = scratch(QStringLiteral("b.zip"));
    writeBackup(dataFolder(), zip);
    QFile plainFile(scratch(QStringLiteral("a file")));
    ASSERT_TRUE(plainFile.open(QIODevice::WriteOnly));
    plainFile.close();
    struct Row {
        const char *name;
        QString temporaryFolder;
    };
    const Row rows[] = {
        {"a file, not a folder", scratch(QStringLiteral("a file"))},
        // Not even root makes anything there.
        {"a folder nothing can be made in", QStringLiteral("/proc")},
        {"a folder that is not there", scratch(QStringLiteral("no such folder"))},
    };
    const QByteArray setting = qgetenv("TMPDIR");
    const bool wasSet = qEnvironmentVariableIsSet("TMPDIR");
    const QString current = QDir::currentPath();
    const auto putBack = qScopeGuard([&] {
        if (wasSet)
            qputenv("TMPDIR", setting);
        else
            qunsetenv("TMPDIR");
        QDir::setCurrent(current);
    });
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral("/proc")));
    int count = 0;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        qputenv("TMPDIR", QFile::encodeName(row.temporaryFolder));
        const QString place = scratch(QStringLiteral("place %1").arg(++count));
        try {
            restoreBackup(zip, place + QStringLiteral("/restored"));
        } catch (const BackupError &error) {
            ADD_FAILURE() << error.message().toStdString();
        }
        EXPECT_EQ(QDir(place).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("restored")});
    }
    EXPECT_FALSE(QFileInfo::exists(scratch(QStringLiteral("no such folder"))));
}

// A restore makes every folder on the way to the new one, however many are
// missing.
TEST_F(BackupTest, RestoreMakesEveryFolderOnTheWay)
{
    const QString zip = scratch(QStringLiteral("b.zip"));
    writeBackup(dataFolder(), zip);
    const QString deep = scratch(QStringLiteral("household/2024/restored"));
    restoreBackup(zip, deep);
    EXPECT_EQ(integrityProblems(deep + "/stowbook.db"), QString());
    EXPECT_EQ(modeOf(deep), 0700);
}

// Another program writing meanwhile does not stop a backup; one holding the
// inventory for itself does, with a message that says what to do, and no
// file is left.
TEST_F(BackupTest, AProgramHoldingTheInventoryForItselfStopsTheBackupWithAReason)
{
    const QString zip = scratch(QStringLiteral("locked.zip"));
    {
        LockHolder writer(LockHolder::Role::WriteLock, dataFolder() + InventoryFileName);
        ASSERT_TRUE(writer.isHolding());
        EXPECT_NO_THROW(writeBackup(dataFolder(), zip)) << "a write under way keeps no reader out";
    }
    QFile::remove(zip);
    LockHolder holder(LockHolder::Role::Exclusive, dataFolder() + InventoryFileName);
    ASSERT_TRUE(holder.isHolding());
    try {
        writeBackup(dataFolder(), zip);
        ADD_FAILURE() << "backed up a file held exclusively";
    } catch (const BackupError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("held by a program that lets no other read it")))
            << error.message().toStdString();
    }
    EXPECT_TRUE(folderContents(scratchFolder()).isEmpty());
}

namespace {

// The write calls this process has made so far, as the kernel counts them.
qint64 writeCalls()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("syscw: "))
            return line.mid(7).toLongLong();
    }
    return -1;
}

} // namespace

// A backup's archive goes to the disk in large blocks: a 24 MB photo in a
// few dozen writes, where pieces of the file system's 4 KB block took six
// thousand. The archive is as sound as ever.
TEST_F(BackupTest, TheArchiveIsWrittenInLargeBlocks)
{
    QByteArray photo(24 * 1024 * 1024, Qt::Uninitialized);
    quint32 state = 25;
    for (char &byte : photo) {
        state = state * 1664525u + 1013904223u;
        byte = char(state >> 24);
    }
    QFile file(dataFolder() + QStringLiteral("images/00000003.jpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(photo), photo.size());
    file.close();
    const qint64 before = writeCalls();
    if (before < 0)
        GTEST_SKIP() << "the kernel does not count write calls here";
    const QString zip = scratch(QStringLiteral("blocks.zip"));
    const BackupSummary summary = writeBackup(dataFolder(), zip);
    const qint64 writes = writeCalls() - before;
    EXPECT_GT(summary.archiveBytes, photo.size());
    // Each member costs a few writes (its header is written again once its
    // size is known); the bytes themselves go 4 MB at a time.
    EXPECT_LT(writes, 3 * summary.manifest.members.size() + 100) << writes << " writes";
    EXPECT_NO_THROW(verifyBackup(zip));
}
