#include "ReportFixture.h"

#include "data/Recordset.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportQuery.h"

#include <QFile>
#include <QSet>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

using ShippedReportsTest = DemoReportTest;

TEST_F(ShippedReportsTest, EachReadyMadeListingIsValidAndSortedAsItsMenuEntrySays)
{
    struct Listing {
        const char *file;
        QStringList sortFields; // fieldnames of Sort1, Sort2
    };
    const Listing listings[] = {
        {"bycat.srp", {"catDesc", "Item"}},
        {"byloc.srp", {"locDesc", "Item"}},
        {"byitem.srp", {"Item"}},
    };
    // What a household wants to see in every listing.
    const QStringList wanted = {"Item",  "catDesc",   "locDesc",  "manufact", "model",
                                "serno", "purchdate", "estvalue", "quantity", "totvalue"};
    auto inventory = Database::open(folder.file(QStringLiteral("stowbook.db")));
    const qint64 items = inventory->scalar(QStringLiteral("select count(*) from items")).toLongLong();

    for (const Listing &listing : listings) {
        SCOPED_TRACE(listing.file);
        // The copy the data folder got is the one in the source tree.
        const QString path = folder.file(QLatin1String(listing.file));
        EXPECT_EQ(fileBytes(path),
                  fileBytes(QStringLiteral(STOWBOOK_SOURCE_DIR "/share/") + QLatin1String(listing.file)));

        ReportFileReader reader(household, *catalogueDb);
        const auto report = reader.read(path);
        ASSERT_TRUE(report) << reader.problem().toStdString();
        const ReportSpec &spec = report->spec;
        EXPECT_EQ(spec.UseWith, QStringLiteral("items"));
        EXPECT_EQ(spec.ReportTo, ReportToScreen);
        EXPECT_EQ(spec.WidthUnit, WidthInInches);

        QStringList sorts;
        for (const qint16 key : {spec.Sort1, spec.Sort2})
            if (key != NoSort)
                sorts << report->catalogue.field(key).fieldname;
        EXPECT_EQ(sorts, listing.sortFields);

        QStringList shown;
        float inches = 0;
        for (const qint16 id : spec.FieldIds) {
            EXPECT_FALSE(spec.FieldHide[id]);
            shown << report->catalogue.field(id).fieldname;
            inches += spec.FieldWidth[id];
            // Only the total value is summed; money shows as money.
            EXPECT_EQ(spec.FieldTotal[id], shown.last() == QLatin1String("totvalue")) << shown.last().toStdString();
            EXPECT_EQ(spec.FieldIsCurrency[id], report->catalogue.field(id).isCurrency);
        }
        EXPECT_EQ(QSet<QString>(shown.begin(), shown.end()), QSet<QString>(wanted.begin(), wanted.end()));
        EXPECT_EQ(shown.first(), listing.sortFields.first());
        // The columns fit a landscape page inside half-inch margins.
        EXPECT_EQ(spec.Orientation, 1);
        EXPECT_LE(inches, 10.0f);

        // Written again by the writer, it is the same file.
        const auto bytes = reportFileBytes(spec);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, fileBytes(path));

        // And it runs: every item, once.
        const auto query = buildReportQuery(spec, report->catalogue);
        ASSERT_TRUE(query);
        auto rows = inventory->openRecordset(query->sql, RecordsetType::Snapshot, query->params);
        EXPECT_EQ(rows->recordCount(), items);
        EXPECT_EQ(rows->columnNames().size(), spec.FieldIds.size());
    }
    EXPECT_EQ(invalidFileMessages(), 0);
}
