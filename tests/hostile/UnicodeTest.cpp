// Text of every script through the form, the database, report files and
// the three report outputs, and case-insensitive search where case exists.
#include "DesignerFixture.h"
#include "HostileTexts.h"
#include "ItemWindowFixture.h"
#include "RunWindowFixture.h"

#include "data/Inventory.h"
#include "program/Household.h"
#include "reports/DesignerReportFile.h"
#include "reports/PageLayout.h"
#include "reports/ReportFileOutput.h"
#include "reports/viewer/RunReport.h"
#include "reports/viewer/frmOutput.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

namespace {

// Types text as a keyboard or input method delivers it: one key event per
// character, carrying the character (a pair of surrogates together).
void typeInto(QLineEdit *box, const QString &text)
{
    box->selectAll();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, length), Qt::NoModifier);
        i += length - 1;
    }
}

QByteArray storedBytes(const QString &databasePath, const QString &column, qint64 id)
{
    return Database::open(databasePath)
        ->scalar(QStringLiteral("select cast(%1 as blob) from items where iteid = ?").arg(column), {id})
        .toByteArray();
}

// A text with its case swapped where it has any (upper becomes lower and
// the other way round), so a match must ignore case to succeed.
QString caseSwapped(const QString &text)
{
    QString out;
    for (const uint c : text.toUcs4()) {
        const char32_t swapped = QChar::isUpper(c) ? QChar::toLower(c) : QChar::toUpper(c);
        out += QString::fromUcs4(&swapped, 1);
    }
    return out;
}

} // namespace

using UnicodeForm = ItemWindowTest;

TEST_F(UnicodeForm, TypedTextsAreStoredByteForByteAndFoundWithCaseIgnored)
{
    const qint64 id = addItem({{QStringLiteral("Item"), QStringLiteral("placeholder")}});
    frmMain &w = start();
    const QString path = folder().file(InventoryFileName);
    for (const HostileText &script : unicodeTexts()) {
        SCOPED_TRACE(script.name);
        typeInto(w.txtItem, script.text);
        typeInto(w.txtManufact, script.text + QStringLiteral(" \u200F!"));
        w.txtNotes->setPlainText(script.text + u'\n' + script.text);
        ASSERT_EQ(w.txtItem->text(), script.text);
        w.cmdUpdate_Click();
        EXPECT_EQ(storedBytes(path, QStringLiteral("Item"), id), script.text.toUtf8());
        EXPECT_EQ(storedBytes(path, QStringLiteral("manufact"), id),
                  (script.text + QStringLiteral(" \u200F!")).toUtf8());
        EXPECT_EQ(storedBytes(path, QStringLiteral("Notes"), id), (script.text + u'\n' + script.text).toUtf8());
        // Shown again as stored.
        w.cmdFirst_Click();
        EXPECT_EQ(w.txtItem->text(), script.text);
    }
}

TEST_F(UnicodeForm, FindIgnoresCaseInEveryScriptThatHasIt)
{
    addItem({{QStringLiteral("Item"), QStringLiteral("  first of all")}});
    const QList<HostileText> scripts = unicodeTexts();
    QList<qint64> ids;
    for (const HostileText &script : scripts)
        ids << addItem({{QStringLiteral("Item"), script.text}});
    frmMain &w = start();
    for (int i = 0; i < ids.size(); ++i) {
        const QString &text = scripts[i].text;
        SCOPED_TRACE(scripts[i].name);
        for (const QString &typed : {text, caseSwapped(text), text.toUpper(), text.toLower(), u'*' + text.mid(2)}) {
            w.cmdFirst_Click();
            prompts.answerText(typed);
            w.cmdFind_Click();
            EXPECT_EQ(household.rsItems()->value(QStringLiteral("iteid")).toLongLong(), ids[i]) << typed.toStdString();
        }
    }
    EXPECT_TRUE(prompts.messages().empty()) << shownMessages(prompts).join(u'\n').toStdString();
}

using UnicodeDesigner = DesignerTest;

TEST_F(UnicodeDesigner, TitleAndCriteriaInEveryScriptSurviveTheReportFile)
{
    open();
    for (const HostileText &script : unicodeTexts()) {
        SCOPED_TRACE(script.name);
        prompts.clear();
        w->mnuNew_Click();
        add(QStringLiteral("Description"));
        add(QStringLiteral("Notes"));
        choose(QStringLiteral("Description"));
        typeInto(w->txtTitle, script.text + QStringLiteral(" \u2014 ") + caseSwapped(script.text));
        typeInto(w->txtStarting, caseSwapped(script.text));
        leave(w->txtStarting);
        const QString title = w->txtTitle->text();
        const QString file = path(QString::fromLatin1(script.name).replace(u' ', u'_') + QStringLiteral(".rpt"));
        prompts.answerFile(file);
        w->mnuSaveAs_Click();
        ASSERT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();

        // The engine reads the file back the same ...
        auto catalogueDb = Database::open(path(CatalogueFileName));
        QString problem;
        const std::optional<LoadedReport> report = readDesignerReportFile(household, *catalogueDb, file, &problem);
        ASSERT_TRUE(report) << problem.toStdString();
        EXPECT_EQ(report->spec.Title, title);
        EXPECT_EQ(report->spec.SelStartsWith.value(1), caseSwapped(script.text));
        // ... and so does the designer.
        w->mnuNew_Click();
        prompts.answerFile(file);
        w->mnuOpen_Click();
        EXPECT_EQ(w->txtTitle->text(), title);
        EXPECT_EQ(w->Design.SelStartsWith[1], caseSwapped(script.text));
    }
}

using UnicodeReport = RunWindowTest;

TEST_F(UnicodeReport, EveryOutputHoldsTheExactCharacters)
{
    for (const HostileText &script : unicodeTexts())
        household.dbInventory()->execute(
            QStringLiteral("insert into items (Item, Notes) values (?, ?)"),
            {script.text, QStringLiteral("\u200E") + script.text + QStringLiteral(" \u05D0")});
    household.dbInventory()->execute(QStringLiteral("insert into items (Item) values ('plain ascii')"));

    for (const HostileText &script : unicodeTexts()) {
        SCOPED_TRACE(script.name);
        // Description with a criterion in the other case, Notes.
        QStringList lines = reportLines({1, 15});
        lines[1] = script.text + QStringLiteral(" \U0001F4E6");
        lines[4] = QStringLiteral("0");
        setItem(lines, 14, 1, caseSwapped(script.text));
        const QString notes = QStringLiteral("\u200E") + script.text + QStringLiteral(" \u05D0");

        EXPECT_EQ(runToFile(lines, QStringLiteral("txt")),
                  (script.text + u'\t' + notes + QStringLiteral("\r\n")).toUtf8());
        const QByteArray html = runToFile(lines, QStringLiteral("htm"));
        EXPECT_TRUE(html.contains((QStringLiteral("<title>") + lines[1] + QStringLiteral("</title>")).toUtf8()));
        EXPECT_TRUE(html.contains((QStringLiteral("<tr><td>") + script.text + QStringLiteral("</td><td>") + notes
                                   + QStringLiteral("</td></tr>"))
                                      .toUtf8()));

        lines[2] = QStringLiteral("1");
        putFile(QStringLiteral("screen.srp"), reportFileBytesOf(lines));
        ASSERT_EQ(RunReport(household, QStringLiteral("screen.srp")), ReportOutcome::Produced);
        const PageLayout &doc = *frmOutput::current()->PrintPreview;
        ASSERT_EQ(doc.pageCount(), 1);
        const PageContent page = doc.pageContent(0);
        EXPECT_EQ(page.header.value(1), lines[1]);
        ASSERT_EQ(page.rows.size(), 2); // heading and the one item
        const PlacedRow &row = page.rows[1];
        ASSERT_EQ(row.cells.size(), 2);
        EXPECT_EQ(row.cells[0].text, script.text);
        EXPECT_EQ(row.cells[1].text, notes);
        // Laid out whole: the lines shown hold every character but the
        // blanks where a line was broken.
        for (const PlacedCell &cell : row.cells) {
            EXPECT_FALSE(cell.lines.isEmpty());
            EXPECT_EQ(cell.lines.join(QString()).remove(u' '), QString(cell.text).remove(u' '));
        }
    }
    EXPECT_TRUE(prompts.messages().empty());
}
