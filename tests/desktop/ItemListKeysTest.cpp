// The item list under real hands: the keys that move through it, and the
// item it shows brought to the front in the main window.
#include "DesktopFixture.h"

#include "itemlist/ItemListModel.h"
#include "itemlist/window/frmItemList.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWindow>

TEST_F(DesktopTest, TheItemListShowsTheItemInTheMainWindowInFront)
{
    for (const char *name : {"Anvil", "Bench", "Chisel"})
        addItem({{"Item", name}});
    frmMain &w = start();
    w.mnuItemList_Click();
    frmItemList *list = frmItemList::instance();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitUntilActive(list));
    EXPECT_EQ(list->windowHandle()->transientParent(), nullptr) << "nothing keeps the list in front of the main window";

    // Down from the search box into the table, Tab out of it to the buttons.
    click(list->txtSearch);
    type(QStringLiteral("chisel"));
    press(Qt::Key_Down);
    EXPECT_EQ(focus(), list->grdItems);
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), list->cmdShow) << "Tab leaves the table instead of walking its cells";
    press(Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }, 5000)) << "the main window comes to the front";
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Chisel"));

    // Enter in the search box, then a double click in the table, do the same.
    ASSERT_TRUE(waitUntilActive(list));
    list->txtSearch->selectAll();
    click(list->txtSearch);
    list->txtSearch->selectAll();
    type(QStringLiteral("bench"));
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }, 5000));
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Bench"));

    ASSERT_TRUE(waitUntilActive(list));
    list->txtSearch->clear();
    const QRect anvil = list->grdItems->visualRect(list->model()->index(0, 0));
    // A double click is a press, a release, and a second press that doubles it.
    QTest::mouseClick(list->grdItems->viewport(), Qt::LeftButton, Qt::NoModifier, anvil.center());
    QTest::mouseDClick(list->grdItems->viewport(), Qt::LeftButton, Qt::NoModifier, anvil.center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }, 5000));
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Anvil"));
    EXPECT_TRUE(list->isVisible()) << "the list stays open behind it";
}
