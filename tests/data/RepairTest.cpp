#include "FileModes.h"
#include "TestDatabase.h"

#include "data/Inventory.h"
#include "data/Recordset.h"
#include "data/Repair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sqlite3.h>

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Each item's notes carry a marker found nowhere else in the file, so a test
// can tell on which page the row is stored.
static QByteArray markerOf(qint64 key)
{
    return QStringLiteral("<item %1>").arg(key, 5, 10, QLatin1Char('0')).toLatin1();
}

static QString notesOf(qint64 key)
{
    return QString::fromLatin1(markerOf(key)) + QString(300, QChar(char16_t(u'a' + key % 26)));
}

// Items 1 .. count over many pages, two categories, and a counter above the
// largest key (the last item was deleted).
static void fill(Database &db, int count)
{
    Transaction transaction(db);
    db.execute(QStringLiteral("insert into categories (catDesc) values ('Tools'), ('Books')"));
    for (qint64 key = 1; key <= count + 1; ++key)
        db.execute(
            QStringLiteral("insert into items (iteid, Item, Notes, purchprice, catid) values (?1, ?2, ?3, ?4, ?5)"),
            {key, QStringLiteral("item %1").arg(key), notesOf(key), key * 1.25, key % 2 + 1});
    db.execute(QStringLiteral("delete from items where iteid = ?1"), {count + 1});
    transaction.commit();
}

static int pageSizeOf(const QByteArray &file)
{
    return (uchar(file[16]) << 8) | uchar(file[17]);
}

// The page (counted from 0) on which each item's row lies.
static std::map<qint64, int> pagesOfItems(const QByteArray &file, int count)
{
    std::map<qint64, int> pages;
    for (qint64 key = 1; key <= count; ++key)
        pages[key] = int(file.indexOf(markerOf(key)) / pageSizeOf(file));
    return pages;
}

class RepairTest : public ::testing::Test {
protected:
    static constexpr int ItemCount = 2000;
    void fillAndClose()
    {
        auto db = file.open();
        fill(*db, ItemCount);
    }
    // The rebuilt file: sound, and holding exactly the expected rows.
    void expectRebuiltHolds(const std::set<qint64> &keys)
    {
        auto db = file.open();
        EXPECT_EQ(db->scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        std::set<qint64> found;
        auto rs = db->openRecordset(QStringLiteral("select iteid, Notes from items"), RecordsetType::Snapshot);
        for (; !rs->eof(); rs->moveNext()) {
            found.insert(rs->value(0).toLongLong());
            EXPECT_EQ(rs->value(1), notesOf(rs->value(0).toLongLong()));
        }
        EXPECT_EQ(found, keys);
    }
    TestDatabase file;
};

TEST_F(RepairTest, ASoundFileComesBackWhole)
{
    fillAndClose();
    const QByteArray before = readAll(file.path());
    const RepairReport report = repairDatabase(file.path(), inventorySchemaText());

    EXPECT_TRUE(QRegularExpression(QStringLiteral("^stowbook-damaged-\\d{8}-\\d{6}\\.db$"))
                    .match(QFileInfo(report.damagedCopy).fileName())
                    .hasMatch());
    EXPECT_EQ(QFileInfo(report.damagedCopy).absolutePath(), QFileInfo(file.path()).absolutePath());
    EXPECT_EQ(readAll(report.damagedCopy), before);
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("items")), ItemCount);
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("categories")), 2);
    EXPECT_TRUE(report.rowsLost.isEmpty());

    std::set<qint64> all;
    for (qint64 key = 1; key <= ItemCount; ++key)
        all.insert(key);
    expectRebuiltHolds(all);
    auto db = file.open();
    EXPECT_EQ(db->scalar(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from sqlite_master where name = 'items_catid'")), 1);
    // The counter goes on after the deleted last item, not after the largest key left.
    EXPECT_EQ(db->scalar(QStringLiteral("select seq from sqlite_sequence where name = 'items'")), ItemCount + 1);
    EXPECT_EQ(db->scalar(QStringLiteral("select sum(purchprice) from items")).toDouble(),
              1.25 * ItemCount * (ItemCount + 1) / 2);

    // A second repair in the same second gets its own copy.
    const RepairReport again = repairDatabase(file.path(), inventorySchemaText());
    EXPECT_NE(again.damagedCopy, report.damagedCopy);
    EXPECT_TRUE(QFileInfo::exists(report.damagedCopy));
}

// Rows still in the log of a file whose program stopped are recovered, and
// the old log does not stay beside the rebuilt file.
TEST_F(RepairTest, RowsStillInTheLogAreRecovered)
{
    QTemporaryDir crashed;
    const QString path = crashed.filePath(QStringLiteral("stowbook.db"));
    {
        auto db = file.open();
        fill(*db, 50);
        // A snapshot of the files while the program runs: the rows sit in the log.
        ASSERT_TRUE(QFileInfo::exists(file.path() + QStringLiteral("-wal")));
        ASSERT_TRUE(QFile::copy(file.path(), path));
        ASSERT_TRUE(QFile::copy(file.path() + QStringLiteral("-wal"), path + QStringLiteral("-wal")));
    }
    const RepairReport report = repairDatabase(path, inventorySchemaText());
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("items")), 50);
    EXPECT_TRUE(QFileInfo::exists(report.damagedCopy + QStringLiteral("-wal")));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
    auto db = Database::open(path);
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items")), 50);
    db.reset();
    EXPECT_EQ(QDir(crashed.path()).entryList(QDir::Files).filter(QStringLiteral(".salvage")).size(), 0);
    EXPECT_EQ(QDir(crashed.path()).entryList(QDir::Files).filter(QStringLiteral(".rebuild")).size(), 0);
}

TEST_F(RepairTest, APageOfRandomBytesLosesOnlyItsOwnRows)
{
    fillAndClose();
    QByteArray bytes = readAll(file.path());
    const std::map<qint64, int> pages = pagesOfItems(bytes, ItemCount);
    const int damagedPage = pages.at(ItemCount / 2);
    const int pageSize = pageSizeOf(bytes);
    std::mt19937 random(7);
    for (int i = 0; i < pageSize; ++i)
        bytes[qsizetype(damagedPage) * pageSize + i] = char(random() & 0xff);
    writeAll(file.path(), bytes);

    // The file still opens; reading the items meets the damage.
    EXPECT_EQ(errorNumberOf([&] {
                  auto db = file.open();
                  db->openRecordset(QStringLiteral("select * from items"), RecordsetType::Snapshot);
              }),
              DbError::NotDatabase);

    const RepairReport report = repairDatabase(file.path(), inventorySchemaText());
    std::set<qint64> readable;
    for (const auto &[key, page] : pages) {
        if (page != damagedPage)
            readable.insert(key);
    }
    ASSERT_LT(readable.size(), std::size_t(ItemCount));
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("items")), int(readable.size()));
    EXPECT_EQ(report.rowsLost.value(QStringLiteral("items")), ItemCount - int(readable.size()));
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("categories")), 2);
    expectRebuiltHolds(readable);
}

TEST_F(RepairTest, ATruncatedFileKeepsTheRowsBeforeTheCut)
{
    fillAndClose();
    const QByteArray bytes = readAll(file.path());
    const std::map<qint64, int> pages = pagesOfItems(bytes, ItemCount);
    const int pageSize = pageSizeOf(bytes);
    const int keptPages = int(bytes.size() / pageSize * 6 / 10);
    writeAll(file.path(), bytes.left(qsizetype(keptPages) * pageSize));

    const RepairReport report = repairDatabase(file.path(), inventorySchemaText());
    EXPECT_EQ(readAll(report.damagedCopy).size(), qsizetype(keptPages) * pageSize);
    std::set<qint64> readable;
    for (const auto &[key, page] : pages) {
        if (page < keptPages)
            readable.insert(key);
    }
    ASSERT_FALSE(readable.empty());
    expectRebuiltHolds(readable);
}

// The first page holds the schema; without it no table can be found (a
// file that lost only its header gets one rebuilt: see the reliability tests).
TEST_F(RepairTest, AZeroedFirstPageGivesTheEmptySchemaAndKeepsTheFileAside)
{
    fillAndClose();
    QByteArray bytes = readAll(file.path());
    bytes.replace(0, pageSizeOf(bytes), QByteArray(pageSizeOf(bytes), '\0'));
    writeAll(file.path(), bytes);
    EXPECT_EQ(errorNumberOf([&] { file.open(); }), DbError::NotDatabase);

    const RepairReport report = repairDatabase(file.path(), inventorySchemaText());
    EXPECT_EQ(readAll(report.damagedCopy), bytes);
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("items"), -1), 0);
    EXPECT_EQ(report.rowsRecovered.value(QStringLiteral("locations"), -1), 0);
    auto db = file.open();
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items")), 0);
    addItem(*db, QStringLiteral("a new start"));
}

// What the repair rebuilds a lost schema from is the delivered schema, and
// the database layer alone has it: a program that links nothing above it
// must not repair with an empty one.
TEST(InventorySchema, IsTheDeliveredOneInTheDatabaseLayer)
{
    EXPECT_FALSE(inventorySchemaSql().isEmpty());
    EXPECT_EQ(inventorySchemaSql(), inventorySchemaText());
}

TEST_F(RepairTest, FailsWithoutTouchingTheFileWhenNothingCanBeBuilt)
{
    EXPECT_EQ(
        errorNumberOf([&] { repairDatabase(file.folder() + QStringLiteral("/missing.db"), inventorySchemaText()); }),
        SQLITE_CANTOPEN);

    QByteArray bytes = readAll(file.path());
    bytes.replace(0, pageSizeOf(bytes), QByteArray(pageSizeOf(bytes), '\0'));
    writeAll(file.path(), bytes);
    EXPECT_EQ(errorNumberOf([&] { repairDatabase(file.path(), QString()); }), DbError::NotDatabase);
    EXPECT_EQ(readAll(file.path()), bytes);
    const QStringList left = QDir(file.folder()).entryList(QDir::Files);
    EXPECT_EQ(left.filter(QStringLiteral(".rebuild")).size() + left.filter(QStringLiteral(".salvage")).size(), 0);
}

// The copy kept aside and the rebuilt file lie in the data folder, which is
// its owner's alone: so are they, whatever the umask.
TEST_F(RepairTest, TheKeptCopyAndTheRebuiltFileAreTheOwnersAlone)
{
    fillAndClose();
    UmaskGuard usual(022);
    const RepairReport report = repairDatabase(file.path(), inventorySchemaText());
    const QStringList open = notPrivate(fileModes(QFileInfo(file.path()).absolutePath()));
    EXPECT_TRUE(open.isEmpty()) << open.join(u' ').toStdString();
    EXPECT_TRUE(QFileInfo::exists(report.damagedCopy));
}
