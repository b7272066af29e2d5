#include "LayoutFixture.h"

#include "reports/ReportDefaults.h"

#include <QLocale>
#include <QRegularExpression>
#include <map>

namespace {

using Layout = LayoutTest;

TEST_F(Layout, PageSizeFollowsOrientationAndTheDocumentKeepsItsOwn)
{
    PageLayout document;
    // US Letter in the tests' en_US locale: 8.5 × 11 inches.
    EXPECT_EQ(QSizeF(document.pageWidth(), document.pageHeight()), QSizeF(12240, 15840));
    document.setOrientation(PageLayout::Orientation::Landscape);
    EXPECT_EQ(QSizeF(document.pageWidth(), document.pageHeight()), QSizeF(15840, 12240));
    document.startDoc();
    // Only the next document takes a changed orientation.
    document.setOrientation(PageLayout::Orientation::Portrait);
    EXPECT_EQ(document.documentPageSize(), QSizeF(15840, 12240));
    EXPECT_EQ(document.documentPageLayout().orientation(), QPageLayout::Landscape);

    // A4 (210 × 297 mm) where the locale is metric.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    document.startDoc();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_NEAR(document.documentPageSize().width(), 210 / 25.4 * 1440, 0.01);
    EXPECT_NEAR(document.documentPageSize().height(), 297 / 25.4 * 1440, 0.01);
}

TEST_F(Layout, RowsNeedAnOpenDocumentAndAValidFormat)
{
    PageLayout document;
    EXPECT_FALSE(document.tableText(QStringLiteral("1440;"), QStringList{QStringLiteral("a")}));
    document.startDoc();
    EXPECT_FALSE(document.tableText(QStringLiteral("1440|x;"), numberedRows(3)));
    EXPECT_FALSE(document.addTable(QStringLiteral("1440"), {QStringLiteral("h")}, numberedRows(2), 0, BodyShade));
    EXPECT_EQ(document.rowCount(), 0);
    EXPECT_TRUE(document.tableText(QStringLiteral("1440;"), numberedRows(500)));
    document.endDoc();
    EXPECT_FALSE(document.tableText(QStringLiteral("1440;"), QStringList{QStringLiteral("late")}));
    EXPECT_EQ(document.rowCount(), 500);
    ASSERT_GT(document.pageCount(), 1);

    // Starting again drops it all.
    document.startDoc();
    EXPECT_EQ(document.rowCount(), 0);
    EXPECT_EQ(document.pageCount(), 1);
    EXPECT_TRUE(document.pageContent(0).rows.isEmpty());
}

TEST_F(Layout, CellsStayWholeInTheirColumns)
{
    PageLayout document;
    document.startDoc();
    const QStringList first{QStringLiteral("Desk | walnut; two drawers"), QStringLiteral("$1,200.00"),
                            QStringLiteral("x"), QStringLiteral(";")};
    document.tableText(QStringLiteral("5760|>2880|0|>1440;"), first);
    // Fewer cells than columns leave the rest empty; extra ones are not printed.
    document.tableText(QStringLiteral("4320|>2880;"), QStringList{QStringLiteral("Lamp")});
    document.tableText(QStringLiteral("4320;"), QStringList{QStringLiteral("Rug"), QStringLiteral("lost")});

    EXPECT_EQ(document.rowCells(0), first);
    EXPECT_EQ(document.rowCells(2), QStringList{QStringLiteral("Rug")});
    const QList<PlacedRow> rows = document.pageContent(0).rows;
    ASSERT_EQ(rows.size(), 3);
    ASSERT_EQ(rows[0].cells.size(), 4);
    EXPECT_EQ(rows[0].cells[0].lines, QStringList{first[0]});
    const double left = PageLayout::Margin;
    const QList<std::pair<double, bool>> expected = {
        {left, false}, {left + 5760, true}, {left + 8640, false}, {left + 8640, true}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_DOUBLE_EQ(rows[0].cells[c].rect.x(), expected[c].first) << c;
        EXPECT_EQ(rows[0].cells[c].alignRight, expected[c].second) << c;
    }
    EXPECT_DOUBLE_EQ(rows[0].rect.width(), 10080);
    EXPECT_EQ(rows[1].cells.size(), 1);
    EXPECT_DOUBLE_EQ(rows[1].rect.top(), rows[0].rect.bottom());
    EXPECT_DOUBLE_EQ(rows[2].rect.top(), rows[1].rect.bottom());
}

// The row's height is counted when the row arrives and its lines are
// wrapped again when a page is shown: both must agree, or a cell loses its
// end. At every width, from a sliver to a wide column, every placed cell
// shows every character of its text, and its lines fit the column at the
// size they are drawn at.
TEST_F(Layout, EveryPlacedCellShowsAllOfItsText)
{
    const QStringList texts = {
        QStringLiteral("Oak dining table with six matching chairs and two leaves, bought at the estate sale"),
        QStringLiteral("SN4711-0815-ABCDEFGHJKLMNPQRSTUVWXYZ"),
        QStringLiteral("$1,234,567.89"),
        QStringLiteral("Kept in the hall closet; the receipt is in the blue folder.\r\nSecond line of notes."),
        QStringLiteral("Self-Propelled 21-inch lawn mower, model 9-4471B, two dra-wers"),
        QStringLiteral("Grandfatherclockwithwestminsterchimesandmoonphase"),
        QStringLiteral("1. 11. 2015"),
        QStringLiteral("Très belle armoire – Kommode für 1 250,00 € «antik»"),
    };
    PageLayout document;
    document.startDoc();
    for (int width = 300; width <= 6000; width += 137) {
        const QString format = QStringLiteral("%1|>%2;").arg(width).arg(width / 2 + 200);
        for (const QString &text : texts)
            document.tableText(format, QStringList{text, texts.value(2)});
    }
    document.endDoc();

    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    std::map<std::pair<int, int>, QString> shown; // (row, column) -> characters shown
    for (const PlacedOnPage &placed : everyPlacedRow(document)) {
        for (const PlacedCell &cell : placed.row.cells) {
            shown[std::pair(placed.row.row, cell.column)] += cell.lines.join(QString());
            const double area = cell.rect.width() - 2 * PageLayout::CellPaddingX;
            if (area < PageLayoutText::MinWrapWidth)
                continue; // one line, clipped
            for (const QString &line : cell.lines)
                EXPECT_LE(document.text().width(line) * cell.scale, area) << line.toStdString();
        }
    }
    const auto visible = [](QString text) { return text.remove(blanks); };
    for (int row = 0; row < document.rowCount(); ++row) {
        const QStringList cells = document.rowCells(row);
        for (int column = 0; column < cells.size(); ++column)
            EXPECT_EQ(visible(shown[std::pair(row, column)]), visible(cells[column]))
                << "row " << row << " column " << column;
    }
}

TEST_F(Layout, HeaderAndFooterSplitIntoThreePartsWithThePageNumber)
{
    const struct {
        const char *text;
        int page; // index
        QStringList parts;
    } cases[] = {
        {"|All Items|Page %d", 1, {"", "All Items", "Page 2"}},
        {"|Page %d|", 2, {"", "Page 3", ""}},
        {"05/01/2024|Value Summary by Category|Page %d", 0, {"05/01/2024", "Value Summary by Category", "Page 1"}},
        // A "|" typed into a title stays in the centre.
        {"|Tools | Garage|Page %d", 0, {"", "Tools | Garage", "Page 1"}},
        {"Inventory", 0, {"Inventory", "", ""}},
        {"L|C", 0, {"L", "C", ""}},
        {"%d|of|%d", 1, {"2", "of", "2"}},
    };
    for (const auto &c : cases) {
        PageLayout document;
        document.setHeaderText(QString::fromUtf8(c.text));
        document.setFooterText(QString::fromUtf8(c.text));
        document.startDoc();
        document.tableText(QStringLiteral("1440;"), numberedRows(200, 1));
        document.endDoc();
        const PageContent page = document.pageContent(c.page);
        EXPECT_EQ(page.header, c.parts) << c.text;
        EXPECT_EQ(page.footer, c.parts) << c.text;
    }
}

// A line of literal parts shows them as given, "%d" and "|" included; only
// a part that counts pages gets the number.
TEST_F(Layout, LiteralHeaderPartsAreShownAsGiven)
{
    PageLayout document;
    PageLayout::PageLine line;
    line.parts = {QStringLiteral("Claim"), QStringLiteral("Ada 100%d | Co, policy X|%d"), QStringLiteral("Page %d")};
    line.numbered = {false, false, true};
    document.setHeaderLine(line);
    document.setFooterLine(PageLayout::PageLine::fromText(QStringLiteral("|%d|")));
    document.startDoc();
    document.tableText(QStringLiteral("1440;"), numberedRows(200, 1));
    document.endDoc();
    ASSERT_GE(document.pageCount(), 2);
    EXPECT_EQ(document.pageContent(1).header, (QStringList{"Claim", "Ada 100%d | Co, policy X|%d", "Page 2"}));
    EXPECT_EQ(document.pageContent(1).footer, (QStringList{"", "2", ""}));
}

TEST_F(Layout, APageKeepsTheTextsSetWhenItWasFinished)
{
    PageLayout document;
    document.setHeaderText(QStringLiteral("|Old|"));
    document.startDoc();
    // Set after the start, as the report engine does: the first page has it.
    document.setHeaderText(QStringLiteral("|New|Page %d"));
    document.endDoc();
    // The next report sets its header before it starts; the document shown
    // until then must not change.
    document.setHeaderText(QStringLiteral("|Next report|"));
    EXPECT_EQ(document.pageContent(0).header, (QStringList{"", "New", "Page 1"}));
}

} // namespace
