#include "FixedReportFixture.h"

#include "reports/viewer/FixedReportWindows.h"
#include "reports/viewer/frmOutput.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

namespace {

// The fixed reports run into the Report Output window, which goes before
// the household does.
class SerialNumberList : public FixedReportTest {
protected:
    ~SerialNumberList() override
    {
        delete frmOutput::current();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void addItem(const QVariant &item, const QVariant &manufact, const QVariant &model, const QVariant &serno)
    {
        household.inventory().execute(
            QStringLiteral("insert into items (Item, manufact, model, serno) values (?, ?, ?, ?)"),
            {item, manufact, model, serno});
    }
};

const QStringList Heading{QStringLiteral("Description"), QStringLiteral("Manufacturer"), QStringLiteral("Model"),
                          QStringLiteral("Serial Number")};

// Through the menu entry, where the window's page handler would repeat the
// heading if the report kept the repeated heading of an earlier report file run.
TEST_F(SerialNumberList, WindowShowsTheHeadingOnceOrNoTableAtAll)
{
    for (const int count : {0, 150}) {
        household.dbInventory()->execute(QStringLiteral("delete from items"));
        addItem(QStringLiteral("Chair"), QVariant(), QVariant(), QStringLiteral(""));
        for (int i = 0; i < count; ++i)
            addItem(QStringLiteral("Item %1").arg(i), QStringLiteral("Maker"), QStringLiteral("M"),
                    QStringLiteral("S%1").arg(i));
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
