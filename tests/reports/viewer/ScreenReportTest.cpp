#include "RunWindowFixture.h"

#include "reports/PageLayout.h"
#include "reports/ScreenReport.h"
#include "reports/viewer/RunReport.h"
#include "reports/viewer/frmOutput.h"

namespace {

PageLayout &shownDocument()
{
    frmOutput *window = frmOutput::current();
    EXPECT_NE(window, nullptr);
    EXPECT_TRUE(window && window->isVisible());
    return *window->PrintPreview;
}

} // namespace

using ScreenReport = RunWindowTest;

TEST_F(ScreenReport, LongReportRepeatsTheHeadingOnEveryPageInLandscape)
{
    for (int i = 0; i < 150; ++i)
        addItem(QStringLiteral("Item %1").arg(i, 3, 10, QLatin1Char('0')), money("2"));
    QStringList lines = reportLines({1, 11});
    lines[3] = QStringLiteral("1"); // landscape
    lines[4] = QStringLiteral("0"); // no date: nothing depends on today
    setItem(lines, 21, 11, QStringLiteral("1"));
    setItem(lines, 22, 11, QStringLiteral("1"));
    putFile(QStringLiteral("long.srp"), reportFileBytesOf(lines));

    ASSERT_EQ(RunReport(household, QStringLiteral("long.srp")), ReportOutcome::Produced);
    EXPECT_EQ(prompts.busyDepth(), 0);
    const PageLayout &doc = shownDocument();
    ASSERT_GT(doc.pageCount(), 2);
    EXPECT_GT(doc.documentPageSize().width(), doc.documentPageSize().height());
    const QStringList heading{QStringLiteral("Description"), QStringLiteral("Total Value")};
    for (int page = 0; page < doc.pageCount(); ++page) {
        const PageContent content = doc.pageContent(page);
        ASSERT_FALSE(content.rows.isEmpty());
        EXPECT_EQ(doc.rowCells(content.rows[0].row), heading) << "page " << page + 1;
        EXPECT_EQ(content.header,
                  QStringList({QString(), QStringLiteral("Test Report"), QStringLiteral("Page %1").arg(page + 1)}));
    }
    // 150 rows, the totals row, and one heading row per page.
    EXPECT_EQ(doc.rowCount(), 151 + doc.pageCount());
    EXPECT_EQ(doc.rowCells(doc.rowCount() - 1), QStringList({QString(), QStringLiteral("$300.00")}));
}

TEST_F(ScreenReport, SecondReportReplacesTheFirstAndDropsItsFooter)
{
    addFixedInventory();
    QStringList first = reportLines({1});
    first[4] = QStringLiteral("0");
    first[5] = QStringLiteral("1"); // page number at the bottom
    putFile(QStringLiteral("first.srp"), reportFileBytesOf(first));
    QStringList second = reportLines({1, 10});
    second[4] = QStringLiteral("0");
    second[5] = QStringLiteral("2"); // no page numbers
    second[1] = QStringLiteral("Second");
    putFile(QStringLiteral("second.srp"), reportFileBytesOf(second));

    ASSERT_EQ(RunReport(household, QStringLiteral("first.srp")), ReportOutcome::Produced);
    frmOutput *window = frmOutput::current();
    EXPECT_EQ(shownDocument().pageContent(0).footer, QStringList({QString(), QStringLiteral("Page 1"), QString()}));

    ASSERT_EQ(RunReport(household, QStringLiteral("second.srp")), ReportOutcome::Produced);
    EXPECT_EQ(frmOutput::current(), window);
    const PageLayout &doc = shownDocument();
    EXPECT_EQ(doc.rowCount(), 1 + 3); // heading and three items
    EXPECT_EQ(doc.rowCells(1), QStringList({QStringLiteral("Arc Lamp"), QStringLiteral("3")}));
    EXPECT_EQ(doc.pageContent(0).header, QStringList({QString(), QStringLiteral("Second"), QString()}));
    EXPECT_EQ(doc.pageContent(0).footer.join(QString()), QString());
}

TEST_F(ScreenReport, NoRowsShowsNoWindowAndKeepsTheShownReport)
{
    addItem(QStringLiteral("Only"));
    QStringList lines = reportLines({1});
    lines[4] = QStringLiteral("0");
    putFile(QStringLiteral("all.srp"), reportFileBytesOf(lines));
    setItem(lines, 14, 1, QStringLiteral("Nothing like it"));
    putFile(QStringLiteral("none.srp"), reportFileBytesOf(lines));

    EXPECT_EQ(RunReport(household, QStringLiteral("none.srp")), ReportOutcome::NoRows);
    EXPECT_EQ(frmOutput::current(), nullptr);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].text, NoRecordsMessage);

    ASSERT_EQ(RunReport(household, QStringLiteral("all.srp")), ReportOutcome::Produced);
    EXPECT_EQ(RunReport(household, QStringLiteral("none.srp")), ReportOutcome::NoRows);
    EXPECT_EQ(shownDocument().rowCells(1), QStringList({QStringLiteral("Only")}));
    EXPECT_EQ(prompts.busyDepth(), 0);
}
