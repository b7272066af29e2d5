#include "TestDatabase.h"

#include "LockHolder.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>

TEST(Locking, ExclusiveAndSharedOpensKeepEachOtherOut)
{
    TestDatabase file;
    {
        auto exclusive = file.open(OpenMode::Exclusive);
        EXPECT_EQ(errorNumberOf([&] { file.open(OpenMode::Shared); }), DbError::InUse);
        EXPECT_EQ(errorNumberOf([&] { file.open(OpenMode::Exclusive); }), DbError::InUse);
        // The holder itself works normally.
        addItem(*exclusive, QStringLiteral("mine alone"));
        EXPECT_EQ(exclusive->scalar(QStringLiteral("select count(*) from items")), 1);
    }
    {
        auto shared = file.open(OpenMode::Shared);
        auto another = file.open(OpenMode::Shared);
        EXPECT_EQ(errorNumberOf([&] { file.open(OpenMode::Exclusive); }), DbError::InUse);
    }
    EXPECT_NO_THROW(file.open(OpenMode::Exclusive));
}

class WriteLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db = file.open();
        addItem(*db, QStringLiteral("first"));
        addItem(*db, QStringLiteral("second"));
        db->setBusyTimeout(5);
        rs = db->openRecordset(QStringLiteral("select * from items order by iteid"), RecordsetType::Dynaset);
    }
    TestDatabase file;
    std::unique_ptr<Database> db;
    std::unique_ptr<Recordset> rs;
};

// Every write meets the lock as 3260 and can simply be tried again, with
// nothing of the recordset's state lost, once the lock is gone.
TEST_F(WriteLockTest, WritesMeetingALockFailWith3260AndCanBeRetried)
{
    auto other = file.open();
    other->execute(QStringLiteral("BEGIN IMMEDIATE"));

    rs->edit();
    rs->setValue(QStringLiteral("model"), QStringLiteral("M"));
    EXPECT_EQ(errorNumberOf([&] { rs->update(); }), DbError::RecordLocked);
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::Edit);
    EXPECT_EQ(rs->value(QStringLiteral("model")), QStringLiteral("M"));

    EXPECT_EQ(errorNumberOf([&] { rs->addNew(); }), DbError::RecordLocked);
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::Edit);
    EXPECT_EQ(errorNumberOf([&] { Transaction t(*db); }), DbError::RecordLocked);
    EXPECT_EQ(errorNumberOf([&] { db->execute(QStringLiteral("delete from items")); }), DbError::RecordLocked);

    other->execute(QStringLiteral("ROLLBACK"));
    rs->update();
    EXPECT_EQ(db->scalar(QStringLiteral("select model from items where Item = 'first'")), QStringLiteral("M"));

    rs->moveLast();
    other->execute(QStringLiteral("BEGIN IMMEDIATE"));
    EXPECT_EQ(errorNumberOf([&] { rs->deleteCurrent(); }), DbError::RecordLocked);
    EXPECT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->value(QStringLiteral("Item")), QStringLiteral("second"));
    other->execute(QStringLiteral("ROLLBACK"));
    rs->deleteCurrent();
    EXPECT_EQ(db->scalar(QStringLiteral("select count(*) from items")), 1);
}

// The same with a real second program on the file.
TEST_F(WriteLockTest, AnotherProgramHoldingTheFile)
{
    {
        LockHolder other(LockHolder::Role::WriteLock, file.path());
        rs->edit();
        rs->setValue(QStringLiteral("serno"), QStringLiteral("S"));
        EXPECT_EQ(errorNumberOf([&] { rs->update(); }), DbError::RecordLocked);
        // It has the file open: this program cannot have it alone.
        EXPECT_EQ(errorNumberOf([&] { file.open(OpenMode::Exclusive); }), DbError::InUse);
        other.release();
        rs->update();
        EXPECT_EQ(db->scalar(QStringLiteral("select serno from items where Item = 'first'")), QStringLiteral("S"));
    }
    rs.reset();
    db.reset();
    LockHolder other(LockHolder::Role::Exclusive, file.path());
    EXPECT_EQ(errorNumberOf([&] { file.open(OpenMode::Shared); }), DbError::InUse);
    other.release();
    EXPECT_EQ(file.open()->scalar(QStringLiteral("select count(*) from items")), 2);
}
