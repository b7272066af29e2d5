#include "FixedReportFixture.h"

#include "items/ItemStatus.h"
#include "reports/SerialNumberReport.h"

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
    EXPECT_EQ(
        doc.pageContent(0).header,
        (QStringList{QStringLiteral("3/5/2024"), QStringLiteral("Serial Number List"), QStringLiteral("Page 1")}));
    EXPECT_EQ(prompts.busyDepth(), 0);
}

} // namespace

// An item that left the household is no longer listed, until the View
// menu's choice shows it again.
TEST_F(SerialNumberList, LeavesOutItemsThatLeftUntilShownAgain)
{
    addItem(QStringLiteral("Kept"), QVariant(), QVariant(), QStringLiteral("K-1"));
    addItem(QStringLiteral("Given away"), QVariant(), QVariant(), QStringLiteral("G-1"));
    WarrantyDisposal given;
    given.disposed = DateValue::fromDate(QDate(2023, 8, 1));
    given.how = DisposalKind::GivenAway;
    ItemStatus(household.inventory()).store(2, given);

    buildSerialNumberList(household, doc, day());
    EXPECT_EQ(
        shownCells(doc),
        (std::vector<QStringList>{Heading, {QStringLiteral("Kept"), QString(), QString(), QStringLiteral("K-1")}}));
    household.setShowsDisposed(true);
    buildSerialNumberList(household, doc, day());
    EXPECT_EQ(shownCells(doc).size(), 3u);
}
