#include "RunFixture.h"

#include "program/Household.h"

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
        putFile(QLatin1String(c.output), "old");             // replaced
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
    EXPECT_EQ(bytes.count("\r\n"), 1 + household.dbInventory()->scalar(QStringLiteral("select count(*) from items")).toInt());
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
        const RunResult result =
            runRunner({QStringLiteral("-d"), folder.path(), QLatin1String(c.report), output});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.report;
        EXPECT_TRUE(result.stderrText.contains(QLatin1String(c.message))) << c.report << ": " << result.stderrText.toStdString();
        EXPECT_FALSE(QFile::exists(output)) << c.report;
    }
    // A wrong number of arguments: the usage text, exit 2, nothing written.
    for (const QStringList &wrong : {QStringList{"-d", folder.path(), "bycat.srp"},
                                     QStringList{"-d", folder.path(), "bycat.srp", folder.file("a.txt"), "b.txt"}}) {
        const RunResult result = runRunner(wrong);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(result.stderrText.contains(QStringLiteral("usage: stowbook-report"))) << result.stderrText.toStdString();
        EXPECT_FALSE(QFile::exists(folder.file("a.txt")) || QFile::exists(folder.file("b.txt")));
    }
}
