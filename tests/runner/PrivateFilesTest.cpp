#include "FileModes.h"
#include "ProgramRun.h"
#include "RunFixture.h"

#include "claim/ClaimantDetails.h"
#include "reports/ReportFileWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

using PrivateFiles = RunTest;

// With the umask most systems set (022), every file written into the data
// folder, and the claim, the item export and the reports wherever they go,
// can be read by its owner alone: they list the household's valuables, their
// serial numbers and where they are kept. A file others could read before
// is no longer readable by them once it is replaced.
TEST_F(PrivateFiles, EveryFileWrittenIsReadableByItsOwnerAlone)
{
    addFixedInventory();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const UmaskGuard usual(022);

    // As the claim window keeps the claimant and the designer saves a design.
    ASSERT_TRUE(writeClaimantDetails(folder.path(), ClaimantDetails{QStringLiteral("Ada"), {}, {}, {}, {}}));
    const std::optional<LoadedReport> design = loadReportFile(household, folder.file(QStringLiteral("bycat.srp")));
    ASSERT_TRUE(design);
    QString problem;
    ASSERT_TRUE(saveReportFile(folder.file(QStringLiteral("mine.rpt")), design->spec, &problem))
        << problem.toStdString();

    const QString out = elsewhere.path() + u'/';
    struct Row {
        const char *why;
        QStringList arguments; // after "-d FOLDER"
        QString written;
        bool replaces; // a file others can read is there before
    };
    const Row rows[] = {
        {"the item export", {"items", out + "items.csv"}, out + "items.csv", false},
        {"the item export over an old one", {"items", out + "old.csv"}, out + "old.csv", true},
        {"the claim", {"claim", out + "claim.pdf"}, out + "claim.pdf", false},
        {"the claim over an old one", {"claim", out + "old.pdf"}, out + "old.pdf", true},
        {"a report as text", {"mine.rpt", out + "list.txt"}, out + "list.txt", true},
        {"a fixed report", {"value-by-category", out + "values.pdf"}, out + "values.pdf", false},
        {"a report into the data folder",
         {"bycat.srp", folder.file(QStringLiteral("bycat.htm"))},
         folder.file(QStringLiteral("bycat.htm")),
         false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        if (row.replaces) {
            QFile old(row.written);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("last year's");
            old.close();
            ASSERT_EQ(::chmod(QFile::encodeName(row.written).constData(), 0644), 0);
        }
        const ProgramResult run = runProgram(QStringLiteral("stowbook-report"),
                                             QStringList{QStringLiteral("-d"), folder.path()} + row.arguments);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        struct stat written {};
        ASSERT_EQ(::stat(QFile::encodeName(row.written).constData(), &written), 0);
        EXPECT_EQ(written.st_mode & 07777, mode_t(0600));
    }
    const QStringList open = notPrivate(fileModes(folder.path()));
    EXPECT_TRUE(open.isEmpty()) << open.join(u' ').toStdString();
}
