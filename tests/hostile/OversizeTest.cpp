// Texts far past the form's entry limits, written by another program:
// shown whole, kept whole by an Update of another field, found by Find,
// and carried through every report output.
#include "CodesWindowFixture.h"
#include "HostileTexts.h"
#include "ItemWindowFixture.h"
#include "RunWindowFixture.h"

#include "data/Inventory.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/viewer/RunReport.h"
#include "reports/viewer/frmOutput.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

namespace {

// A text of length characters made of numbered words, so a cut anywhere
// shows as a different text.
QString longText(const QString &word, qsizetype length)
{
    QString text;
    text.reserve(length + 32);
    for (int i = 0; text.size() < length; ++i)
        text += word + QString::number(i) + (i % 17 == 16 ? QStringLiteral("\r\n") : QStringLiteral(" "));
    text.truncate(length);
    return text;
}

const QStringList TextColumns{QStringLiteral("Item"),  QStringLiteral("manufact"),   QStringLiteral("model"),
                              QStringLiteral("serno"), QStringLiteral("wherepurch"), QStringLiteral("misc1")};

} // namespace

using OversizeItem = ItemWindowTest;

TEST_F(OversizeItem, LongStoredTextsAreShownWholeAndSurviveAnUpdateOfAnotherField)
{
    QVariantMap columns;
    for (const QString &column : TextColumns)
        columns.insert(column, column + QStringLiteral(" ") + longText(column, 100'000));
    // Line ends of another system, a no-break space and a line separator:
    // nothing a plain text box would keep as it is.
    const QString notes = QStringLiteral("Kept\u00A0as\u2028stored\r\n") + longText(QStringLiteral("note"), 1'000'000);
    columns.insert(QStringLiteral("Notes"), notes);
    const qint64 id = addItem(columns);
    frmMain &w = start();

    const QList<std::pair<QLineEdit *, QString>> boxes{{w.txtItem, QStringLiteral("Item")},
                                                       {w.txtManufact, QStringLiteral("manufact")},
                                                       {w.txtModel, QStringLiteral("model")},
                                                       {w.txtSerNo, QStringLiteral("serno")},
                                                       {w.txtWherePurch, QStringLiteral("wherepurch")},
                                                       {w.txtMisc1, QStringLiteral("misc1")}};
    for (const auto &[box, column] : boxes)
        EXPECT_EQ(box->text().size(), columns.value(column).toString().size()) << column.toStdString();
    // The box shows line breaks its own way; every character is there.
    EXPECT_TRUE(w.txtNotes->document()->toRawText().remove(QChar::ParagraphSeparator)
                == QString(notes).remove(QStringLiteral("\r\n")));

    w.txtQuantity->selectAll();
    QTest::keyClicks(w.txtQuantity, QStringLiteral("3"));
    ASSERT_EQ(stateOf(w), QStringLiteral("Editing"));
    w.cmdUpdate_Click();
    EXPECT_EQ(stateOf(w), QStringLiteral("Browsing"));
    QVariantMap row = stored(id);
    EXPECT_EQ(row.value(QStringLiteral("quantity")).toInt(), 3);
    for (const QString &column : TextColumns)
        EXPECT_TRUE(row.value(column).toString() == columns.value(column).toString()) << column.toStdString();
    EXPECT_TRUE(row.value(QStringLiteral("Notes")).toString() == notes);

    // Typing into the notes stores the notes as typed, their no-break
    // spaces and line separators included.
    w.txtNotes->moveCursor(QTextCursor::Start);
    QTest::keyClicks(w.txtNotes, QStringLiteral("New "));
    w.cmdUpdate_Click();
    row = stored(id);
    const QString edited = row.value(QStringLiteral("Notes")).toString();
    // Line ends come back from the box as one line break each.
    EXPECT_TRUE(edited == QStringLiteral("New ") + QString(notes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
        << edited.left(40).toStdString();

    // A long description can still be shortened: the limit only keeps the
    // user from typing past it.
    w.txtItem->setCursorPosition(w.txtItem->text().size());
    QTest::keyClick(w.txtItem, Qt::Key_Backspace);
    QTest::keyClicks(w.txtItem, QStringLiteral("xy"));
    w.cmdUpdate_Click();
    EXPECT_EQ(stored(id).value(QStringLiteral("Item")).toString(),
              columns.value(QStringLiteral("Item")).toString().chopped(1) + u'x');

    // A new item is held to the limit again.
    w.cmdAddNew_Click();
    QTest::keyClicks(w.txtItem, QString(100, u'n'));
    EXPECT_EQ(w.txtItem->text().size(), 80);
    w.cmdCancel_Click();
    EXPECT_EQ(integrityOf(folder().file(InventoryFileName)), QStringLiteral("ok"));
}

TEST_F(OversizeItem, FindReachesAnItemWithAHugeDescription)
{
    addItem({{QStringLiteral("Item"), QStringLiteral("Aardvark")}});
    const QString huge = QStringLiteral("Zebra ") + longText(QStringLiteral("stripe"), 100'000);
    const qint64 id =
        addItem({{QStringLiteral("Item"), huge}, {QStringLiteral("Notes"), longText(QStringLiteral("n"), 1'000'000)}});
    frmMain &w = start();
    for (const QString &typed :
         {QStringLiteral("zebra stripe0"), QStringLiteral("*stripe4999 "), QStringLiteral("*") + huge.right(30)}) {
        w.cmdFirst_Click();
        prompts.answerText(typed);
        w.cmdFind_Click();
        EXPECT_EQ(household.rsItems()->value(QStringLiteral("iteid")).toLongLong(), id) << typed.toStdString();
        EXPECT_EQ(w.txtItem->text(), huge);
    }
    EXPECT_TRUE(prompts.messages().empty());
}

using OversizeReport = RunWindowTest;

TEST_F(OversizeReport, EveryOutputCompletesAndCarriesTheWholeTexts)
{
    const QString description = QStringLiteral("Huge ") + longText(QStringLiteral("word"), 100'000);
    const QString notes = longText(QStringLiteral("note"), 1'000'000);
    // One unbroken word taller than a page in a narrow column, too.
    const QString unbroken(200'000, u'x');
    // And text that needs shaping (right-to-left, CJK), laid out the slow way.
    const QString shaped = longText(QStringLiteral("\u6E7E\u05E9\u05DC"), 200'000);
    const QString insert = QStringLiteral("insert into items (Item, Notes, manufact, model) values (?, ?, ?, ?)");
    household.dbInventory()->execute(insert, {description, notes, unbroken, shaped});
    household.dbInventory()->execute(
        insert, {QStringLiteral("Small"), QStringLiteral("short"), QStringLiteral("m"), QString()});
    QStringList lines = reportLines({1, 15, 2, 3});
    lines[4] = QStringLiteral("0"); // no date in the header: nothing depends on today

    putFile(QStringLiteral("big.srp"), reportFileBytesOf(lines));
    ASSERT_EQ(RunReport(household, QStringLiteral("big.srp")), ReportOutcome::Produced);
    ASSERT_NE(frmOutput::current(), nullptr);
    const PageLayout &doc = *frmOutput::current()->PrintPreview;
    EXPECT_GT(doc.pageCount(), 10);
    int big = -1; // the row of the huge item; the others are headings and the small one
    for (int r = 0; r < doc.rowCount(); ++r) {
        if (doc.rowCells(r).value(0) == description)
            big = r;
    }
    ASSERT_GE(big, 0);
    // Every line of every cell lands on exactly one page, in order.
    const double width = 1440 - 2 * PageLayout::CellPaddingX;
    QList<QStringList> seen(4);
    for (int page = 0; page < doc.pageCount(); ++page) {
        for (const PlacedRow &row : doc.pageContent(page).rows) {
            if (row.row != big)
                continue;
            for (const PlacedCell &cell : row.cells)
                seen[cell.column] += cell.lines;
        }
    }
    EXPECT_EQ(seen[0], doc.text().lines(description, width));
    EXPECT_EQ(seen[1], doc.text().lines(notes, width));
    EXPECT_EQ(seen[2], doc.text().lines(unbroken, width));
    EXPECT_EQ(seen[2].join(QString()), unbroken);
    EXPECT_EQ(seen[3], doc.text().lines(shaped, width));
    EXPECT_FALSE(seen[3].isEmpty());

    const QString text = QString::fromUtf8(runToFile(lines, QStringLiteral("txt")));
    // The description holds line breaks, so its cell is quoted.
    EXPECT_TRUE(text.contains(u'"' + description + QStringLiteral("\"\t")));
    EXPECT_TRUE(text.contains(u'\t' + unbroken + QStringLiteral("\t\"") + shaped + QStringLiteral("\"\r\n")));
    const QString html = QString::fromUtf8(runToFile(lines, QStringLiteral("htm")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>") + notes + QStringLiteral("</td>")));
    EXPECT_TRUE(prompts.messages().empty());
}

using OversizeCode = CodesWindowTest;

TEST_F(OversizeCode, LongStoredDescriptionIsShownWholeAndFound)
{
    const QString huge = QStringLiteral("Attic ") + longText(QStringLiteral("box"), 100'000);
    addCode(2, QStringLiteral("Basement"));
    addCode(2, huge);
    frmCodesMaint &w = open(2);
    EXPECT_EQ(walk(w), (QStringList{huge, QStringLiteral("Basement")}));

    prompts.answerText(QStringLiteral("attic box0 box1 "));
    w.cmdLast_Click();
    w.cmdFind_Click();
    EXPECT_EQ(w.txtDesc->text(), huge);
    // A new code is held to the limit again.
    w.cmdAddNew_Click();
    QTest::keyClicks(w.txtDesc, QString(60, u'n'));
    EXPECT_EQ(w.txtDesc->text().size(), frmCodesMaint::DescriptionLimit);
    w.cmdCancel_Click();
    EXPECT_EQ(stored(2), (QStringList{QStringLiteral("Basement"), huge}));
    EXPECT_TRUE(shownMessages().isEmpty());
}
