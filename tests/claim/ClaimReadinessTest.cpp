#include "claim/ClaimReadiness.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"
#include "data/Database.h"
#include "data/Inventory.h"
#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"
#include "program/Household.h"
#include "program/ItemFiles.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// An empty inventory of a few categories, open as the program has it.
class ClaimReadiness : public ::testing::Test {
protected:
    void SetUp() override
    {
        setPrompts(&prompts);
        household.setDataFolder(folder.path());
        household.openInventory();
        for (const char *category : {"Consumer Electronics", "Furniture", "Power Tools", "Stools"})
            categories << insert(QStringLiteral("insert into categories (catDesc) values (?)"), {category});
    }
    void TearDown() override
    {
        household.closeInventory();
        setPrompts(nullptr);
    }
    qint64 insert(const QString &sql, const QVariantList &values)
    {
        Database &db = household.inventory();
        db.execute(sql, values);
        return db.scalar(QStringLiteral("select last_insert_rowid()")).toLongLong();
    }
    QString schema()
    {
        return household.inventory()
            .scalar(QStringLiteral("select group_concat(sql, ';') from (select sql from sqlite_master where name in "
                                   "('items', 'categories', 'locations') order by name)"))
            .toString();
    }

    ScriptedPrompts prompts;
    TestDataFolder folder;
    Household household;
    QList<qint64> categories; // electronics, furniture, tools, stools
    QTemporaryDir sources;
};

using S = Shortfall;

} // namespace

// Which items weaken a claim, by group, and the share of the value fully
// documented (a photo, a value, and a serial number or a receipt), with the
// default choices and with the household's own.
TEST_F(ClaimReadiness, GroupsTheItemsThatWeakenAClaimAndCountsTheDocumentedValue)
{
    struct Item {
        const char *name;
        int category; // index into categories; -1 for none
        const char *serno;
        QVariant value;
        bool receiptOnFile;
        bool photo;
        bool receiptDocument;
        std::vector<Shortfall> byDefault;
        std::vector<Shortfall> withChoices; // furniture has serials; receipts above 250
    };
    const Item items[] = {
        // Everything an insurer asks for.
        {"Camera", 0, "SN1", 800, true, true, false, {}, {}},
        // Electronics usually carry a serial number.
        {"Television", 0, "", 300, false, true, false, {S::NoSerialNumber}, {S::NoSerialNumber, S::NoReceipt}},
        // A receipt attached as a document counts as one; furniture has no
        // serial number until the household says it does.
        {"Sofa", 1, "", 1200, false, true, true, {}, {S::NoSerialNumber}},
        // Worth more than the default 500 without a receipt, and no photo.
        {"Armchair",
         1,
         "",
         700,
         false,
         false,
         false,
         {S::NoPhoto, S::NoReceipt},
         {S::NoPhoto, S::NoSerialNumber, S::NoReceipt}},
        // Blanks are no serial number; no value is no value.
        {"Drill",
         2,
         "  ",
         QVariant(),
         false,
         true,
         false,
         {S::NoValue, S::NoSerialNumber},
         {S::NoValue, S::NoSerialNumber}},
        // "Stools" is no tool; a value of 0 is no value.
        {"Bar stool", 3, "", 0, false, false, false, {S::NoPhoto, S::NoValue}, {S::NoPhoto, S::NoValue}},
        // Exactly the limit needs no receipt; no category expects nothing.
        {"Lamp", -1, "", 500, false, true, false, {}, {S::NoReceipt}},
    };
    // Documented: Camera (serial) and Sofa (receipt): 2,000 of 3,500.
    const Money total = Money::fromUnits(3500 * Money::Scale);
    const Money documented = Money::fromUnits(2000 * Money::Scale);

    QFile receipt(sources.filePath("receipt.pdf"));
    ASSERT_TRUE(receipt.open(QIODevice::WriteOnly));
    receipt.write("%PDF-1.4\n");
    receipt.close();
    QHash<qint64, const Item *> byKey;
    for (const Item &item : items) {
        const QVariant category = item.category < 0 ? QVariant() : QVariant(categories[item.category]);
        const qint64 key =
            insert(QStringLiteral("insert into items (Item, serno, totvalue, receipt, catid) values (?, ?, ?, ?, ?)"),
                   {item.name, item.serno, item.value, item.receiptOnFile, category});
        if (item.photo)
            household.itemFiles().writePicture(key, QByteArray("not read by the check"), QStringLiteral("jpg"));
        if (item.receiptDocument)
            ItemAttachments(household).attach(key, AttachedKind::Receipt, receipt.fileName());
        byKey.insert(key, &item);
    }
    const QString partsSchema = schema();

    const auto check = [&](const ReadinessChoices &choices, bool withChoices) {
        const Readiness readiness = checkReadiness(household, choices);
        EXPECT_EQ(readiness.itemCount, int(std::size(items)));
        EXPECT_EQ(readiness.totalValue, total);
        EXPECT_EQ(readiness.documentedValue, documented);
        ASSERT_TRUE(readiness.documentedShare());
        EXPECT_NEAR(*readiness.documentedShare(), 2000.0 / 3500, 1e-9);
        std::array<int, ShortfallCount> counts{};
        int listed = 0;
        for (const Item &item : items) {
            SCOPED_TRACE(item.name);
            const std::vector<Shortfall> &expected = withChoices ? item.withChoices : item.byDefault;
            const auto found = std::find_if(readiness.items.begin(), readiness.items.end(),
                                            [&](const ReadinessItem &r) { return byKey.value(r.iteid) == &item; });
            EXPECT_EQ(found != readiness.items.end(), !expected.empty()) << "listed only when it falls short";
            if (found == readiness.items.end())
                continue;
            ++listed;
            for (int s = 0; s < ShortfallCount; ++s) {
                const bool short_ = std::find(expected.begin(), expected.end(), Shortfall(s)) != expected.end();
                EXPECT_EQ(found->shortfalls[size_t(s)], short_) << shortfallName(Shortfall(s)).toStdString();
                counts[size_t(s)] += short_;
            }
        }
        EXPECT_EQ(readiness.items.size(), listed);
        EXPECT_EQ(readiness.counts, counts);
    };

    const ReadinessChoices defaults = readReadinessChoices(household);
    EXPECT_EQ(defaults.serialCategories, (QSet<qint64>{categories[0], categories[2]}));
    EXPECT_EQ(defaults.receiptAbove, Money::fromUnits(500 * Money::Scale));
    EXPECT_EQ(household.inventory()
                  .scalar(QStringLiteral("select count(*) from sqlite_master where name like 'readiness%' or name = "
                                         "'serialcategories'"))
                  .toInt(),
              0)
        << "reading the defaults makes no table";
    check(defaults, false);

    ReadinessChoices chosen;
    chosen.serialCategories = {categories[0], categories[1], categories[2]};
    chosen.receiptAbove = Money::fromUnits(250 * Money::Scale);
    writeReadinessChoices(household, chosen);
    const ReadinessChoices kept = readReadinessChoices(household);
    EXPECT_EQ(kept.serialCategories, chosen.serialCategories);
    EXPECT_EQ(kept.receiptAbove, chosen.receiptAbove);
    check(kept, true);
    EXPECT_EQ(schema(), partsSchema) << "the item tables are never changed";

    // A category made after the choice gets the default.
    const qint64 cameras = insert(QStringLiteral("insert into categories (catDesc) values ('Cameras')"), {});
    EXPECT_TRUE(readReadinessChoices(household).serialCategories.contains(cameras));
}

// The default guess at categories that usually have serial numbers.
TEST_F(ClaimReadiness, TheDefaultChoiceReadsTheCategorysWords)
{
    const struct {
        const char *category;
        bool expected;
    } rows[] = {
        {"Electronics", true},
        {"consumer electronics", true},
        {"Power Tools", true},
        {"Musical Instruments", true},
        {"Computers & Phones", true},
        {"Kitchen Appliances", true},
        {"Stools", false},
        {"Furniture", false},
        {"Jewelry", false},
        {"", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(usuallyHasSerialNumber(QString::fromUtf8(row.category)), row.expected) << row.category;
}

// An inventory without items or without values: nothing is hidden behind a
// share of nothing.
TEST_F(ClaimReadiness, NoValueGivesNoShare)
{
    Readiness readiness = checkReadiness(household, readReadinessChoices(household));
    EXPECT_EQ(readiness.itemCount, 0);
    EXPECT_FALSE(readiness.documentedShare());
    insert(QStringLiteral("insert into items (Item) values ('Box')"), {});
    readiness = checkReadiness(household, readReadinessChoices(household));
    EXPECT_EQ(readiness.itemCount, 1);
    EXPECT_FALSE(readiness.documentedShare());
    // An item that left the household weakens no claim, unless shown.
    WarrantyDisposal sold;
    sold.disposed = DateValue::fromDate(QDate(2025, 3, 9));
    sold.how = DisposalKind::Sold;
    ItemStatus(household.inventory())
        .store(household.inventory().scalar(QStringLiteral("select max(iteid) from items")).toLongLong(), sold);
    EXPECT_EQ(checkReadiness(household, readReadinessChoices(household)).itemCount, 0);
    household.setShowsDisposed(true);
    EXPECT_EQ(checkReadiness(household, readReadinessChoices(household)).itemCount, 1);
    household.setShowsDisposed(false);
    PageLayout doc;
    buildReadinessDocument(doc, readiness, {}, QDate(2026, 1, 2));
    EXPECT_EQ(doc.rowCells(8),
              (QStringList{QStringLiteral("Share of the value fully documented"), QStringLiteral("no value entered")}));
}
