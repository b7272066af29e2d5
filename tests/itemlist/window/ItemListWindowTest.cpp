#include "ItemWindowFixture.h"

#include "data/DbError.h"
#include "itemlist/ItemListModel.h"
#include "itemlist/window/frmItemList.h"
#include "program/Household.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

// The window as a person uses it, on the demo household.
TEST_F(ItemWindowTest, TheItemListFindsAnItemByAWordOfItsNotesAndShowsIt)
{
    m_folder = std::make_unique<TestDataFolder>(SetupOptions{.demo = true});
    frmMain &main = start();
    main.mnuItemList_Click();
    frmItemList *list = frmItemList::instance();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Item List"));
    EXPECT_EQ(list->model()->rowCount(), 66);
    EXPECT_TRUE(list->lblSummary->text().startsWith(QStringLiteral("66 items, total value $")))
        << list->lblSummary->text().toStdString();

    QTest::keyClicks(list->txtSearch, "RECEIPTS filed warranty");
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->lblSummary->text(), QStringLiteral("1 of 66 items, total value $420.00"));
    QTest::keyClick(list->grdItems, Qt::Key_Return);
    EXPECT_EQ(main.txtItem->text(), QStringLiteral("55-inch 4K LED Television"));

    // With the search cleared and the list sorted by its total, most
    // valuable first, the television is still the item chosen.
    list->txtSearch->clear();
    list->grdItems->horizontalHeader()->setSortIndicator(int(ListColumn::TotValue), Qt::DescendingOrder);
    const auto cell = [&](int row, ListColumn column) {
        return list->model()->data(list->model()->index(row, int(column))).toString();
    };
    EXPECT_EQ(cell(list->grdItems->currentIndex().row(), ListColumn::Item),
              QStringLiteral("55-inch 4K LED Television"));
    EXPECT_EQ(cell(0, ListColumn::Item), QStringLiteral("Diamond Engagement Ring"));
    EXPECT_EQ(cell(0, ListColumn::TotValue), QStringLiteral("$7,200.00"));

    // While the main window's item is being changed, it stays on screen.
    QTest::keyClicks(main.txtModel, "X");
    list->txtSearch->clear();
    QTest::keyClicks(list->txtSearch, "guitar");
    QTest::keyClick(list->txtSearch, Qt::Key_Enter);
    EXPECT_EQ(main.txtItem->text(), QStringLiteral("55-inch 4K LED Television"));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].title, QStringLiteral("Item List"));

    // Deleted in the main window: gone from the list when it is next activated.
    main.cmdCancel_Click();
    list->cmdShow_Click();
    EXPECT_EQ(main.txtItem->text(), QStringLiteral("Acoustic Guitar"));
    prompts.answer(Prompts::Answer::Yes);
    main.cmdDelete_Click();
    list->Form_Activate();
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_EQ(list->lblSummary->text(), QStringLiteral("0 of 65 items, total value $0.00"));
    // Opening it again brings the same window forward.
    main.mnuItemList_Click();
    EXPECT_EQ(frmItemList::instance(), list);
    main.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmItemList::instance(), nullptr);
}

// A repair replaces the inventory's connection under the open list: the list
// must read the repaired file, not the connection that went with the damage.
TEST_F(ItemWindowTest, AfterARepairTheItemListReadsTheRepairedInventory)
{
    m_folder = std::make_unique<TestDataFolder>(SetupOptions{.demo = true});
    frmMain &main = start();
    main.mnuItemList_Click();
    frmItemList *list = frmItemList::instance();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->model()->itemCount(), 66);

    // Written by another program meanwhile, then the file is found damaged.
    addItem({{"Item", "Added Before The Repair"}, {"totvalue", 12.5}});
    household.HandleDbError(DbError(DbError::NotDatabase, QStringLiteral("file is not a database")));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].title, QStringLiteral("Database Repaired"));

    list->Form_Activate();
    EXPECT_EQ(list->model()->itemCount(), 67);
    EXPECT_TRUE(list->lblSummary->text().startsWith(QStringLiteral("67 items, total value $")))
        << list->lblSummary->text().toStdString();
    QTest::keyClicks(list->txtSearch, "added repair");
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_EQ(list->model()->data(list->model()->index(0, int(ListColumn::Item))).toString(),
              QStringLiteral("Added Before The Repair"));
    QTest::keyClick(list->grdItems, Qt::Key_Return);
    EXPECT_EQ(main.txtItem->text(), QStringLiteral("Added Before The Repair")) << "shown through the new connection";
    EXPECT_EQ(prompts.messages().size(), 1u);
}
