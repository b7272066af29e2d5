#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "dates/LocaleFormats.h"
#include "transfer/import/frmImport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

namespace {

class TransferWindowTest : public ItemWindowTest {
protected:
    QString writeFile(const char *name, const QByteArray &bytes)
    {
        const QString path = temp.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // Answers the modal window that the next step opens, once it is up.
    void whenImportWindowOpens(std::function<void(frmImport &)> step)
    {
        QTimer::singleShot(0, [step] {
            auto *open = qobject_cast<frmImport *>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            step(*open);
        });
    }
    QStringList problems(const frmImport &w)
    {
        QStringList lines;
        for (int i = 0; i < w.lstProblems->count(); ++i)
            lines << w.lstProblems->item(i)->text();
        return lines;
    }

    QTemporaryDir temp;
};

} // namespace

// A file from another program, with a heading the program does not know,
// a bad price, a row without a description and a formula: shown, checked,
// the mapping chosen by hand, and only the good rows stored.
TEST_F(TransferWindowTest, AFileIsShownCheckedAndOnlyItsGoodRowsStored)
{
    addCode(QStringLiteral("locations"), QStringLiteral("Garage"));
    frmMain &main = start();
    const QString path = writeFile("list.csv",
                                   "Ding;Brand;Price;Qty;Room\r\n"
                                   "Drill;Torvik;129.95;1;garage\r\n"
                                   "Saw;Torvik;abc;1;Garage\r\n"
                                   ";;5;1;Attic\r\n"
                                   "=cmd|' /C calc'!A0;;0.5;3;Caf\xE9\r\n");
    frmImport w(household, ImportPlan::fromFile(path), path, &main);
    w.show();
    EXPECT_EQ(w.cmbSeparator->currentText(), QStringLiteral("Semicolon ( ; )"));
    EXPECT_EQ(w.cmbEncoding->currentText(), QStringLiteral("Windows-1252 (Western)"));
    ASSERT_EQ(w.columnCount(), 5);
    EXPECT_EQ(w.fieldChoice(0)->currentText(), QStringLiteral("(not imported)"));
    EXPECT_EQ(w.fieldChoice(1)->currentText(), QStringLiteral("Manufacturer"));
    EXPECT_EQ(w.fieldChoice(4)->currentText(), QStringLiteral("Location"));
    EXPECT_TRUE(w.cmdImportAll->isHidden());
    EXPECT_TRUE(w.lblSummary->text().startsWith(QStringLiteral("Choose the column")));

    w.fieldChoice(0)->setCurrentIndex(w.fieldChoice(0)->findText(QStringLiteral("Item Description")));
    w.cmbField_Click(0);
    EXPECT_EQ(w.lblSummary->text(), QStringLiteral("4 rows: 2 good, 2 with problems (1 of them cannot be imported)."));
    EXPECT_EQ(problems(w),
              (QStringList{"Line 3, Purchase Price: \"abc\" is not an amount; left empty.",
                           "Line 4, Item Description: empty; a row without a description cannot be imported."}));
    ASSERT_GE(w.tblPreview->rowCount(), 1);
    EXPECT_EQ(w.tblPreview->verticalHeaderItem(0)->text(), QStringLiteral("Line 2"));
    EXPECT_EQ(w.tblPreview->item(0, 2)->text(), QStringLiteral("$129.95"));
    EXPECT_FALSE(w.cmdImportGood->isHidden());

    QTest::mouseClick(w.cmdImportGood, Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(shownMessages(prompts),
              QStringList{"Import Items|2 items were imported. New categories: 0. New locations: 1.|other|ok"});
    ASSERT_EQ(storedCount(), 2);
    const QVariantMap drill = stored(*w.outcome()->firstKey);
    EXPECT_EQ(drill.value(QStringLiteral("Item")).toString(), QStringLiteral("Drill"));
    EXPECT_EQ(drill.value(QStringLiteral("locid")).toInt(), 1);
    EXPECT_EQ(drill.value(QStringLiteral("totvalue")).value<Money>(), *Money::fromDecimalText(u"129.95"));
    const QVariantMap formula = stored(*w.outcome()->firstKey + 1);
    EXPECT_EQ(formula.value(QStringLiteral("Item")).toString(), QStringLiteral("=cmd|' /C calc'!A0"));
    EXPECT_EQ(formula.value(QStringLiteral("totvalue")).value<Money>(), *Money::fromDecimalText(u"1.5"));

    // The main window was empty; it now shows the first new item, with the new location in its list.
    main.ShowImportedItems(*w.outcome()->firstKey);
    EXPECT_EQ(stateOf(main), QStringLiteral("Browsing"));
    EXPECT_EQ(main.txtItem->text(), QStringLiteral("Drill"));
    EXPECT_EQ(main.cmbLoc->currentText(), QStringLiteral("Garage"));
    EXPECT_NE(main.cmbLoc->findText(QString::fromUtf8("Caf\xC3\xA9")), -1);
}

// Export Items and Import Items from the File menu: out, then back in.
TEST_F(TransferWindowTest, TheFileMenuExportsAndImportsTheItems)
{
    addItem({{"Item", "Lamp"}, {"purchprice", 12.5}, {"receipt", 1}});
    addItem({{"Item", "Chair"}, {"Notes", "two\nlines"}});
    frmMain &main = start();
    const QString path = temp.filePath(QStringLiteral("out.csv"));

    prompts.answerFile(path);
    main.mnuExport_Click();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(prompts.messages().back().text, QStringLiteral("2 items were exported to '%1'.").arg(path));

    // Cancel stores nothing.
    prompts.answerFile(path);
    whenImportWindowOpens([](frmImport &w) { QTest::mouseClick(w.cmdCancel, Qt::LeftButton); });
    main.mnuImport_Click();
    EXPECT_EQ(storedCount(), 2);

    prompts.answerFile(path);
    whenImportWindowOpens([](frmImport &w) {
        EXPECT_EQ(w.cmdImportAll->text(), QStringLiteral("&Import 2 Rows"));
        EXPECT_TRUE(w.cmdImportGood->isHidden());
        QTest::mouseClick(w.cmdImportAll, Qt::LeftButton);
    });
    main.mnuImport_Click();
    EXPECT_EQ(storedCount(), 4);
    EXPECT_EQ(prompts.messages().back().text, QStringLiteral("2 items were imported."));
    // The first item of the file, under its new key, is shown; the others can be reached.
    EXPECT_EQ(main.txtItem->text(), QStringLiteral("Lamp"));

    EXPECT_EQ(household.rsItems()->value(QStringLiteral("iteid")).toInt(), 3);
    EXPECT_EQ(household.rsItems()->recordCount(), 4);
}

// A German spreadsheet on an English computer: the window says how it reads
// the numbers and dates and why, and the user changes the date order with
// the keyboard; the dates that no longer fit are problems, never swapped.
TEST_F(TransferWindowTest, NumbersAndDatesAreReadAsTheFileWritesThemOrAsChosen)
{
    frmMain &main = start();
    const QString path = writeFile("german.csv",
                                   "Bezeichnung;Kaufpreis;Kaufdatum\r\n"
                                   "Fernseher;2.499,00 \x80;01.03.2021\r\n"
                                   "Stuhl;89,90;24.12.2019\r\n");
    frmImport w(household, ImportPlan::fromFile(path), path, &main);
    w.show();
    QApplication::setActiveWindow(&w);
    EXPECT_EQ(w.cmbNumbers->currentText().toStdString(), "Decimal comma, like 1.234,56 or 1 234,56");
    EXPECT_EQ(w.cmbDates->currentText().toStdString(), "Day first, like 24.12.2019");
    EXPECT_EQ(w.lblFindings->text().toStdString(),
              "Numbers are read as written like 1.234,56: line 2 holds \"2.499,00 \u20ac\".\n"
              "Dates are read day first, like 24.12.2019: line 3 holds \"24.12.2019\".");
    ASSERT_EQ(w.tblPreview->rowCount(), 2);
    EXPECT_EQ(w.tblPreview->item(0, 1)->text().toStdString(),
              formatShortDate(DateValue::fromDate(QDate(2021, 3, 1))).toStdString());
    EXPECT_EQ(w.tblPreview->item(0, 2)->text().toStdString(), "$2,499.00");

    w.cmbDates->setFocus();
    QTest::keyClick(w.cmbDates, Qt::Key_Down);
    EXPECT_EQ(w.cmbDates->currentText().toStdString(), "Month first, like 12/24/2019");
    EXPECT_EQ(problems(w).join(u'\n').toStdString(),
              "Line 3, Purchase Date: \"24.12.2019\" is not a date written month first, like 12/24/2019, as the dates "
              "of this column are; left empty.");
    EXPECT_EQ(w.lblFindings->text().toStdString(),
              "Numbers are read as written like 1.234,56: line 2 holds \"2.499,00 \u20ac\".\n"
              "Dates are read month first, like 12/24/2019, as chosen.");
    EXPECT_TRUE(w.cmbDates->hasFocus());
    // Tab goes on to the columns' choices, in the order of the columns.
    QTest::keyClick(w.cmbDates, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.fieldChoice(0));
    QTest::keyClick(w.fieldChoice(0), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w.fieldChoice(1));
    QTest::keyClick(w.fieldChoice(1), Qt::Key_Backtab);
    QTest::keyClick(w.fieldChoice(0), Qt::Key_Backtab);
    ASSERT_TRUE(w.cmbDates->hasFocus());

    QTest::keyClick(w.cmbDates, Qt::Key_Up);
    QTest::mouseClick(w.cmdImportAll, Qt::LeftButton);
    ASSERT_EQ(storedCount(), 2);
    const QVariantMap television = stored(*w.outcome()->firstKey);
    EXPECT_EQ(television.value(QStringLiteral("purchdate")).value<DateValue>().date(), QDate(2021, 3, 1));
    EXPECT_EQ(television.value(QStringLiteral("purchprice")).value<Money>(), *Money::fromDecimalText(u"2499"));
}

// Counts read as English, grouped as the amounts beside them.
TEST_F(TransferWindowTest, CountsReadAsEnglishAndAreGrouped)
{
    frmMain &main = start();
    QByteArray many = "Item,Price\n";
    for (int i = 0; i < 1234; ++i)
        many += "Thing " + QByteArray::number(i) + ",1.50\n";
    struct Case {
        QByteArray bytes;
        const char *summary;
        const char *button;
    };
    const Case cases[] = {
        {"Item\nLamp\n", "1 row, all good.", "&Import 1 Row"},
        {many, "1,234 rows, all good.", "&Import 1,234 Rows"},
        {many + "Broken,abc\n", "1,235 rows: 1,234 good, 1 with problems (0 of them cannot be imported).",
         "Import &All Rows (1,235)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.summary);
        const QString path = writeFile("counted.csv", c.bytes);
        frmImport w(household, ImportPlan::fromFile(path), path, &main);
        EXPECT_EQ(w.lblSummary->text().toStdString(), c.summary);
        EXPECT_EQ(w.cmdImportAll->text().toStdString(), c.button);
    }
    const QString path = writeFile("counted.csv", many);
    frmImport w(household, ImportPlan::fromFile(path), path, &main);
    QTest::mouseClick(w.cmdImportAll, Qt::LeftButton);
    EXPECT_EQ(shownMessages(prompts), QStringList{"Import Items|1,234 items were imported.|other|ok"});
}

// On a laptop screen of 1366 x 768 with its panel, and as a screen reader
// sees it: every control that takes the focus has a name, and each
// column's choice says which column it maps.
TEST_F(TransferWindowTest, FitsASmallScreenAndNamesEveryChoice)
{
    frmMain &main = start();
    const QString path = writeFile("five.csv", "Ding,Brand,Price,,Room\nDrill,Torvik,129.95,x,Garage\n");
    frmImport w(household, ImportPlan::fromFile(path), path, &main);
    w.show();
    EXPECT_LE(w.sizeHint().width(), 1366);
    EXPECT_LE(w.sizeHint().height(), 720);
    EXPECT_LE(w.width(), 1366);
    EXPECT_LE(w.height(), 720);

    // A screen reader names a control by its own name or by the label it
    // belongs to (on Linux, drop-down lists by the label alone).
    const auto nameOf = [](QAccessibleInterface *node) {
        QStringList names;
        for (const auto &[label, relation] : node->relations(QAccessible::Label))
            names << label->text(QAccessible::Name);
        return names.isEmpty() ? node->text(QAccessible::Name) : names.join(u' ');
    };
    QStringList choices;
    QStringList unnamed;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        auto *widget = qobject_cast<QWidget *>(node->object());
        if (!widget)
            return;
        if (widget->isVisibleTo(&w) && widget->focusPolicy() != Qt::NoFocus && nameOf(node).isEmpty())
            unnamed << QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName();
        if (node->role() == QAccessible::ComboBox && widget->objectName().startsWith(QStringLiteral("cmbField")))
            choices << nameOf(node) + QStringLiteral(" / ") + widget->accessibleName();
        if (node->role() == QAccessible::Table || node->role() == QAccessible::List)
            return; // their cells are no controls
        for (int i = 0; i < node->childCount(); ++i) {
            if (QAccessibleInterface *child = node->child(i))
                walk(child);
        }
    };
    walk(QAccessible::queryAccessibleInterface(&w));
    EXPECT_EQ(choices.join(u'\n').toStdString(),
              "Column 1, Ding / Column 1, Ding, imported as\nColumn 2, Brand / Column 2, Brand, imported as\n"
              "Column 3, Price / Column 3, Price, imported as\nColumn 4 / Column 4, imported as\n"
              "Column 5, Room / Column 5, Room, imported as");
    EXPECT_EQ(unnamed.join(u'\n').toStdString(), "");
}

TEST_F(TransferWindowTest, NothingIsImportedWhileAnItemIsBeingEdited)
{
    addItem({{"Item", "Lamp"}});
    frmMain &main = start();
    QTest::keyClicks(main.txtManufact, "Acme");
    ASSERT_EQ(stateOf(main), QStringLiteral("Editing"));
    main.mnuImport_Click();
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::OpenFile), 0);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("Update or cancel the change first")));
    EXPECT_EQ(main.txtManufact->text(), QStringLiteral("Acme"));

    // A file that is no list at all is refused with its reason.
    prompts.clear();
    main.cmdCancel_Click();
    prompts.answerFile(writeFile("empty.csv", "\r\n\r\n"));
    main.mnuImport_Click();
    EXPECT_EQ(shownMessages(prompts), QStringList{"Import Items|The file holds no rows.|other|ok"});
}
