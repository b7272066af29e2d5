#include "LayoutFixture.h"

#include "reports/ReportDefaults.h"
#include "reports/ReportTableHeading.h"

#include <QSignalSpy>

namespace {

// A document whose pages begin the way a screen report's do.
class PageBreaks : public LayoutTest {
protected:
    PageBreaks()
    {
        QObject::connect(&document, &PageLayout::newPage, [this] { addRepeatedHeading(document); });
    }

    // Begins the document, with the heading row on every page when RepeatHeading.
    void startDoc(bool RepeatHeading)
    {
        if (RepeatHeading)
            document.startDoc(PageLayout::RepeatedHeading{TableFormat, TableHeading});
        else
            document.startDoc();
    }

    bool isHeading(const PlacedRow &row) const { return document.rowCells(row.row) == TableHeading; }

    int headingsOn(int page) const
    {
        int count = 0;
        for (const PlacedRow &row : document.pageContent(page).rows)
            count += isHeading(row);
        return count;
    }

    // Every data row's lines appear once, in order, within the page body.
    void expectEveryLineOnceInOrder(int dataRows) const
    {
        const double bodyBottom = document.documentPageSize().height() - PageLayout::Margin
            - document.text().lineHeight() - PageLayout::HeaderGap;
        const QList<TableColumn> columns = parseTableFormat(TableFormat).value();
        int row = -1, line = 0, rows = 0, expectedLines = 0;
        for (const PlacedOnPage &placed : everyPlacedRow(document)) {
            EXPECT_LE(placed.row.rect.bottom(), bodyBottom + 0.01) << "page " << placed.page;
            if (isHeading(placed.row))
                continue;
            if (placed.row.row != row) {
                EXPECT_EQ(line, expectedLines) << "row " << row << " is incomplete";
                EXPECT_GT(placed.row.row, row);
                row = placed.row.row;
                line = 0;
                ++rows;
                const QStringList cells = document.rowCells(row);
                expectedLines = 1;
                for (qsizetype c = 0; c < cells.size(); ++c)
                    expectedLines =
                        std::max(expectedLines,
                                 document.text().lineCount(cells[c], columns[c].width - 2 * PageLayout::CellPaddingX));
            }
            EXPECT_EQ(placed.row.firstLine, line) << "row " << row;
            line += placed.row.lineCount;
        }
        EXPECT_EQ(line, expectedLines);
        EXPECT_EQ(rows, dataRows);
    }

    QString TableFormat = QStringLiteral("2880|>1440;");
    QStringList TableHeading = {QStringLiteral("Description"), QStringLiteral("Value")};
    PageLayout document;
};

TEST_F(PageBreaks, RepeatedHeadingOpensEveryPage)
{
    QSignalSpy pages(&document, &PageLayout::newPage);
    startDoc(true);
    for (const QStringList &row : numberedRows(1000))
        document.tableText(TableFormat, row);
    document.endDoc();

    ASSERT_GT(document.pageCount(), 5);
    EXPECT_EQ(pages.count(), document.pageCount());
    for (int page = 0; page < document.pageCount(); ++page) {
        const PlacedRow first = document.pageContent(page).rows.value(0);
        EXPECT_TRUE(isHeading(first)) << "page " << page;
        EXPECT_EQ(first.shade, std::optional<QRgb>(BodyShade));
        EXPECT_EQ(headingsOn(page), 1) << "page " << page;
    }
    expectEveryLineOnceInOrder(1000);
}

TEST_F(PageBreaks, ClearedRepeatHeadingLeavesLaterPagesBare)
{
    // The fixed reports print the heading once, themselves.
    startDoc(false);
    document.addTable(TableFormat, {}, {TableHeading}, HeaderShade, BodyShade);
    document.tableText(TableFormat, numberedRows(1000));
    document.endDoc();

    ASSERT_GT(document.pageCount(), 5);
    EXPECT_EQ(headingsOn(0), 1);
    for (int page = 1; page < document.pageCount(); ++page)
        EXPECT_EQ(headingsOn(page), 0) << "page " << page;
    expectEveryLineOnceInOrder(1000);
}

TEST_F(PageBreaks, ARowTallerThanAPageContinuesOnTheNextPages)
{
    startDoc(true);
    document.tableText(TableFormat, numberedRows(5));
    QString note;
    for (int i = 0; i < 400; ++i)
        note += QStringLiteral("line%1\n").arg(i);
    document.tableText(TableFormat, QStringList{note, QStringLiteral("$5.00")});
    document.tableText(TableFormat, numberedRows(5));
    document.endDoc();

    ASSERT_GE(document.pageCount(), 3);
    for (int page = 0; page < document.pageCount(); ++page)
        EXPECT_EQ(headingsOn(page), 1) << "page " << page;
    expectEveryLineOnceInOrder(11);
    QStringList shown;
    for (const PlacedOnPage &placed : everyPlacedRow(document)) {
        if (placed.row.row == 6)
            shown += placed.row.cells.value(0).lines;
    }
    EXPECT_EQ(shown.size(), 400);
    EXPECT_EQ(shown.value(399), QStringLiteral("line399"));
}

TEST_F(PageBreaks, AHeadingTallerThanAPageDoesNotStall)
{
    TableHeading = {QStringLiteral("word ").repeated(100), QStringLiteral("Value")};
    TableFormat = QStringLiteral("400|>1440;"); // a word a line: taller than a page
    startDoc(true);
    document.tableText(TableFormat, numberedRows(3));
    document.endDoc();
    expectEveryLineOnceInOrder(3);
    EXPECT_LT(document.pageCount(), 10);
}

} // namespace
