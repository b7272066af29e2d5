#include "BackupFixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ProgramRun runSetup(const QStringList &arguments)
{
    QProcess process;
    process.start(buildDir() + QStringLiteral("/stowbook-setup"), arguments);
    ProgramRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        run.err = QStringLiteral("did not run: ") + process.errorString();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

// The commands a cron job or a person runs: back up, check, restore; each
// says what it did, and a refusal says why with exit code 1.
TEST_F(BackupTest, TheSetupProgramBacksUpChecksAndRestores)
{
    const QString zip = scratch(QStringLiteral("cron.zip"));
    const ProgramRun backup = runSetup({QStringLiteral("--backup"), dataFolder(), zip});
    ASSERT_EQ(backup.exitCode, 0) << backup.err.toStdString();
    EXPECT_TRUE(backup.out.startsWith(QStringLiteral("Backed up "))) << backup.out.toStdString();
    EXPECT_TRUE(backup.out.contains(QStringLiteral(" items worth $"))) << backup.out.toStdString();

    const ProgramRun verify = runSetup({QStringLiteral("--verify"), zip});
    EXPECT_EQ(verify.exitCode, 0) << verify.err.toStdString();
    EXPECT_TRUE(verify.out.contains(QStringLiteral("is sound"))) << verify.out.toStdString();

    const QString restored = scratch(QStringLiteral("restored"));
    const ProgramRun restore = runSetup({QStringLiteral("--restore"), zip, restored});
    EXPECT_EQ(restore.exitCode, 0) << restore.err.toStdString();
    EXPECT_TRUE(QFile::exists(restored + QStringLiteral("/stowbook.db")));

    const ProgramRun again = runSetup({QStringLiteral("--restore"), zip, restored});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("already exists"))) << again.err.toStdString();

    QFile damaged(scratch(QStringLiteral("damaged.zip")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("PK\x03\x04 and then nothing useful");
    damaged.close();
    const ProgramRun refused = runSetup({QStringLiteral("--verify"), damaged.fileName()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("cannot be read"))) << refused.err.toStdString();

    const ProgramRun usage = runSetup({QStringLiteral("--restore"), zip});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_TRUE(usage.err.contains(QStringLiteral("--restore FILE.zip FOLDER"))) << usage.err.toStdString();
}
