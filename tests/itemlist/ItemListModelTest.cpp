#include "InventoryRows.h"
#include "QueryRows.h"
#include "ScriptedPrompts.h"
#include "TestDataFolder.h"

#include "data/DateValue.h"
#include "data/Inventory.h"
#include "data/Money.h"
#include "data/SearchText.h"
#include "itemlist/ItemListModel.h"
#include "program/Household.h"

#include <QCollator>
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
                           "i.totvalue, "
                           "i.wherepurch, i.misc1, i.Notes from items i left join categories c on c.catid = i.catid "
                           "left join locations l on l.locid = i.locid"))) {
            Row row{r[0].toLongLong(), {}, {}};
            for (int c = 0; c < ListColumnCount; ++c)
                row.values[std::size_t(c)] = r[c + 1];
            for (int c : {1, 2, 3, 4, 5, 6, 9, 10, 11})
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
    if (column == ListColumn::PurchDate || column == ListColumn::TotValue) {
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
