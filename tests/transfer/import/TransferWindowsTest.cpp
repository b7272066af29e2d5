#include "ItemWindowFixture.h"

#include "data/Inventory.h"
#include "transfer/import/frmImport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
                                   "Bezeichnung;Brand;Price;Qty;Room\r\n"
                                   "Drill;Torvik;129.95;1;garage\r\n"
                                   "Saw;Torvik;abc;1;Garage\r\n"
                                   ";;5;1;Attic\r\n"
                                   "=cmd|' /C calc'!A0;;0.5;3;Caf\xE9\r\n");
    frmImport w(household, ImportPlan::fromFile(path), path, &main);
    w.show();
    EXPECT_EQ(w.cmbSeparator->currentText(), QStringLiteral("Semicolon ( ; )"));
    EXPECT_EQ(w.cmbEncoding->currentText(), QStringLiteral("Windows-1252 (Western)"));
    ASSERT_EQ(w.tblColumns->rowCount(), 5);
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
    const QVariantMap drill = stored(w.outcome()->keys[0].second);
    EXPECT_EQ(drill.value(QStringLiteral("Item")).toString(), QStringLiteral("Drill"));
    EXPECT_EQ(drill.value(QStringLiteral("locid")).toInt(), 1);
    EXPECT_EQ(drill.value(QStringLiteral("totvalue")).value<Money>(), *Money::fromDecimalText(u"129.95"));
    const QVariantMap formula = stored(w.outcome()->keys[1].second);
    EXPECT_EQ(formula.value(QStringLiteral("Item")).toString(), QStringLiteral("=cmd|' /C calc'!A0"));
    EXPECT_EQ(formula.value(QStringLiteral("totvalue")).value<Money>(), *Money::fromDecimalText(u"1.5"));

    // The main window was empty; it now shows the first new item, with the new location in its list.
    main.ShowImportedItems(w.outcome()->keys[0].second);
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
