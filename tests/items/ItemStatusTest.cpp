#include "items/ItemStatus.h"

#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Database.h"
#include "program/Household.h"
#include "program/Prompts.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

DateValue day(int year, int month, int dayOfMonth)
{
    return DateValue::fromDate(QDate(year, month, dayOfMonth));
}

class ItemStatusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPrompts(&prompts);
        household.setDataFolder(folder.path());
        household.openInventory();
        household.inventory().execute(QStringLiteral("insert into items (Item) values ('Camera'), ('Bike'), ('Lamp')"));
    }
    void TearDown() override
    {
        household.closeInventory();
        setPrompts(nullptr);
    }
    bool hasTable()
    {
        return household.inventory()
                   .scalar(QStringLiteral("select count(*) from sqlite_master where name = 'itemstatus'"))
                   .toInt()
            == 1;
    }
    ItemStatus status() { return ItemStatus(household.inventory()); }

    ScriptedPrompts prompts;
    TestDataFolder folder;
    Household household;
};

} // namespace

// Reading, listing and clearing an inventory that never had a warranty or
// a disposal makes nothing: an older data folder stays as it was.
TEST_F(ItemStatusTest, AnOlderInventoryIsReadWithoutChange)
{
    EXPECT_EQ(status().of(1), WarrantyDisposal());
    EXPECT_TRUE(status().all().isEmpty());
    EXPECT_TRUE(status().endingBy(day(2100, 1, 1), true).isEmpty());
    EXPECT_TRUE(status().keptCondition(QStringLiteral("iteid")).isEmpty());
    status().store(1, WarrantyDisposal());
    status().remove(2);
    EXPECT_FALSE(hasTable());
}

// What is stored is read back as it was; a lifetime warranty keeps no end,
// and values emptied again remove the item's row.
TEST_F(ItemStatusTest, ValuesAreStoredReadBackAndRemoved)
{
    WarrantyDisposal camera;
    camera.warrantyEnds = day(2026, 3, 1);
    camera.warrantyDetails = QStringLiteral("Parts and labour,\ncarry-in");
    WarrantyDisposal bike;
    bike.lifetime = true;
    bike.warrantyEnds = day(2030, 1, 1);
    bike.disposed = day(2025, 6, 30);
    bike.how = DisposalKind::GivenAway;
    status().store(1, camera);
    status().store(2, bike);

    EXPECT_EQ(status().of(1), camera);
    WarrantyDisposal bikeStored = bike;
    bikeStored.warrantyEnds = DateValue();
    EXPECT_EQ(status().of(2), bikeStored) << "a warranty for life has no end";
    EXPECT_EQ(household.inventory().scalar(QStringLiteral("select disposedhow from itemstatus where iteid = 2")),
              QVariant(QStringLiteral("given away")))
        << "the stored word, not the caption";
    EXPECT_EQ(status().all().size(), 2);
    EXPECT_EQ(status().keptCondition(QStringLiteral("i.iteid")),
              QStringLiteral("i.iteid not in (select iteid from itemstatus where disposed is not null)"));
    EXPECT_EQ(household.inventory()
                  .scalar(QStringLiteral("select group_concat(Item) from items i where ")
                          + status().keptCondition(QStringLiteral("i.iteid")))
                  .toString(),
              QStringLiteral("Camera,Lamp"));

    status().store(2, WarrantyDisposal());
    EXPECT_EQ(status().of(2), WarrantyDisposal());
    EXPECT_TRUE(status().keptCondition(QStringLiteral("iteid")).isEmpty()) << "nobody left: every statement as before";
    status().remove(1);
    EXPECT_TRUE(status().all().isEmpty());
}

// The warranties that end by a day, the ended ones first; lifetime ones and
// those of items that left only when asked for.
TEST_F(ItemStatusTest, WarrantiesEndingByADayComeSoonestFirst)
{
    WarrantyDisposal ended;
    ended.warrantyEnds = day(2024, 12, 31);
    WarrantyDisposal soon;
    soon.warrantyEnds = day(2025, 2, 1);
    soon.warrantyDetails = QStringLiteral("two years");
    WarrantyDisposal gone = soon;
    gone.warrantyEnds = day(2025, 1, 15);
    gone.disposed = day(2025, 1, 2);
    gone.how = DisposalKind::Sold;
    status().store(1, soon);
    status().store(2, gone);
    status().store(3, ended);
    // Another program left an end beside the lifetime mark: for life wins.
    household.inventory().execute(QStringLiteral("insert into items (Item) values ('Drill')"));
    household.inventory().execute(
        QStringLiteral("insert into itemstatus (iteid, warrantyend, lifetime) values (4, '2024-01-01', 1)"));

    const auto names = [](const QList<ItemStatus::Ending> &list) {
        QStringList shown;
        for (const ItemStatus::Ending &e : list)
            shown << e.item + u' ' + e.ends.toIsoText();
        return shown;
    };
    EXPECT_EQ(names(status().endingBy(day(2025, 2, 1), false)), (QStringList{"Lamp 2024-12-31", "Camera 2025-02-01"}));
    EXPECT_EQ(names(status().endingBy(day(2025, 1, 31), true)), (QStringList{"Lamp 2024-12-31", "Bike 2025-01-15"}));
    EXPECT_EQ(status().endingBy(day(2025, 2, 1), false).back().details, QStringLiteral("two years"));
}

// What a person may and may not enter, and the words of the ways of leaving
// as files and people write them.
TEST(WarrantyDisposalRules, RefuseALeavingStillToComeOrWithoutItsDay)
{
    const DateValue today = day(2025, 5, 10);
    struct Case {
        const char *name;
        DateValue disposed;
        DisposalKind how;
        std::optional<QString> problem;
    };
    const Case cases[] = {
        {"kept", DateValue(), DisposalKind::None, std::nullopt},
        {"left today", today, DisposalKind::Sold, std::nullopt},
        {"left without saying how", day(2020, 1, 1), DisposalKind::None, std::nullopt},
        {"leaves tomorrow", day(2025, 5, 11), DisposalKind::Sold, DisposedAheadMessage},
        {"a way without a day", DateValue(), DisposalKind::ThrownAway, DisposedWithoutDayMessage},
    };
    for (const Case &c : cases) {
        WarrantyDisposal values;
        values.disposed = c.disposed;
        values.how = c.how;
        EXPECT_EQ(warrantyDisposalProblem(values, today), c.problem) << c.name;
    }

    const std::pair<const char *, std::optional<DisposalKind>> words[] = {
        {"", DisposalKind::None},
        {"  ", DisposalKind::None},
        {"sold", DisposalKind::Sold},
        {"SOLD", DisposalKind::Sold},
        {"Given away", DisposalKind::GivenAway},
        {" thrown away ", DisposalKind::ThrownAway},
        {"stolen", std::nullopt},
        {"given", std::nullopt},
    };
    for (const auto &[text, kind] : words)
        EXPECT_EQ(disposalKindOf(QString::fromLatin1(text)), kind) << text;
}
