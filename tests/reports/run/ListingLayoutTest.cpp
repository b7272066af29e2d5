// The three ready-made listings laid out as the screen report lays them out,
// on US Letter (en_US) and A4 (en_GB and de_DE), inspected cell by cell on the
// placed pages: no amount, number, date or serial number is split, headings
// are whole words, and what a household stores fits the columns.
#include "ReportFixture.h"

#include "reports/PageLayout.h"
#include "reports/ReportQuery.h"
#include "reports/ReportRun.h"
#include "reports/ReportTableHeading.h"
#include "reports/ScreenReport.h"

#include <map>

namespace {

const char *const Listings[] = {"bycat.srp", "byloc.srp", "byitem.srp"};

// One cell of the document, all its pages together.
struct ShownCell {
    QStringList lines;
    int fragments = 0;
    double scale = 1;
};

class ListingLayout : public ReportTest {
protected:
    explicit ListingLayout(const SetupOptions &options) : ReportTest(options) { household.openInventory(); }
    ~ListingLayout() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // Lays the listing out in document as the screen report does; the
    // columns of its query.
    QList<ReportColumn> layOut(const char *listing, PageLayout &document)
    {
        ReportFileReader reader(household, *catalogueDb);
        const std::optional<LoadedReport> report = reader.read(folder.file(QLatin1String(listing)));
        EXPECT_TRUE(report) << reader.problem().toStdString();
        if (!report)
            return {};
        QObject::connect(&document, &PageLayout::newPage, &document, [&document] { addRepeatedHeading(document); });
        ScreenReportOutput output(&document, DateValue::fromDate(QDate(2024, 2, 29)));
        EXPECT_EQ(produceReport(household, report->spec, report->catalogue, output), ReportOutcome::Produced);
        return buildReportQuery(report->spec, report->catalogue)->columns;
    }

    static std::map<std::pair<int, int>, ShownCell> shownCells(const PageLayout &document)
    {
        std::map<std::pair<int, int>, ShownCell> cells;
        for (int page = 0; page < document.pageCount(); ++page) {
            for (const PlacedRow &row : document.pageContent(page).rows) {
                for (const PlacedCell &cell : row.cells) {
                    ShownCell &shown = cells[std::pair(row.row, cell.column)];
                    shown.lines += cell.lines;
                    ++shown.fragments;
                    shown.scale = cell.scale;
                }
            }
        }
        return cells;
    }

    // Checks every cell of a laid-out listing. With fitting set, figures
    // must also be shown at full size and words never broken inside.
    static void checkListing(const PageLayout &document, const QList<ReportColumn> &columns, bool fitting)
    {
        const auto cells = shownCells(document);
        const QStringList heading = document.repeatedHeading().value_or(PageLayout::RepeatedHeading{}).cells;
        int headings = 0;
        for (const auto &[where, shown] : cells) {
            const QString text = document.rowCells(where.first).value(where.second);
            const ReportColumn &column = columns.value(where.second);
            if (document.rowCells(where.first) == heading) {
                ++headings;
                EXPECT_TRUE(wholeWords(text, shown.lines))
                    << "heading " << text.toStdString() << " shown as " << shown.lines.join(u'|').toStdString();
                EXPECT_EQ(shown.scale, 1.0) << text.toStdString();
                continue;
            }
            const bool figure = column.datatype == 2 || column.datatype == 3 || column.caption == u"Serial Number";
            if (figure && !text.isEmpty()) {
                EXPECT_EQ(shown.lines, QStringList{text}) << column.caption.toStdString() << " split";
                EXPECT_EQ(shown.fragments, 1) << text.toStdString();
            }
            // The totals row of a listing may exceed any amount an item holds.
            const bool totals = where.first == document.rowCount() - 1;
            if (fitting && !totals) {
                EXPECT_EQ(shown.scale, 1.0) << column.caption.toStdString() << " " << text.toStdString();
                EXPECT_TRUE(wholeWords(text, shown.lines))
                    << text.toStdString() << " shown as " << shown.lines.join(u'|').toStdString();
            }
        }
        EXPECT_EQ(headings, document.pageCount() * heading.size());
    }

    // Whether lines show text broken only at blanks and after hyphens.
    static bool wholeWords(const QString &text, const QStringList &lines)
    {
        const QString whole = text.simplified();
        qsizetype at = 0;
        for (const QString &line : lines) {
            if (!QStringView(whole).mid(at).startsWith(line))
                return false;
            at += line.size();
            if (at < whole.size() && whole[at] == u' ')
                ++at;
            else if (at < whole.size() && !line.endsWith(u'-'))
                return false;
        }
        return at == whole.size();
    }
};

class DemoListingLayout : public ListingLayout {
protected:
    DemoListingLayout() : ListingLayout({.demo = true}) {}
};

class GeneratedListingLayout : public ListingLayout {
protected:
    GeneratedListingLayout() : ListingLayout({.generatedItems = 10000}) {}
};

} // namespace

TEST_F(DemoListingLayout, TheDemoAndTheLargestHouseholdValuesFitOnLetterAndA4)
{
    // What a household stores at most: amounts to $9,999,999.99, a
    // quantity of 32767, a long word in every text column.
    household.dbInventory()->execute(QStringLiteral(
        "insert into items (Item, manufact, model, serno, purchdate, estvalue, quantity, totvalue, catid, locid) "
        "values ('Refrigerator', 'Stridemaster', 'SHX78B75UC', 'CFI1215A-44A1190', '2015-12-31', 9999999.99, 32767, "
        "9999999.99, 6, 6)"));
    for (const char *locale : {"en_US", "en_GB"}) {
        const LocaleScope scope(locale);
        for (const char *listing : Listings) {
            SCOPED_TRACE(testing::Message() << locale << " " << listing);
            PageLayout document;
            const QList<ReportColumn> columns = layOut(listing, document);
            ASSERT_GT(document.pageCount(), 1);
            checkListing(document, columns, true);
        }
    }
}

TEST_F(GeneratedListingLayout, NoValueOfTenThousandItemsIsSplit)
{
    // Serial numbers of 20 characters, and a total above any column.
    household.dbInventory()->execute(
        QStringLiteral("update items set serno = '12345678901234567890' where iteid % 7 = 0"));
    household.dbInventory()->execute(
        QStringLiteral("update items set serno = '4CE0460D0G8XK3Q7R2Z1' where iteid % 7 = 1"));
    for (const char *locale : {"en_US", "de_DE"}) {
        const LocaleScope scope(locale);
        SCOPED_TRACE(locale);
        PageLayout document;
        const QList<ReportColumn> columns = layOut(Listings[0], document);
        ASSERT_GT(document.pageCount(), 100);
        checkListing(document, columns, false);
    }
}
