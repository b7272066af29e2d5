#include "BackupFixture.h"
#include "ForgedZip.h"
#include "QtPrinters.h"

#include "backup/BackupError.h"
#include "backup/BackupManifest.h"
#include "backup/BackupReader.h"
#include "backup/BackupWriter.h"
#include "backup/DatabaseCopy.h"
#include "backup/RestoreBackup.h"
#include "data/Inventory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <functional>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The members of a sound backup, as name and bytes, and the manifest that
// vouches for them; a case spoils one thing before the archive is forged.
struct ForgedBackup {
    QList<std::pair<QByteArray, QByteArray>> members;
    BackupManifest manifest;
    QList<ForgedEntry> entries; // made from members by build(), then spoiled
    QByteArray manifestBytes;   // when set, stored instead of the manifest's JSON

    void build()
    {
        entries.clear();
        for (const auto &[name, bytes] : members)
            entries << storedEntry(name, bytes);
    }
    void listAll()
    {
        manifest.members.clear();
        for (const auto &[name, bytes] : members)
            manifest.members << BackupMember{QString::fromUtf8(name), bytes.size(), sha256(bytes)};
    }
    QByteArray archive() const
    {
        QList<ForgedEntry> all = entries;
        all << deflatedEntry(ManifestName.toUtf8(), manifestBytes.isEmpty() ? manifestJson(manifest) : manifestBytes);
        return forgeZip(all);
    }
};

} // namespace

class HostileBackupTest : public BackupTest {
protected:
    ForgedBackup soundBackup()
    {
        // A real inventory, copied as a backup copies it.
        const QString copy = scratch(QStringLiteral("copy.db"));
        QFile::remove(copy);
        copyDatabase(dataFolder() + InventoryFileName, copy);
        ForgedBackup backup;
        backup.members = {{"stowbook.db", fileBytes(copy)},
                          {"images/00000003.jpg", fileBytes(dataFolder() + "images/00000003.jpg")},
                          {"claimant.json", fileBytes(dataFolder() + ClaimantFileName)}};
        const InventoryFigures figures = inventoryFigures(copy);
        QFile::remove(copy);
        backup.manifest.programVersion = QStringLiteral("1.3");
        backup.manifest.created = QDateTime(QDate(2025, 1, 1), QTime(12, 0), Qt::UTC);
        backup.manifest.itemCount = figures.items;
        backup.manifest.totalValue = figures.totalValue;
        backup.listAll();
        backup.build();
        return backup;
    }
};

// Each archive is refused with a message that names what is wrong, by the
// check and by the restore alike, and the restore writes nothing anywhere:
// not the target, not beside it, not where a hostile name points.
TEST_F(HostileBackupTest, EveryHostileArchiveIsRefusedAndNothingIsWritten)
{
    const QString parent = scratch(QStringLiteral("place"));
    ASSERT_TRUE(QDir().mkdir(parent));
    const QString absoluteName = parent + QStringLiteral("/planted.rpt");
    using Spoil = std::function<void(ForgedBackup &)>;
    const auto addMember = [](const QByteArray &name, const QByteArray &bytes, bool listed) {
        return [=](ForgedBackup &b) {
            b.members << std::pair{name, bytes};
            b.entries << storedEntry(name, bytes);
            if (listed)
                b.manifest.members << BackupMember{QString::fromUtf8(name), bytes.size(), sha256(bytes)};
        };
    };
    struct Row {
        const char *name;
        Spoil spoil;
        QString refusal;
    };
    const Row rows[] = {
        {"a name with ..", addMember("../planted.rpt", "items\r\n", true), "leads out of the data folder"},
        {"a name inside images with ..", addMember("images/../../planted.rpt", "x", true),
         "leads out of the data folder"},
        {"an absolute name", addMember(absoluteName.toUtf8(), "items\r\n", true), "is an absolute path"},
        {"a link",
         [](ForgedBackup &b) {
             ForgedEntry link = storedEntry("images/00000009.jpg", "/etc/passwd");
             link.attributes = quint32(S_IFLNK | 0777) << 16;
             b.entries << link;
             b.manifest.members << BackupMember{"images/00000009.jpg", 11, sha256("/etc/passwd")};
         },
         "is a link"},
        {"a document that is a link",
         [](ForgedBackup &b) {
             ForgedEntry link = storedEntry("images/00000003-00000001.pdf", "/etc/passwd");
             link.attributes = quint32(S_IFLNK | 0777) << 16;
             b.entries << link;
             b.manifest.members << BackupMember{"images/00000003-00000001.pdf", 11, sha256("/etc/passwd")};
         },
         "is a link"},
        {"a document far larger than its stated size",
         [](ForgedBackup &b) {
             const QByteArray bomb(8 * 1024 * 1024, '%');
             ForgedEntry entry = deflatedEntry("images/00000003-00000002.pdf", bomb);
             entry.statedSize = 100;
             b.entries << entry;
             b.manifest.members << BackupMember{"images/00000003-00000002.pdf", 100, sha256(bomb.left(100))};
         },
         "more than the 100 bytes stated"},
        {"a folder", addMember("reports/", "", false), "is a folder"},
        {"a file no backup holds", addMember("notes.txt", "hello", true), "is no file a backup holds"},
        {"a member far larger than its stated size",
         [](ForgedBackup &b) {
             // 100 bytes stated everywhere; the stream unpacks to 8 MB.
             const QByteArray bomb(8 * 1024 * 1024, 'A');
             ForgedEntry entry = deflatedEntry("images/00000005.bmp", bomb);
             entry.statedSize = 100;
             b.entries << entry;
             b.manifest.members << BackupMember{"images/00000005.bmp", 100, sha256(bomb.left(100))};
         },
         "more than the 100 bytes stated"},
        {"a member shorter than stated",
         [](ForgedBackup &b) {
             ForgedEntry &entry = b.entries[1];
             entry.statedSize += 10;
             b.manifest.members[1].size += 10;
         },
         "images/00000003.jpg"},
        {"damaged bytes in a picture",
         [](ForgedBackup &b) {
             ForgedEntry &entry = b.entries[1];
             entry.stored[entry.stored.size() / 2] = char(entry.stored[entry.stored.size() / 2] ^ 0x55);
         },
         "images/00000003.jpg"},
        {"a wrong checksum", [](ForgedBackup &b) { b.manifest.members[2].sha256 = sha256("something else"); },
         "does not match its checksum"},
        {"a member the manifest does not list", addMember("images/00000007.png", "png?", false),
         "is not listed in the manifest"},
        {"a listed member that is missing", [](ForgedBackup &b) { b.entries.removeLast(); },
         "listed in the manifest, is missing"},
        {"a member twice", [](ForgedBackup &b) { b.entries << b.entries[2]; }, "a member is there twice"},
        {"no inventory",
         [](ForgedBackup &b) {
             b.entries.removeFirst();
             b.manifest.members.removeFirst();
         },
         "holds no inventory database"},
        {"a damaged database",
         [](ForgedBackup &b) {
             // Every page after the first overwritten; the manifest agrees.
             QByteArray &db = b.members[0].second;
             for (qsizetype i = 4096; i < db.size(); ++i)
                 db[i] = char(i * 7);
             b.listAll();
             b.build();
         },
         "stowbook.db"},
        {"a manifest that miscounts the items", [](ForgedBackup &b) { b.manifest.itemCount += 1; },
         "the manifest says"},
        {"a later format",
         [](ForgedBackup &b) { b.manifestBytes = manifestJson(b.manifest).replace("\"format\": 1", "\"format\": 2"); },
         "this program reads format 1"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ForgedBackup backup = soundBackup();
        row.spoil(backup);
        const QString zip = scratch(QStringLiteral("hostile.zip"));
        QFile file(zip);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(backup.archive());
        file.close();
        const QMap<QString, QByteArray> before = folderContents(scratchFolder());

        for (const bool restoring : {false, true}) {
            try {
                if (restoring)
                    restoreBackup(zip, parent + QStringLiteral("/restored"));
                else
                    verifyBackup(zip);
                ADD_FAILURE() << (restoring ? "restored" : "verified");
            } catch (const BackupError &error) {
                EXPECT_TRUE(error.message().contains(row.refusal)) << error.message().toStdString();
            }
            EXPECT_EQ(folderContents(scratchFolder()), before);
            EXPECT_FALSE(QFile::exists(absoluteName));
        }
    }

    // The sound archive itself goes through: the cases above fail for what
    // they spoil alone.
    const QString zip = scratch(QStringLiteral("sound.zip"));
    QFile file(zip);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(soundBackup().archive());
    file.close();
    restoreBackup(zip, parent + QStringLiteral("/restored"));
    EXPECT_EQ(fileBytes(parent + "/restored/images/00000003.jpg"), fileBytes(dataFolder() + "images/00000003.jpg"));
}

// An archive cut short, or not an archive at all, cannot even be opened.
TEST_F(HostileBackupTest, ACutOrDamagedArchiveCannotBeRead)
{
    const QString good = scratch(QStringLiteral("good.zip"));
    writeBackup(dataFolder(), good);
    const QByteArray whole = fileBytes(good);
    struct Row {
        const char *name;
        QByteArray bytes;
        const char *refusal;
    };
    QByteArray noDirectory = whole;
    noDirectory.replace("PK\x05\x06", "XX\x05\x06");
    const Row rows[] = {
        {"cut at half", whole.left(whole.size() / 2), "cannot be read"},
        {"cut before its last byte", whole.left(whole.size() - 1), "cannot be read"},
        {"empty", QByteArray(), "cannot be read"},
        {"not an archive", QByteArray("this is a shopping list\n"), "cannot be read"},
        {"its directory's end spoiled", noDirectory, "cannot be read"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const QString zip = scratch(QStringLiteral("bad.zip"));
        QFile file(zip);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.bytes);
        file.close();
        const QMap<QString, QByteArray> before = folderContents(scratchFolder());
        try {
            restoreBackup(zip, scratch(QStringLiteral("restored")));
            ADD_FAILURE() << "restored";
        } catch (const BackupError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(row.refusal))) << error.message().toStdString();
        }
        EXPECT_EQ(folderContents(scratchFolder()), before);
    }
}

// The manifest is read as strictly as the archive: each of these is refused
// with its reason, and a manifest written by the program reads back whole.
TEST(BackupManifest, IsReadStrictly)
{
    BackupManifest manifest;
    manifest.programVersion = QStringLiteral("1.3");
    manifest.created = QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7), Qt::UTC);
    manifest.itemCount = 3;
    manifest.totalValue = Money::fromUnits(123456789);
    manifest.members = {{"stowbook.db", 4096, QByteArray(64, 'a')}, {"images/00000001.jpg", 10, QByteArray(64, 'b')}};
    const QByteArray json = manifestJson(manifest);
    QString problem;
    const std::optional<BackupManifest> back = parseManifest(json, &problem);
    ASSERT_TRUE(back) << problem.toStdString();
    EXPECT_EQ(back->members, manifest.members);
    EXPECT_EQ(back->totalValue, manifest.totalValue) << "exact to the ten-thousandth";
    EXPECT_EQ(back->created, manifest.created);

    const auto spoiled = [&json](const char *from, const char *to) { return QByteArray(json).replace(from, to); };
    struct Row {
        const char *name;
        QByteArray json;
        const char *problem;
    };
    const Row rows[] = {
        {"not JSON", "{", "not readable JSON"},
        {"another program", spoiled("\"Stowbook\"", "\"Other\""), "not made by Stowbook"},
        {"a fractional count", spoiled("\"itemCount\": 3", "\"itemCount\": 3.5"), "item count"},
        {"a negative size", spoiled("\"size\": 10", "\"size\": -10"), "not a count of bytes"},
        {"a short checksum", spoiled(QByteArray(64, 'b').constData(), "bbbb"), "not a SHA-256"},
        {"a total that is no amount", spoiled("\"12345.6789\"", "\"lots\""), "total value"},
        {"a name twice", spoiled("images/00000001.jpg", "stowbook.db"), "twice"},
        {"a hidden name", spoiled("images/00000001.jpg", "images/.00000001.jpg"), "never holds"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.json, json) << "the case changes the manifest";
        EXPECT_FALSE(parseManifest(row.json, &problem));
        EXPECT_TRUE(problem.contains(QLatin1String(row.problem))) << problem.toStdString();
    }
}

// A check that fails half way leaves its scratch folder as it found it, so
// the next check there (a fuzzer's, or the restore's) starts clean.
TEST_F(HostileBackupTest, AFailedCheckLeavesNoScratchCopy)
{
    QTemporaryDir scratchCopies;
    ForgedBackup damaged = soundBackup();
    damaged.manifest.members[0].sha256 = sha256("not the database");
    const QByteArray damagedBytes = damaged.archive();
    EXPECT_THROW(BackupArchive::openBytes(damagedBytes)->verify(scratchCopies.path()), BackupError);
    EXPECT_TRUE(QDir(scratchCopies.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));

    const QByteArray soundBytes = soundBackup().archive();
    const auto sound = BackupArchive::openBytes(soundBytes);
    EXPECT_NO_THROW(sound->verify(scratchCopies.path()));
    EXPECT_TRUE(QDir(scratchCopies.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// A member whose data ends before the size its headers and the manifest
// state, its CRC and checksum those of the shorter data, is refused by the
// check and by the restore, naming it, and nothing is written. Stored,
// libzip finds on its own that the data is shorter than the directory says
// ("damaged"); deflated, the stream ends cleanly and only the reader's
// count of the bytes against the stated size finds it.
TEST_F(HostileBackupTest, AMemberShorterThanStatedIsRefused)
{
    struct Row {
        const char *name;
        qsizetype member;
        bool deflated;
        const char *refusal;
    };
    const Row rows[] = {
        {"a stored picture", 1, false, "member \"images/00000003.jpg\" is damaged"},
        {"a deflated picture", 1, true, "member \"images/00000003.jpg\" holds %1 bytes, not the %2 stated for it"},
        {"a deflated inventory", 0, true, "member \"stowbook.db\" holds %1 bytes, not the %2 stated for it"},
    };
    const QString parent = scratch(QStringLiteral("place"));
    ASSERT_TRUE(QDir().mkdir(parent));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ForgedBackup backup = soundBackup();
        const auto &[name, bytes] = backup.members[row.member];
        ForgedEntry entry = row.deflated ? deflatedEntry(name, bytes) : storedEntry(name, bytes);
        entry.statedSize += 10;
        backup.entries[row.member] = entry;
        backup.manifest.members[row.member].size += 10;
        ASSERT_EQ(backup.manifest.members[row.member].sha256, sha256(bytes)) << "the checksum fits the short data";
        QString refusal = QString::fromLatin1(row.refusal);
        if (row.deflated)
            refusal = refusal.arg(bytes.size()).arg(bytes.size() + 10);

        const QString zip = scratch(QStringLiteral("short.zip"));
        QFile file(zip);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(backup.archive());
        file.close();
        const QMap<QString, QByteArray> before = folderContents(scratchFolder());
        for (const bool restoring : {false, true}) {
            try {
                if (restoring)
                    restoreBackup(zip, parent + QStringLiteral("/restored"));
                else
                    verifyBackup(zip);
                ADD_FAILURE() << (restoring ? "restored" : "verified");
            } catch (const BackupError &error) {
                EXPECT_TRUE(error.message().contains(refusal)) << error.message().toStdString();
            }
            EXPECT_EQ(folderContents(scratchFolder()).keys(), before.keys());
        }
        QDir(parent + QStringLiteral("/restored")).removeRecursively(); // the next case starts as this one did
    }
}

// An overlapping ZIP bomb: twenty pictures whose data all run on into one
// deflated stream, each unpacking to over 4 MB, every size and checksum
// true, the manifest listing each. The check and the restore refuse it for
// what it is, naming the file, and write nothing.
TEST_F(HostileBackupTest, OverlappingMembersAreRefusedThoughEverySizeAndChecksumIsTrue)
{
    ForgedBackup sound = soundBackup();
    QList<QByteArray> names;
    for (int i = 10; i < 30; ++i)
        names << QStringLiteral("images/%1.jpg").arg(i, 8, 10, QLatin1Char('0')).toUtf8();
    const QByteArray kernel(4 * 1024 * 1024, 'a');
    QList<QByteArray> unpacked;
    forgeOverlappingZip(names, kernel, {}, &unpacked);
    qint64 total = 0;
    for (qsizetype i = 0; i < names.size(); ++i) {
        sound.manifest.members << BackupMember{QString::fromUtf8(names[i]), unpacked[i].size(), sha256(unpacked[i])};
        total += unpacked[i].size();
    }
    QList<ForgedEntry> others = sound.entries;
    others << deflatedEntry(ManifestName.toUtf8(), manifestJson(sound.manifest));
    const QByteArray bomb = forgeOverlappingZip(names, kernel, others);
    ASSERT_GT(total, 100 * bomb.size()); // what makes it a bomb

    const QString zip = scratch(QStringLiteral("bomb.zip"));
    QFile file(zip);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bomb);
    file.close();
    const QMap<QString, QByteArray> before = folderContents(scratchFolder());
    for (const bool restore : {false, true}) {
        try {
            if (restore)
                restoreBackup(zip, scratch(QStringLiteral("restored")));
            else
                verifyBackup(zip);
            ADD_FAILURE() << "the bomb went through";
        } catch (const BackupError &error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("members overlap"))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(zip)) << error.message().toStdString();
        }
        EXPECT_EQ(folderContents(scratchFolder()), before);
    }
}

// libzip's own words for an archive it cannot open ("Not a zip archive",
// "Zip archive inconsistent") are said plainly, with the file's name.
TEST_F(HostileBackupTest, AnUnreadableArchiveIsDescribedPlainly)
{
    QByteArray inconsistent = forgeZip({storedEntry("claimant.json", "{}")});
    inconsistent[30] = 'C'; // the local header's name no longer that of the directory
    struct Row {
        const char *what;
        QByteArray bytes;
        const char *said;
    };
    const Row rows[] = {
        {"a shopping list", QByteArray("milk, eggs, bread\n"), "cannot be read: it is not a ZIP archive"},
        {"headers that disagree", inconsistent,
         "cannot be read: it is damaged: its list of members does not agree with the members themselves"},
    };
    for (const Row &row : rows) {
        const QString zip = scratch(QStringLiteral("unreadable.zip"));
        QFile file(zip);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(row.bytes);
        file.close();
        try {
            verifyBackup(zip);
            ADD_FAILURE() << row.what;
        } catch (const BackupError &error) {
            EXPECT_TRUE(error.message().contains(QLatin1String(row.said)))
                << row.what << ": " << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(zip)) << row.what;
            EXPECT_FALSE(error.message().contains(QStringLiteral("Zip archive"))) << row.what;
        }
    }
}
