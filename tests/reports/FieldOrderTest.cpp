#include "ReportFixture.h"

#include "reports/DesignerReportFile.h"
#include "reports/FieldOrder.h"

#include <vector>

using FieldOrderTest = ReportTest;

// The designer lists fields in this order and saves a sort key as a
// position in it; the runner turns the position back into a field. The
// specids run against the order a case-sensitive comparison would give, so
// a slip in the rule moves a saved sort onto another field.
TEST_F(FieldOrderTest, CaptionOrderSettlesEveryTie)
{
    struct Row {
        int specid;
        const char *caption; // UTF-8
    };
    const Row rows[] = {
        {1, "Serial"},      {2, "SERIAL"}, {3, "serial"}, // equal but for case: by specid, whatever the case
        {4, "apple"},       {5, "Banana"},                // case ignored: "a" before "B" (by code point "B" is first)
        {6, "øre"},         {7, "Øre"},                   // beyond ASCII too: by specid, though "Ø" < "ø"
        {8, "Notes"},       {9, "Notes"},                 // the same caption twice: by specid
        {10, ""},                                         // an empty caption comes first
        {11, "Est. Value"}, {12, "est"},                  // a caption before the longer ones it begins
    };
    for (const Row &row : rows)
        catalogueDb->execute(QStringLiteral("insert into rptspec (specid, usewith, fieldname, datatype, \"Desc\", "
                                            "defwidth, IsCurrency, FileName) values (?, 'order', 'x', 1, ?, 1, 0, "
                                            "'order')"),
                             {row.specid, QString::fromUtf8(row.caption)});
    const std::vector<int> expected = {10, 4, 5, 12, 11, 8, 9, 1, 2, 3, 6, 7};

    const ReportCatalogue catalogue = ReportCatalogue::load(*catalogueDb, QStringLiteral("order"));
    std::vector<int> listed;
    for (const CatalogueField *field : fieldsInCaptionOrder(catalogue))
        listed.push_back(field->specid);
    EXPECT_EQ(listed, expected);

    for (std::size_t position = 0; position < expected.size(); ++position)
        EXPECT_EQ(sortKeyAtPosition(catalogue, int(position)), expected[position]) << "position " << position;
    EXPECT_EQ(sortKeyAtPosition(catalogue, -1), -1);
    EXPECT_EQ(sortKeyAtPosition(catalogue, -2), std::nullopt);
    EXPECT_EQ(sortKeyAtPosition(catalogue, int(expected.size())), std::nullopt);
}
