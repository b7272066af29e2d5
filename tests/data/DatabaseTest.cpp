#include "TestDatabase.h"

#include "data/DateValue.h"
#include "data/Money.h"
#include "data/Recordset.h"

#include <QFile>
#include <QFileInfo>
#include <QPoint>
#include <gtest/gtest.h>
#include <sqlite3.h>

TEST(Database, OpensOnlyAnExistingSoundFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stowbook.db"));
    try {
        Database::open(path);
        FAIL() << "a missing file was opened";
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), SQLITE_CANTOPEN);
        EXPECT_EQ(error.text(), QStringLiteral("unable to open database file"));
    }
    EXPECT_FALSE(QFileInfo::exists(path)); // never created
    EXPECT_EQ(errorNumberOf([] { Database::open(QString()); }), SQLITE_CANTOPEN);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    EXPECT_EQ(errorNumberOf([&] { Database::open(path); }), DbError::NotDatabase);
    EXPECT_EQ(errorNumberOf([&] { Database::open(path, OpenMode::Exclusive); }), DbError::NotDatabase);
}

struct BindCase {
    const char *name;
    QVariant value;
    const char *storedType; // SQLite's typeof() of the bound value
    QVariant readBack;      // "select ?1" as a raw value
};

TEST(Database, BindsEachKindOfValue)
{
    TestDatabase file;
    auto db = file.open();
    const BindCase cases[] = {
        {"text", QStringLiteral("Füße"), "text", QStringLiteral("Füße")},
        {"64-bit", qlonglong(1) << 40, "integer", qlonglong(1) << 40},
        {"bool", true, "integer", 1},
        {"double", 2.5, "real", 2.5},
        {"money as four decimals", QVariant::fromValue(*Money::fromDecimalText(u"12.3456")), "real", 12.3456},
        {"date value as ISO text", QVariant::fromValue(DateValue(-1.25)), "text",
         QStringLiteral("1899-12-29 06:00:00")},
        {"QDate as ISO text", QDate(2024, 2, 29), "text", QStringLiteral("2024-02-29")},
        {"null", QVariant(), "null", QVariant()},
        {"blob", QByteArray("\0\1\2", 3), "blob", QByteArray("\0\1\2", 3)},
    };
    for (const BindCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(db->scalar(QStringLiteral("select typeof(?1)"), {c.value}).toString(),
                  QString::fromLatin1(c.storedType));
        EXPECT_EQ(db->scalar(QStringLiteral("select ?1"), {c.value}), c.readBack);
    }
    // A value SQLite cannot hold is refused, not turned into something else.
    EXPECT_EQ(errorNumberOf([&] { db->execute(QStringLiteral("select ?1"), {QPoint(1, 2)}); }), SQLITE_MISMATCH);
    EXPECT_EQ(errorNumberOf([&] { db->scalar(QStringLiteral("select ?1"), {QVariant::fromValue(DateValue(3e6))}); }),
              SQLITE_MISMATCH);
}

TEST(Database, RunsScriptsAndSingleStatementsWithValues)
{
    TestDatabase file;
    auto db = file.open();
    db->execute(QStringLiteral(
        "insert into categories (catDesc) values ('a'); insert into categories (catDesc) values ('b');"));
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from categories")), 2);
    for (int i = 0; i < 100; ++i) // one text, other values each time
        db->execute(QStringLiteral("insert into locations (locDesc) values (?1)"), {QStringLiteral("room %1").arg(i)});
    EXPECT_EQ(db->scalar(QStringLiteral("select locDesc from locations where locid = ?1"), {100}),
              QStringLiteral("room 99"));
    EXPECT_EQ(db->scalar(QStringLiteral("select purchprice from items")), QVariant());

    EXPECT_EQ(errorNumberOf([&] { db->execute(QStringLiteral("select 1; select 2"), {1}); }), SQLITE_MISUSE);
    EXPECT_EQ(errorNumberOf([&] { db->execute(QStringLiteral("select ?1"), {1, 2}); }), SQLITE_RANGE);
    try {
        db->execute(QStringLiteral("select nosuchcolumn from items"));
        FAIL();
    } catch (const DbError &error) {
        EXPECT_EQ(error.number(), SQLITE_ERROR);
        EXPECT_EQ(error.text(), QStringLiteral("no such column: nosuchcolumn"));
    }
}

TEST(Database, WildcardAndFoldFunctionsAreOnEveryConnection)
{
    TestDatabase file;
    auto db = file.open();
    for (const char *name : {"Äpfel", "Cherry", "apple", "Banana", "äpfelchen"})
        addItem(*db, QString::fromUtf8(name));
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items where wlike(Item, ?1)"), {QStringLiteral("ÄPF*")}),
              2);
    EXPECT_EQ(db->scalar(QStringLiteral("select wlike(null, '*') is null and wlike('a', null) is null")), 1);
    EXPECT_EQ(db->scalar(QStringLiteral("select fold('ÄPFEL') || typeof(fold(5)) || coalesce(fold(null), '-')")),
              QStringLiteral("äpfelinteger-"));
    EXPECT_EQ(db->scalar(QStringLiteral("select group_concat(Item, '|') from "
                                        "(select Item from items where Item < 'z' order by fold(Item))")),
              QStringLiteral("apple|Banana|Cherry"));
}

TEST(Database, TransactionRollsBackUnlessCommitted)
{
    TestDatabase file;
    auto db = file.open();
    {
        Transaction transaction(*db);
        addItem(*db, QStringLiteral("kept"));
        transaction.commit();
    }
    {
        Transaction transaction(*db);
        addItem(*db, QStringLiteral("dropped"));
    }
    EXPECT_EQ(db->scalar(QStringLiteral("select group_concat(Item) from items")), QStringLiteral("kept"));

    // One inside another is a part of it: kept or dropped with the outer
    // one, and dropped alone when it is not committed.
    {
        Transaction outer(*db);
        addItem(*db, QStringLiteral("outer"));
        {
            Transaction inner(*db);
            addItem(*db, QStringLiteral("inner dropped"));
        }
        {
            Transaction inner(*db);
            addItem(*db, QStringLiteral("inner"));
            inner.commit();
        }
        outer.commit();
    }
    {
        Transaction outer(*db);
        Transaction inner(*db);
        addItem(*db, QStringLiteral("inner committed, outer dropped"));
        inner.commit();
    }
    EXPECT_EQ(db->scalar(QStringLiteral("select group_concat(Item, '|') from items")),
              QStringLiteral("kept|outer|inner"));
}

TEST(Database, CloseEndsEveryRecordsetOfTheDatabase)
{
    TestDatabase file;
    auto db = file.open();
    addItem(*db, QStringLiteral("x"));
    auto items = db->openRecordset(QStringLiteral("select * from items"), RecordsetType::Dynaset);
    auto copy = db->openRecordset(QStringLiteral("select * from items"), RecordsetType::Snapshot);
    db->close();
    EXPECT_FALSE(db->isOpen());
    EXPECT_FALSE(items->isOpen());
    EXPECT_EQ(errorNumberOf([&] { items->moveNext(); }), DbError::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { copy->value(0); }), DbError::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { db->execute(QStringLiteral("select 1")); }), DbError::ObjectClosed);
    EXPECT_EQ(errorNumberOf([&] { db->openRecordset(QStringLiteral("select 1"), RecordsetType::Snapshot); }),
              DbError::ObjectClosed);
    items.reset(); // a closed recordset outliving its database's close is harmless
}

// A statement stopped part way keeps a read open, which blocks a full
// checkpoint by another connection until the locks are freed.
TEST(Database, FreeLocksEndsReadsLeftOpen)
{
    TestDatabase file;
    auto reader = file.open();
    auto writer = file.open();
    for (int i = 0; i < 3; ++i)
        addItem(*writer, QStringLiteral("item %1").arg(i));
    sqlite3_stmt *pending = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(reader->handle(), "select * from items", -1, &pending, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(pending), SQLITE_ROW);
    addItem(*writer, QStringLiteral("after the read began"));

    auto checkpointBlocked = [&] {
        sqlite3_stmt *checkpoint = nullptr;
        sqlite3_prepare_v2(writer->handle(), "PRAGMA wal_checkpoint(TRUNCATE)", -1, &checkpoint, nullptr);
        sqlite3_step(checkpoint);
        const bool busy = sqlite3_column_int(checkpoint, 0) != 0;
        sqlite3_finalize(checkpoint);
        return busy;
    };
    writer->setBusyTimeout(0);
    EXPECT_TRUE(checkpointBlocked());
    reader->freeLocks();
    EXPECT_FALSE(checkpointBlocked());
    sqlite3_finalize(pending);
}
