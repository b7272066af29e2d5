#include "ProgramRun.h"
#include "RunFixture.h"

#include "program/BuildInfo.h"
#include "program/Household.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

struct RunResult {
    int exitCode = -1;
    QString stderrText;
};

RunResult runRunner(const QStringList &arguments)
{
    QProcess process;
    process.start(buildDir() + QStringLiteral("/stowbook-report"), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

using Runner = RunTest;

TEST_F(Runner, ExtensionChoosesTheRendererWhateverTheFileSays)
{
    addFixedInventory();
    // The file says screen; the output names decide.
    putFile(QStringLiteral("list.srp"), reportFileBytesOf(reportLines({1, 10})));
    struct Case {
        const char *output;
        const char *begins;
    };
    for (const Case &c : {Case{"a.txt", "Arc Lamp\t3\r\n"}, Case{"a.htm", "<html>\r\n"}, Case{"a.HTML", "<html>\r\n"},
                          Case{"a.pdf", "%PDF-"}}) {
        const QString output = folder.file(QLatin1String(c.output));
        putFile(QLatin1String(c.output), "old"); // replaced
        const RunResult result = runRunner({QStringLiteral("-d"), folder.path(), QStringLiteral("list.srp"), output});
        EXPECT_EQ(result.exitCode, 0) << c.output << result.stderrText.toStdString();
        EXPECT_TRUE(fileBytes(output).startsWith(c.begins)) << c.output;
    }
}

TEST_F(Runner, ItemsGoToACsvFileWithEveryColumn)
{
    addFixedInventory();
    const QString output = folder.file(QStringLiteral("items.csv"));
    const RunResult result = runRunner({QStringLiteral("-d"), folder.path(), QStringLiteral("items"), output});
    EXPECT_EQ(result.exitCode, 0) << result.stderrText.toStdString();
    const QByteArray bytes = fileBytes(output);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFID,Item Description,Manufacturer,")) << bytes.left(80).toStdString();
    EXPECT_EQ(bytes.count("\r\n"),
              1 + household.dbInventory()->scalar(QStringLiteral("select count(*) from items")).toInt());
}

TEST_F(Runner, RefusalsExitWithTheirCodeAndMessage)
{
    addFixedInventory();
    putFile(QStringLiteral("bad.srp"), reportFileBytesOf(validReportLines().mid(0, 12)));
    QStringList none = reportLines({1});
    setItem(none, 14, 1, QStringLiteral("zzz"));
    putFile(QStringLiteral("none.srp"), reportFileBytesOf(none));
    const QByteArray noRecords = NoRecordsMessage.toLatin1();
    struct Case {
        const char *report;
        const char *output;
        int exitCode;
        const char *message;
    };
    for (const Case &c : {
             Case{"bad.srp", "out.txt", 1, "Invalid Report File: There appears to be an error in the report file"},
             Case{"missing.srp", "out.txt", 1, "Invalid Report File: "},
             Case{"none.srp", "out.htm", 4, noRecords.constData()},
             Case{"bycat.srp", "out.doc", 2, "must end in .txt, .htm, .html, .pdf or .csv"},
             Case{"bycat.srp", "out.csv", 2, "Only \"items\" can be written as a CSV file"},
             Case{"items", "out.txt", 2, "The items can only be written as a CSV file"},
             Case{"value-by-category", "out.txt", 2, "can only be written as a PDF file"},
         }) {
        const QString output = folder.file(QLatin1String(c.output));
        const RunResult result = runRunner({QStringLiteral("-d"), folder.path(), QLatin1String(c.report), output});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.report;
        EXPECT_TRUE(result.stderrText.contains(QLatin1String(c.message)))
            << c.report << ": " << result.stderrText.toStdString();
        EXPECT_FALSE(QFile::exists(output)) << c.report;
    }
    // A wrong number of arguments: the usage text, exit 2, nothing written.
    for (const QStringList &wrong : {QStringList{"-d", folder.path(), "bycat.srp"},
                                     QStringList{"-d", folder.path(), "bycat.srp", folder.file("a.txt"), "b.txt"}}) {
        const RunResult result = runRunner(wrong);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.stderrText.contains(QStringLiteral("usage: stowbook-report")))
            << result.stderrText.toStdString();
        EXPECT_FALSE(QFile::exists(folder.file("a.txt")) || QFile::exists(folder.file("b.txt")));
    }
}

// Run as cron or root runs it, the runner prints its own words and nothing
// of Qt's: --help and --version on stdout; after a wrong command line the
// usage that --help prints, on stderr, word for word, behind the claim's own
// reason when the claim has one; nothing on stderr when it works.
TEST_F(Runner, ArgumentsAreReadAsBeforeAndOnlyOurWordsArePrinted)
{
    addFixedInventory();
    const ProgramResult help = runProgram(QStringLiteral("stowbook-report"), {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: stowbook-report [-d DATAFOLDER] REPORT OUTPUT\n"))
        << help.out.toStdString();
    EXPECT_TRUE(help.out.endsWith("  --version  show the version\n")) << help.out.toStdString();
    EXPECT_EQ(help.err, QByteArray());
    const ProgramResult version = runProgram(QStringLiteral("stowbook-report"), {QStringLiteral("--version")});
    EXPECT_EQ(version.out, "stowbook-report " + ProgramVersion.toUtf8() + "\n");
    EXPECT_EQ(version.err, QByteArray());

    const QString f = folder.path();
    const QString out = folder.file(QStringLiteral("out.txt"));
    const QString pdf = folder.file(QStringLiteral("out.pdf"));
    const QByteArray usage = help.out;
    struct Row {
        const char *why;
        QStringList arguments;
        int exitCode;
        QByteArray err;
    };
    const Row rows[] = {
        {"a report", {"-d", f, "bycat.srp", out}, 0, ""},
        {"the last -d counts", {"-d", "/no/such/folder", "-d", f, "bycat.srp", out}, 0, ""},
        {"-d after the names", {"bycat.srp", out, "-d", f}, 0, ""},
        {"one name", {"-d", f, "bycat.srp"}, 2, usage},
        {"three names", {"-d", f, "bycat.srp", out, "b.txt"}, 2, usage},
        {"an unknown option", {"-d", f, "--bogus", "bycat.srp", out}, 2, usage},
        {"-d without its folder", {"bycat.srp", out, "-d"}, 2, usage},
        {"a claim option for a report", {"-d", f, "bycat.srp", out, "--category", "Den"}, 2, usage},
        {"--help among other words", {"-d", f, "--help"}, 2, usage},
        {"--home is not the runner's", {"--home"}, 2, usage},
        {"claim after a refused word", {"--bogus", "claim", pdf}, 2, usage},
        {"an empty name", {"-d", f, "", out}, 2, usage},
        {"an unknown claim option", {"-d", f, "claim", pdf, "-x"}, 2, "Unknown option \"-x\".\n" + usage},
        {"a claim option with a value it cannot take",
         {"-d", f, "claim", "--bogus=1", pdf},
         2,
         "Unknown option \"--bogus=1\".\n" + usage},
        {"the claim's -d without its folder", {"-d", f, "claim", pdf, "-d"}, 2, "Unknown option \"-d\".\n" + usage},
        {"a selection without its name",
         {"-d", f, "claim", pdf, "--category"},
         2,
         "--category needs a name.\n" + usage},
        {"an empty selection", {"-d", f, "claim", "--report=", pdf}, 2, "--report needs a name.\n" + usage},
        {"two selections",
         {"-d", f, "claim", "--location=Den", pdf, "--category", "Art"},
         2,
         "Choose one of --category, --location and --report.\n" + usage},
        {"two outputs",
         {"-d", f, "claim", "a.pdf", "b.pdf"},
         2,
         "Name one output file, not \"a.pdf\" and \"b.pdf\".\n" + usage},
        {"no output", {"claim", "-d", f}, 2, "Name the PDF file to write the claim to.\n" + usage},
        {"a selection's value is the next word",
         {"-d", f, "claim", "--category", pdf},
         2,
         "Name the PDF file to write the claim to.\n" + usage},
        {"not a PDF",
         {"-d", f, "claim", "c.txt"},
         2,
         "The claim is written as a PDF file; \"c.txt\" must end in .pdf.\n" + usage},
        {"an extension it cannot write",
         {"-d", f, "bycat.srp", "out.doc"},
         2,
         "The output file \"out.doc\" must end in .txt, .htm, .html, .pdf or .csv.\n"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        QFile::remove(out);
        const ProgramResult run = runProgram(QStringLiteral("stowbook-report"), row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(run.out, QByteArray());
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(QFile::exists(out), row.exitCode == 0);
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

// What Qt cannot get over is still said: without a platform the runner
// cannot start, and the user reads why.
TEST_F(Runner, AFailureOfQtsOwnIsStillPrinted)
{
    const ProgramResult run = runProgram(
        QStringLiteral("stowbook-report"),
        {QStringLiteral("-d"), folder.path(), QStringLiteral("bycat.srp"), folder.file(QStringLiteral("out.txt"))},
        {QStringLiteral("QT_QPA_PLATFORM=nosuchplatform")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.err.startsWith("This application failed to start because no Qt platform plugin could be "
                                   "initialized."))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("out.txt"))));
}

// A report typed as people type it, without its extension: the report file
// of that name is run, as the full name would be; a name that is none of the
// folder's reports says which ones it has, instead of blaming a report file.
TEST_F(Runner, AReportNamedWithoutItsExtensionIsFoundOrTheReportsAreListed)
{
    addFixedInventory();
    putFile(QStringLiteral("mine.rpt"), reportFileBytesOf(reportLines({1, 10})));
    const QString f = folder.path();
    const QString out = folder.file(QStringLiteral("out.txt"));
    const QString pdf = folder.file(QStringLiteral("claim.pdf"));
    ASSERT_EQ(runRunner({"-d", f, "bycat.srp", out}).exitCode, 0);
    const QByteArray byFullName = fileBytes(out);
    ASSERT_EQ(runRunner({"-d", f, "mine.rpt", out}).exitCode, 0);
    const QByteArray mine = fileBytes(out);
    const QByteArray listed = "There is no report \"bycat2\" in " + QDir::toNativeSeparators(f).toUtf8()
        + ". Its reports are: bycat.srp, byitem.srp, byloc.srp, mine.rpt.\n";
    struct Row {
        const char *why;
        QStringList arguments;
        int exitCode;
        QByteArray err;
        QString written;
        QByteArray bytes; // of written; empty: not compared
    };
    const Row rows[] = {
        {"a ready-made report", {"-d", f, "bycat", out}, 0, "", out, byFullName},
        {"a design of the user's", {"-d", f, "mine", out}, 0, "", out, mine},
        {"no such report", {"-d", f, "bycat2", out}, 1, listed, {}, {}},
        {"the claim's report", {"-d", f, "claim", pdf, "--report", "bycat"}, 0, "", pdf, {}},
        {"the claim's report that is not there", {"-d", f, "claim", pdf, "--report", "bycat2"}, 1, listed, {}, {}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.why);
        QFile::remove(out);
        QFile::remove(pdf);
        const ProgramResult run = runProgram(QStringLiteral("stowbook-report"), row.arguments);
        EXPECT_EQ(run.exitCode, row.exitCode);
        EXPECT_EQ(run.err, row.err);
        EXPECT_EQ(QFile::exists(out), row.written == out);
        EXPECT_EQ(QFile::exists(pdf), row.written == pdf);
        if (!row.bytes.isEmpty()) {
            EXPECT_EQ(fileBytes(out), row.bytes);
        }
    }
}
