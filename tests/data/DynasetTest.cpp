#include "TestDatabase.h"

#include "data/DateValue.h"
#include "data/Money.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

static const QString AllItems = QStringLiteral("select * from items order by fold(Item), iteid");

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
    static QStringList descriptions(Recordset &rs)
    {
        QStringList names;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            names << rs.value(QStringLiteral("Item")).toString();
        return names;
    }
    static QVariant item(const Recordset &rs) { return rs.value(QStringLiteral("Item")); }

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
    rs->moveNext();
    rs->addNew();
    const QVariant key = rs->value(QStringLiteral("iteid")); // known before the row is stored
    rs->setValue(QStringLiteral("Item"), QStringLiteral("Aardvark"));
    rs->update();
    EXPECT_EQ(item(*rs), QStringLiteral("Banana")); // back where it was
    EXPECT_EQ(db->scalar(QStringLiteral("select iteid from items where Item = 'Aardvark'")), key);
    EXPECT_EQ(rs->recordCount(), 5);
    // At the end, not in description order, until the statement runs again.
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
    const qint64 c = addItem(*otherDb, QStringLiteral("elsewhere"));
    EXPECT_GT(c, qMax(a, b));
    first->cancelUpdate(); // its number stays used
    first->addNew();
    EXPECT_GT(first->value(QStringLiteral("iteid")).toLongLong(), c);

    // Without a counter row the key follows the largest stored.
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
    EXPECT_FALSE(rs->bof() || rs->eof());
    EXPECT_EQ(errorNumberOf([&] { item(*rs); }), DbError::RecordDeleted);
    rs->moveNext();
    EXPECT_EQ(item(*rs), QStringLiteral("cherry"));
    rs->deleteCurrent();
    rs->movePrevious();
    EXPECT_EQ(item(*rs), QStringLiteral("apple"));

    rs->moveLast(); // Date
    rs->deleteCurrent();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    rs->movePrevious();
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
    EXPECT_EQ(item(*rs), QStringLiteral("Date"));
    rs->moveFirst();
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_EQ(errorNumberOf([&] { rs->movePrevious(); }), DbError::NoCurrentRecord);

    auto none = db->openRecordset(QStringLiteral("select * from items where iteid < 0"), RecordsetType::Dynaset);
    for (auto move : {&Recordset::moveFirst, &Recordset::moveLast, &Recordset::moveNext, &Recordset::movePrevious}) {
        ((*none).*move)();
        EXPECT_TRUE(none->bof() && none->eof());
    }
    EXPECT_EQ(errorNumberOf([&] { none->deleteCurrent(); }), DbError::NoCurrentRecord);
}

TEST_F(DynasetTest, FindFirstSearchesInRecordsetOrderAndKeepsThePositionWithoutMatch)
{
    auto rs = items();
    rs->moveLast();
    rs->findFirst(QStringLiteral("wlike(Item, ?)"), {QStringLiteral("*A*")});
    EXPECT_EQ(item(*rs), QStringLiteral("apple")); // first in order, not in storage
    rs->findFirst(QStringLiteral("iteID = ?"), {keys.value(QStringLiteral("cherry"))});
    EXPECT_EQ(item(*rs), QStringLiteral("cherry"));
    rs->findFirst(QStringLiteral("items.iteid = ?"), {-1});
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(item(*rs), QStringLiteral("cherry"));

    // Rows of the table outside the recordset are not found; rows added through it are.
    addItem(*db, QStringLiteral("outsider"));
    rs->findFirst(QStringLiteral("Item = 'outsider'"));
    EXPECT_TRUE(rs->noMatch());
    rs->addNew();
    rs->setValue(QStringLiteral("Item"), QStringLiteral("insider"));
    rs->update();
    rs->findFirst(QStringLiteral("Item = 'insider'"));
    EXPECT_FALSE(rs->noMatch());

    rs->findFirst(QStringLiteral("substr(Item, 1, 1) = 'D'"));
    EXPECT_EQ(item(*rs), QStringLiteral("Date"));
}

struct ColumnCase {
    const char *column; // in another letter case than the schema, where it has capitals
    QVariant written;
    QVariant read;      // as the recordset gives it back
    const char *stored; // quote() of the stored value
};

TEST_F(DynasetTest, EveryColumnStoresItsKindAndNull)
{
    const Money price = *Money::fromDecimalText(u"1234.5678");
    const ColumnCase cases[] = {
        {"ITEM", QStringLiteral("Lamp"), QStringLiteral("Lamp"), "'Lamp'"},
        {"manufact", QString(""), QString(""), "''"},
        {"model", QStringLiteral("it's \"quoted\""), QStringLiteral("it's \"quoted\""), "'it''s \"quoted\"'"},
        {"purchdate", QDate(1850, 6, 1), QVariant::fromValue(DateValue::fromDate(QDate(1850, 6, 1))), "'1850-06-01'"},
        {"purchprice", QVariant::fromValue(price), QVariant::fromValue(price), "1234.5678"},
        {"estvalue", QStringLiteral("12.5"), QVariant::fromValue(*Money::fromDecimalText(u"12.5")), "12.5"},
        {"quantity", QStringLiteral("7"), 7, "7"},
        // A whole amount is stored as an integer (the column's numeric affinity).
        {"totvalue", 3, QVariant::fromValue(*Money::fromDecimalText(u"3")), "3"},
        {"receipt", true, true, "1"},
        {"wherepurch", QStringLiteral("Ünïcödé"), QStringLiteral("Ünïcödé"), "'Ünïcödé'"},
        {"notes", QStringLiteral("line 1\nline 2"), QStringLiteral("line 1\nline 2"), "'line 1\nline 2'"},
        {"catID", 2, 2, "2"},
        {"locid", qlonglong(1) << 33, qlonglong(1) << 33, "8589934592"},
    };
    auto rs = items();
    rs->addNew();
    const QVariant key = rs->value(QStringLiteral("iteID"));
    for (const ColumnCase &c : cases)
        rs->setValue(QString::fromLatin1(c.column), c.written);
    rs->update();
    rs->findFirst(QStringLiteral("iteid = ?"), {key});
    for (const ColumnCase &c : cases) {
        SCOPED_TRACE(c.column);
        EXPECT_EQ(rs->value(QString::fromLatin1(c.column)), c.read);
        EXPECT_EQ(db->scalar(
                      QStringLiteral("select quote(%1) from items where iteid = ?1").arg(QString::fromLatin1(c.column)),
                      {key}),
                  QString::fromUtf8(c.stored));
    }

    rs->edit();
    for (const ColumnCase &c : cases)
        rs->setValue(QString::fromLatin1(c.column), QVariant());
    rs->update();
    for (const ColumnCase &c : cases)
        EXPECT_TRUE(rs->value(QString::fromLatin1(c.column)).isNull()) << c.column;
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items where iteid = ?1 and coalesce(Item, manufact, "
                                        "purchdate, purchprice, quantity, receipt, Notes, catid, locid) is null"),
                         {key}),
              1);
    EXPECT_EQ(errorNumberOf([&] { rs->value(QStringLiteral("nosuch")); }), DbError::NotInCollection);
}

TEST_F(DynasetTest, RefusesValuesThatCannotStandInTheColumn)
{
    auto rs = items();
    EXPECT_EQ(errorNumberOf([&] { rs->setValue(QStringLiteral("Item"), QStringLiteral("x")); }),
              DbError::NoEditInProgress);
    EXPECT_EQ(errorNumberOf([&] { rs->update(); }), DbError::NoEditInProgress);
    rs->edit();
    const std::pair<const char *, QVariant> refused[] = {
        {"purchprice", QStringLiteral("12,50")},
        {"quantity", QStringLiteral("x")},
        {"quantity", 2.5},
        {"purchdate", QStringLiteral("2023-02-29")},
        {"purchdate", QVariant::fromValue(DateValue(3e6))},
        {"receipt", QStringLiteral("perhaps")},
    };
    for (const auto &entry : refused)
        EXPECT_EQ(errorNumberOf([&] { rs->setValue(QString::fromLatin1(entry.first), entry.second); }),
                  DbError::DataTypeMismatch)
            << entry.first;
    EXPECT_EQ(errorNumberOf([&] { rs->setValue(QStringLiteral("iteid"), 99); }), DbError::FieldNotUpdatable);
}

TEST_F(DynasetTest, AliasesWriteTheirTableColumns)
{
    db->execute(QStringLiteral("insert into categories (catDesc) values ('Tools'), ('Books')"));
    auto codes =
        db->openRecordset(QStringLiteral("Select catid as id, catdesc as descr from categories order by catdesc"),
                          RecordsetType::Dynaset);
    EXPECT_EQ(codes->columnNames(), QStringList({"id", "descr"}));
    codes->findFirst(QStringLiteral("wlike(descr, ?)"), {QStringLiteral("too*")});
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

TEST_F(DynasetTest, StatementsTheKeysCannotSimplyReplaceStillOpen)
{
    db->execute(QStringLiteral("insert into categories (catDesc) values ('b'), ('c'), ('a')"));
    for (const char *sql :
         {"select catid, catDesc as d from categories order by d", "select catid, catDesc from categories order by 2",
          "select catid, catDesc, length(catDesc) * 2 as twice from categories c order by c.catDesc"}) {
        auto rs = db->openRecordset(QString::fromLatin1(sql), RecordsetType::Dynaset);
        QStringList order;
        for (; !rs->eof(); rs->moveNext())
            order << rs->value(1).toString();
        EXPECT_EQ(order, QStringList({"a", "b", "c"})) << sql;
    }
    auto expression = db->openRecordset(QStringLiteral("select catDesc, length(catDesc) * 2 as twice from categories"),
                                        RecordsetType::Dynaset);
    EXPECT_EQ(expression->value(QStringLiteral("twice")), 2);
    expression->edit();
    EXPECT_EQ(errorNumberOf([&] { expression->setValue(QStringLiteral("twice"), 3); }), DbError::FieldNotUpdatable);

    for (const char *sql : {"select i.Item, c.catDesc from items i join categories c using (catid)",
                            "select count(*) from items", "delete from items"})
        EXPECT_EQ(errorNumberOf([&] { db->openRecordset(QString::fromLatin1(sql), RecordsetType::Dynaset); }),
                  SQLITE_ERROR)
            << sql;
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items")), 4);
}

TEST_F(DynasetTest, TwoConnectionsSeeEachOthersWrites)
{
    auto other = file.open();
    auto mine = items();
    auto theirs = other->openRecordset(AllItems, RecordsetType::Dynaset);
    EXPECT_EQ(item(*theirs), QStringLiteral("apple"));

    mine->edit();
    mine->setValue(QStringLiteral("manufact"), QStringLiteral("Orchard"));
    mine->update();
    db->freeLocks();
    theirs->moveNext();
    theirs->movePrevious(); // each move reads the row afresh
    EXPECT_EQ(theirs->value(QStringLiteral("manufact")), QStringLiteral("Orchard"));

    // An edit writes only what it set: a column the other connection changed
    // meanwhile keeps that change.
    theirs->edit();
    other->execute(QStringLiteral("update items set model = 'M1' where iteid = ?1"),
                   {keys.value(QStringLiteral("apple"))});
    theirs->setValue(QStringLiteral("serno"), QStringLiteral("S1"));
    theirs->update();
    EXPECT_EQ(db->scalar(QStringLiteral("select model || serno || manufact from items where Item = 'apple'")),
              QStringLiteral("M1S1Orchard"));

    // A row the other connection deleted reads as deleted and cannot be updated.
    mine->edit();
    mine->setValue(QStringLiteral("model"), QStringLiteral("late"));
    other->execute(QStringLiteral("delete from items where Item in ('apple', 'Banana')"));
    EXPECT_EQ(errorNumberOf([&] { mine->update(); }), DbError::RecordDeleted);
    EXPECT_EQ(mine->editMode(), Recordset::EditMode::Edit);
    mine->moveNext();
    EXPECT_EQ(errorNumberOf([&] { item(*mine); }), DbError::RecordDeleted);
    mine->findFirst(QStringLiteral("substr(Item, 1, 1) = 'B'"));
    EXPECT_TRUE(mine->noMatch());
}

// Opening reads the keys only; a row's columns are read when the recordset
// stands on it. A counting function in the list shows how often it was worked out.
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
    ASSERT_EQ(
        sqlite3_create_function(db->handle(), "counted", 1, SQLITE_UTF8, nullptr, countingFunction, nullptr, nullptr),
        SQLITE_OK);
    listEvaluations = 0;
    auto rs = db->openRecordset(
        QStringLiteral("select iteid, counted(Notes) as n, Item from items order by fold(Item), iteid"),
        RecordsetType::Dynaset);
    EXPECT_EQ(rs->recordCount(), RowCount);
    EXPECT_EQ(listEvaluations, 0);
    rs->moveLast();
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("item 99999"));
    EXPECT_EQ(rs->value(QStringLiteral("n")), QString(200, u'n'));
    EXPECT_EQ(listEvaluations, 1);
}
