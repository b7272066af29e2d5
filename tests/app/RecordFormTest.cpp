#include "ItemWindowFixture.h"

#include "dates/DateBoxRules.h"
#include "dates/LocaleConversions.h"
#include "help/viewer/HelpKey.h"
#include "program/Household.h"
#include "widgets/ElasticContainer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

Money money(const char *decimal)
{
    return *Money::fromDecimalText(QString::fromLatin1(decimal));
}

} // namespace

TEST_F(ItemWindowTest, ButtonsShareTwoPlacesAndCarryTheirCaptionsAndTopics)
{
    frmMain &w = start();
    struct Button {
        QPushButton *button;
        const char *caption;
        QPoint place;
        int topic;
        bool shown;
    };
    const Button buttons[] = {
        {w.cmdFirst, "F&irst", {960, 5520}, 15, true},     {w.cmdPrevious, "&Previous", {3000, 5535}, 15, true},
        {w.cmdNext, "&Next", {5040, 5535}, 15, true},      {w.cmdLast, "&Last", {7080, 5535}, 15, true},
        {w.cmdAddNew, "&Add New", {960, 6225}, 8, true},   {w.cmdDelete, "&Delete", {3000, 6225}, 14, true},
        {w.cmdFind, "F&ind", {5040, 6240}, 16, true},      {w.cmdCancel, "&Cancel", {3000, 6240}, 12, false},
        {w.cmdUpdate, "&Update", {5040, 6240}, 11, false}, {w.cmdPicture, "Pi&cture", {7080, 6225}, 10, true},
    };
    for (const Button &b : buttons) {
        SCOPED_TRACE(b.caption);
        EXPECT_EQ(b.button->text(), QString::fromLatin1(b.caption));
        EXPECT_EQ(w.Elastic1->designRect(b.button), QRect(b.place, QSize(1815, 480)));
        EXPECT_EQ(helpTopic(b.button), b.topic);
        EXPECT_EQ(!b.button->isHidden(), b.shown);
    }
}

TEST_F(ItemWindowTest, TabOrderRunsThroughFieldsThenButtons)
{
    frmMain &w = start();
    const QStringList expected{"txtItem",       "txtManufact", "txtModel",    "txtSerNo",    "dcPurchDate",
                               "txtPurchPrice", "txtEstValue", "txtQuantity", "txtTotValue", "txtWherePurch",
                               "chkReceipt",    "txtMisc1",    "cmbCat",      "cmbLoc",      "txtNotes",
                               "cmdFirst",      "cmdPrevious", "cmdNext",     "cmdLast",     "cmdAddNew",
                               "cmdDelete",     "cmdFind",     "cmdCancel",   "cmdUpdate",   "cmdPicture"};
    QStringList chain;
    QWidget *widget = w.txtItem;
    do {
        if (expected.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != w.txtItem && chain.size() < 50);
    EXPECT_EQ(chain, expected);
}

TEST_F(ItemWindowTest, NullColumnsShowEmptyAndAreStoredAsTheirDefaults)
{
    const qint64 id = addItem({{"Item", "Blank item"}});
    addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    frmMain &w = start();
    for (QLineEdit *box : std::initializer_list<QLineEdit *>{w.dcPurchDate, w.txtPurchPrice, w.txtEstValue,
                                                             w.txtTotValue, w.txtQuantity})
        EXPECT_EQ(box->text(), QString()) << box->objectName().toStdString();
    EXPECT_FALSE(w.chkReceipt->isChecked());
    EXPECT_EQ(w.cmbCat->currentIndex(), -1);

    w.MakingChange();
    w.cmdUpdate_Click();

    const QVariantMap row = stored(id);
    EXPECT_TRUE(row["purchdate"].isNull());
    for (const char *column : {"purchprice", "estvalue", "totvalue"})
        EXPECT_EQ(row[column], QVariant::fromValue(Money())) << column;
    EXPECT_EQ(row["quantity"], QVariant(1));
    EXPECT_EQ(row["receipt"], QVariant(false));
    EXPECT_TRUE(row["catid"].isNull());
    EXPECT_TRUE(row["locid"].isNull());
    EXPECT_EQ(w.txtPurchPrice->text(), QStringLiteral("$0.00")) << "shown again as the zero amount";
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(ItemWindowTest, EveryColumnIsStoredFromItsFieldAndShownBack)
{
    const qint64 tools = addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    const qint64 garage = addCode(QStringLiteral("locations"), QStringLiteral("Garage"));
    const qint64 id = addItem({{"Item", "Drill"}});
    frmMain &w = start();
    QTest::keyClicks(w.txtManufact, QStringLiteral("Acme \"Pro\""));
    w.txtModel->setText(QStringLiteral("D-1"));
    w.txtSerNo->setText(QStringLiteral("SN'1"));
    w.dcPurchDate->setText(QStringLiteral("3/14/2021"));
    w.txtPurchPrice->setText(QStringLiteral("12.5"));
    w.txtPurchPrice_LostFocus();
    w.chkReceipt->setChecked(true);
    w.txtWherePurch->setText(QStringLiteral("Hardware store"));
    w.txtMisc1->setText(QStringLiteral("misc"));
    w.txtNotes->setPlainText(QStringLiteral("line 1\nline 2"));
    w.cmbCat->setCurrentIndex(w.cmbCat->findText(QStringLiteral("Tools")));
    w.cmbLoc->setCurrentIndex(w.cmbLoc->findText(QStringLiteral("Garage")));
    w.cmdUpdate_Click();

    const QVariantMap row = stored(id);
    EXPECT_EQ(row["manufact"], QVariant(QStringLiteral("Acme \"Pro\"")));
    EXPECT_EQ(row["serno"], QVariant(QStringLiteral("SN'1")));
    EXPECT_EQ(row["purchdate"], QVariant::fromValue(DateValue::fromDate(QDate(2021, 3, 14))));
    EXPECT_EQ(row["purchprice"], QVariant::fromValue(money("12.5")));
    EXPECT_EQ(row["estvalue"], QVariant::fromValue(money("12.5"))) << "proposed from the price";
    EXPECT_EQ(row["totvalue"], QVariant::fromValue(money("12.5")));
    EXPECT_EQ(row["receipt"], QVariant(true));
    EXPECT_EQ(row["Notes"], QVariant(QStringLiteral("line 1\nline 2")));
    EXPECT_EQ(row["catid"], QVariant(int(tools)));
    EXPECT_EQ(row["locid"], QVariant(int(garage)));
    EXPECT_EQ(w.txtPurchPrice->text(), QStringLiteral("$12.50"));
    EXPECT_EQ(w.dcPurchDate->text(), QStringLiteral("3/14/2021"));
    EXPECT_EQ(w.cmbLoc->currentText(), QStringLiteral("Garage"));
}

TEST_F(ItemWindowTest, AmountsAndDatesAreReadByTheLocaleOfTheUser)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const qint64 id = addItem({{"Item", "Lampe"}});
    frmMain &w = start();
    w.txtPurchPrice->setText(QStringLiteral("1200,5"));
    w.txtPurchPrice_LostFocus();
    EXPECT_TRUE(w.txtPurchPrice->text().contains(QStringLiteral("1.200,50"))) << w.txtPurchPrice->text().toStdString();
    w.dcPurchDate->setText(QStringLiteral("14.03.2021"));
    w.cmdUpdate_Click();
    EXPECT_EQ(stored(id)["purchprice"], QVariant::fromValue(money("1200.5")));
    EXPECT_EQ(stored(id)["purchdate"], QVariant::fromValue(DateValue::fromDate(QDate(2021, 3, 14))));
    EXPECT_EQ(toMoney(w.txtTotValue->text()), money("1200.5"));
}

TEST_F(ItemWindowTest, AnEmptyDateBoxStoresNullAndOneWithoutADateIsRefused)
{
    const QVariant january2 = QVariant::fromValue(DateValue::fromDate(QDate(2000, 1, 2)));
    const qint64 id = addItem({{"Item", "Chair"}, {"purchdate", january2}});
    frmMain &w = start();
    // Whatever way Update was reached, a text that is no date is not stored
    // as if the box were empty.
    w.dcPurchDate->setText(QStringLiteral("soon"));
    w.cmdUpdate_Click();
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages().front().text, PurchaseDateRole.invalidMessage);
    EXPECT_EQ(stored(id)["purchdate"], january2);
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));

    w.dcPurchDate->clear();
    w.cmdUpdate_Click();
    EXPECT_TRUE(stored(id)["purchdate"].isNull());
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
}

TEST_F(ItemWindowTest, ACodeMatchingNoListEntryShowsNoSelection)
{
    const qint64 tools = addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    addItem({{"Item", "A"}, {"catid", tools}});
    addItem({{"Item", "B"}, {"catid", 999}});
    frmMain &w = start();
    EXPECT_EQ(w.cmbCat->currentText(), QStringLiteral("Tools"));
    w.cmdNext_Click();
    EXPECT_EQ(w.cmbCat->currentIndex(), -1) << "not the previous item's category";
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
}

TEST_F(ItemWindowTest, AQuantityBeyondSixteenBitsIsNeverStoredCutDown)
{
    const qint64 id = addItem({{"Item", "Screws"}, {"quantity", 7}});
    frmMain &w = start();
    w.txtQuantity->setText(QStringLiteral("70000"));
    ASSERT_TRUE(household.rsItems());
    household.rsItems()->edit();
    EXPECT_TRUE(w.SaveItem()) << "the rest of the record is stored";
    EXPECT_EQ(stored(id)["quantity"], QVariant(7));
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.startsWith(QStringLiteral("3421  The Quantity 70000 is outside")));
}

TEST_F(ItemWindowTest, ARecordThatCannotBeStoredLeavesTheTypingOnScreen)
{
    const qint64 id = addItem({{"Item", "Desk"}});
    frmMain &w = start();
    execute(QStringLiteral("create trigger no_writes before update on items begin select raise(abort, 'refused'); end;"
                           "create trigger no_adds before insert on items begin select raise(abort, 'refused'); end"));
    QTest::keyClicks(w.txtManufact, QStringLiteral("Oak"));
    w.cmdUpdate_Click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    EXPECT_EQ(w.txtManufact->text(), QStringLiteral("Oak"));
    EXPECT_EQ(stored(id)["manufact"], QVariant());
    w.cmdCancel_Click();

    w.cmdAddNew_Click();
    w.txtItem->setText(QStringLiteral("Lamp"));
    w.cmdAddNew_Click();
    w.cmdUpdate_Click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Adding"));
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Lamp"));
    EXPECT_EQ(storedCount(), 1);
    for (const QString &shown : shownMessages(prompts))
        EXPECT_TRUE(shown.contains(QStringLiteral("refused"))) << shown.toStdString();
    EXPECT_EQ(prompts.messages().size(), 3u) << "one report per failed store";
}
