#include "BackupFixture.h"
#include "ScriptedPrompts.h"

#include "backup/RestoreBackup.h"
#include "backup/window/BackupWindow.h"
#include "data/DbError.h"
#include "program/Household.h"

#include "app/frmMain.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
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

namespace {

// Passes what the backup tells on to the run, and holds the backup's thread
// at one point (the second stage, writing the archive, or the finishing
// stage) until the test lets it go on.
class HeldProgress : public BackupProgress {
public:
    enum class Point { Writing, Finishing };
    HeldProgress(BackupProgress *run, Point point, QSemaphore &reached, QSemaphore &go)
        : m_run(run)
        , m_point(point)
        , m_reached(reached)
        , m_go(go)
    {
    }
    void stage(const QString &text) override
    {
        m_run->stage(text);
        if (++m_stages == 2 && m_point == Point::Writing)
            hold();
    }
    void progress(double fraction) override { m_run->progress(fraction); }
    bool cancelled() override { return m_run->cancelled(); }
    void finishing(const QString &text) override
    {
        m_run->finishing(text);
        if (m_point == Point::Finishing)
            hold();
    }

private:
    void hold()
    {
        m_reached.release();
        m_go.acquire();
    }
    BackupProgress *m_run;
    Point m_point;
    QSemaphore &m_reached;
    QSemaphore &m_go;
    int m_stages = 0;
};

BackupRun::Writer heldWriter(HeldProgress::Point point, QSemaphore &reached, QSemaphore &go)
{
    return [point, &reached, &go](const QString &folder, const QString &path, BackupProgress *run) {
        HeldProgress held(run, point, reached, go);
        return writeBackup(folder, path, &held);
    };
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Runs the event loop until done() holds or a minute has passed.
bool processEventsUntil(const std::function<bool()> &done)
{
    const QDeadlineTimer deadline(60000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

} // namespace

// Cancel pressed while the archive is written: the user is told that no
// backup was made and that the file of that name is kept, and it is.
TEST_F(BackupWindowTest, ACancelledBackupSaysNoneWasMadeAndKeepsTheOldFile)
{
    for (const bool replacing : {true, false}) {
        SCOPED_TRACE(replacing ? "over an older backup" : "a new file");
        prompts.clear();
        const QString zip = scratch(replacing ? QStringLiteral("older.zip") : QStringLiteral("new.zip"));
        if (replacing) {
            QFile existing(zip);
            ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
            existing.write("an older backup");
        }
        QSemaphore reached, go;
        auto *run = new BackupRun(dataFolder(), zip, nullptr, heldWriter(HeldProgress::Point::Writing, reached, go));
        QSignalSpy finished(run, &BackupRun::finished);
        ASSERT_TRUE(reached.tryAcquire(1, 60000));
        run->cancelButton()->click();
        go.release();
        ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
        EXPECT_TRUE(run->wasCancelled());
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages().front().text,
                  replacing ? QStringLiteral("The backup was cancelled. No backup was made; %1 is kept as it was.")
                                  .arg(QDir::toNativeSeparators(zip))
                            : QStringLiteral("The backup was cancelled. No backup was made."));
        EXPECT_EQ(prompts.messages().front().icon, Prompts::Icon::Information);
        EXPECT_EQ(contentsOf(zip), replacing ? QByteArray("an older backup") : QByteArray("(missing)"));
        delete run;
    }
    EXPECT_EQ(folderContents(scratchFolder()).keys(), QStringList{QStringLiteral("older.zip")})
        << "no staging folder left";
}

// After the last byte of the archive the file is saved to the disk, which
// nothing can stop: the window says so, and Cancel cannot be pressed.
TEST_F(BackupWindowTest, WhileTheArchiveIsSavedTheWindowSaysSoAndCannotCancel)
{
    const QString zip = scratch(QStringLiteral("saved.zip"));
    QSemaphore reached, go;
    auto *run = new BackupRun(dataFolder(), zip, nullptr, heldWriter(HeldProgress::Point::Finishing, reached, go));
    QSignalSpy finished(run, &BackupRun::finished);
    QProgressDialog *window = run->progressWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Back Up Inventory"));
    EXPECT_TRUE(run->cancelButton()->isEnabled());
    ASSERT_TRUE(reached.tryAcquire(1, 60000));
    EXPECT_TRUE(processEventsUntil([&] { return !run->cancelButton()->isEnabled(); }));
    EXPECT_EQ(window->labelText(), QStringLiteral("Saving the backup to the disk..."));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->maximum(), 0) << "a bar that shows work going on, not one standing at 100 %";
    go.release();
    ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
    EXPECT_TRUE(run->summary()) << run->failure().toStdString();
    delete run;
}

// File > Exit while a backup is written asks first: No keeps the program
// and the backup going, Yes stops the backup and ends the program.
TEST_F(BackupWindowTest, ExitDuringABackupAsksWhetherToStopIt)
{
    frmMain main(household, QStringList{QStringLiteral("-d"), dataFolder()});
    main.Form_Load();
    main.show();
    const QString zip = scratch(QStringLiteral("during exit.zip"));
    QSemaphore reached, go;
    auto *run = new BackupRun(dataFolder(), zip, &main, heldWriter(HeldProgress::Point::Writing, reached, go));
    QSignalSpy finished(run, &BackupRun::finished);
    ASSERT_TRUE(reached.tryAcquire(1, 60000));

    prompts.answer(Prompts::Answer::No);
    main.mnuExit_Click();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(run->isRunning());
    ASSERT_EQ(prompts.messages().size(), 1u);
    const ScriptedPrompts::Call asked = prompts.messages().front();
    EXPECT_EQ(asked.text,
              QStringLiteral("A backup of the inventory is being written to %1.\n\nStop it and exit? No "
                             "backup is made then.")
                  .arg(QDir::toNativeSeparators(zip)));
    EXPECT_EQ(asked.buttons, Prompts::Buttons::YesNo);
    EXPECT_EQ(asked.title, QStringLiteral("Back Up Inventory"));

    prompts.answer(Prompts::Answer::Yes);
    EXPECT_TRUE(main.close());
    go.release();
    ASSERT_TRUE(finished.count() == 1 || finished.wait(60000));
    EXPECT_TRUE(run->wasCancelled());
    EXPECT_FALSE(QFileInfo::exists(zip));
}
