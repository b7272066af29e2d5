#include "ItemWindowFixture.h"

#include "dates/LocaleConversions.h"
#include "items/PictureFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

QString stop(const char *text)
{
    return QStringLiteral("Stowbook|%1|stop|ok").arg(QString::fromLatin1(text));
}

Money money(const char *decimal)
{
    return *Money::fromDecimalText(QString::fromLatin1(decimal));
}

} // namespace

TEST_F(ItemWindowTest, EveryEntryFieldButTheTotalStartsAnEdit)
{
    addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    addCode(QStringLiteral("locations"), QStringLiteral("Attic"));
    addItem({{"Item", "Alpha"}});
    frmMain &w = start();
    using Change = std::function<void()>;
    const std::pair<const char *, Change> rows[] = {
        {"txtItem", [&] { QTest::keyClicks(w.txtItem, "x"); }},
        {"txtManufact", [&] { QTest::keyClicks(w.txtManufact, "x"); }},
        {"txtModel", [&] { QTest::keyClicks(w.txtModel, "x"); }},
        {"txtSerNo", [&] { QTest::keyClicks(w.txtSerNo, "x"); }},
        {"dcPurchDate", [&] { QTest::keyClicks(w.dcPurchDate, "1"); }},
        {"txtPurchPrice", [&] { QTest::keyClicks(w.txtPurchPrice, "1"); }},
        {"txtEstValue", [&] { QTest::keyClicks(w.txtEstValue, "1"); }},
        {"txtQuantity", [&] { QTest::keyClicks(w.txtQuantity, "1"); }},
        {"chkReceipt", [&] { w.chkReceipt->click(); }},
        {"txtWherePurch", [&] { QTest::keyClicks(w.txtWherePurch, "x"); }},
        {"txtMisc1", [&] { QTest::keyClicks(w.txtMisc1, "x"); }},
        {"txtNotes", [&] { QTest::keyClicks(w.txtNotes, "x"); }},
        {"cmbCat chosen", [&] { w.cmbCat->setCurrentIndex(0); }},
        {"cmbLoc key", [&] { QTest::keyClick(w.cmbLoc, Qt::Key_Down); }},
    };
    for (const auto &[name, change] : rows) {
        SCOPED_TRACE(name);
        change();
        EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
        w.cmdCancel_Click();
        ASSERT_EQ(stateOf(w), QStringLiteral("Browsing"));
    }
    w.txtTotValue->setText(QStringLiteral("$5.00"));
    QTest::keyClick(w.cmbCat, Qt::Key_Tab);
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing")) << "the total, and tabbing through a list, change nothing";
}

TEST_F(ItemWindowTest, LeavingThePriceFormatsItAndProposesTheEstimatedValue)
{
    struct Row {
        const char *estimate;
        const char *estimateAfter;
    };
    const Row rows[] = {
        {"", "$1,200.00"},      // empty: proposed
        {"$0.00", "$1,200.00"}, // zero: proposed
        {"$7.00", "$7.00"},     // already given: kept
        {"lots", "lots"},       // not a number: left alone
    };
    addItem({{"Item", "Alpha"}});
    frmMain &w = start();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.estimate);
        w.txtEstValue->setText(QString::fromLatin1(row.estimate));
        w.txtQuantity->setText(QStringLiteral("1"));
        w.txtTotValue->clear();
        w.txtPurchPrice->setText(QStringLiteral("1200"));
        w.txtPurchPrice_LostFocus();
        EXPECT_EQ(w.txtPurchPrice->text(), QStringLiteral("$1,200.00"));
        EXPECT_EQ(w.txtEstValue->text(), QString::fromLatin1(row.estimateAfter));
        const std::optional<Money> estimate = toMoney(w.txtEstValue->text());
        EXPECT_EQ(w.txtTotValue->text(), estimate ? w.txtEstValue->text() : QString());
    }
    w.txtPurchPrice->clear();
    w.txtEstValue->setText(QStringLiteral("$0.00"));
    w.txtPurchPrice_LostFocus();
    EXPECT_EQ(w.txtEstValue->text(), QStringLiteral("$0.00")) << "an empty price proposes nothing";
    w.txtTotValue->setText(QStringLiteral("$9.00"));
    w.txtEstValue->clear();
    w.txtEstValue_LostFocus();
    EXPECT_EQ(w.txtEstValue->text(), QString());
    EXPECT_EQ(w.txtTotValue->text(), QStringLiteral("$9.00")) << "no estimate: the total stays as it was";
    EXPECT_TRUE(prompts.calls().empty());
}

TEST_F(ItemWindowTest, TheTotalIsTheEstimatedValueTimesTheRoundedQuantity)
{
    struct Row {
        const char *locale;
        const char *estimate;
        const char *quantity;
        const char *quantityAfter;
        const char *total;
        int stored;
    };
    const Row rows[] = {
        {"en_US", "0.126", "3", "3", "0.39", 3}, // the estimate is rounded for display first
        {"en_US", "10", "2.5", "2.5", "20", 2},  // shown as typed, used and stored as 2
        {"en_US", "10", "3.5", "3.5", "40", 4},  {"en_US", "10", "0", "1", "10", 1},
        {"en_US", "10", "", "1", "10", 1},       {"en_US", "10", "-2", "-2", "-20", -2},
        {"de_DE", "0,126", "3", "3", "0.39", 3}, {"de_DE", "10", "2,5", "2,5", "20", 2},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.locale) + " " + row.estimate + " x " + row.quantity);
        QLocale::setDefault(QLocale(QString::fromLatin1(row.locale)));
        const qint64 id = addItem({{"Item", "Alpha"}});
        frmMain &w = start();
        w.txtEstValue->setText(QString::fromLatin1(row.estimate));
        w.txtQuantity->setText(QString::fromLatin1(row.quantity));
        w.txtEstValue_LostFocus();
        w.txtQuantity_LostFocus();
        EXPECT_EQ(w.txtQuantity->text(), QString::fromLatin1(row.quantityAfter));
        EXPECT_EQ(toMoney(w.txtTotValue->text()), money(row.total)) << w.txtTotValue->text().toStdString();
        w.cmdUpdate_Click();
        EXPECT_EQ(stored(id)["quantity"], QVariant(row.stored));
        EXPECT_EQ(stored(id)["totvalue"], QVariant::fromValue(money(row.total)));
        EXPECT_TRUE(prompts.calls().empty());
        TearDown();
        m_folder.reset();
    }
}

TEST_F(ItemWindowTest, NumberFieldsRefuseWhatIsNoNumberWhenLeft)
{
    struct Row {
        QLineEdit *frmMain::*field;
        void (frmMain::*leave)();
        const char *typed;
        QString message;
        const char *total;
    };
    const Row rows[] = {
        {&frmMain::txtPurchPrice, &frmMain::txtPurchPrice_LostFocus, "12..5",
         stop("You must enter a number in the Purchase Price field"), "$10.00"},
        {&frmMain::txtEstValue, &frmMain::txtEstValue_LostFocus, "about 5",
         stop("You must enter a number in the Estimated Value field"), "$10.00"},
        // The total is still worked out, with the quantity put back to 1.
        {&frmMain::txtQuantity, &frmMain::txtQuantity_LostFocus, "a few",
         stop("You must enter a number in the Quantity field"), "$5.00"},
        // A number that cannot be stored is kept as typed and used for nothing.
        {&frmMain::txtQuantity, &frmMain::txtQuantity_LostFocus, "40000",
         stop("The Quantity must be a number from -32768 to 32767"), "$10.00"},
    };
    const qint64 id = addItem({{"Item", "Alpha"},
                               {"estvalue", QVariant::fromValue(money("5"))},
                               {"quantity", 2},
                               {"totvalue", QVariant::fromValue(money("10"))}});
    frmMain &w = start();
    for (const Row &row : rows) {
        SCOPED_TRACE(row.typed);
        w.cmdCancel_Click();
        prompts.clear();
        QLineEdit *field = w.*row.field;
        field->setText(QString::fromLatin1(row.typed));
        (w.*row.leave)();
        EXPECT_EQ(shownMessages(prompts), QStringList{row.message});
        EXPECT_EQ(QApplication::focusWidget(), field);
        EXPECT_EQ(w.txtTotValue->text(), QString::fromLatin1(row.total));
    }
    EXPECT_EQ(w.txtQuantity->text(), QStringLiteral("40000"));
    prompts.clear();
    w.cmdUpdate_Click();
    EXPECT_EQ(shownMessages(prompts), QStringList{rows[3].message}) << "nor can it be stored";
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    EXPECT_EQ(stored(id)["quantity"], QVariant(2));
}

TEST_F(ItemWindowTest, TabbingSkipsTheTotalAndARefusalComesOncePerLeave)
{
    addItem({{"Item", "Alpha"}});
    frmMain &w = start();
    ASSERT_TRUE(w.isActiveWindow());
    w.txtQuantity->setFocus();
    QTest::keyClick(w.txtQuantity, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.txtWherePurch);
    w.txtTotValue->setFocus();
    EXPECT_EQ(QApplication::focusWidget(), w.txtWherePurch) << "the total hands the focus on";

    // Two refused fields in a row must not hand the focus back and forth.
    w.txtPurchPrice->setText(QStringLiteral("cheap"));
    w.txtEstValue->setText(QStringLiteral("dear"));
    w.txtPurchPrice->setFocus();
    EXPECT_EQ(w.txtPurchPrice->selectedText(), QStringLiteral("cheap")) << "entering selects the whole text";
    QTest::keyClick(w.txtPurchPrice, Qt::Key_Tab);
    EXPECT_EQ(shownMessages(prompts), QStringList{stop("You must enter a number in the Purchase Price field")});
    EXPECT_EQ(QApplication::focusWidget(), w.txtPurchPrice);
    QTest::keyClick(w.txtPurchPrice, Qt::Key_Tab);
    EXPECT_EQ(prompts.messages().size(), 2u);
    EXPECT_EQ(w.txtPurchPrice->text(), QStringLiteral("cheap"));
}

TEST_F(ItemWindowTest, DeleteOrBackspaceInAListRemovesTheCode)
{
    const qint64 tools = addCode(QStringLiteral("categories"), QStringLiteral("Tools"));
    const qint64 attic = addCode(QStringLiteral("locations"), QStringLiteral("Attic"));
    const qint64 id = addItem({{"Item", "Alpha"}, {"catid", tools}, {"locid", attic}});
    frmMain &w = start();
    ASSERT_EQ(w.cmbCat->currentText(), QStringLiteral("Tools"));
    QTest::keyClick(w.cmbCat, Qt::Key_Delete);
    QTest::keyClick(w.cmbLoc, Qt::Key_Backspace);
    EXPECT_EQ(w.cmbCat->currentIndex(), -1);
    EXPECT_EQ(w.cmbLoc->currentIndex(), -1);
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing"));
    w.cmdUpdate_Click();
    EXPECT_TRUE(stored(id)["catid"].isNull());
    EXPECT_TRUE(stored(id)["locid"].isNull());
}
