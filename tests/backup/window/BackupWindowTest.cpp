#include "BackupFixture.h"
#include "ScriptedPrompts.h"

#include "backup/RestoreBackup.h"
#include "backup/window/BackupWindow.h"
#include "data/DbError.h"
#include "program/Household.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <functional>
#include <new>
#include <stdexcept>

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

namespace {

// Passes what the backup tells on to the run, and fails it with stop() as
// it begins writing the archive: the databases are copied by then and the
// archive is open.
class StoppingProgress : public BackupProgress {
public:
    StoppingProgress(BackupProgress *run, std::function<void()> stop) : m_run(run), m_stop(std::move(stop)) {}
    void stage(const QString &text) override
    {
        if (++m_stages == 2)
            m_stop();
        m_run->stage(text);
    }
    void progress(double fraction) override { m_run->progress(fraction); }
    bool cancelled() override { return m_run->cancelled(); }

private:
    BackupProgress *m_run;
    std::function<void()> m_stop;
    int m_stages = 0;
};

} // namespace

// Whatever stops a backup on its thread ends it as a failed backup with a
// message that names the file, never the program, and leaves no archive.
TEST_F(BackupWindowTest, AnyFailureOnTheBackupThreadIsToldAsAFailedBackup)
{
    struct Row {
        const char *name;
        std::function<void()> stop;
        QString reason;
    };
    const Row rows[] = {
        {"no memory", [] { throw std::bad_alloc(); }, QStringLiteral("out of memory")},
        {"a database error",
         [] { throw DbError(DbError::NotDatabase, QStringLiteral("Unrecognized database format")); },
         QStringLiteral("3049  Unrecognized database format")},
        {"another exception", [] { throw std::runtime_error("the cable was pulled"); },
         QStringLiteral("the cable was pulled")},
        {"something that is no exception", [] { throw 42; }, QStringLiteral("an unexpected error")},
    };
    const QString zip = scratch(QStringLiteral("stopped.zip"));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        prompts.clear();
        const auto writer = [&row](const QString &folder, const QString &path, BackupProgress *run) {
            StoppingProgress stopping(run, row.stop);
            return writeBackup(folder, path, &stopping);
        };
        auto *run = new BackupRun(dataFolder(), zip, nullptr, writer);
        QSignalSpy finished(run, &BackupRun::finished);
        ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
        EXPECT_FALSE(run->summary());
        EXPECT_FALSE(run->wasCancelled());
        EXPECT_EQ(
            run->failure(),
            QStringLiteral("The backup %1 could not be written: %2").arg(QDir::toNativeSeparators(zip), row.reason));
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages().front().text, run->failure());
        EXPECT_EQ(prompts.messages().front().icon, Prompts::Icon::Exclamation);
        EXPECT_TRUE(folderContents(scratchFolder()).isEmpty()) << "no archive, no staging folder";
        delete run;
    }
}
