#include "ClaimFixture.h"

#include "claim/ClaimantDetails.h"
#include "program/Household.h"

#include <QFile>
#include <QProcess>

namespace {

struct RunnerRun {
    int exitCode = -1;
    QString err;
};

RunnerRun runRunner(const QStringList &arguments)
{
    QProcess process;
    process.start(buildDir() + QStringLiteral("/stowbook-report"), arguments);
    RunnerRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitCode();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

// The command line makes the claim with the details kept in the folder, for
// all items or a selection, and refuses what it cannot make with its code.
TEST_F(ClaimTest, TheRunnerWritesTheClaimAndRefusesWithItsCodes)
{
    ASSERT_TRUE(writeClaimantDetails(household.DataFolder(), ClaimantDetails{QStringLiteral("Ada"), {}, {}, {}, {}}));
    const QString category = household.dbInventory()
                                 ->scalar(QStringLiteral("select catDesc from categories where catid in "
                                                         "(select catid from items) limit 1"))
                                 .toString();
    struct Row {
        const char *name;
        QStringList arguments;
        int exitCode;
        const char *message;
    };
    const QString pdf = folderPath() + QStringLiteral("claim.pdf");
    const Row rows[] = {
        {"all items", {"claim", pdf}, 0, ""},
        {"a category", {"claim", pdf, "--category", category.toLower()}, 0, ""},
        {"a report file of the folder", {"claim", "--report=byloc.srp", pdf}, 0, ""},
        {"a category nobody has", {"claim", pdf, "--category", "Spaceships"}, 1, "There is no category"},
        {"a missing report file", {"claim", pdf, "--report", "gone.rpt"}, 1, "Invalid Report File"},
        {"two selections", {"claim", pdf, "--category", "A", "--location", "B"}, 2, "Choose one of"},
        {"not a PDF", {"claim", folderPath() + "claim.txt"}, 2, "must end in .pdf"},
        {"no output", {"claim"}, 2, "Name the PDF file"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(pdf);
        const RunnerRun run = runRunner(QStringList{"-d", folderPath()} + row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(row.message))) << run.err.toStdString();
        QFile file(pdf);
        EXPECT_EQ(file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-", row.exitCode == 0);
    }
}
