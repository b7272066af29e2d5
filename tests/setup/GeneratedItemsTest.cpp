#include "QueryRows.h"

#include "data/Database.h"
#include "data/DateValue.h"
#include "setup/DataFolderSetup.h"
#include "setup/ItemGenerator.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

static const QString AllColumns =
    QStringLiteral("select iteid, Item, manufact, model, serno, purchdate, purchprice, estvalue, quantity, totvalue, "
                   "receipt, wherepurch, misc1, Notes, catid, locid from items order by iteid");

// One line per stored row, Null written as <null>, for comparing whole inventories.
static QStringList dumpItems(const QString &folder)
{
    auto db = Database::open(folder + QStringLiteral("/stowbook.db"));
    QStringList lines;
    for (const QVariantList &row : queryRows(*db, AllColumns)) {
        QStringList cells;
        for (const QVariant &v : row) {
            if (v.isNull())
                cells << QStringLiteral("<null>");
            else if (v.metaType() == QMetaType::fromType<Money>())
                cells << v.value<Money>().toDecimalText();
            else if (v.metaType() == QMetaType::fromType<DateValue>())
                cells << v.value<DateValue>().toIsoText();
            else
                cells << v.toString();
        }
        lines << cells.join(QLatin1Char('|'));
    }
    return lines;
}

static QStringList generated(int count, quint32 seed)
{
    QTemporaryDir temp;
    if (!temp.isValid())
        return {QStringLiteral("<no temporary folder>")};
    createDataFolder(temp.path(), {.generatedItems = count, .seed = seed});
    return dumpItems(temp.path());
}

TEST(GeneratedItems, AThousandItemsLookLikeARealInventory)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    createDataFolder(temp.path(), {.generatedItems = 1000, .seed = 11});
    auto db = Database::open(temp.filePath(QStringLiteral("stowbook.db")));
    const auto count = [&](const char *where) {
        return db->scalar(QStringLiteral("select count(*) from items where ") + QLatin1String(where)).toInt();
    };

    EXPECT_EQ(count("1"), 1000);
    const int withoutSerial = count("coalesce(serno, '') = ''");
    EXPECT_GE(withoutSerial, 250);
    EXPECT_LE(withoutSerial, 420);
    // Both ways an inventory lacks a serial number: never typed, or erased.
    EXPECT_GT(count("serno is null"), 50);
    EXPECT_GT(count("serno = ''"), 50);

    for (const char *gap : {"catid is null", "locid is null", "purchdate is null", "estvalue is null",
                            "purchprice is null", "quantity is null"}) {
        SCOPED_TRACE(gap);
        EXPECT_GT(count(gap), 0);
        EXPECT_LT(count(gap), 150);
    }
    EXPECT_EQ(count("catid not in (select catid from categories)"), 0);
    EXPECT_EQ(count("locid not in (select locid from locations)"), 0);
    EXPECT_EQ(count("purchdate not glob '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'"), 0);
    EXPECT_EQ(count("purchdate < '2009-01-01' or purchdate > '2025-12-31'"), 0);
    EXPECT_EQ(count("quantity < 1"), 0);
    EXPECT_GT(count("quantity > 1"), 50);
    EXPECT_EQ(count("trim(Item) = '' or Item is null"), 0);
    // Texts vary: a benchmark over a handful of repeated rows proves nothing.
    EXPECT_GT(db->scalar(QStringLiteral("select count(distinct Item) from items")).toInt(), 100);
    EXPECT_GT(db->scalar(QStringLiteral("select count(distinct serno) from items")).toInt(), 600);

    for (const QVariantList &r : queryRows(*db, QStringLiteral("select estvalue, quantity, totvalue from items"))) {
        if (r[0].isNull() || r[1].isNull())
            EXPECT_TRUE(r[2].isNull());
        else
            EXPECT_EQ(r[2].value<Money>(), r[0].value<Money>() * r[1].toLongLong());
    }
}

TEST(GeneratedItems, SameSeedGivesTheSameInventoryAndAnotherSeedAnother)
{
    const QStringList first = generated(300, 42);
    ASSERT_EQ(first.size(), 300);
    EXPECT_EQ(generated(300, 42), first);
    const QStringList other = generated(300, 43);
    ASSERT_EQ(other.size(), 300);
    EXPECT_NE(other, first);
}

// Rows travel in batches; counts on both sides of a batch boundary must all
// arrive, once each, keyed 1..N in the generator's order.
TEST(GeneratedItems, EveryRowArrivesWhateverTheCount)
{
    for (int n : {1, 49, 50, 51, 100, 137}) {
        SCOPED_TRACE(n);
        QTemporaryDir temp;
        ASSERT_TRUE(temp.isValid());
        createDataFolder(temp.path(), {.generatedItems = n, .seed = 3});
        auto db = Database::open(temp.filePath(QStringLiteral("stowbook.db")));
        const auto rows = queryRows(*db, QStringLiteral("select iteid, Item, model from items order by iteid"));
        ASSERT_EQ(rows.size(), std::size_t(n));
        ItemGenerator expected(3);
        for (int i = 0; i < n; ++i) {
            const ItemRow row = expected.next();
            EXPECT_EQ(rows[i][0].toInt(), i + 1);
            EXPECT_EQ(rows[i][1].toString(), row.item);
            EXPECT_EQ(rows[i][2].isNull() ? std::optional<QString>() : rows[i][2].toString(), row.model);
        }
    }
}
