#include "TestDatabase.h"

#include "data/DateValue.h"
#include "data/Money.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = file.open();
        db->execute(QStringLiteral("insert into categories (catDesc) values ('Tools')"));
        db->execute(QStringLiteral("insert into items (Item, serno, purchprice, purchdate, receipt, catid) values "
                                   "('Saw', 'S-1', 19.99, '2020-05-01', 1, 1), ('Hammer', null, 5, null, 0, 1), "
                                   "('Vase', '', 120.5, '1890-01-02', 0, null)"));
    }
    TestDatabase file;
    std::unique_ptr<Database> db;
};

TEST_F(SnapshotTest, CopiesTheRowsAtOpen)
{
    auto rs = db->openRecordset(QStringLiteral("select * from items order by Item"), RecordsetType::Snapshot);
    db->execute(QStringLiteral("delete from items where Item = 'Hammer'"));
    db->execute(QStringLiteral("update items set Item = 'Jug' where Item = 'Vase'"));
    EXPECT_EQ(rs->recordCount(), 3);
    QStringList names;
    for (; !rs->eof(); rs->moveNext())
        names << rs->value(QStringLiteral("item")).toString();
    EXPECT_EQ(names, QStringList({"Hammer", "Saw", "Vase"}));

    rs->moveFirst();
    EXPECT_EQ(errorNumberOf([&] { rs->edit(); }), DbError::ReadOnly);
    EXPECT_EQ(errorNumberOf([&] { rs->addNew(); }), DbError::ReadOnly);
    EXPECT_EQ(errorNumberOf([&] { rs->deleteCurrent(); }), DbError::ReadOnly);
}

TEST_F(SnapshotTest, ReadsDeclaredKindsAndExpressionsAsStored)
{
    auto rs = db->openRecordset(QStringLiteral("select i.Item, i.purchprice, i.purchdate, i.receipt, c.catDesc "
                                               "from items i left join categories c on i.catid = c.catid "
                                               "where coalesce(i.serno, '') <> '' order by i.Item"),
                                RecordsetType::Snapshot);
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value(QStringLiteral("purchprice")).value<Money>(), *Money::fromDecimalText(u"19.99"));
    EXPECT_EQ(rs->value(QStringLiteral("purchdate")).value<DateValue>().date(), QDate(2020, 5, 1));
    EXPECT_EQ(rs->value(QStringLiteral("receipt")), QVariant(true));
    EXPECT_EQ(rs->value(QStringLiteral("catdesc")), QStringLiteral("Tools"));

    auto sums = db->openRecordset(QStringLiteral("select count(*) as n, sum(purchprice) as total from items"),
                                  RecordsetType::Snapshot);
    EXPECT_EQ(sums->value(QStringLiteral("n")), 3);
    EXPECT_EQ(sums->value(QStringLiteral("total")).typeId(), QMetaType::Double);
}

TEST_F(SnapshotTest, FindFirstTestsTheCopiedRows)
{
    auto rs = db->openRecordset(QStringLiteral("select Item as name, purchprice, purchdate from items order by Item"),
                                RecordsetType::Snapshot);
    rs->moveLast();
    rs->findFirst(QStringLiteral("purchprice > ?"), {10});
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value(QStringLiteral("name")), QStringLiteral("Saw"));
    rs->findFirst(QStringLiteral("purchdate < ?"), {QDate(1900, 1, 1)});
    EXPECT_EQ(rs->value(QStringLiteral("NAME")), QStringLiteral("Vase"));
    rs->findFirst(QStringLiteral("wlike(name, 'h*')"));
    EXPECT_EQ(rs->value(QStringLiteral("name")), QStringLiteral("Hammer"));
    rs->findFirst(QStringLiteral("name = 'nothing'"));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value(QStringLiteral("name")), QStringLiteral("Hammer"));
    rs->findFirst(QStringLiteral("purchdate is null"));
    EXPECT_EQ(rs->value(QStringLiteral("name")), QStringLiteral("Hammer"));
    EXPECT_EQ(errorNumberOf([&] { rs->findFirst(QStringLiteral("nosuch = 1")); }), SQLITE_ERROR);
}
