#include "ClaimFixture.h"

#include "claim/ClaimReadiness.h"
#include "claim/window/frmReadiness.h"
#include "data/Database.h"
#include "dates/LocaleFormats.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/viewer/frmOutput.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

class ReadinessWindowTest : public ClaimTest {
protected:
    void TearDown() override
    {
        delete frmReadiness::instance();
        delete frmOutput::current();
        ClaimTest::TearDown();
    }
};

// A person changes the receipt limit and ticks a category with the keys,
// previews the list; the choices are kept in the inventory and offered again.
TEST_F(ReadinessWindowTest, TheChoicesTypedAreKeptAndTheListIsShown)
{
    frmReadiness *window = frmReadiness::showReadiness(household, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QList<QListWidgetItem *> furniture =
        window->lstSerial->findItems(QStringLiteral("Furniture"), Qt::MatchExactly);
    const QList<QListWidgetItem *> electronics =
        window->lstSerial->findItems(QStringLiteral("Electronics"), Qt::MatchExactly);
    ASSERT_EQ(furniture.size(), 1);
    ASSERT_EQ(electronics.size(), 1);
    EXPECT_EQ(furniture.front()->checkState(), Qt::Unchecked) << "the default";
    EXPECT_EQ(electronics.front()->checkState(), Qt::Checked) << "the default";

    window->txtReceiptAbove->setFocus();
    window->txtReceiptAbove->selectAll();
    QTest::keyClicks(window->txtReceiptAbove, QStringLiteral("250"));
    window->lstSerial->setFocus();
    window->lstSerial->setCurrentItem(furniture.front());
    QTest::keyClick(window->lstSerial, Qt::Key_Space);
    EXPECT_EQ(furniture.front()->checkState(), Qt::Checked);
    QTest::mouseClick(window->cmdPreview, Qt::LeftButton);

    EXPECT_TRUE(prompts.messages().empty());
    const ReadinessChoices kept = readReadinessChoices(household);
    EXPECT_EQ(kept.receiptAbove, Money::fromUnits(250 * Money::Scale));
    const qint64 furnitureKey = household.inventory()
                                    .scalar(QStringLiteral("select catid from categories where catDesc = 'Furniture'"))
                                    .toLongLong();
    EXPECT_TRUE(kept.serialCategories.contains(furnitureKey));
    ASSERT_TRUE(frmOutput::current());
    const PageLayout &doc = *frmOutput::current()->PrintPreview;
    EXPECT_EQ(doc.title(), QStringLiteral("Claim Readiness"));
    const Readiness readiness = checkReadiness(household, kept);
    EXPECT_EQ(doc.rowCells(4).value(1), QString::number(readiness.counts[size_t(Shortfall::NoReceipt)]));
    EXPECT_TRUE(window->lblSummary->text().contains(
        QStringLiteral("No receipt: %1").arg(readiness.counts[size_t(Shortfall::NoReceipt)])));

    // Something that is no amount is refused, and nothing is changed.
    prompts.clear();
    window->txtReceiptAbove->setText(QStringLiteral("lots"));
    QTest::mouseClick(window->cmdPreview, Qt::LeftButton);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages().front().text.startsWith(QStringLiteral("Enter the value above which")));
    EXPECT_EQ(readReadinessChoices(household).receiptAbove, Money::fromUnits(250 * Money::Scale));

    // Opened again, the window offers what was kept.
    delete window;
    window = frmReadiness::showReadiness(household, nullptr);
    EXPECT_EQ(window->lstSerial->findItems(QStringLiteral("Furniture"), Qt::MatchExactly).front()->checkState(),
              Qt::Checked);
    EXPECT_EQ(window->txtReceiptAbove->text(), formatCurrency(Money::fromUnits(250 * Money::Scale)));
}
