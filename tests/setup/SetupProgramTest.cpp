#include "FolderContents.h"
#include "ProgramRun.h"
#include "TestDataFolder.h"
#include "data/Database.h"
#include "program/BuildInfo.h"
#include "setup/SetupArguments.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct RunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

static QString setupProgram()
{
    return buildDir() + QStringLiteral("/stowbook-setup");
}

static RunResult runSetup(const QStringList &arguments)
{
    QProcess process;
    process.start(setupProgram(), arguments);
    RunResult result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        result.err = QStringLiteral("did not run: ") + process.errorString();
        return result;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

TEST(SetupProgram, RefusesAFolderWithADatabaseWithExitCodeOneAndLeavesItAlone)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    QFile existing(temp.filePath(QStringLiteral("stowbook.db")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("the only copy of a household's inventory");
    existing.close();
    const auto before = folderContents(temp.path());

    const RunResult run = runSetup({QStringLiteral("--demo"), temp.path()});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QDir::toNativeSeparators(temp.filePath(QStringLiteral("stowbook.db")))))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(folderContents(temp.path()), before);
}

TEST(SetupProgram, BadArgumentsShowTheUsageWithExitCodeTwo)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const RunResult run = runSetup({QStringLiteral("--items"), QStringLiteral("lots"), temp.path()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("Usage: stowbook-setup"))) << run.err.toStdString();
    EXPECT_TRUE(QDir(temp.path()).isEmpty());
}

TEST(SetupProgram, SaysWhatItMade)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QString folder = temp.filePath(QStringLiteral("data"));
    const RunResult run = runSetup({QStringLiteral("--items"), QStringLiteral("20"), folder});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("20 items"))) << run.out.toStdString();
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/stowbook.db")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/rptspec.db")));
}

// A household's own spreadsheet into a new folder, then another file added
// to it: a file with a bad row is refused whole until the user says which rows.
TEST(SetupProgram, ImportsAFileIntoANewFolderAndAddsAnotherToIt)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(temp.filePath(QLatin1String(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString first = write("first.csv", "Name,Brand,Price,Room\r\nLamp,Acme,12.50,Den\r\nChair,,40,den\r\n");
    const QString second = write("second.csv", "Item,Qty\nRug,1\nVase,lots\n");
    const QString folder = temp.filePath(QStringLiteral("data"));
    const auto count = [&](const char *sql) {
        auto db = Database::open(folder + QStringLiteral("/stowbook.db"));
        return db->scalar(QString::fromLatin1(sql)).toLongLong();
    };

    RunResult run = runSetup({QStringLiteral("--import"), first, folder});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Brand -> Manufacturer"))) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("2 items, 0 categories, 1 location\n"))) << run.out.toStdString();

    run = runSetup({QStringLiteral("--add-items"), second, folder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QLatin1String("Line 3, Quantity: \"lots\" is not a number"))) << run.err.toStdString();
    EXPECT_EQ(count("select count(*) from items"), 2);

    run = runSetup({QStringLiteral("--add-items"), second, QStringLiteral("--rows"), QStringLiteral("good"), folder});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("Imported 1 item from"))) << run.out.toStdString();
    EXPECT_EQ(count("select count(*) from items"), 3);

    // A new folder is never made over an existing one.
    run = runSetup({QStringLiteral("--import"), first, folder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(count("select count(*) from items"), 3);
}

// Run as cron or root runs it, the program prints its own words and nothing
// of Qt's: the usage after a refusal, exactly; nothing at all on stderr when
// it works.
TEST(SetupProgram, PrintsOnlyItsOwnWords)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const QByteArray usage = setupUsage().toUtf8();
    struct Row {
        QStringList arguments;
        int exitCode;
        QByteArray out;
        QByteArray err;
    };
    const Row rows[] = {
        {{"--help"}, 0, usage, ""},
        {{"-h", temp.path()}, 0, usage, ""},
        {{"--version"}, 0, "stowbook-setup " + ProgramVersion.toUtf8() + "\n", ""},
        {{"--items", "lots", temp.path()},
         2,
         "",
         "stowbook-setup: --items needs a whole number from 1 to 10000000, not \"lots\".\n\n" + usage},
        {{temp.path(), "--rows"}, 2, "", "stowbook-setup: --rows needs \"good\" or \"all\".\n\n" + usage},
        {{"--colour=red", temp.path()}, 2, "", "stowbook-setup: Unknown option \"--colour=red\".\n\n" + usage},
        {{"--verify", temp.filePath("none.zip")},
         1,
         "",
         "stowbook-setup: The backup " + temp.filePath("none.zip").toUtf8() + " cannot be read: No such file.\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const ProgramResult run = runProgram(QStringLiteral("stowbook-setup"), row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(run.out, row.out);
        EXPECT_EQ(run.err, row.err);
    }
    EXPECT_TRUE(QDir(temp.path()).isEmpty());

    const ProgramResult made = runProgram(QStringLiteral("stowbook-setup"),
                                          {QStringLiteral("--items"), QStringLiteral("3"), temp.filePath("data")});
    EXPECT_EQ(made.exitCode, 0);
    EXPECT_EQ(made.err, QByteArray());
}
