#include "TestDatabase.h"

#include "data/DateValue.h"
#include "data/Money.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

static const QString AllItems = QStringLiteral("select * from items order by fold(Item), iteid");
static const QString CodesStatement =
    QStringLiteral("Select catid as id, catdesc as descr from categories order by catdesc");

static int errorNumberOf(const std::function<void()> &step)
{
    try {
        step();
    } catch (const DbError &error) {
        return error.number();
    }
    return 0;
}

class DynasetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = file.open();
        // Stored in another order than the recordset's, which ignores case.
        for (const char *name : {"cherry", "Banana", "apple", "Date"})
            keys[QString::fromLatin1(name)] = addItem(*db, QString::fromLatin1(name));
    }
    std::unique_ptr<Recordset> items() { return db->openRecordset(AllItems, RecordsetType::Dynaset); }
    QStringList descriptions(Recordset &rs)
    {
        QStringList names;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            names << rs.value(QStringLiteral("Item")).toString();
        return names;
    }

    TestDatabase file;
    std::unique_ptr<Database> db;
    QHash<QString, qint64> keys;
};

TEST_F(DynasetTest, KeepsStatementOrderAndAppendsAddedRows)
{
    auto rs = items();
    EXPECT_EQ(rs->recordCount(), 4);
    EXPECT_EQ(descriptions(*rs), QStringList({"apple", "Banana", "cherry", "Date"}));

    rs->moveFirst();
    rs->moveNext(); // on Banana
    rs->addNew();
    const QVariant key = rs->value(QStringLiteral("iteid"));
    ASSERT_EQ(key.typeId(), QMetaType::Int);
    rs->setValue(QStringLiteral("Item"), QStringLiteral("Aardvark"));
    rs->update();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("Banana")); // back where it was
    EXPECT_EQ(db->scalar(QStringLiteral("select iteid from items where Item = 'Aardvark'")), key);
    EXPECT_EQ(rs->recordCount(), 5);
    // Added at the end, not in description order, until the statement is run again.
    EXPECT_EQ(descriptions(*rs).last(), QStringLiteral("Aardvark"));
    EXPECT_EQ(descriptions(*items()).first(), QStringLiteral("Aardvark"));
}

TEST_F(DynasetTest, ReservedKeysAreNeverHandedOutTwice)
{
    auto first = items();
    auto otherDb = file.open();
    auto second = otherDb->openRecordset(AllItems, RecordsetType::Dynaset);
    first->addNew();
    second->addNew();
    const qint64 a = first->value(QStringLiteral("iteid")).toLongLong();
    const qint64 b = second->value(QStringLiteral("iteid")).toLongLong();
    EXPECT_NE(a, b);
    // Another program inserting on its own takes a number after both.
    const qint64 c = addItem(*otherDb, QStringLiteral("elsewhere"));
    EXPECT_GT(c, qMax(a, b));
    // A cancelled addition uses its number up.
    first->cancelUpdate();
    first->addNew();
    EXPECT_GT(first->value(QStringLiteral("iteid")).toLongLong(), c);
    second->setValue(QStringLiteral("Item"), QStringLiteral("second"));
    second->update();
    EXPECT_EQ(db->scalar(QStringLiteral("select Item from items where iteid = ?1"), {b}), QStringLiteral("second"));

    // Without a counter row, the key follows the largest one stored.
    db->execute(QStringLiteral("delete from sqlite_sequence"));
    db->execute(QStringLiteral("insert into items (iteid, Item) values (1000, 'far')"));
    db->execute(QStringLiteral("delete from sqlite_sequence"));
    first->addNew();
    EXPECT_EQ(first->value(QStringLiteral("iteid")), 1001);
}

TEST_F(DynasetTest, DeleteLeavesAGapThatMovesStepOutOf)
{
    auto rs = items();
    rs->moveFirst();
    rs->moveNext(); // Banana
    rs->deleteCurrent();
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_FALSE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(errorNumberOf([&] { rs->value(QStringLiteral("Item")); }), DbError::RecordDeleted);
    rs->moveNext();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("cherry"));
    rs->deleteCurrent();
    rs->movePrevious();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("apple"));

    rs->moveLast(); // Date
    rs->deleteCurrent();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    rs->movePrevious();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("apple"));
    rs->deleteCurrent();
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_TRUE(rs->bof() && rs->eof());
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items")), 0);
}

TEST_F(DynasetTest, MovesStopAtTheEndsAndAnEmptyRecordsetIsAtBoth)
{
    auto rs = items();
    rs->moveLast();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(errorNumberOf([&] { rs->value(0); }), DbError::NoCurrentRecord);
    EXPECT_EQ(errorNumberOf([&] { rs->moveNext(); }), DbError::NoCurrentRecord);
    rs->movePrevious();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("Date"));
    rs->moveFirst();
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_EQ(errorNumberOf([&] { rs->movePrevious(); }), DbError::NoCurrentRecord);

    auto none = db->openRecordset(QStringLiteral("select * from items where iteid < 0"), RecordsetType::Dynaset);
    EXPECT_EQ(none->recordCount(), 0);
    for (auto move : {&Recordset::moveFirst, &Recordset::moveLast, &Recordset::moveNext, &Recordset::movePrevious}) {
        ((*none).*move)();
        EXPECT_TRUE(none->bof());
        EXPECT_TRUE(none->eof());
    }
    EXPECT_EQ(errorNumberOf([&] { none->deleteCurrent(); }), DbError::NoCurrentRecord);
    EXPECT_EQ(errorNumberOf([&] { none->edit(); }), DbError::NoCurrentRecord);
}

TEST_F(DynasetTest, FindFirstSearchesInRecordsetOrderAndKeepsThePositionWithoutMatch)
{
    auto rs = items();
    rs->moveLast();
    rs->findFirst(QStringLiteral("wlike(Item, ?)"), {QStringLiteral("*A*")});
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("apple")); // first in order, not in storage

    rs->findFirst(QStringLiteral("iteID = ?"), {keys.value(QStringLiteral("cherry"))});
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("cherry"));
    rs->findFirst(QStringLiteral("iteID = ?"), {-1});
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("cherry"));

    // Rows of the table outside the recordset are not found; rows added through it are.
    addItem(*db, QStringLiteral("outsider"));
    rs->findFirst(QStringLiteral("Item = 'outsider'"));
    EXPECT_TRUE(rs->noMatch());
    rs->addNew();
    rs->setValue(QStringLiteral("Item"), QStringLiteral("insider"));
    rs->update();
    rs->findFirst(QStringLiteral("Item = 'insider'"));
    EXPECT_FALSE(rs->noMatch());

    rs->findFirst([](const Recordset &row) { return row.value(QStringLiteral("Item")).toString().startsWith(u'D'); });
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("Date"));
}

TEST_F(DynasetTest, ColumnNamesIgnoreCase)
{
    auto rs = items();
    rs->moveFirst();
    for (const char *name : {"Item", "item", "ITEM"})
        EXPECT_EQ(rs->value(QString::fromLatin1(name)), QStringLiteral("apple")) << name;
    EXPECT_EQ(rs->value(QStringLiteral("iteID")), rs->value(QStringLiteral("iteid")));
    rs->edit();
    rs->setValue(QStringLiteral("notes"), QStringLiteral("lower case"));
    rs->setValue(QStringLiteral("CATID"), 7);
    rs->update();
    EXPECT_EQ(rs->value(QStringLiteral("Notes")), QStringLiteral("lower case"));
    EXPECT_EQ(rs->value(QStringLiteral("catID")), 7);
    EXPECT_EQ(errorNumberOf([&] { rs->value(QStringLiteral("nosuch")); }), DbError::NotInCollection);
    EXPECT_EQ(errorNumberOf([&] { rs->value(99); }), DbError::NotInCollection);
}

struct ColumnCase {
    const char *column;
    QVariant written;
    QVariant read;        // as the recordset gives it back
    const char *stored;   // quote() of the stored value
};

TEST_F(DynasetTest, EveryColumnStoresItsKindAndNull)
{
    const Money price = *Money::fromDecimalText(u"1234.5678");
    const ColumnCase cases[] = {
        {"Item", QStringLiteral("Lamp"), QStringLiteral("Lamp"), "'Lamp'"},
        {"manufact", QString(""), QString(""), "''"},
        {"model", QStringLiteral("it's \"quoted\""), QStringLiteral("it's \"quoted\""), "'it''s \"quoted\"'"},
        {"serno", QStringLiteral("SN-1"), QStringLiteral("SN-1"), "'SN-1'"},
        {"purchdate", QDate(1850, 6, 1), QVariant::fromValue(DateValue::fromDate(QDate(1850, 6, 1))), "'1850-06-01'"},
        {"purchprice", QVariant::fromValue(price), QVariant::fromValue(price), "1234.5678"},
        {"estvalue", QStringLiteral("12.5"), QVariant::fromValue(*Money::fromDecimalText(u"12.5")), "12.5"},
        {"quantity", QStringLiteral("7"), 7, "7"},
        // A whole amount is stored as an integer (the column's numeric affinity).
        {"totvalue", 3, QVariant::fromValue(*Money::fromDecimalText(u"3")), "3"},
        {"receipt", true, true, "1"},
        {"wherepurch", QStringLiteral("Ünïcödé"), QStringLiteral("Ünïcödé"), "'Ünïcödé'"},
        {"misc1", QStringLiteral("m"), QStringLiteral("m"), "'m'"},
        {"Notes", QStringLiteral("line 1\nline 2"), QStringLiteral("line 1\nline 2"), "'line 1\nline 2'"},
        {"catid", 2, 2, "2"},
        {"locid", qlonglong(1) << 33, qlonglong(1) << 33, "8589934592"},
    };
    auto rs = items();
    rs->addNew();
    const QVariant key = rs->value(QStringLiteral("iteid"));
    for (const ColumnCase &c : cases)
        rs->setValue(QString::fromLatin1(c.column), c.written);
    rs->update();
    rs->findFirst(QStringLiteral("iteid = ?"), {key});
    ASSERT_FALSE(rs->noMatch());
    for (const ColumnCase &c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(rs->value(QString::fromLatin1(c.column)), c.read);
        EXPECT_EQ(db->scalar(QStringLiteral("select quote(%1) from items where iteid = ?1").arg(QString::fromLatin1(c.column)),
                             {key}),
                  QString::fromUtf8(c.stored));
    }

    rs->edit();
    for (const ColumnCase &c : cases)
        rs->setValue(QString::fromLatin1(c.column), QVariant());
    rs->update();
    for (const ColumnCase &c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_TRUE(rs->value(QString::fromLatin1(c.column)).isNull());
        EXPECT_TRUE(db->scalar(QStringLiteral("select %1 from items where iteid = ?1").arg(QString::fromLatin1(c.column)),
                               {key}).isNull());
    }
}

TEST_F(DynasetTest, RefusesValuesThatCannotStandInTheColumn)
{
    auto rs = items();
    rs->moveFirst();
    EXPECT_EQ(errorNumberOf([&] { rs->setValue(QStringLiteral("Item"), QStringLiteral("x")); }),
              DbError::NoEditInProgress);
    EXPECT_EQ(errorNumberOf([&] { rs->update(); }), DbError::NoEditInProgress);
    rs->edit();
    const std::pair<const char *, QVariant> refused[] = {
        {"purchprice", QStringLiteral("12,50")},
        {"purchprice", QStringLiteral("abc")},
        {"quantity", QStringLiteral("x")},
        {"quantity", 2.5},
        {"purchdate", QStringLiteral("2023-02-29")},
        {"purchdate", QVariant::fromValue(DateValue(3e6))},
        {"receipt", QStringLiteral("perhaps")},
    };
    for (const auto &[column, value] : refused) {
        SCOPED_TRACE(column);
        EXPECT_EQ(errorNumberOf([&] { rs->setValue(QString::fromLatin1(column), value); }), DbError::DataTypeMismatch);
    }
    EXPECT_EQ(errorNumberOf([&] { rs->setValue(QStringLiteral("iteid"), 99); }), DbError::FieldNotUpdatable);
    rs->update(); // nothing was set: nothing changes
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("apple"));
}

TEST_F(DynasetTest, AliasesWriteTheirTableColumns)
{
    db->execute(QStringLiteral("insert into categories (catDesc) values ('Tools'), ('Books')"));
    auto codes = db->openRecordset(CodesStatement, RecordsetType::Dynaset);
    ASSERT_EQ(codes->recordCount(), 2);
    EXPECT_EQ(codes->columnNames(), QStringList({"id", "descr"}));
    codes->findFirst(QStringLiteral("wlike(descr, ?)"), {QStringLiteral("too*")});
    ASSERT_FALSE(codes->noMatch());
    const QVariant id = codes->value(QStringLiteral("id"));
    codes->edit();
    codes->setValue(QStringLiteral("descr"), QStringLiteral("Garden tools"));
    codes->update();
    EXPECT_EQ(db->scalar(QStringLiteral("select catDesc from categories where catid = ?1"), {id}),
              QStringLiteral("Garden tools"));

    codes->addNew();
    const QVariant newId = codes->value(QStringLiteral("ID"));
    codes->setValue(QStringLiteral("descr"), QStringLiteral("Kitchen"));
    codes->update();
    codes->findFirst(QStringLiteral("id = ?"), {newId});
    EXPECT_EQ(codes->value(QStringLiteral("descr")), QStringLiteral("Kitchen"));
    EXPECT_EQ(db->scalar(QStringLiteral("select catDesc from categories where catid = ?1"), {newId}),
              QStringLiteral("Kitchen"));
}

TEST_F(DynasetTest, OrderByAListAliasOrColumnNumberStillOpens)
{
    db->execute(QStringLiteral("insert into categories (catDesc) values ('b'), ('c'), ('a')"));
    for (const char *sql : {"select catid, catDesc as d from categories order by d",
                            "select catid, catDesc from categories order by 2",
                            "select catid, catDesc, length(catDesc) * 2 as twice from categories c order by c.catDesc"}) {
        SCOPED_TRACE(sql);
        auto rs = db->openRecordset(QString::fromLatin1(sql), RecordsetType::Dynaset);
        QStringList order;
        for (; !rs->eof(); rs->moveNext())
            order << rs->value(1).toString();
        EXPECT_EQ(order, QStringList({"a", "b", "c"}));
    }
    auto withExpression = db->openRecordset(QStringLiteral("select catDesc, length(catDesc) * 2 as twice from categories"),
                                            RecordsetType::Dynaset);
    EXPECT_EQ(withExpression->value(QStringLiteral("twice")), 2);
    withExpression->edit();
    EXPECT_EQ(errorNumberOf([&] { withExpression->setValue(QStringLiteral("twice"), 3); }), DbError::FieldNotUpdatable);

    EXPECT_EQ(errorNumberOf([&] {
                  db->openRecordset(QStringLiteral("select i.Item, c.catDesc from items i join categories c using (catid)"),
                                    RecordsetType::Dynaset);
              }),
              SQLITE_ERROR);
    EXPECT_EQ(errorNumberOf([&] { db->openRecordset(QStringLiteral("select count(*) from items"), RecordsetType::Dynaset); }),
              SQLITE_ERROR);
}

TEST_F(DynasetTest, TwoConnectionsSeeEachOthersWrites)
{
    auto other = file.open();
    auto mine = items();
    auto theirs = other->openRecordset(AllItems, RecordsetType::Dynaset);
    mine->moveFirst();
    theirs->moveFirst();
    EXPECT_EQ(theirs->value(QStringLiteral("Item")), QStringLiteral("apple"));

    mine->edit();
    mine->setValue(QStringLiteral("manufact"), QStringLiteral("Orchard"));
    mine->update();
    db->freeLocks();
    theirs->moveNext();
    theirs->movePrevious(); // each move reads the row afresh
    EXPECT_EQ(theirs->value(QStringLiteral("manufact")), QStringLiteral("Orchard"));

    // An edit writes only what it set, so a column changed meanwhile by the
    // other connection survives.
    theirs->edit();
    other->execute(QStringLiteral("update items set model = 'M1' where iteid = ?1"), {keys.value(QStringLiteral("apple"))});
    theirs->setValue(QStringLiteral("serno"), QStringLiteral("S1"));
    theirs->update();
    EXPECT_EQ(db->scalar(QStringLiteral("select model || '/' || serno || '/' || manufact from items where Item = 'apple'")),
              QStringLiteral("M1/S1/Orchard"));
}

TEST_F(DynasetTest, RowsDeletedByAnotherConnectionReadAsDeleted)
{
    auto other = file.open();
    auto rs = items();
    rs->moveFirst();
    rs->edit();
    rs->setValue(QStringLiteral("model"), QStringLiteral("late"));
    other->execute(QStringLiteral("delete from items where Item = 'apple'"));
    EXPECT_EQ(errorNumberOf([&] { rs->update(); }), DbError::RecordDeleted);
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::Edit);
    rs->cancelUpdate();

    other->execute(QStringLiteral("delete from items where Item = 'Banana'"));
    rs->moveNext();
    EXPECT_EQ(errorNumberOf([&] { rs->value(QStringLiteral("Item")); }), DbError::RecordDeleted);
    rs->findFirst([](const Recordset &row) { return row.value(QStringLiteral("Item")).toString().startsWith(u'B'); });
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->recordCount(), 4); // until reopened
    rs->deleteCurrent(); // already gone: it leaves the recordset all the same
    EXPECT_EQ(rs->recordCount(), 3);
}

// Opening reads the keys only: the columns of a row are read when the
// recordset stands on it. A counting function in the list shows how often
// the list was worked out.
static int listEvaluations = 0;
static void countingFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    ++listEvaluations;
    sqlite3_result_value(context, argv[0]);
}

TEST(LargeDynaset, OpeningReadsOnlyTheKeys)
{
    TestDatabase file;
    auto db = file.open();
    constexpr int RowCount = 100000;
    {
        Transaction transaction(*db);
        for (int i = 0; i < RowCount; ++i)
            db->execute(QStringLiteral("insert into items (Item, Notes) values (?1, ?2)"),
                        {QStringLiteral("item %1").arg(RowCount - i), QString(200, u'n')});
        transaction.commit();
    }
    ASSERT_EQ(sqlite3_create_function(db->handle(), "counted", 1, SQLITE_UTF8, nullptr, countingFunction, nullptr,
                                      nullptr),
              SQLITE_OK);
    listEvaluations = 0;
    auto rs = db->openRecordset(QStringLiteral("select iteid, counted(Notes) as n, Item from items order by fold(Item), iteid"),
                                RecordsetType::Dynaset);
    EXPECT_EQ(rs->recordCount(), RowCount);
    EXPECT_EQ(listEvaluations, 0);
    rs->moveLast();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("item 99999"));
    EXPECT_EQ(rs->value(QStringLiteral("n")), QString(200, u'n'));
    EXPECT_EQ(listEvaluations, 1);

    auto all = db->openRecordset(QStringLiteral("select * from items order by fold(Item), iteid"), RecordsetType::Dynaset);
    EXPECT_EQ(all->recordCount(), RowCount);
    all->findFirst(QStringLiteral("Item = ?"), {QStringLiteral("item 50000")});
    EXPECT_EQ(all->value(QStringLiteral("iteid")), RowCount - 50000 + 1);
}
