#include "LockHolder.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Inventory.h"
#include "program/Household.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class HandleDbErrorTest : public ::testing::Test {
protected:
    TestDataFolder folder{SetupOptions{.demo = true}};
    ScriptedPrompts prompts;
    Household household{folder.path()};
};

int countItems(Database &db)
{
    return db.scalar(QStringLiteral("select count(*) from items")).toInt();
}

} // namespace

TEST_F(HandleDbErrorTest, AnyOtherFailureShowsNumberTwoBlanksAndTextThenGoesOn)
{
    bool nextStepRan = false;
    household.trapDb([this] { Database::open(folder.file(QStringLiteral("no-such.db"))); });
    nextStepRan = true;
    EXPECT_TRUE(nextStepRan);
    ASSERT_EQ(prompts.messages().size(), 1u);
    const auto shown = prompts.messages().front();
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("14  "))) << shown.text.toStdString();
    EXPECT_EQ(shown.title, ProgramTitle);
    EXPECT_EQ(shown.buttons, Prompts::Buttons::Ok);
    EXPECT_EQ(shown.icon, Prompts::Icon::None);
}

// The caller finds no file chosen and skips its file; nothing is said.
TEST_F(HandleDbErrorTest, ACancelledFileDialogIsTrappedWithoutAWord)
{
    bool nextStepRan = false;
    household.trapDb([] { throw DbError(DbError::DialogCancelled, QStringLiteral("Cancel was selected.")); });
    nextStepRan = true;
    EXPECT_TRUE(nextStepRan);
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(HandleDbErrorTest, AFileHeldExclusivelyByAnotherProgramEndsTheProgram)
{
    LockHolder other(LockHolder::Role::Exclusive, folder.file(InventoryFileName));
    EXPECT_THROW(household.trapDb([&] { household.openInventory(); }), ProgramEnded);
    ASSERT_EQ(prompts.messages().size(), 1u);
    const auto shown = prompts.messages().front();
    EXPECT_EQ(shown.text,
              QStringLiteral("The database is in use.  You are attempting to run the non-network version "
                             "in a network environment.  The program will exit."));
    EXPECT_EQ(shown.title, QStringLiteral("Database File Already In Use"));
    EXPECT_EQ(shown.icon, Prompts::Icon::None);
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::End), 1);
}

// A write that meets another program's lock: 99 silent tries, then the
// question after the hundredth failure; Yes gives 99 more, and once the other
// program lets go the write goes through.
TEST_F(HandleDbErrorTest, ALockedRecordIsRetriedThenAskedAboutAndStoredOnceFree)
{
    household.openInventory();
    household.dbInventory()->setBusyTimeout(1);
    auto items = household.dbInventory()->openRecordset(ItemsStatement, RecordsetType::Dynaset);
    items->moveFirst();
    const QVariant key = items->value(QStringLiteral("iteid"));

    LockHolder other(LockHolder::Role::WriteLock, folder.file(InventoryFileName));
    int attempts = 0;
    prompts.answer(Prompts::Answer::Yes);
    prompts.answerWith([&](const ScriptedPrompts::Call &) {
        other.release();
        return Prompts::Answer::Yes;
    });
    items->edit();
    items->setValue(QStringLiteral("manufact"), QStringLiteral("Changed While Locked"));
    household.withLockRetry([&] {
        ++attempts;
        items->update();
    });
    household.dbInventory()->freeLocks();

    // Questions after failures 100 and 199; the 200th try succeeds.
    EXPECT_EQ(attempts, 200);
    ASSERT_EQ(prompts.messages().size(), 2u);
    const auto asked = prompts.messages().front();
    EXPECT_EQ(asked.text, QStringLiteral("Could not update locked record.  Do you wish to try again?"));
    EXPECT_EQ(asked.title, QStringLiteral("Locked Record"));
    EXPECT_EQ(asked.buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(asked.icon, Prompts::Icon::None);

    auto check = Database::open(folder.file(InventoryFileName));
    EXPECT_EQ(check->scalar(QStringLiteral("select manufact from items where iteid = ?"), {key}).toString(),
              QStringLiteral("Changed While Locked"));
}

TEST_F(HandleDbErrorTest, RefusingToRetryALockedRecordEndsTheProgramWithoutWriting)
{
    household.openInventory();
    household.dbInventory()->setBusyTimeout(1);
    auto items = household.dbInventory()->openRecordset(ItemsStatement, RecordsetType::Dynaset);
    items->moveFirst();
    const QString before = items->value(QStringLiteral("Item")).toString();
    LockHolder other(LockHolder::Role::WriteLock, folder.file(InventoryFileName));

    prompts.answer(Prompts::Answer::No);
    items->edit();
    items->setValue(QStringLiteral("Item"), QStringLiteral("Never stored"));
    int attempts = 0;
    EXPECT_THROW(household.withLockRetry([&] {
        ++attempts;
        items->update();
    }),
                 ProgramEnded);
    EXPECT_EQ(attempts, 100);
    other.release();
    auto check = Database::open(folder.file(InventoryFileName));
    EXPECT_EQ(check->scalar(QStringLiteral("select count(*) from items where Item = 'Never stored'")).toInt(), 0);
}

TEST_F(HandleDbErrorTest, ADamagedDatabaseIsRepairedKeptAsideAndReopenedExclusively)
{
    int stored = 0;
    {
        auto db = Database::open(folder.file(InventoryFileName));
        stored = countItems(*db);
        db->execute(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    ASSERT_GT(stored, 0);
    // A zeroed first page: the file is no longer recognised as a database.
    QFile file(folder.file(InventoryFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.write(QByteArray(100, '\0'));
    file.close();

    household.trapDb([&] { household.openInventory(); });

    ASSERT_TRUE(household.dbInventory());
    EXPECT_EQ(household.dbInventory()->mode(), OpenMode::Exclusive);
    const QStringList kept = QDir(folder.path()).entryList({QStringLiteral("stowbook-damaged-*")}, QDir::Files);
    EXPECT_EQ(kept.size(), 1) << kept.join(QLatin1Char(',')).toStdString();
    // The program goes on with a working file; no second copy may open it.
    EXPECT_NO_THROW(countItems(household.inventory()));
    EXPECT_THROW(Database::open(folder.file(InventoryFileName)), DbError);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages().front().title, QStringLiteral("Database Repaired"));
}
