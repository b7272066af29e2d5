#include "ItemWindowFixture.h"

#include "items/ItemAttachments.h"
#include "items/documents/frmDocuments.h"
#include "program/Household.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

namespace {

class DocumentsWindowTest : public ItemWindowTest {
protected:
    frmDocuments &openDocuments(frmMain &w)
    {
        w.mnuDocuments->trigger();
        auto *window = qobject_cast<frmDocuments *>(w.secondaryWindow(frmMain::Secondary::Documents));
        EXPECT_TRUE(window && window->isVisible());
        return *window;
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        QFile out(folder().file(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return out.fileName();
    }
    // Kind, file and note of every row the window shows.
    static QStringList shownRows(const frmDocuments &window)
    {
        QStringList rows;
        for (int row = 0; row < window.grdDocuments->rowCount(); ++row)
            rows << QStringLiteral("%1|%2|%3")
                        .arg(window.grdDocuments->item(row, 0)->text(), window.grdDocuments->item(row, 1)->text(),
                             window.grdDocuments->item(row, 2)->text());
        return rows;
    }
};

} // namespace

// A person attaches a receipt with a note, is offered "Receipt on File" and
// takes it, attaches a manual, changes its kind and note with the keys,
// opens it with the desktop's program and removes the receipt. What is
// stored is what the window shows, file and row alike; the next item shows
// its own documents.
TEST_F(DocumentsWindowTest, DocumentsAreAttachedDescribedOpenedAndRemoved)
{
    const qint64 radio = addItem({{"Item", "Radio"}, {"receipt", false}});
    addItem({{"Item", "Sofa"}});
    frmMain &w = start();
    frmDocuments &window = openDocuments(w);
    EXPECT_EQ(window.lblItem->text(), QStringLiteral("Documents of: Radio"));
    EXPECT_EQ(window.cboKind->currentText(), QStringLiteral("Receipt"));

    QTest::keyClicks(window.txtNote, QStringLiteral("Electro Shop, paid cash"));
    prompts.answerFile(file(QStringLiteral("receipt.pdf"), "%PDF-1.4 receipt"));
    prompts.answer(Prompts::Answer::Yes);
    QTest::mouseClick(window.cmdAttach, Qt::LeftButton);
    EXPECT_EQ(prompts.calls()[prompts.calls().size() - 2].dialog.title, QStringLiteral("Attach Documents"));
    EXPECT_EQ(prompts.messages().back().text, QStringLiteral("Tick \"Receipt on File\" for this item?"));
    EXPECT_TRUE(w.chkReceipt->isChecked());
    EXPECT_EQ(stateOf(w), QStringLiteral("Editing")) << "ticked as by a click, stored by Update";
    w.cmdUpdate_Click();
    EXPECT_EQ(stored(radio)["receipt"], QVariant(true));
    EXPECT_EQ(shownRows(window), QStringList{"Receipt|receipt.pdf|Electro Shop, paid cash"});

    // With the receipt chosen, a new file gets its kind but not its note;
    // with "Receipt on File" ticked nothing is asked.
    prompts.answerFile(file(QStringLiteral("Handbuch.odt"), "manual"));
    window.cmdAttach_Click();
    ASSERT_EQ(window.grdDocuments->rowCount(), 2);
    EXPECT_EQ(window.grdDocuments->currentRow(), 1) << "the new document is chosen";
    window.cboKind->setFocus();
    QTest::keyClick(window.cboKind, Qt::Key_Down); // Receipt -> Manual
    window.txtNote->setFocus();
    QTest::keyClicks(window.txtNote, QStringLiteral("German"));
    QTest::keyClick(window.txtNote, Qt::Key_Return);
    EXPECT_EQ(shownRows(window),
              (QStringList{"Receipt|receipt.pdf|Electro Shop, paid cash", "Manual|Handbuch.odt|German"}));
    const QList<AttachedFile> stored = ItemAttachments(household).of(radio);
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[1].kind, AttachedKind::Manual);
    EXPECT_EQ(stored[1].note, QStringLiteral("German"));

    QTest::mouseClick(window.cmdOpen, Qt::LeftButton);
    EXPECT_EQ(prompts.calls().back().kind, ScriptedPrompts::Kind::OpenWeb);
    EXPECT_EQ(QUrl(prompts.calls().back().text).toLocalFile(), household.itemFiles().folder() + stored[1].fileName);

    window.grdDocuments->selectRow(0);
    prompts.answer(Prompts::Answer::Yes);
    QTest::mouseClick(window.cmdRemove, Qt::LeftButton);
    EXPECT_EQ(prompts.messages().back().title, QStringLiteral("Remove Document"));
    EXPECT_EQ(shownRows(window), QStringList{"Manual|Handbuch.odt|German"});
    EXPECT_FALSE(QFile::exists(household.itemFiles().folder() + stored[0].fileName));

    w.cmdNext_Click();
    EXPECT_EQ(window.lblItem->text(), QStringLiteral("Documents of: Sofa"));
    EXPECT_TRUE(shownRows(window).isEmpty());
    w.cmdAddNew_Click();
    EXPECT_FALSE(window.cmdAttach->isEnabled()) << "an item being added has no documents yet";
    w.cmdCancel_Click();
}

// A file above the limit, and a receipt whose offer is declined: nothing of
// the first is stored, and "Receipt on File" is never ticked unasked.
TEST_F(DocumentsWindowTest, ALargeFileIsRefusedAndTheReceiptIsOnlyTickedWhenTheUserSaysSo)
{
    const qint64 radio = addItem({{"Item", "Radio"}, {"receipt", false}});
    frmMain &w = start();
    frmDocuments &window = openDocuments(w);
    const QString large = file(QStringLiteral("scan.tiff"), "x");
    ASSERT_TRUE(QFile::resize(large, MaxAttachedFileBytes + 1));
    prompts.answerFile(large);
    prompts.answer(Prompts::Answer::Ok);
    window.cmdAttach_Click();
    EXPECT_TRUE(prompts.messages().back().text.contains(QStringLiteral("is larger than 200 MB")));
    EXPECT_TRUE(ItemAttachments(household).of(radio).isEmpty());

    prompts.answerFile(file(QStringLiteral("bon.jpg"), "receipt photo"));
    prompts.answer(Prompts::Answer::No);
    window.cmdAttach_Click();
    EXPECT_FALSE(w.chkReceipt->isChecked());
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
    EXPECT_EQ(ItemAttachments(household).of(radio).size(), 1);
}
