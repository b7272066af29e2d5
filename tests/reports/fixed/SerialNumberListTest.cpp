#include "FixedReportFixture.h"

#include "reports/SerialNumberReport.h"
#include "reports/viewer/FixedReportWindows.h"

#include <algorithm>

namespace {

class SerialNumberList : public FixedReportTest {
protected:
    void addItem(const QVariant &item, const QVariant &manufact, const QVariant &model, const QVariant &serno)
    {
        household.inventory().execute(
            QStringLiteral("insert into items (Item, manufact, model, serno) values (?, ?, ?, ?)"),
            {item, manufact, model, serno});
    }
};

const QStringList Heading{QStringLiteral("Description"), QStringLiteral("Manufacturer"), QStringLiteral("Model"),
                          QStringLiteral("Serial Number")};

TEST_F(SerialNumberList, ListsItemsWithASerialNumberInStoredOrder)
{
    addItem(QStringLiteral("Zither"), QStringLiteral("Acme"), QStringLiteral("Z1"), QStringLiteral("SN-1"));
    addItem(QStringLiteral("Empty serial"), QStringLiteral("Acme"), QStringLiteral("E"), QStringLiteral(""));
    addItem(QStringLiteral("No serial"), QStringLiteral("Acme"), QStringLiteral("N"), QVariant());
    addItem(QStringLiteral("Anvil"), QVariant(), QVariant(), QStringLiteral(" "));
    addItem(QStringLiteral("Odd | one; here"), QStringLiteral("A|B"), QStringLiteral("C;D"), QStringLiteral("x|y;z"));

    buildSerialNumberList(household, doc, day());

    const std::vector<QStringList> expected{
        Heading,
        {QStringLiteral("Zither"), QStringLiteral("Acme"), QStringLiteral("Z1"), QStringLiteral("SN-1")},
        // Blanks are a serial number; a missing manufacturer or model is an empty cell.
        {QStringLiteral("Anvil"), QString(), QString(), QStringLiteral(" ")},
        {QStringLiteral("Odd | one; here"), QStringLiteral("A|B"), QStringLiteral("C;D"), QStringLiteral("x|y;z")},
    };
    EXPECT_EQ(shownCells(doc), expected);
    EXPECT_TRUE(shownRows(doc)[0].shaded);
    EXPECT_FALSE(shownRows(doc)[1].shaded);
    EXPECT_FALSE(doc.isDocOpen());
    EXPECT_EQ(doc.pageContent(0).header,
              (QStringList{QStringLiteral("3/5/2024"), QStringLiteral("Serial Number List"), QStringLiteral("Page 1")}));
    EXPECT_EQ(prompts.busyDepth(), 0);
}

// Through the menu entry, where the window's page handler would repeat the
// heading if the report kept the repeated heading of an earlier report file run.
TEST_F(SerialNumberList, WindowShowsTheHeadingOnceOrNoTableAtAll)
{
    for (const int count : {0, 150}) {
        household.dbInventory()->execute(QStringLiteral("delete from items"));
        addItem(QStringLiteral("Chair"), QVariant(), QVariant(), QStringLiteral(""));
        for (int i = 0; i < count; ++i)
            addItem(QStringLiteral("Item %1").arg(i), QStringLiteral("Maker"), QStringLiteral("M"), QStringLiteral("S%1").arg(i));
        leaveListingIn(*frmOutput::instance(household)->PrintPreview);

        RunSerialNumberList(household, nullptr);

        ASSERT_NE(frmOutput::current(), nullptr);
        EXPECT_TRUE(frmOutput::current()->isVisible());
        const PageLayout &preview = *frmOutput::current()->PrintPreview;
        EXPECT_FALSE(preview.isDocOpen());
        const std::vector<ShownRow> rows = shownRows(preview);
        ASSERT_EQ(rows.size(), std::size_t(count ? count + 1 : 0));
        EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const ShownRow &r) { return r.shaded; }), count ? 1 : 0);
        if (count) {
            EXPECT_EQ(rows[0].cells, Heading);
            ASSERT_GT(preview.pageCount(), 1);
            EXPECT_EQ(preview.pageContent(1).header.value(2), QStringLiteral("Page 2"));
        }
    }
}

} // namespace
