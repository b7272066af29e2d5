// The copies engine on a demo inventory: versions made only when something
// changed, photos stored once, every version restoring exactly its day,
// damage found and named, and the files of others never touched.
#include "CopiesFixture.h"
#include "FolderContents.h"
#include "RootOverride.h"
#include "copies/CopyCheck.h"
#include "copies/CopyError.h"
#include "copies/CopyRestore.h"
#include "copies/CopyStore.h"
#include "data/Inventory.h"
#include "data/Sha256.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <map>

namespace {

// The item files of a data folder by name, with their checksums.
QMap<QString, QByteArray> itemFileSums(const QString &dataFolder)
{
    QMap<QString, QByteArray> sums;
    const QDir images(dataFolder + u'/' + ImagesFolderName);
    for (const QString &name : images.entryList(QDir::Files)) {
        QFile file(images.filePath(name));
        file.open(QIODevice::ReadOnly);
        sums.insert(name, Sha256::hexOf(file.readAll()));
    }
    return sums;
}

// Every stored file under files/, by checksum name.
QSet<QByteArray> storedOnDisk(const CopyPlace &place)
{
    QSet<QByteArray> stored;
    const QDir files(place.filesFolder());
    for (const QString &folder : files.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString &name : QDir(files.filePath(folder)).entryList(QDir::Files | QDir::Hidden))
            stored.insert(name.toLatin1());
    }
    return stored;
}

QSet<QByteArray> referencedByVersions(const CopyPlace &place)
{
    QSet<QByteArray> referenced;
    const QList<FoundVersion> versions = findVersions(place);
    for (const FoundVersion &version : versions) {
        for (const BackupMember &member : version.manifest->contents.members) {
            if (isStoredMember(member))
                referenced.insert(member.sha256);
        }
    }
    return referenced;
}

// The bytes this process has read so far, as the kernel counts them; -1
// where it does not.
qint64 bytesRead()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar: "))
            return line.mid(7).toLongLong();
    }
    return -1;
}

QByteArray pngLike(int seed)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray::number(seed).repeated(500);
}

} // namespace

// A copy is a version only when something changed; a new price writes the
// databases and the manifest, not the photos; a photo that two items share
// is stored once; each version restores to the data of its moment.
TEST_F(CopiesTest, VersionsOnlyForChangesAndPhotosStoredOnce)
{
    std::map<QString, QString> dumps;
    const CopyResult first = copy();
    ASSERT_TRUE(first.made);
    EXPECT_GT(first.storedFiles, 10);
    EXPECT_EQ(first.newStoredFiles, first.storedFiles);
    dumps[first.version] = databaseDump(dataFolder() + InventoryFileName);

    now = now.addSecs(3600);
    const CopyResult unchanged = copy();
    EXPECT_FALSE(unchanged.made);
    EXPECT_EQ(unchanged.version, first.version);
    EXPECT_EQ(versionNames(), QStringList{first.version});

    setFirstPrice(123456);
    now = now.addSecs(3600);
    const qint64 readBefore = bytesRead();
    const CopyResult priced = copy();
    // The photos are known by their checksums from the last copy: none is
    // read again (the demo's come to 2.5 MB; the databases, read a few
    // times over, to a few hundred kB).
    if (readBefore >= 0) {
        EXPECT_LT(bytesRead() - readBefore, 1024 * 1024);
    }
    ASSERT_TRUE(priced.made);
    EXPECT_EQ(priced.newStoredFiles, 0);
    EXPECT_LE(priced.bytesWritten, 2 * QFileInfo(dataFolder() + InventoryFileName).size());
    dumps[priced.version] = databaseDump(dataFolder() + InventoryFileName);

    // The same bytes as two further photos of two items: one stored file.
    writeItemFile(QStringLiteral("00000001-00000901.png"), pngLike(7));
    writeItemFile(QStringLiteral("00000002-00000902.png"), pngLike(7));
    now = now.addSecs(3600);
    const CopyResult photos = copy();
    ASSERT_TRUE(photos.made);
    EXPECT_EQ(photos.newStoredFiles, 1);
    EXPECT_EQ(photos.storedFiles, first.storedFiles + 2);
    dumps[photos.version] = databaseDump(dataFolder() + InventoryFileName);
    EXPECT_EQ(storedOnDisk(place()), referencedByVersions(place()));

    ASSERT_EQ(versionNames().size(), 3);
    const QMap<QString, QByteArray> lastFiles = itemFileSums(dataFolder());
    for (const auto &[name, dump] : dumps) {
        const QString target = scratch(name);
        restoreCopy(place(), chooseVersion(place(), name), target);
        EXPECT_EQ(databaseDump(target + u'/' + InventoryFileName), dump) << name.toStdString();
        EXPECT_EQ(QFileInfo(target).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
        if (name == photos.version)
            EXPECT_EQ(itemFileSums(target), lastFiles);
        else
            EXPECT_FALSE(itemFileSums(target).contains(QStringLiteral("00000001-00000901.png")));
    }
    // A restore never writes into a folder that holds something.
    EXPECT_THROW(restoreCopy(place(), chooseVersion(place(), QString()), scratch(first.version)), CopyError);
}

// 400 days of daily changes with the clock set: about 25 versions stay,
// each restoring to exactly its day's inventory and photos; a pinned one
// stays past its year; no stored file outlives the versions that use it.
TEST_F(CopiesTest, FourHundredDaysKeepTheSchemeAndEveryKeptVersionRestoresItsDay)
{
    std::map<QString, std::pair<QString, QMap<QString, QByteArray>>> days;
    const QDateTime start = now;
    QString pinned;
    for (int day = 0; day < 400; ++day) {
        now = start.addDays(day);
        setFirstPrice(10000 + day);
        if (day % 10 == 0)
            writeItemFile(QStringLiteral("00000003-%1.png").arg(day + 1, 8, 10, QLatin1Char('0')), pngLike(day));
        if (day % 10 == 5 && day > 30)
            QFile::remove(dataFolder()
                          + QStringLiteral("images/00000003-%1.png").arg(day - 34, 8, 10, QLatin1Char('0')));
        const CopyResult result = copy();
        ASSERT_TRUE(result.made) << day;
        days[result.version] = {databaseDump(dataFolder() + InventoryFileName), itemFileSums(dataFolder())};
        if (day == 20) {
            pinVersion(place(), result.version, true);
            pinned = result.version;
        }
    }
    const QStringList kept = versionNames();
    // 2 days + 5 more days + 3 more weeks + 11 more months + the pinned one.
    EXPECT_GE(kept.size(), 20);
    EXPECT_LE(kept.size(), 26);
    EXPECT_TRUE(kept.contains(pinned));
    EXPECT_EQ(storedOnDisk(place()), referencedByVersions(place()));
    for (const QString &name : kept) {
        const QString target = scratch(name);
        restoreCopy(place(), chooseVersion(place(), name), target);
        EXPECT_EQ(databaseDump(target + u'/' + InventoryFileName), days[name].first) << name.toStdString();
        EXPECT_EQ(itemFileSums(target), days[name].second) << name.toStdString();
    }
}

namespace {

// Where a flipped byte goes, and what the check must name for it.
struct Damage {
    const char *what;
    std::function<QString(const CopyPlace &, const QString &oldest, const QString &newest)> file;
    qint64 offset; // of the flipped byte; from the end when negative
    bool oldestDamaged;
    bool newestDamaged;
    const char *named; // in the problems of a damaged version
};

} // namespace

// A flipped byte in any file of the copies is found and named; a version
// it does not touch still restores.
TEST_F(CopiesTest, AFlippedByteAnywhereIsFoundAndNamed)
{
    const auto stored = [](const CopyPlace &place, const QString &version, const QString &member) {
        const std::optional<CopyManifest> manifest = readVersionManifest(place.versionFolder(version), nullptr);
        for (const BackupMember &m : manifest->contents.members) {
            if (m.name == member)
                return place.storedFile(m.sha256);
        }
        return QString();
    };
    const std::vector<Damage> damages = {
        {"the newest inventory database",
         [](const CopyPlace &p, const QString &, const QString &n) { return p.versionFolder(n) + "/stowbook.db"; },
         -100, false, true, "\"stowbook.db\""},
        {"the oldest catalogue's last page",
         [](const CopyPlace &p, const QString &o, const QString &) { return p.versionFolder(o) + "/rptspec.db"; }, -100,
         true, false, "\"rptspec.db\""},
        {"a manifest",
         [](const CopyPlace &p, const QString &o, const QString &) { return p.versionFolder(o) + "/manifest.json"; },
         -100, true, false, "manifest"},
        {"a manifest's checksum",
         [](const CopyPlace &p, const QString &, const QString &n) { return p.versionFolder(n) + "/manifest.sha256"; },
         3, false, true, "manifest"},
        {"a photo both versions use",
         [&](const CopyPlace &p, const QString &o, const QString &) { return stored(p, o, "images/00000001.bmp"); },
         -100, true, true, "\"images/00000001.bmp\""},
        {"a report file",
         [&](const CopyPlace &p, const QString &o, const QString &) { return stored(p, o, "byitem.srp"); }, 5, true,
         true, "\"byitem.srp\""},
    };
    for (const Damage &damage : damages) {
        QTemporaryDir copies;
        const CopyResult oldest = makeCopy(*m_household, copies.path(), [this] { return now; });
        setFirstPrice(4242);
        const CopyResult newest = makeCopy(*m_household, copies.path(), [this] { return now.addSecs(60); });
        setFirstPrice(100);
        const CopyPlace where(copies.path(), inventoryIdentity(dataFolder()));
        const QString file = damage.file(where, oldest.version, newest.version);
        ASSERT_FALSE(file.isEmpty()) << damage.what;
        flipByte(file, damage.offset);

        const CopiesCheck check = checkCopies(where);
        ASSERT_EQ(check.versions.size(), 2) << damage.what;
        EXPECT_FALSE(check.sound()) << damage.what;
        for (const VersionCheck &version : check.versions) {
            const bool expected = version.version.name == oldest.version ? damage.oldestDamaged : damage.newestDamaged;
            EXPECT_EQ(!version.sound(), expected) << damage.what << " " << version.version.name.toStdString();
            if (!version.sound()) {
                EXPECT_TRUE(version.problems.join(u' ').contains(QLatin1String(damage.named)))
                    << damage.what << ": " << version.problems.join(u' ').toStdString();
            }
        }
        if (file.contains(QStringLiteral("/files/"))) {
            ASSERT_EQ(check.damagedStored.size(), 1) << damage.what;
            EXPECT_TRUE(file.endsWith(check.damagedStored.first().name)) << damage.what;
        }
        // Restoring a damaged version is refused and leaves nothing; an
        // undamaged one restores.
        for (const VersionCheck &version : check.versions) {
            const QString target =
                scratch(QStringLiteral("%1-%2").arg(QLatin1String(damage.what), version.version.name));
            if (version.sound()) {
                EXPECT_NO_THROW(restoreCopy(where, version.version, target)) << damage.what;
            } else {
                EXPECT_THROW(restoreCopy(where, version.version, target), CopyError) << damage.what;
                EXPECT_FALSE(QFileInfo::exists(target)) << damage.what;
            }
        }
    }
}

// Files that others put in the copies folder, some with names like ours,
// and the copies of another inventory sharing the folder, come through a
// month of daily copies and their upkeep byte for byte.
TEST_F(CopiesTest, FilesOfOthersAreNeverTouched)
{
    ASSERT_TRUE(copy().made);
    const CopyPlace ours = place();
    TestDataFolder otherData{SetupOptions{}};
    Household other(otherData.path());
    const CopyResult otherFirst = makeCopy(other, copiesFolder(), [this] { return now; });
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
    };
    const QByteArray unreferenced(64, 'a');
    const QStringList foreign = {
        copiesFolder() + QStringLiteral("/manifest.json"),
        copiesFolder() + QStringLiteral("/stowbook-copies/readme.txt"),
        ours.folder() + QStringLiteral("/notes.txt"),
        ours.versionsFolder() + QStringLiteral("/holiday/stowbook.db"),
        ours.filesFolder() + QStringLiteral("/aa/") + QString::fromLatin1(unreferenced),
        ours.filesFolder() + QStringLiteral("/notes.txt"),
        ours.folder() + QStringLiteral("/.new-theirs/list.txt"),
        ours.versionFolder(versionNames().first()) + QStringLiteral("/their-notes.txt"),
    };
    for (const QString &path : foreign)
        put(path, QByteArrayLiteral("someone else's ") + path.toUtf8());
    const QMap<QString, QByteArray> before = folderContents(copiesFolder());

    const QDateTime start = now;
    for (int day = 1; day <= 40; ++day) {
        now = start.addDays(day);
        setFirstPrice(500 + day);
        writeItemFile(QStringLiteral("00000004-%1.png").arg(day, 8, 10, QLatin1Char('0')), pngLike(day));
        if (day > 3)
            QFile::remove(dataFolder()
                          + QStringLiteral("images/00000004-%1.png").arg(day - 3, 8, 10, QLatin1Char('0')));
        ASSERT_TRUE(copy().made) << day;
    }
    EXPECT_LT(versionNames().size(), 41); // the upkeep did let versions go
    const QMap<QString, QByteArray> after = folderContents(copiesFolder());
    for (const QString &path : foreign) {
        const QString key = QDir(copiesFolder()).relativeFilePath(path);
        EXPECT_EQ(after.value(key), before.value(key)) << key.toStdString();
    }
    // The other inventory's copies are as they were, and sound.
    const CopyPlace theirs(copiesFolder(), inventoryIdentity(otherData.path()));
    for (auto entry = before.constBegin(); entry != before.constEnd(); ++entry) {
        if (entry.key().contains(theirs.identity())) {
            EXPECT_EQ(after.value(entry.key()), entry.value()) << entry.key().toStdString();
        }
    }
    EXPECT_TRUE(checkCopies(theirs).sound());
    EXPECT_EQ(findVersions(theirs).size(), 1);
    EXPECT_EQ(findVersions(theirs).first().name, otherFirst.version);
    // Two inventories: a restore must be told which.
    EXPECT_THROW(soleInventory(copiesFolder()), CopyError);
    EXPECT_EQ(inventoriesIn(ours.folder()).size(), 1);
}

// A copies folder that is missing or read-only: a plain message, no new
// version, the inventory and the earlier versions as they were; the next
// copy, once the folder is back, completes.
TEST_F(CopiesTest, AMissingOrReadOnlyCopiesFolderFailsPlainlyAndHarmsNothing)
{
    try {
        makeCopy(*m_household, scratch(QStringLiteral("usb-drive")), [this] { return now; });
        ADD_FAILURE() << "a copy into a missing folder went through";
    } catch (const CopyError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("is not there"))) << error.message().toStdString();
        EXPECT_TRUE(error.message().contains(QStringLiteral("No copy was made"))) << error.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(scratch(QStringLiteral("usb-drive"))));

    const CopyResult first = copy();
    setFirstPrice(777);
    const QMap<QString, QByteArray> data = folderContents(dataFolder());
    for (const QString &folder : {place().folder(), place().versionsFolder(), place().filesFolder()})
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    {
        PermissionsEnforced enforced;
        if (!enforced.holds())
            GTEST_SKIP() << "file permissions cannot be enforced here";
        now = now.addSecs(60);
        EXPECT_THROW(copy(), CopyError);
    }
    for (const QString &folder : {place().folder(), place().versionsFolder(), place().filesFolder()})
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(folderContents(dataFolder()), data);
    EXPECT_EQ(versionNames(), QStringList{first.version});
    EXPECT_TRUE(checkCopies(place()).sound());
    now = now.addSecs(60);
    EXPECT_TRUE(copy().made);
    EXPECT_EQ(versionNames().size(), 2);
}
