#include "ClaimFixture.h"

#include "claim/ClaimDocument.h"
#include "claim/ClaimItems.h"
#include "data/Database.h"
#include "data/Inventory.h"
#include "data/Recordset.h"
#include "dates/LocaleFormats.h"
#include "items/PictureFiles.h"
#include "program/Household.h"
#include "reports/PageLayout.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSet>

namespace {

const QDate Today(2025, 6, 30);

// The texts of a page's rows, cells joined by " | ".
QStringList rowTexts(const PageLayout &doc, int page)
{
    QStringList texts;
    for (const PlacedRow &row : doc.pageContent(page).rows) {
        QStringList cells;
        for (const PlacedCell &cell : row.cells)
            cells << cell.text;
        texts << cells.join(QStringLiteral(" | "));
    }
    return texts;
}

// Each item's total value summed exactly, by the database's own grouping.
Money storedTotal(Database &db, const QString &where = QString(), const QVariantList &params = {})
{
    auto rows = db.openRecordset(QStringLiteral("select i.totvalue from items i left join categories c "
                                                "on c.catid = i.catid ")
                                     + where,
                                 RecordsetType::Snapshot, params);
    Money total;
    if (rows->recordCount() == 0)
        return total;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext()) {
        const QVariant value = rows->value(0);
        if (value.metaType() == QMetaType::fromType<Money>())
            total += value.value<Money>();
    }
    return total;
}

} // namespace

// The whole household: a cover with the claimant and the totals, then every
// item once, with its fields and its picture, several to a page, each item
// whole on one page, and "Page n of m" under every page.
TEST_F(ClaimTest, TheClaimOfTheHouseholdListsEveryItemAfterItsCover)
{
    const qint64 hostile = addItem({{"Item", QStringLiteral("Vase 100%d | ; <b>&amp;")},
                                    {"totvalue", 12.3456},
                                    {"Notes", QStringLiteral("Line one\nLine two\tafter a tab")}});
    ClaimantDetails claimant{QStringLiteral("Ada Lovelace"), QStringLiteral("12 Ørsted Road\nLondon"),
                             QStringLiteral("POL-77/%d"), DateValue::fromDate(QDate(2025, 6, 1)),
                             QStringLiteral("Fire in the kitchen.")};
    QString problem;
    const std::optional<QList<ClaimItem>> items = selectClaimItems(household, {}, &problem);
    ASSERT_TRUE(items) << problem.toStdString();
    const qsizetype itemCount =
        household.dbInventory()->scalar(QStringLiteral("select count(*) from items")).toLongLong();
    ASSERT_EQ(items->size(), itemCount);

    PageLayout doc;
    buildClaimDocument(doc, claimant, {}, *items, Today);
    const int pages = doc.pageCount();
    ASSERT_GT(pages, 3);
    for (int page = 0; page < pages; ++page) {
        EXPECT_EQ(doc.pageContent(page).footer.value(1), QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
        // Who claims under which policy heads every page, as typed: the
        // "%d" in the policy number is no page number.
        EXPECT_EQ(doc.pageContent(page).header,
                  (QStringList{QStringLiteral("Insurance Claim"), QStringLiteral("Ada Lovelace, policy POL-77/%d"),
                               formatShortDate(DateValue::fromDate(Today))}));
    }

    const QStringList cover = rowTexts(doc, 0);
    const Money total = storedTotal(household.inventory());
    for (const QString &expected :
         {QStringLiteral("Insurance Claim"), QStringLiteral("Claimant | Ada Lovelace"),
          QStringLiteral("Address | 12 Ørsted Road\nLondon"), QStringLiteral("Policy number | POL-77/%d"),
          QStringLiteral("Date of loss | ") + formatShortDate(claimant.dateOfLoss),
          QStringLiteral("Incident | Fire in the kitchen."), QStringLiteral("Items claimed | %1").arg(itemCount),
          QStringLiteral("Total value | ") + formatCurrency(total), QStringLiteral("Items listed | All items"),
          QStringLiteral("Produced | ") + formatShortDate(DateValue::fromDate(Today))}) {
        EXPECT_TRUE(cover.contains(expected)) << expected.toStdString();
    }
    // The cover ends with the declaration and a place to sign and date.
    ASSERT_GE(cover.size(), 2);
    EXPECT_TRUE(
        cover[cover.size() - 2].startsWith(QStringLiteral("I declare that the information given in this claim")));
    EXPECT_TRUE(cover.back().startsWith(QStringLiteral("Signature of Ada Lovelace\n\n___")));
    EXPECT_TRUE(cover.back().contains(QStringLiteral(" | Date\n\n___")));
    // Each category's line holds the exact sum of its items.
    auto categories = household.dbInventory()->openRecordset(QStringLiteral("select catid, catDesc from categories"),
                                                             RecordsetType::Snapshot);
    int withItems = 0;
    for (categories->moveFirst(); !categories->eof(); categories->moveNext()) {
        const int count =
            household.dbInventory()
                ->scalar(QStringLiteral("select count(*) from items where catid = ?"), {categories->value(0)})
                .toInt();
        if (count == 0)
            continue;
        ++withItems;
        const QString line =
            QStringLiteral("%1 | %2 | %3")
                .arg(categories->value(1).toString())
                .arg(count)
                .arg(formatCurrency(
                    storedTotal(household.inventory(), QStringLiteral("where i.catid = ?"), {categories->value(0)})));
        EXPECT_TRUE(cover.contains(line)) << line.toStdString();
    }
    EXPECT_GT(withItems, 3);
    EXPECT_TRUE(cover.contains(QStringLiteral("Total | %1 | %2").arg(itemCount).arg(formatCurrency(total))));

    // The items, from the second page on.
    QStringList headings;
    int pictures = 0;
    int mostOnAPage = 0;
    for (int page = 1; page < pages; ++page) {
        const QList<PlacedRow> rows = doc.pageContent(page).rows;
        int onThisPage = 0;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            const QStringList cells{rows[r].cells.value(0).text, rows[r].cells.value(1).text};
            if (!cells[0].contains(QStringLiteral(" of %1: ").arg(itemCount)))
                continue;
            ++onThisPage;
            headings << cells[0];
            ASSERT_LT(r + 1, rows.size()) << "an item's fields follow its heading on its page";
            const PlacedRow &fields = rows[r + 1];
            EXPECT_TRUE(fields.cells[0].text.startsWith(QStringLiteral("Description: ")))
                << fields.cells[0].text.toStdString();
            // The first photo spans the page under the fields, large
            // enough for a label on it to be read.
            const PlacedCell *photo =
                r + 2 < rows.size() && rows[r + 2].cells.size() == 1 ? &rows[r + 2].cells[0] : nullptr;
            if (photo && photo->picture) {
                ++pictures;
                const QSizeF shape = photo->pictureRect.size();
                EXPECT_GT(shape.width(), fields.rect.width() * 0.75);
                EXPECT_FALSE(fields.cells[1].picture);
            } else {
                EXPECT_EQ(fields.cells[1].text, QStringLiteral("No picture"));
            }
        }
        mostOnAPage = std::max(mostOnAPage, onThisPage);
    }
    EXPECT_EQ(headings.size(), itemCount) << "every item once";
    ASSERT_FALSE(headings.isEmpty());
    EXPECT_TRUE(headings.front().startsWith(QStringLiteral("1 of %1: ").arg(itemCount))) << "counted from one";
    EXPECT_TRUE(headings.back().startsWith(QStringLiteral("%1 of %1: ").arg(itemCount)));
    EXPECT_EQ(QSet<QString>(headings.begin(), headings.end()).size(), headings.size());
    EXPECT_EQ(pictures, QDir(household.itemFiles().folder()).entryList(QDir::Files).size());
    EXPECT_GE(mostOnAPage, 3) << "several items to a page";
    // Texts are shown as they stand: nothing is markup, "%d" is no page number.
    const auto hostileHeading = std::find_if(headings.begin(), headings.end(), [](const QString &h) {
        return h.endsWith(QStringLiteral(": Vase 100%d | ; <b>&amp;"));
    });
    EXPECT_NE(hostileHeading, headings.end());
    Q_UNUSED(hostile);
}

// The fields of an item, one a line, in the claim's words; amounts exact in
// the locale's currency, empty values empty.
TEST_F(ClaimTest, AnItemShowsEveryFieldExactly)
{
    ClaimItem item;
    item.item = QStringLiteral("Piano");
    item.manufact = QStringLiteral("Steinway");
    item.serno = QStringLiteral("SN-1");
    item.purchdate = DateValue::fromDate(QDate(2001, 5, 15));
    item.purchprice = Money::fromUnits(123456789); // 12,345.6789: shown as the locale rounds currency
    item.estvalue = std::nullopt;
    item.quantity = 2;
    item.totvalue = Money::fromUnits(246913578);
    item.receipt = true;
    item.category = QStringLiteral("Music");
    item.notes = QStringLiteral("Tuned yearly");
    EXPECT_EQ(
        claimItemFields(item).split(u'\n'),
        (QStringList{"Description: Piano", "Manufacturer: Steinway", "Model: ", "Serial Number: SN-1",
                     "Purchase Date: " + formatShortDate(item.purchdate),
                     "Purchase Price: " + formatCurrency(*item.purchprice), "Est. Value: ", "Quantity: 2",
                     "Total Value: " + formatCurrency(*item.totvalue), "Receipt on File: Yes",
                     "Where Purchased: ", "Miscellaneous: ", "Category: Music", "Location: ", "Notes: Tuned yearly"}));
}

// Which items each selection takes, and in what order; names are matched
// ignoring case, and a name nobody has is refused with a reason.
TEST_F(ClaimTest, EachSelectionTakesItsItems)
{
    const QString anyCategory = household.dbInventory()
                                    ->scalar(QStringLiteral("select catDesc from categories where catid in "
                                                            "(select catid from items) limit 1"))
                                    .toString();
    const QString anyLocation = household.dbInventory()
                                    ->scalar(QStringLiteral("select locDesc from locations where locid in "
                                                            "(select locid from items) limit 1"))
                                    .toString();
    // A report file of the engine's own kind: items whose description
    // begins with "b", sorted by description.
    QFile shipped(household.DataFolder() + QStringLiteral("bycat.srp"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = shipped.readAll().split('\n');
    lines[7] = " 1\r";
    lines[8] = "-1\r";
    lines[13] = "b;;;;;;;;;;;;;;\r";
    putFile(household.DataFolder() + QStringLiteral("b-items.srp"), lines.join('\n'));

    struct Row {
        const char *name;
        ClaimSelection selection;
        QString where; // the items expected, in the order expected
        QVariantList params;
        const char *problem;
    };
    const Row rows[] = {
        {"a category in other case",
         {ClaimSelection::Kind::Category, anyCategory.toUpper()},
         "where c.catDesc = ? order by i.Item collate nocase, i.iteid",
         {anyCategory},
         nullptr},
        {"a location",
         {ClaimSelection::Kind::Location, anyLocation},
         "left join locations l on l.locid = i.locid where l.locDesc = ? order by c.catDesc is null, "
         "c.catDesc collate nocase, i.Item collate nocase, i.iteid",
         {anyLocation},
         nullptr},
        {"a report file",
         {ClaimSelection::Kind::ReportFile, household.DataFolder() + QStringLiteral("b-items.srp")},
         "where i.Item like 'b%' order by i.Item collate nocase",
         {},
         nullptr},
        {"a category nobody has",
         {ClaimSelection::Kind::Category, QStringLiteral("Spaceships")},
         QString(),
         {},
         "There is no category \"Spaceships\"."},
        {"a missing report file",
         {ClaimSelection::Kind::ReportFile, household.DataFolder() + QStringLiteral("gone.srp")},
         QString(),
         {},
         ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        QString problem;
        const std::optional<QList<ClaimItem>> items = selectClaimItems(household, row.selection, &problem);
        if (row.problem) {
            EXPECT_FALSE(items);
            EXPECT_TRUE(problem.startsWith(QLatin1String(row.problem))) << problem.toStdString();
            continue;
        }
        ASSERT_TRUE(items) << problem.toStdString();
        auto expected =
            household.dbInventory()->openRecordset(QStringLiteral("select i.iteid from items i left join categories c "
                                                                  "on c.catid = i.catid ")
                                                       + row.where,
                                                   RecordsetType::Snapshot, row.params);
        QList<qint64> keys;
        if (expected->recordCount() > 0) {
            for (expected->moveFirst(); !expected->eof(); expected->moveNext())
                keys << expected->value(0).toLongLong();
        }
        QList<qint64> got;
        for (const ClaimItem &item : *items)
            got << item.iteid;
        EXPECT_FALSE(keys.isEmpty());
        EXPECT_EQ(got, keys);
    }
}

// A JPEG photo taken sideways is drawn upright in the claim, at the size it
// is drawn: its shape is its upright one, and what is read is small.
TEST_F(ClaimTest, PhotosAreReadUprightAndSmall)
{
    const qint64 key = addItem({{"Item", QStringLiteral("Camera")}, {"totvalue", 500}});
    putFile(household.itemFiles().folder() + ItemFiles::baseName(key) + QStringLiteral(".jpg"), photo(4000, 3000));
    QString problem;
    const std::optional<QList<ClaimItem>> items =
        selectClaimItems(household, {ClaimSelection::Kind::All, QString()}, &problem);
    ASSERT_TRUE(items);
    const auto camera =
        std::find_if(items->begin(), items->end(), [key](const ClaimItem &i) { return i.iteid == key; });
    ASSERT_NE(camera, items->end());
    EXPECT_TRUE(camera->picturePath.endsWith(ItemFiles::baseName(key) + QStringLiteral(".jpg")));

    const QImage small = readPictureFileScaled(camera->picturePath, QSize(400, 400));
    EXPECT_EQ(small.size(), QSize(400, 300));
    EXPECT_EQ(pictureFileSize(camera->picturePath), QSize(4000, 3000));
    EXPECT_GT(small.pixelColor(10, 10).blue(), 200);
    EXPECT_LT(small.pixelColor(390, 290).blue(), 100);
    EXPECT_TRUE(readPictureFileScaled(camera->picturePath, QSize(0, 10)).isNull());
}

// Of several files of one item, the claim draws the one the picture window
// shows, whatever order the folder lists them in.
TEST_F(ClaimTest, TheClaimDrawsThePictureThePictureWindowShows)
{
    const qint64 key = addItem({{"Item", QStringLiteral("Lamp")}, {"totvalue", 40}});
    const QString folder = household.itemFiles().folder() + ItemFiles::baseName(key);
    putFile(folder + QStringLiteral(".jpg"), photo(40, 30));
    QImage bitmap(20, 20, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(bitmap.save(&buffer, "BMP"));
    putFile(folder + QStringLiteral(".bmp"), bmp);

    QString problem;
    const std::optional<QList<ClaimItem>> items =
        selectClaimItems(household, {ClaimSelection::Kind::All, QString()}, &problem);
    ASSERT_TRUE(items);
    const auto lamp = std::find_if(items->begin(), items->end(), [key](const ClaimItem &i) { return i.iteid == key; });
    ASSERT_NE(lamp, items->end());
    EXPECT_EQ(lamp->picturePath, household.itemFiles().picture(key));
    EXPECT_TRUE(lamp->picturePath.endsWith(QStringLiteral(".bmp")));
}
