#include "QtPrinters.h"
#include "reports/ReportTable.h"

#include <gtest/gtest.h>

namespace {

struct FormatCase {
    const char *format;
    QList<TableColumn> columns;
};

TEST(TableFormat, ReadsWidthsAndAlignment)
{
    const FormatCase cases[] = {
        // The value summary's table: 3 inches left, 2 inches right.
        {"4320|>2880;", {{4320, false}, {2880, true}}},
        // 2 cm at 561.6 twips per centimetre, as the report engine writes it.
        {"1123.2;", {{1123.2, false}}},
        // Where the decimal mark is a comma; "," separates nothing here.
        {"842,4|>1440;", {{842.4, false}, {1440, true}}},
        {" 1440 | > 720 ; ", {{1440, false}, {720, true}}},
        // A field given no width still has its column.
        {"0|>0;", {{0, false}, {0, true}}},
        {"144000;", {{MaxColumnWidth, false}}},
    };
    for (const FormatCase &c : cases) {
        const std::optional<QList<TableColumn>> columns = parseTableFormat(QString::fromUtf8(c.format));
        ASSERT_TRUE(columns.has_value()) << c.format;
        EXPECT_EQ(*columns, c.columns) << c.format;
    }
}

TEST(TableFormat, RefusesMalformedFormats)
{
    for (const char *format : {"",        ";",      "   ",     "4320|>2880", "4320||2880;", "|4320;",     "4320|;",
                               "abc;",    "-5;",    "+5;",     "1e3;",       "4320;extra",  "4320;;",     ">;",
                               ">>4320;", "1.2.3;", "144001;", "inf;",       "nan;",        "4320 2880;", "0x10;"})
        EXPECT_FALSE(parseTableFormat(QString::fromUtf8(format)).has_value()) << format;
}

} // namespace
