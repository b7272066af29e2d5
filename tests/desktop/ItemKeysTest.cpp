// The item editor under real hands: access keys, Enter, Cancel, Escape and
// clicks on a shown, active main window, and what they leave in the database.
#include "DesktopFixture.h"

#include "data/Money.h"
#include "items/picture/frmImage.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

QVariant dollars(const char *amount)
{
    return QVariant::fromValue(Money::fromDecimalText(QString::fromLatin1(amount)).value());
}

const QString PriceRefused = QStringLiteral("Stowbook|You must enter a number in the Purchase Price field");

// A lamp worth $5.00, one of it.
QVariantMap lamp()
{
    return {{"Item", "Lamp"},
            {"purchprice", dollars("5")},
            {"estvalue", dollars("5")},
            {"quantity", 1},
            {"totvalue", dollars("5")}};
}

} // namespace

TEST_F(DesktopTest, AnAccessKeyLeavesTheFieldBeforeItsCommandRuns)
{
    const qint64 id = addItem(lamp());
    frmMain &w = start();

    // The quantity is left, so the total follows it before Update writes.
    clickAndType(w.txtQuantity, QStringLiteral("3"));
    alt('u');
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(stored(id)["quantity"], QVariant(3));
    EXPECT_EQ(stored(id)["totvalue"], dollars("15"));
    EXPECT_EQ(w.txtTotValue->text(), QStringLiteral("$15.00"));
    EXPECT_FALSE(w.cmdUpdate->isVisible()) << "browsing again";

    // A price that is no number: its message, the focus back, nothing stored.
    clickAndType(w.txtPurchPrice, QStringLiteral("abc"));
    alt('u');
    EXPECT_EQ(shownMessages(), QStringList{PriceRefused});
    EXPECT_EQ(focus(), w.txtPurchPrice);
    EXPECT_EQ(stored(id)["purchprice"], dollars("5"));
    EXPECT_TRUE(w.cmdUpdate->isVisible()) << "still editing";

    // Reaching Update past the check (Cancel takes the focus without one)
    // still stores nothing that is not shown.
    prompts.clear();
    alt('c'); // Cancel and Picture share C: the focus goes to Cancel
    ASSERT_EQ(focus(), w.cmdCancel);
    alt('u');
    EXPECT_EQ(shownMessages(), QStringList{PriceRefused});
    EXPECT_EQ(focus(), w.txtPurchPrice);
    EXPECT_EQ(stored(id)["purchprice"], dollars("5"));
}

TEST_F(DesktopTest, AddAnotherByItsAccessKeyStoresEachItemWithItsTotal)
{
    addItem(lamp());
    frmMain &w = start();
    alt('a');
    ASSERT_EQ(focus(), w.txtItem);
    type(QStringLiteral("Drill"));
    clickAndType(w.txtEstValue, QStringLiteral("10"));
    clickAndType(w.txtQuantity, QStringLiteral("2"));
    alt('a');
    EXPECT_EQ(focus(), w.txtItem) << "ready for the next item";
    EXPECT_EQ(w.txtItem->text(), QString());
    type(QStringLiteral("Saw"));
    clickAndType(w.txtEstValue, QStringLiteral("4"));
    alt('u');
    EXPECT_TRUE(shownMessages().isEmpty());
    EXPECT_EQ(storedText(QStringLiteral("select group_concat(Item || '=' || totvalue, ' ') from "
                                        "(select * from items order by iteid)")),
              QStringLiteral("Lamp=5 Drill=20 Saw=4"));
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Saw"));
}

TEST_F(DesktopTest, EnterPressesTheFocusedButtonAndSharedKeysTakeTurns)
{
    for (const char *name : {"Anvil", "Bench", "Chisel"})
        addItem({{"Item", name}});
    frmMain &w = start();
    alt('n');
    ASSERT_EQ(w.txtItem->text(), QStringLiteral("Bench"));

    // F&irst and F&ind share I: the key only moves the focus, to the next
    // of the two after the focused Next in tab order, then round.
    alt('i');
    EXPECT_EQ(focus(), w.cmdFind);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Bench"));
    alt('i');
    EXPECT_EQ(focus(), w.cmdFirst);
    press(Qt::Key_Return);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Anvil"));
    // The keypad's Enter presses too: on Next, so that only a press moves on.
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    ASSERT_EQ(focus(), w.cmdNext);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Bench")) << "the keypad's Enter presses Next";

    // While editing, &Cancel and Pi&cture share C; Alt+C, Enter cancels.
    clickAndType(w.txtManufact, QStringLiteral("Acme"));
    alt('c');
    EXPECT_EQ(focus(), w.cmdCancel);
    press(Qt::Key_Return);
    EXPECT_EQ(w.txtItem->text(), QStringLiteral("Chisel")) << "Cancel shows the last item";
    EXPECT_TRUE(storedText(QStringLiteral("select group_concat(manufact) from items")).isEmpty());
    EXPECT_TRUE(shownMessages().isEmpty());
}

TEST_F(DesktopTest, CancelDiscardsWhatTheFieldWouldRefuse)
{
    struct Row {
        const char *name;
        QLineEdit *frmMain::*field;
        const char *typed;
        void (*cancel)(frmMain &);
    };
    const Row rows[] = {
        {"bad price, Cancel clicked", &frmMain::txtPurchPrice, "abc", [](frmMain &w) { click(w.cmdCancel); }},
        {"bad date, Alt+C and Enter", nullptr, "31/31/2020",
         [](frmMain &) {
             alt('c');
             press(Qt::Key_Return);
         }},
        {"bad quantity, Escape", &frmMain::txtQuantity, "a few", [](frmMain &) { press(Qt::Key_Escape); }},
    };
    const qint64 first = addItem(lamp());
    addItem({{"Item", "Radio"}});
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        frmMain &w = start();
        prompts.clear();
        QLineEdit *field = row.field ? w.*row.field : w.dcPurchDate;
        clickAndType(field, QString::fromLatin1(row.typed));
        ASSERT_TRUE(w.cmdCancel->isVisible());
        row.cancel(w);
        EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();
        EXPECT_FALSE(w.cmdCancel->isVisible()) << "browsing again";
        EXPECT_EQ(w.txtItem->text(), QStringLiteral("Radio")) << "the last item is shown";
        EXPECT_EQ(stored(first)["purchprice"], dollars("5"));
        EXPECT_EQ(stored(first)["quantity"], QVariant(1));
        EXPECT_TRUE(stored(first)["purchdate"].isNull());
        window.reset();
        household.closeInventory();
    }
}

TEST_F(DesktopTest, ClickingIntoANumberBoxSelectsItsTextAsTabDoes)
{
    struct Row {
        QLineEdit *frmMain::*field;
        const char *typed;
        const char *left;
    };
    const Row rows[] = {
        {&frmMain::txtPurchPrice, "12", "$12.00"},
        {&frmMain::txtEstValue, "7", "$7.00"},
        {&frmMain::txtQuantity, "4", "4"},
    };
    addItem({{"Item", "Sofa"},
             {"purchprice", dollars("1149")},
             {"estvalue", dollars("1149")},
             {"quantity", 1},
             {"totvalue", dollars("1149")}});
    frmMain &w = start();
    for (const Row &row : rows) {
        QLineEdit *field = w.*row.field;
        SCOPED_TRACE(field->objectName().toStdString());
        click(w.txtItem);
        clickAndType(field, QString::fromLatin1(row.typed));
        EXPECT_EQ(field->text(), QString::fromLatin1(row.typed)) << "the click kept the whole text selected";
        press(Qt::Key_Tab);
        EXPECT_EQ(field->text(), QString::fromLatin1(row.left));
    }
    // A second click into the focused box places the caret as usual.
    click(w.txtQuantity);
    click(w.txtQuantity);
    EXPECT_FALSE(w.txtQuantity->hasSelectedText());
}

TEST_F(DesktopTest, ShownTextsBeginAtTheirFirstCharacter)
{
    const QString where = QStringLiteral("Office Supply Warehouse, Northgate Mall, Unit 14, second floor");
    addItem({{"Item", "Desk lamp with a long description that does not fit its box at all"},
             {"wherepurch", where},
             {"model", QString(80, u'M')}});
    addItem({{"Item", "Filing cabinet, four drawers, grey, with the keys in the top drawer"}, {"wherepurch", where}});
    frmMain &w = start();
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        for (QLineEdit *box : {w.txtItem, w.txtManufact, w.txtModel, w.txtSerNo, w.txtWherePurch, w.txtMisc1}) {
            EXPECT_EQ(box->cursorPosition(), 0) << box->objectName().toStdString();
        }
        alt('n');
    }
}

TEST_F(DesktopTest, TheFormKeepsItsDesignedSizeAndThePictureOpensBesideIt)
{
    addItem(lamp());
    frmMain &w = start();
    const QSize designed = w.centralWidget()->sizeHint();
    w.resize(50, 50);
    QCoreApplication::processEvents();
    EXPECT_GE(w.centralWidget()->width(), designed.width());
    EXPECT_GE(w.centralWidget()->height(), designed.height());

    w.move(0, 0);
    alt('c'); // Pi&cture: the only C while browsing
    auto *picture = qobject_cast<frmImage *>(w.secondaryWindow(frmMain::Secondary::Picture));
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(picture));
    EXPECT_FALSE(picture->frameGeometry().intersects(w.frameGeometry()))
        << "picture at " << picture->frameGeometry().x() << "," << picture->frameGeometry().y();
}

TEST_F(DesktopTest, LeavingTheProgramNeverWaitsForAFieldsCheck)
{
    struct Row {
        const char *name;
        void (*leave)(frmMain &);
    };
    const Row rows[] = {
        {"the frame's close box", [](frmMain &w) { w.close(); }},
        {"Exit by its keys",
         [](frmMain &) {
             alt('f');
             QTest::keyClick(static_cast<QWidget *>(nullptr), Qt::Key_X); // to the open menu
         }},
    };
    const qint64 id = addItem(lamp());
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        frmMain &w = start();
        prompts.clear();
        clickAndType(w.txtPurchPrice, QStringLiteral("abc"));
        row.leave(w);
        EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(household.rsItems(), nullptr) << "the inventory is closed";
        EXPECT_EQ(stored(id)["purchprice"], dollars("5"));
        window.reset();
        household.closeInventory();
    }
}
