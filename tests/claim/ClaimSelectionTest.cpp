#include "ClaimFixture.h"

#include "claim/ClaimItems.h"
#include "items/ItemStatus.h"

#include <QDate>
#include <algorithm>

namespace {

DateValue day(int year, int month, int dayOfMonth)
{
    return DateValue::fromDate(QDate(year, month, dayOfMonth));
}

using ClaimDisposed = ClaimTest;

} // namespace

// The claim and the disposal meet at the date of loss: an item that left
// the household before the loss is not claimed; one that left on the day
// of the loss or after it (the loss took it, and "thrown away" was noted
// afterwards) is. Without a date of loss every item that left stays out,
// and the View menu's choice claims them all.
TEST_F(ClaimDisposed, ItemsThatLeftBeforeTheLossAreNotClaimed)
{
    const qint64 soldBefore = addItem({{"Item", "Sold before"}});
    const qint64 burnt = addItem({{"Item", "Thrown away after the fire"}});
    const qint64 sameDay = addItem({{"Item", "Left on the day"}});
    const qint64 kept = addItem({{"Item", "Kept"}});
    const DateValue loss = day(2025, 3, 10);
    const struct {
        qint64 iteid;
        DateValue disposed;
        DisposalKind how;
    } left[] = {{soldBefore, day(2025, 3, 9), DisposalKind::Sold},
                {burnt, day(2025, 3, 20), DisposalKind::ThrownAway},
                {sameDay, loss, DisposalKind::GivenAway}};
    for (const auto &item : left) {
        WarrantyDisposal values;
        values.disposed = item.disposed;
        values.how = item.how;
        ItemStatus(household.inventory()).store(item.iteid, values);
    }
    const auto claimed = [&](const DateValue &dateOfLoss) {
        QString problem;
        const std::optional<QList<ClaimItem>> items = selectClaimItems(household, {}, &problem, dateOfLoss);
        EXPECT_TRUE(items) << problem.toStdString();
        QList<qint64> keys;
        for (const ClaimItem &item : items.value_or(QList<ClaimItem>())) {
            if (item.iteid >= soldBefore)
                keys << item.iteid;
        }
        std::sort(keys.begin(), keys.end());
        return keys;
    };
    EXPECT_EQ(claimed(loss), (QList<qint64>{burnt, sameDay, kept}));
    EXPECT_EQ(claimed(DateValue()), QList<qint64>{kept});
    household.setShowsDisposed(true);
    EXPECT_EQ(claimed(DateValue()), (QList<qint64>{soldBefore, burnt, sameDay, kept}));
}
