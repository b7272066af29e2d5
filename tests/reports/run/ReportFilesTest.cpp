#include "FileSizeLimit.h"
#include "RunFixture.h"

#include "items/ItemStatus.h"
#include "program/Household.h"
#include "reports/DesignerReportFile.h"
#include "reports/ReportFileOutput.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <optional>

#ifndef STOWBOOK_SOURCE_DIR
#error "STOWBOOK_SOURCE_DIR is set by the build"
#endif

namespace {

QByteArray expectedFile(const char *name)
{
    QFile file(QStringLiteral(STOWBOOK_SOURCE_DIR "/tests/reports/expected/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// The household listing the golden files hold: text, lookup, date,
// currency, a number total, a currency total and a yes/no column.
QStringList goldenLines()
{
    QStringList lines = RunTest::reportLines({1, 5, 6, 7, 8, 10, 11, 12});
    lines[1] = QStringLiteral("Home & Garden <List>");
    RunTest::setItem(lines, 22, 8, QStringLiteral("1"));
    RunTest::setItem(lines, 22, 11, QStringLiteral("1"));
    RunTest::setItem(lines, 21, 10, QStringLiteral("1"));
    RunTest::setItem(lines, 21, 11, QStringLiteral("1"));
    return lines;
}

QList<QByteArray> linesOf(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

using ReportFiles = RunTest;

TEST_F(ReportFiles, TextAndHtmlOfTheFixedInventoryMatchTheExpectedFiles)
{
    addFixedInventory();
    EXPECT_EQ(runToFile(goldenLines(), QStringLiteral("txt")), expectedFile("household.txt"));
    EXPECT_EQ(runToFile(goldenLines(), QStringLiteral("htm")), expectedFile("household.htm"));
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(ReportFiles, TotalsRowFollowsTheColumnsThatHaveTotals)
{
    addItem(QStringLiteral("a"), money("0.1"));
    addItem(QStringLiteral("b"), money("0.2"));
    addItem(QStringLiteral("c")); // Null: an empty cell, no change to the sum
    household.dbInventory()->execute(QStringLiteral("update items set quantity = 5 where Item in ('a', 'b')"));

    // Quantity (total, plain), Description (no total), Total Value (total,
    // currency): "10", nothing, then the currency text of 0.1 + 0.2 exactly.
    QStringList lines = reportLines({10, 1, 11});
    setItem(lines, 21, 10, QStringLiteral("1"));
    setItem(lines, 21, 11, QStringLiteral("1"));
    setItem(lines, 22, 11, QStringLiteral("1"));
    const QList<QByteArray> text = linesOf(runToFile(lines, QStringLiteral("txt")));
    ASSERT_EQ(text.size(), 4);
    EXPECT_EQ(text[2], QByteArray("\tc\t\r"));
    EXPECT_EQ(text[3], QByteArray("10\t\t$0.30\r"));
    // A plain total is written with the locale's decimal mark.
    setItem(lines, 22, 11, QStringLiteral("0"));
    const LocaleScope german("de_DE");
    EXPECT_EQ(linesOf(runToFile(lines, QStringLiteral("txt"))).value(3), QByteArray("10\t\t0,3\r"));

    // The only total is on a hidden field: no totals row at all.
    QStringList hiddenTotal = reportLines({1, 11});
    setItem(hiddenTotal, 20, 11, QStringLiteral("1"));
    setItem(hiddenTotal, 21, 11, QStringLiteral("1"));
    EXPECT_EQ(linesOf(runToFile(hiddenTotal, QStringLiteral("txt"))).size(), 3);
}

// A listing and its totals are of what the household keeps: an item thrown
// away is neither a row nor in the total, until the View menu's choice
// shows it again.
TEST_F(ReportFiles, ItemsThatLeftAreNeitherListedNorTotalledUntilShownAgain)
{
    addItem(QStringLiteral("kept"), money("2"));
    addItem(QStringLiteral("thrown away"), money("3"));
    WarrantyDisposal thrown;
    thrown.disposed = DateValue::fromDate(QDate(2022, 2, 2));
    thrown.how = DisposalKind::ThrownAway;
    ItemStatus(*household.dbInventory()).store(2, thrown);

    QStringList lines = reportLines({1, 11});
    setItem(lines, 21, 11, QStringLiteral("1"));
    setItem(lines, 22, 11, QStringLiteral("1"));
    EXPECT_EQ(linesOf(runToFile(lines, QStringLiteral("txt"))), (QList<QByteArray>{"kept\t$2.00\r", "\t$2.00\r"}));
    household.setShowsDisposed(true);
    EXPECT_EQ(linesOf(runToFile(lines, QStringLiteral("txt"))),
              (QList<QByteArray>{"kept\t$2.00\r", "thrown away\t$3.00\r", "\t$5.00\r"}));
}

TEST_F(ReportFiles, ThousandsOfCurrencyCentsAddUpExactly)
{
    // 0.01 a thousand times as doubles is 9.99999999999983; the sum must be
    // what the cells add up to.
    for (int i = 0; i < 1000; ++i)
        addItem(QStringLiteral("item"), money("0.01"));
    QStringList lines = reportLines({11});
    setItem(lines, 21, 11, QStringLiteral("1"));
    const QList<QByteArray> text = linesOf(runToFile(lines, QStringLiteral("txt")));
    ASSERT_EQ(text.size(), 1001);
    EXPECT_EQ(text.constLast(), QByteArray("10\r"));
}

TEST_F(ReportFiles, HiddenFieldBeforeVisibleOnesShiftsNoValue)
{
    addFixedInventory();
    // Manufacturer hidden but selecting (starts with "V"), then Description
    // and Quantity: the row holds the television's own values.
    QStringList lines = reportLines({2, 1, 10});
    setItem(lines, 20, 2, QStringLiteral("1"));
    setItem(lines, 14, 2, QStringLiteral("V"));
    EXPECT_EQ(runToFile(lines, QStringLiteral("txt")), QByteArray("Television\t1\r\n"));

    const QList<QByteArray> html = linesOf(runToFile(lines, QStringLiteral("htm")));
    // No heading cell for the hidden field; the title spans the two shown.
    EXPECT_EQ(html[4], QByteArray("<tr><th colspan = 2>Test Report</th></tr>\r"));
    EXPECT_EQ(html[6], QByteArray("<th>Description</th>\r"));
    EXPECT_EQ(html[7], QByteArray("<th>Quantity</th>\r"));
    EXPECT_EQ(html[9], QByteArray("<tr><td>Television</td><td align=right>1</td></tr>\r"));
}

TEST_F(ReportFiles, HtmlEscapesTitleCaptionsAndCells)
{
    addItem(QStringLiteral("<script>alert(\"x\")</script> & co"));
    addCatalogueRow(QStringLiteral("manufact"), 1, QStringLiteral("Maker <b>"), QStringLiteral("items"));
    QStringList lines = reportLines({1, 16});
    for (int line = 12; line <= 22; ++line)
        lines[line - 1] += line == 14 || line == 17 || line == 18 ? QStringLiteral(";") : QStringLiteral(";0");
    setItem(lines, 19, 16, QStringLiteral("1"));
    lines[1] = QStringLiteral("A <i>&</i> B");
    const QByteArray html = runToFile(lines, QStringLiteral("htm"));
    EXPECT_TRUE(html.contains("<title>A &lt;i&gt;&amp;&lt;/i&gt; B</title>"));
    EXPECT_TRUE(html.contains("<th>Maker &lt;b&gt;</th>"));
    EXPECT_TRUE(html.contains("<td>&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; co</td>"));
    EXPECT_FALSE(html.contains("<script>"));
}

TEST_F(ReportFiles, NoRowsShowsTheMessageAndLeavesAnyOldFileAlone)
{
    const QByteArray old("last week's list\r\n");
    for (const char *kind : {"txt", "htm"}) {
        prompts.clear();
        putFile(QStringLiteral("out.") + QLatin1String(kind), old);
        ReportOutcome outcome{};
        EXPECT_EQ(runToFile(reportLines({1}), QLatin1String(kind), &outcome), old) << kind;
        EXPECT_EQ(outcome, ReportOutcome::NoRows);
        ASSERT_EQ(prompts.messages().size(), 1u);
        EXPECT_EQ(prompts.messages()[0].text, NoRecordsMessage);
        EXPECT_EQ(prompts.messages()[0].title, QStringLiteral("Stowbook"));
        EXPECT_EQ(prompts.messages()[0].icon, Prompts::Icon::None);
    }
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.txt"), QStringLiteral("*.htm")}, QDir::Files).size(), 2);
    QFile::remove(outputPath(QStringLiteral("txt")));
    runToFile(reportLines({1}), QStringLiteral("txt"));
    EXPECT_FALSE(QFile::exists(outputPath(QStringLiteral("txt"))));
}

TEST_F(ReportFiles, QueryThatCannotBeOpenedIsReportedAndWritesNothing)
{
    addFixedInventory();
    const int broken =
        addCatalogueRow(QStringLiteral("nosuchcolumn"), 1, QStringLiteral("Broken"), QStringLiteral("items"));
    QStringList lines = reportLines({1, broken});
    for (int line = 12; line <= 22; ++line)
        lines[line - 1] += line == 14 || line == 17 || line == 18 ? QStringLiteral(";") : QStringLiteral(";0");
    setItem(lines, 19, broken, QStringLiteral("1"));
    ReportOutcome outcome{};
    EXPECT_TRUE(runToFile(lines, QStringLiteral("htm"), &outcome).isEmpty());
    EXPECT_EQ(outcome, ReportOutcome::QueryFailed);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("nosuchcolumn")))
        << prompts.messages()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(outputPath(QStringLiteral("htm"))));
}

TEST_F(ReportFiles, OutputThatCannotBeWrittenIsReported)
{
    addFixedInventory();
    const QString report = putFile(QStringLiteral("t.srp"), reportFileBytesOf(reportLines({1})));
    const QString path = folder.file(QStringLiteral("no/such/folder/out.txt"));
    const ReportOutcome outcome = runReportFile(
        household, report, [&](const LoadedReport &) { return std::make_unique<TextReportWriter>(household, path); });
    EXPECT_EQ(outcome, ReportOutcome::OutputFailed);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.startsWith(QStringLiteral("75  ")))
        << prompts.messages()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

// A disk that is full by the time the report is written: said once, with
// the system's reason, and the list of last week is still there, whole,
// with no temporary file beside it.
TEST_F(ReportFiles, ADiskThatFillsUpIsReportedOnceAndKeepsTheOldFile)
{
    addFixedInventory();
    const QByteArray old("last week's list\r\n");
    const QString report = putFile(QStringLiteral("t.srp"), reportFileBytesOf(reportLines({1, 10})));
    for (const char *kind : {"txt", "htm"}) {
        SCOPED_TRACE(kind);
        prompts.clear();
        const QString path = putFile(QStringLiteral("out.") + QLatin1String(kind), old);
        const QStringList before = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        std::optional<FileSizeLimit> full;
        const ReportOutcome outcome =
            runReportFile(household, report, [&](const LoadedReport &) -> std::unique_ptr<ReportOutput> {
                full.emplace(16);
                if (kind == std::string_view("htm"))
                    return std::make_unique<HtmlReportWriter>(household, path);
                return std::make_unique<TextReportWriter>(household, path);
            });
        full.reset();

        EXPECT_EQ(outcome, ReportOutcome::OutputFailed);
        ASSERT_EQ(prompts.messages().size(), 1u);
        const QString reason = QStringLiteral("The report cannot be written to '%1': %2")
                                   .arg(path, QString::fromLocal8Bit(std::strerror(EFBIG)));
        EXPECT_TRUE(prompts.messages()[0].text.endsWith(reason)) << prompts.messages()[0].text.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), before);
    }
}

TEST_F(ReportFiles, DesignerFilesSortByPositionInTheCaptionOrder)
{
    addFixedInventory();
    // Captions in order: Category 0, Description 1, Est. Value 2, Location 3 ...
    const ReportCatalogue catalogue = itemsCatalogue();
    EXPECT_EQ(sortKeyAtPosition(catalogue, 0), 5);
    EXPECT_EQ(sortKeyAtPosition(catalogue, 3), 6);
    EXPECT_EQ(sortKeyAtPosition(catalogue, -1), -1);
    EXPECT_EQ(sortKeyAtPosition(catalogue, 15), std::nullopt);

    // Sorted by position 3 (Location), descending nothing: Garage first,
    // then Living Room; the lamp without a location sorts first. The
    // currency line says 0, but the catalogue's setting stands.
    QStringList lines = reportLines({1, 8});
    lines[7] = QStringLiteral(" 3");
    const QString report = putFile(QStringLiteral("mine.rpt"), reportFileBytesOf(lines));
    const QString path = outputPath(QStringLiteral("txt"));
    EXPECT_EQ(runReportFile(household, report,
                            [&](const LoadedReport &) { return std::make_unique<TextReportWriter>(household, path); }),
              ReportOutcome::Produced);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Arc Lamp\t$0.01\r\nCordless Drill\t\r\nTelevision\t$499.99\r\n"));

    lines[7] = QStringLiteral(" 15"); // past the list
    putFile(QStringLiteral("mine.rpt"), reportFileBytesOf(lines));
    EXPECT_EQ(runReportFile(household, report, [](const LoadedReport &) { return std::unique_ptr<ReportOutput>(); }),
              ReportOutcome::InvalidFile);
    EXPECT_EQ(invalidFileMessages(), 1);
}
