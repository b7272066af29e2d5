// A data folder made before items had warranties and disposals: opened and
// used without entering one, it keeps every byte of its inventory, so an
// older copy of the program reads it as it always did.
#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "items/warranty/frmWarranties.h"
#include "items/warranty/frmWarranty.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

namespace {

QByteArray checksum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                          : QByteArray();
}

} // namespace

TEST_F(ItemWindowTest, AnOlderFolderOpensAndStaysAsItWasUntilAValueIsEntered)
{
    addItem({{"Item", "Radio"}, {"totvalue", 20}});
    addItem({{"Item", "Sofa"}, {"totvalue", 300}});
    const QString inventory = folder().file(InventoryFileName);
    const QByteArray before = checksum(inventory);
    ASSERT_FALSE(before.isEmpty());

    frmMain &w = start();
    w.mnuWarranty_Click();
    auto *warranty = qobject_cast<frmWarranty *>(w.secondaryWindow(frmMain::Secondary::Warranty));
    ASSERT_NE(warranty, nullptr);
    w.cmdNext_Click();
    EXPECT_EQ(warranty->lblItem->text(), QStringLiteral("Warranty and disposal of: Sofa"));
    w.mnuWarranties_Click();
    EXPECT_EQ(frmWarranties::instance()->warranties().size(), 0);
    w.mnuItemList_Click();
    w.mnuShowDisposed->trigger();
    w.mnuShowDisposed->trigger();
    w.mnuRptValue_Click(1);
    w.mnuRptSerial_Click();
    warranty->cmdClose_Click();
    EXPECT_TRUE(prompts.messages().empty());

    // Typed but never stored: the program ending drops it, as it drops an
    // edit in progress of the item form, without a question.
    w.mnuWarranty_Click();
    QTest::keyClicks(warranty->txtWarrantyDetails, QStringLiteral("Two years"));
    EXPECT_TRUE(warranty->changed());
    w.Form_Unload();
    EXPECT_TRUE(prompts.messages().empty());

    window.reset();
    household.closeInventory();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(checksum(inventory), before) << "not a byte of the inventory changed";
}
