// The warranty and disposal window and the warranties list under real hands:
// opened from the View menu with its keys, filled in with the keys, stored,
// and an item shown from the list in the main window in front.
#include "DesktopFixture.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "dates/Today.h"
#include "items/ItemAttachments.h"
#include "items/ItemStatus.h"
#include "items/warranty/frmWarranties.h"
#include "items/warranty/frmWarranty.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

namespace {

DateValue day(int year, int month, int dayOfMonth)
{
    return DateValue::fromDate(QDate(year, month, dayOfMonth));
}

// Today fixed for the test, the clock's again afterwards.
struct TodayScope {
    explicit TodayScope(const QDate &date) { setToday(date); }
    ~TodayScope() { setToday(std::nullopt); }
};

class WarrantyKeys : public DesktopTest {
protected:
    // What the folder's inventory holds for the item, read by a connection of the test's own.
    WarrantyDisposal storedStatus(qint64 iteid)
    {
        const std::unique_ptr<Database> db = Database::open(folder().file(InventoryFileName));
        return ItemStatus(*db).of(iteid);
    }
    // The View menu's entry with this access key.
    void viewMenu(Qt::Key key)
    {
        alt('v');
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 5000));
        QTest::keyClick(QApplication::activePopupWidget(), key);
    }
};

} // namespace

// A warranty and a disposal typed with the keys: a day still to come is
// refused with nothing stored, the day mended is stored with everything
// else; the window follows the main window to the next item, where a
// lifetime warranty is ticked and kept by closing the window.
TEST_F(WarrantyKeys, AWarrantyAndADisposalAreTypedAndStored)
{
    const TodayScope today(QDate(2025, 5, 10));
    const qint64 radio = addItem({{"Item", "Radio"}});
    const qint64 sofa = addItem({{"Item", "Sofa"}});
    frmMain &w = start();
    viewMenu(Qt::Key_P);
    auto *window = qobject_cast<frmWarranty *>(w.secondaryWindow(frmMain::Secondary::Warranty));
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitUntilActive(window));
    EXPECT_EQ(window->lblItem->text(), QStringLiteral("Warranty and disposal of: Radio"));

    alt('u');
    EXPECT_EQ(focus(), window->dcWarrantyEnds);
    type(QStringLiteral("3/1/2026"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), window->chkLifetime);
    press(Qt::Key_Tab);
    type(QStringLiteral("Parts and labour"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), window->dcDisposed) << "Tab leaves the details instead of typing a tab";
    type(QStringLiteral("5/11/2025"));
    press(Qt::Key_Tab);
    press(Qt::Key_Down);
    EXPECT_EQ(window->cboDisposedHow->currentText(), QStringLiteral("Sold"));
    alt('s');
    EXPECT_EQ(shownMessages(), QStringList{QStringLiteral("Warranty and Disposal|") + DisposedAheadMessage});
    EXPECT_EQ(storedText(QStringLiteral("select count(*) from sqlite_master where name = 'itemstatus'")), u"0")
        << "nothing stored, not even the table";
    EXPECT_EQ(focus(), window->dcDisposed);

    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("5/9/2025"));
    alt('s');
    WarrantyDisposal expected;
    expected.warrantyEnds = day(2026, 3, 1);
    expected.warrantyDetails = QStringLiteral("Parts and labour");
    expected.disposed = day(2025, 5, 9);
    expected.how = DisposalKind::Sold;
    EXPECT_EQ(storedStatus(radio), expected);
    EXPECT_FALSE(window->cmdSave->isEnabled()) << "nothing left to save";

    w.cmdNext_Click();
    EXPECT_EQ(window->lblItem->text(), QStringLiteral("Warranty and disposal of: Sofa"));
    EXPECT_TRUE(window->dcWarrantyEnds->text().isEmpty());
    ASSERT_TRUE(waitUntilActive(window));
    window->txtWarrantyDetails->setFocus();
    alt('l');
    EXPECT_TRUE(window->chkLifetime->isChecked());
    EXPECT_FALSE(window->dcWarrantyEnds->isEnabled()) << "a warranty for life has no end";
    alt('e');
    EXPECT_FALSE(window->isVisible());
    WarrantyDisposal lifetime;
    lifetime.lifetime = true;
    EXPECT_EQ(storedStatus(sofa), lifetime) << "closing keeps what was entered";
    EXPECT_EQ(storedStatus(radio), expected);
}

// View > Warranties lists the warranties that end within 90 days or have
// ended, with the chosen item's documents; fewer days leave the later ones
// out, and Show Item brings the main window to the front with the item.
TEST_F(WarrantyKeys, TheWarrantiesListShowsAnItemInTheMainWindow)
{
    const TodayScope today(QDate(2025, 5, 10));
    const qint64 kettle = addItem({{"Item", "Kettle"}});
    const qint64 drill = addItem({{"Item", "Drill"}});
    addItem({{"Item", "Lamp"}});
    {
        const std::unique_ptr<Database> db = Database::open(folder().file(InventoryFileName));
        WarrantyDisposal ended;
        ended.warrantyEnds = day(2025, 4, 30);
        WarrantyDisposal soon;
        soon.warrantyEnds = day(2025, 7, 1);
        soon.warrantyDetails = QStringLiteral("Return to the maker");
        ItemStatus(*db).store(kettle, ended);
        ItemStatus(*db).store(drill, soon);
    }
    frmMain &w = start();
    QFile card(folder().file(QStringLiteral("card.pdf")));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly) && card.write("%PDF-1.4 card") > 0);
    card.close();
    const AttachedFile stored =
        ItemAttachments(household).attach(drill, AttachedKind::Warranty, card.fileName(), QStringLiteral("Card"));
    viewMenu(Qt::Key_W);
    frmWarranties *list = frmWarranties::instance();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitUntilActive(list));
    EXPECT_EQ(list->txtDays->value(), frmWarranties::DefaultDays);
    ASSERT_EQ(list->grdWarranties->rowCount(), 2);
    EXPECT_EQ(list->grdWarranties->item(0, 0)->text(), QStringLiteral("Kettle"));
    EXPECT_EQ(list->grdWarranties->item(0, 2)->text(), QStringLiteral("Ended 10 days ago"));
    EXPECT_EQ(list->grdWarranties->item(1, 0)->text(), QStringLiteral("Drill"));
    EXPECT_EQ(list->grdWarranties->item(1, 1)->text(), QStringLiteral("7/1/2025"));
    EXPECT_EQ(list->grdWarranties->item(1, 3)->text(), QStringLiteral("Return to the maker"));

    alt('w');
    EXPECT_EQ(focus(), list->txtDays);
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("30"));
    EXPECT_EQ(list->grdWarranties->rowCount(), 1) << "the drill's warranty ends in 52 days";
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("60"));
    ASSERT_EQ(list->grdWarranties->rowCount(), 2);
    list->grdWarranties->selectRow(1);
    ASSERT_EQ(list->grdDocuments->rowCount(), 1);
    EXPECT_EQ(list->grdDocuments->item(0, 0)->text(), QStringLiteral("Warranty"));
    alt('o');
    ASSERT_FALSE(prompts.calls().empty());
    EXPECT_EQ(prompts.calls().back().kind, ScriptedPrompts::Kind::OpenWeb);
    EXPECT_EQ(QUrl(prompts.calls().back().text).toLocalFile(), household.itemFiles().folder() + stored.fileName);
    alt('s');
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isActiveWindow(); }, 5000)) << "the main window comes to the front";
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Drill"));
    EXPECT_TRUE(list->isVisible()) << "the list stays open behind it";
}
