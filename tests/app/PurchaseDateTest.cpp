#include "ItemWindowFixture.h"

#include "dates/Today.h"
#include "dates/calendar/DateBox.h"
#include "dates/calendar/frmDateEnt.h"
#include "program/Household.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace {

// Today is fixed and the calendar scripted for the length of one test.
struct PurchaseDateScope {
    PurchaseDateScope() { setToday(QDate(2001, 5, 15)); }
    ~PurchaseDateScope()
    {
        setToday(std::nullopt);
        frmDateEnt::setModalRunner({});
    }
};

} // namespace

TEST_F(ItemWindowTest, PurchaseDateKeysAndCalendarStartAnEdit)
{
    const PurchaseDateScope scope;
    addItem({{"Item", "Alpha"}});
    frmMain &w = start();
    ASSERT_EQ(stateOf(w), QStringLiteral("Browsing"));
    w.dcPurchDate->setFocus();
    QTest::keyClick(w.dcPurchDate, '+');
    EXPECT_EQ(w.dcPurchDate->text(), QStringLiteral("5/15/2001"));
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));

    frmDateEnt::setModalRunner([](frmDateEnt &calendar) { calendar.Grid1_Click(0, 2); }); // 1 May 2001
    w.dcPurchDate->dropDownButton()->trigger();
    EXPECT_EQ(w.dcPurchDate->text(), QStringLiteral("5/1/2001"));
    EXPECT_EQ(QApplication::focusWidget(), w.txtPurchPrice);
    w.cmdUpdate_Click();
    EXPECT_EQ(stored(1)["purchdate"].value<DateValue>(), DateValue::fromDate(QDate(2001, 5, 1)));
}

TEST_F(ItemWindowTest, ARefusedPurchaseDateAndARefusedPriceShowOneMessage)
{
    const PurchaseDateScope scope;
    addItem({{"Item", "Alpha"}});
    frmMain &w = start();
    w.dcPurchDate->setText(QStringLiteral("soon"));
    w.txtPurchPrice->setText(QStringLiteral("cheap"));
    w.dcPurchDate->setFocus();
    QTest::keyClick(w.dcPurchDate, Qt::Key_Tab);
    EXPECT_EQ(
        shownMessages(prompts),
        QStringList{QStringLiteral("Stowbook|You must enter a valid Purchase Date, or leave the field blank|none|ok")});
    EXPECT_EQ(QApplication::focusWidget(), w.dcPurchDate);

    // And the other way round: the price refuses, the date stays quiet.
    w.dcPurchDate->clear();
    w.txtPurchPrice->setFocus();
    w.dcPurchDate->setText(QStringLiteral("soon"));
    prompts.clear();
    QTest::keyClick(w.txtPurchPrice, Qt::Key_Backtab);
    EXPECT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), w.txtPurchPrice);
}
