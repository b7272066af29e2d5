#include "ItemWindowFixture.h"

#include "data/Database.h"
#include "data/DbError.h"
#include "data/Inventory.h"
#include "itemlist/ItemListModel.h"
#include "itemlist/window/frmItemList.h"
#include "items/ItemStatus.h"
#include "program/Household.h"

#include <QAction>
#include <QCoreApplication>
#include <QDate>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <numeric>
#include <vector>

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

// A wider window gives each column a share of the room by its width; a
// click on a heading shows the new order from its top, the chosen item kept.
TEST_F(ItemWindowTest, TheItemListSharesItsWidthAndShowsANewOrderFromTheTop)
{
    m_folder = std::make_unique<TestDataFolder>(SetupOptions{.demo = true});
    frmMain &main = start();
    main.mnuItemList_Click();
    frmItemList *list = frmItemList::instance();
    ASSERT_NE(list, nullptr);
    QTableView *table = list->grdItems;
    const auto widths = [&] {
        std::vector<int> w;
        for (int column = 0; column < ListColumnCount; ++column)
            w.push_back(table->columnWidth(column));
        return w;
    };
    const auto sum = [](const std::vector<int> &w) { return std::accumulate(w.begin(), w.end(), 0); };
    const std::vector<int> before = widths();
    ASSERT_LE(sum(before), table->viewport()->width() + 1);
    list->resize(list->width() + 400, list->height());
    QCoreApplication::processEvents();
    const std::vector<int> after = widths();
    EXPECT_EQ(sum(after), table->viewport()->width()) << "the columns fill the view";
    for (std::size_t column = 0; column < after.size(); ++column) {
        SCOPED_TRACE(column);
        EXPECT_GT(after[column], before[column]);
        // In proportion, give or take the pixel each one rounds to.
        EXPECT_NEAR(double(after[column]) * sum(before) / sum(after), before[column], 1.5);
    }

    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
    table->setCurrentIndex(last);
    table->scrollTo(last);
    ASSERT_GT(table->verticalScrollBar()->value(), 0);
    const qint64 chosen = list->model()->keyAt(last.row());
    QHeaderView *header = table->horizontalHeader();
    const int column = int(ListColumn::Manufact);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorSection(), column);
    EXPECT_EQ(table->verticalScrollBar()->value(), 0) << "the new order is seen from its top";
    EXPECT_EQ(list->model()->keyAt(table->currentIndex().row()), chosen) << "the chosen item stays chosen";
}

// Opened again with nothing written, the list shows what it read before;
// after a write by another program or by the main window it reads again.
TEST_F(ItemWindowTest, TheItemListOpenedAgainShowsWhatWasWrittenMeanwhile)
{
    m_folder = std::make_unique<TestDataFolder>(SetupOptions{.demo = true});
    frmMain &main = start();
    const auto reopened = [&] {
        if (frmItemList *open = frmItemList::instance())
            open->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        main.mnuItemList_Click();
        return frmItemList::instance();
    };
    EXPECT_EQ(reopened()->lblSummary->text().section(u',', 0, 0), QStringLiteral("66 items"));
    EXPECT_EQ(reopened()->lblSummary->text().section(u',', 0, 0), QStringLiteral("66 items"));

    // The searched texts, read beside the list, are kept with its reading
    // and read again with it.
    reopened()->txtSearch->setText(QStringLiteral("zanzibar"));
    EXPECT_EQ(frmItemList::instance()->model()->rowCount(), 0);
    Database::open(m_folder->file(InventoryFileName))
        ->execute(QStringLiteral("update items set Notes = 'Zanzibar' where iteid = (select max(iteid) from items)"));
    reopened()->txtSearch->setText(QStringLiteral("zanzibar"));
    EXPECT_EQ(frmItemList::instance()->model()->rowCount(), 1);

    addItem({{"Item", "Written Elsewhere"}, {"totvalue", 3}});
    frmItemList *list = reopened();
    EXPECT_EQ(list->lblSummary->text().section(u',', 0, 0), QStringLiteral("67 items"));
    EXPECT_EQ(list->model()->data(list->model()->index(list->model()->rowCount() - 1, 0)).toString(),
              QStringLiteral("Written Elsewhere"));

    list->txtSearch->setText(QStringLiteral("written elsewhere"));
    QTest::keyClick(list->grdItems, Qt::Key_Return);
    ASSERT_EQ(main.txtItem->text(), QStringLiteral("Written Elsewhere"));
    prompts.answer(Prompts::Answer::Yes);
    main.cmdDelete_Click();
    EXPECT_EQ(reopened()->lblSummary->text().section(u',', 0, 0), QStringLiteral("66 items"));
    main.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// An item that left the household leaves the open list, its count and its
// total when it is stored, and comes back with View > Show Disposed Items.
TEST_F(ItemWindowTest, TheItemListFollowsTheChoiceOfDisposedItems)
{
    addItem({{"Item", "Kept"}, {"totvalue", 10}});
    const qint64 sold = addItem({{"Item", "Sold"}, {"totvalue", 5}});
    frmMain &main = start();
    main.mnuItemList_Click();
    frmItemList *list = frmItemList::instance();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->lblSummary->text(), QStringLiteral("2 items, total value $15.00"));

    WarrantyDisposal gone;
    gone.disposed = DateValue::fromDate(QDate(2024, 10, 1));
    gone.how = DisposalKind::Sold;
    ItemStatus(household.inventory()).store(sold, gone);
    list->Form_Activate();
    EXPECT_EQ(list->lblSummary->text(), QStringLiteral("1 item, total value $10.00"));
    main.mnuShowDisposed->trigger();
    EXPECT_EQ(list->lblSummary->text(), QStringLiteral("2 items, total value $15.00"));
    main.mnuShowDisposed->trigger();
    EXPECT_EQ(list->lblSummary->text(), QStringLiteral("1 item, total value $10.00"));
}
