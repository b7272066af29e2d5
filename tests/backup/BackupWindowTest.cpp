#include "BackupFixture.h"
#include "ScriptedPrompts.h"

#include "backup/RestoreBackup.h"
#include "backup/window/BackupWindow.h"
#include "program/Household.h"

#include <QFile>
#include <QSignalSpy>

class BackupWindowTest : public BackupTest {
protected:
    void SetUp() override
    {
        BackupTest::SetUp();
        setPrompts(&prompts);
        household.setDataFolder(dataFolder());
    }
    void TearDown() override
    {
        delete BackupRun::current();
        setPrompts(nullptr);
    }
    ScriptedPrompts prompts;
    Household household;
};

// The File menu's backup asks for the file (and before replacing one), runs
// beside the windows with its progress shown, and tells what it wrote.
TEST_F(BackupWindowTest, TheMenuBackupAsksWritesAndTells)
{
    const QString zip = scratch(QStringLiteral("from the menu.zip"));
    QFile existing(zip);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("an older backup");
    existing.close();

    // Keeping the existing file: nothing runs.
    prompts.answerFile(zip);
    prompts.answer(Prompts::Answer::No);
    EXPECT_EQ(BackUpInventory(household, nullptr), nullptr);
    ASSERT_EQ(prompts.calls().size(), 2u);
    EXPECT_EQ(prompts.calls().front().dialog.filter, QStringLiteral("Backup Files (*.zip)|*.zip|All Files (*.*)|*.*"));
    prompts.clear();

    prompts.answerFile(zip);
    prompts.answer(Prompts::Answer::Yes);
    BackupRun *run = BackUpInventory(household, nullptr);
    ASSERT_NE(run, nullptr);
    EXPECT_TRUE(run->progressWindow()->isVisible());
    QSignalSpy finished(run, &BackupRun::finished);
    ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
    EXPECT_FALSE(run->progressWindow()->isVisible());
    ASSERT_TRUE(run->summary()) << run->failure().toStdString();
    ASSERT_EQ(prompts.messages().size(), 2u) << "the replace question, then the outcome";
    EXPECT_TRUE(prompts.messages().back().text.startsWith(QStringLiteral("The inventory was backed up to ")))
        << prompts.messages().back().text.toStdString();
    EXPECT_EQ(prompts.messages().back().icon, Prompts::Icon::Information);
    EXPECT_EQ(verifyBackup(zip).itemCount, run->summary()->manifest.itemCount);

    // A backup that cannot be written says why.
    prompts.clear();
    prompts.answerFile(scratch(QStringLiteral("no such folder/backup.zip")));
    BackupRun *failing = BackUpInventory(household, nullptr);
    ASSERT_NE(failing, nullptr);
    QSignalSpy failed(failing, &BackupRun::finished);
    ASSERT_TRUE(failed.count() == 1 || failed.wait(60000));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.contains(QStringLiteral("does not exist")))
        << prompts.messages().front().text.toStdString();
    EXPECT_EQ(prompts.messages().front().icon, Prompts::Icon::Exclamation);
}
