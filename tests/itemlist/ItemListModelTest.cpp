#include "InventoryRows.h"
#include "QueryRows.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"

#include "data/DateValue.h"
#include "data/Inventory.h"
#include "data/Money.h"
#include "data/SearchText.h"
#include "itemlist/ItemListModel.h"
#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"
#include "program/Household.h"

#include <QCollator>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Items whose texts differ only in case, accents, blanks or gaps, and a
// few hundred ordinary ones, so every column's order has ties and Nulls.
class ItemListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<TestDataFolder>(SetupOptions{.demo = false, .generatedItems = 400});
        const qint64 cafe = addCode(QStringLiteral("categories"), QString::fromUtf8("Caf\xC3\xA9 things"));
        for (const QVariantMap &row : {
                 QVariantMap{{"Item", "apple"}, {"catid", cafe}, {"Notes", "Bought in the CAFÉ"}},
                 QVariantMap{{"Item", "Apple"}, {"manufact", "Zed"}, {"totvalue", -5.25}},
                 QVariantMap{{"Item", "ÄPFEL"}, {"manufact", QVariant()}, {"serno", ""}},
                 QVariantMap{{"Item", ""}, {"model", "ｆｕｌｌ ｗｉｄｔｈ"}, {"purchdate", "1999-12-31"}},
                 QVariantMap{{"Item", QVariant()}, {"wherepurch", "Straße 5"}, {"misc1", "crème brûlée"}},
                 // Keys far apart, as deleting and importing leave them: the
                 // list reads such a range in two halves at once.
                 QVariantMap{{"iteid", 90000}, {"Item", "Quilt"}, {"purchdate", "2001-02-03"}, {"totvalue", 7.5}},
                 QVariantMap{{"iteid", 150000}, {"Item", "quilt"}, {"model", "Q2"}, {"Notes", "kitchen 20"}},
             })
            addItem(row);
        db = Database::open(folder().file(InventoryFileName));
        household.setDataFolder(folder().path());
        household.openInventory();
    }
    void TearDown() override { household.closeInventory(); }

    struct Row {
        qint64 key;
        std::array<QVariant, ListColumnCount> values; // as stored
        QStringList searched;                         // the texts the search looks in
    };
    std::vector<Row> everyRow()
    {
        std::vector<Row> rows;
        for (const QVariantList &r :
             queryRows(*db,
                       QStringLiteral(
                           "select i.iteid, i.Item, c.catDesc, l.locDesc, i.manufact, i.model, i.serno, i.purchdate, "
                           "i.totvalue, 0, 0, null, "
                           "i.wherepurch, i.misc1, i.Notes from items i left join categories c on c.catid = i.catid "
                           "left join locations l on l.locid = i.locid"))) {
            Row row{r[0].toLongLong(), {}, {}};
            for (int c = 0; c < ListColumnCount; ++c)
                row.values[std::size_t(c)] = r[c + 1];
            for (int c : {1, 2, 3, 4, 5, 6, 12, 13, 14})
                row.searched << r[c].toString();
            rows.push_back(row);
        }
        return rows;
    }
    std::vector<qint64> shownKeys(const ItemListModel &model)
    {
        std::vector<qint64> keys;
        for (int row = 0; row < model.rowCount(); ++row)
            keys.push_back(model.keyAt(row));
        return keys;
    }

    // Rows put in through a connection of the test's own, before the
    // household opens the inventory.
    TestDataFolder &folder() { return *m_folder; }
    qint64 addItem(const QVariantMap &columns) { return insertItem(folder().file(InventoryFileName), columns); }
    qint64 addCode(const QString &table, const QString &description)
    {
        return insertCode(folder().file(InventoryFileName), table, description);
    }

    ScriptedPrompts prompts;
    std::unique_ptr<TestDataFolder> m_folder;
    Household household;
    std::unique_ptr<Database> db;
};

// The order a careful person would write down: texts as the user's
// language sorts them (the collator itself, case ignored), no text as the
// empty text; dates and amounts with no value first; the key breaking ties.
bool before(const QVariant &a, const QVariant &b, ListColumn column)
{
    if (column == ListColumn::Photos || column == ListColumn::Documents)
        return a.toInt() < b.toInt();
    if (column == ListColumn::PurchDate || column == ListColumn::TotValue || column == ListColumn::WarrantyEnds) {
        if (a.isNull() || b.isNull())
            return a.isNull() && !b.isNull();
        if (column == ListColumn::TotValue)
            return a.value<Money>() < b.value<Money>();
        return a.value<DateValue>() < b.value<DateValue>();
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator.compare(a.toString(), b.toString()) < 0;
}

} // namespace

TEST_F(ItemListTest, EveryColumnSortsBothWaysAsAnIndependentSortDoes)
{
    ItemListModel model(household);
    model.refresh();
    const std::vector<Row> rows = everyRow();
    ASSERT_EQ(model.rowCount(), int(rows.size()));
    for (int c = 0; c < ListColumnCount; ++c) {
        const auto column = ListColumn(c);
        SCOPED_TRACE(listColumnCaption(column).toStdString());
        std::vector<Row> expected = rows;
        std::stable_sort(expected.begin(), expected.end(), [&](const Row &x, const Row &y) {
            if (before(x.values[std::size_t(c)], y.values[std::size_t(c)], column))
                return true;
            if (before(y.values[std::size_t(c)], x.values[std::size_t(c)], column))
                return false;
            return x.key < y.key;
        });
        std::vector<qint64> keys;
        for (const Row &row : expected)
            keys.push_back(row.key);
        // The click on the heading is what the view calls.
        model.sort(c, Qt::AscendingOrder);
        EXPECT_EQ(shownKeys(model), keys);
        model.sort(c, Qt::DescendingOrder);
        std::reverse(keys.begin(), keys.end());
        EXPECT_EQ(shownKeys(model), keys);
    }
}

// Words in any order, each in any of the searched fields, case and accents
// ignored. The expected items are written down by hand.
TEST_F(ItemListTest, SearchFindsItemsByAnyWordOfTheirTexts)
{
    ItemListModel model(household);
    model.refresh();
    const auto itemsFound = [&](const char *typed) {
        model.setSearch(QString::fromUtf8(typed));
        QStringList found;
        for (int row = 0; row < model.rowCount(); ++row)
            found << model.data(model.index(row, int(ListColumn::Item))).toString() + u'/'
                    + model.data(model.index(row, int(ListColumn::Model))).toString();
        found.sort();
        return found;
    };
    EXPECT_EQ(itemsFound("cafe"), (QStringList{"apple/"}));              // notes, and the category
    EXPECT_EQ(itemsFound("CAFÉ THINGS apple"), (QStringList{"apple/"})); // words from two fields
    EXPECT_EQ(itemsFound("apfel"), (QStringList{"ÄPFEL/"}));
    EXPECT_EQ(itemsFound("full width"), (QStringList{"/ｆｕｌｌ ｗｉｄｔｈ"}));
    EXPECT_EQ(itemsFound("brulee CREME strasse"), QStringList{}); // ß is no "ss"
    EXPECT_EQ(itemsFound("brulee CREME straße"), (QStringList{"/"}));
    EXPECT_EQ(itemsFound("zed apple"), (QStringList{"Apple/"}));
    EXPECT_EQ(itemsFound("   "), QStringList(QStringList() << itemsFound("")));
    // More words than the code tables' masks hold take the other way.
    EXPECT_EQ(itemsFound(QByteArray("things cafe ").repeated(40).constData()), (QStringList{"apple/"}));

    // Typing on looks only among the items found so far, and typing back
    // takes what was found before: both must find what a fresh search finds.
    const QString typed = QStringLiteral("garage dr");
    QStringList steps;
    for (qsizetype i = 1; i <= typed.size(); ++i)
        steps << typed.left(i);
    for (qsizetype i = typed.size() - 1; i >= 1; --i)
        steps << typed.left(i);
    for (const QString &step : steps) {
        SCOPED_TRACE(step.toStdString());
        ItemListModel fresh(household);
        fresh.refresh();
        fresh.setSearch(step);
        model.setSearch(step);
        EXPECT_EQ(shownKeys(model), shownKeys(fresh));
        EXPECT_EQ(model.shownTotal(), fresh.shownTotal());
    }

    // Across the generated items, against a plain case-blind search of the
    // same texts (they are ASCII, where that is the whole rule).
    const std::vector<Row> rows = everyRow();
    for (const char *typed : {"oak", "ser 1", "Garage drill", "kitchen 20", "zzz"}) {
        SCOPED_TRACE(typed);
        const QStringList words = QString::fromLatin1(typed).split(u' ', Qt::SkipEmptyParts);
        std::vector<qint64> expected;
        Money total;
        for (const Row &row : rows) {
            const bool all = std::all_of(words.begin(), words.end(), [&](const QString &word) {
                return std::any_of(row.searched.begin(), row.searched.end(),
                                   [&](const QString &text) { return text.contains(word, Qt::CaseInsensitive); });
            });
            if (all) {
                expected.push_back(row.key);
                if (!row.values[std::size_t(ListColumn::TotValue)].isNull())
                    total += row.values[std::size_t(ListColumn::TotValue)].value<Money>();
            }
        }
        model.setSearch(QString::fromLatin1(typed));
        std::vector<qint64> shown = shownKeys(model);
        std::sort(shown.begin(), shown.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(model.shownTotal(), std::optional<Money>(total));
    }
}

// A text pasted at once and then taken back letter by letter was never
// searched in its shorter forms, and a list turned round while searching
// keeps its hits: each must show what a list that took the other way shows.
TEST_F(ItemListTest, TakingLettersBackAndTurningTheOrderRoundShowWhatAFreshListShows)
{
    for (const char *name : {"Desk lamp", "Lava lamp", "Ladder", "Salad bowl", "Lamp shade", "Clamp"})
        addItem({{"Item", name}, {"totvalue", 2.5}});
    ItemListModel model(household);
    model.refresh();
    const auto freshList = [&](const QString &typed, int column, Qt::SortOrder order) {
        ItemListModel fresh(household);
        fresh.refresh();
        fresh.sort(column, order);
        fresh.setSearch(typed);
        return std::pair(shownKeys(fresh), fresh.shownTotal());
    };
    for (const char *typed : {"lamp", "lam", "la", "l", "la"}) {
        SCOPED_TRACE(typed);
        model.setSearch(QString::fromUtf8(typed));
        EXPECT_EQ(std::pair(shownKeys(model), model.shownTotal()),
                  freshList(QString::fromUtf8(typed), int(ListColumn::Item), Qt::AscendingOrder));
    }
    ASSERT_GT(model.rowCount(), 4) << "\"la\" finds the ladder and the salad bowl too";

    for (int c = 0; c < ListColumnCount; ++c) {
        SCOPED_TRACE(listColumnCaption(ListColumn(c)).toStdString());
        model.sort(c, Qt::AscendingOrder);
        EXPECT_EQ(shownKeys(model), freshList(QStringLiteral("la"), c, Qt::AscendingOrder).first);
        model.sort(c, Qt::DescendingOrder);
        EXPECT_EQ(shownKeys(model), freshList(QStringLiteral("la"), c, Qt::DescendingOrder).first);
    }
}

// The columns beside the form's fields, read from the files and the
// warranties; a document's note is searched like the item's own texts; an
// item that left the household leaves the list and its total until the
// View menu's choice shows it again.
TEST_F(ItemListTest, PhotosDocumentsWarrantiesAndItemsThatLeft)
{
    const qint64 camera = addItem({{"Item", "Zz camera"}, {"totvalue", 100}});
    const qint64 bike = addItem({{"Item", "Zz bike"}, {"totvalue", 40}});
    const qint64 chair = addItem({{"Item", "Zz chair"}, {"totvalue", 7}});
    ItemListModel model(household);
    model.refresh();
    const std::optional<Money> everything = model.shownTotal();
    ASSERT_TRUE(everything);

    QTemporaryDir outside;
    const auto source = [&](const QString &name) {
        QFile file(outside.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        return file.fileName();
    };
    ItemAttachments attachments(household);
    attachments.attach(camera, AttachedKind::Photo, source(QStringLiteral("front.jpg"))); // the picture
    attachments.attach(camera, AttachedKind::Photo, source(QStringLiteral("label.jpg")));
    attachments.attach(camera, AttachedKind::Receipt, source(QStringLiteral("r.pdf")),
                       QStringLiteral("Fotoladen Köln"));
    attachments.attach(bike, AttachedKind::Photo, source(QStringLiteral("bike.jpg")));
    WarrantyDisposal cameraWarranty;
    cameraWarranty.warrantyEnds = DateValue::fromDate(QDate(2026, 8, 31));
    WarrantyDisposal bikeWarranty;
    bikeWarranty.lifetime = true;
    WarrantyDisposal chairGone;
    chairGone.disposed = DateValue::fromDate(QDate(2024, 4, 4));
    chairGone.how = DisposalKind::ThrownAway;
    ItemStatus(household.inventory()).store(camera, cameraWarranty);
    ItemStatus(household.inventory()).store(bike, bikeWarranty);
    ItemStatus(household.inventory()).store(chair, chairGone);

    ASSERT_TRUE(model.refreshIfChanged());
    EXPECT_EQ(model.rowOfKey(chair), -1) << "thrown away";
    EXPECT_EQ(*model.shownTotal(), *everything - Money::fromDecimalText(QStringLiteral("7")).value());
    const auto cell = [&](qint64 key, ListColumn column) {
        return model.data(model.index(model.rowOfKey(key), int(column))).toString();
    };
    EXPECT_EQ(cell(camera, ListColumn::Photos), QStringLiteral("2")) << "the picture and one more";
    EXPECT_EQ(cell(camera, ListColumn::Documents), QStringLiteral("1"));
    EXPECT_EQ(cell(camera, ListColumn::WarrantyEnds), QStringLiteral("8/31/2026"));
    EXPECT_EQ(cell(bike, ListColumn::Photos), QStringLiteral("1"));
    EXPECT_EQ(cell(bike, ListColumn::Documents), QString());
    EXPECT_EQ(cell(bike, ListColumn::WarrantyEnds), QStringLiteral("Lifetime"));

    // Most photos first when turned round: the picture counts.
    model.sort(int(ListColumn::Photos), Qt::DescendingOrder);
    EXPECT_EQ(model.keyAt(0), camera);
    EXPECT_EQ(model.keyAt(1), bike);
    model.sort(int(ListColumn::WarrantyEnds), Qt::DescendingOrder);
    EXPECT_EQ(model.keyAt(0), camera);

    model.setSearch(QStringLiteral("fotoladen koln"));
    EXPECT_EQ(shownKeys(model), std::vector<qint64>{camera}) << "the receipt's note";
    model.setSearch(QString());

    household.setShowsDisposed(true);
    EXPECT_NE(model.rowOfKey(chair), -1) << "the choice brings it back at once";
    EXPECT_EQ(model.shownTotal(), everything);
    household.setShowsDisposed(false);
    EXPECT_EQ(model.rowOfKey(chair), -1);
}
