// Report criteria holding texts that break pasted SQL: in a design run by
// the engine, in a report file it reads, and typed into the designer.
#include "DesignerFixture.h"
#include "HostileTexts.h"
#include "RunWindowFixture.h"

#include "data/Inventory.h"
#include "program/Household.h"
#include "reports/ReportFileOutput.h"

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The cells of a one-column text report, sorted.
QStringList sortedLines(const QByteArray &bytes)
{
    QStringList cells;
    for (const QStringList &record : tabRecords(QString::fromUtf8(bytes)))
        cells << record.value(0);
    std::sort(cells.begin(), cells.end());
    return cells;
}

QStringList sortedStartingWith(const QStringList &texts, const QString &prefix)
{
    QStringList out;
    for (const QString &text : texts) {
        if (startsFolded(text, prefix))
            out << text;
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Decoys that any text read as "everything" would let through.
QStringList decoysAndTargets()
{
    QStringList texts{QStringLiteral(" decoy first"), QStringLiteral("zz decoy last")};
    for (const HostileText &hostile : sqlTexts())
        texts << hostile.text + QStringLiteral(" target");
    return texts;
}

} // namespace

using HostileCriteria = RunWindowTest;

TEST_F(HostileCriteria, TextAndLookupCriteriaSelectExactlyWhatTheyName)
{
    const QStringList descriptions = decoysAndTargets();
    for (int i = 0; i < descriptions.size(); ++i) {
        household.dbInventory()->execute(QStringLiteral("insert into categories (catid, catDesc) values (?, ?)"),
                                         {i + 1, descriptions[i]});
        household.dbInventory()->execute(QStringLiteral("insert into items (Item, catid) values (?, ?)"),
                                         {descriptions[i], i + 1});
    }
    const ReportCatalogue catalogue = itemsCatalogue();
    // Description (1) and Category (5): one holds the criterion, the other
    // is the column shown, so the lookup's join and condition are both used.
    for (const auto &[criterionField, shownField] : {std::pair{1, 5}, std::pair{5, 1}}) {
        for (const HostileText &hostile : sqlTexts()) {
            SCOPED_TRACE(std::string(hostile.name) + " on field " + std::to_string(criterionField));
            ReportSpec spec = validSpec();
            spec.FieldIds = {qint16(shownField), qint16(criterionField)};
            spec.FieldHide[criterionField] = true;
            spec.SelStartsWith[criterionField] = hostile.text;
            const QString out = folder.file(QStringLiteral("criteria.txt"));
            TextReportWriter writer(household, out);
            ASSERT_EQ(produceReport(household, spec, catalogue, writer), ReportOutcome::Produced);
            EXPECT_EQ(sortedLines(readAll(out)), sortedStartingWith(descriptions, hostile.text));

            // The same criterion from a report file, where the format can
            // hold it (a ";" would split the item).
            if (hostile.text.contains(u';'))
                continue;
            QStringList lines = reportLines({shownField, criterionField});
            setItem(lines, 20, criterionField, QStringLiteral("1"));
            setItem(lines, 14, criterionField, hostile.text);
            ReportOutcome outcome{};
            const QByteArray fromFile = runToFile(lines, QStringLiteral("txt"), &outcome);
            ASSERT_EQ(outcome, ReportOutcome::Produced);
            EXPECT_EQ(sortedLines(fromFile), sortedStartingWith(descriptions, hostile.text));
        }
    }
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(household.dbInventory()->scalar(QStringLiteral("select count(*) from items")).toInt(),
              descriptions.size());
    EXPECT_EQ(integrityOf(household.inventory()), QStringLiteral("ok"));
}

TEST_F(HostileCriteria, NumberAndDateCriteriaThatAreNoValuesAreRefusedWithoutRunning)
{
    addItem(QStringLiteral("Lamp"), money("10"));
    for (const HostileText &hostile : sqlTexts()) {
        SCOPED_TRACE(hostile.name);
        if (hostile.text.contains(u';'))
            continue;                         // would split the item: another field's criterion, not this one
        for (const int line : {15, 17, 18}) { // SelStart, SelLess, SelGreater
            QStringList lines = reportLines({1, 7, 11});
            setItem(lines, line, line == 15 ? 7 : 11, hostile.text);
            prompts.clear();
            ReportOutcome outcome{};
            EXPECT_TRUE(runToFile(lines, QStringLiteral("txt"), &outcome).isEmpty());
            EXPECT_EQ(outcome, ReportOutcome::InvalidFile) << line;
            EXPECT_EQ(invalidFileMessages(), 1);
        }
    }
    EXPECT_EQ(household.dbInventory()->scalar(QStringLiteral("select count(*) from items")).toInt(), 1);
    EXPECT_EQ(integrityOf(household.inventory()), QStringLiteral("ok"));
}

using HostileDesigner = DesignerTest;

TEST_F(HostileDesigner, TypedStartsWithCriteriaGenerateSaveAndReadBack)
{
    household.openInventory();
    const QStringList descriptions = decoysAndTargets();
    for (const QString &description : descriptions)
        household.dbInventory()->execute(QStringLiteral("insert into items (Item) values (?)"), {description});
    open();
    for (const HostileText &hostile : sqlTexts()) {
        SCOPED_TRACE(hostile.name);
        prompts.clear();
        w->mnuNew_Click();
        prompts.clear();
        add(QStringLiteral("Description"));
        choose(QStringLiteral("Description"));
        w->optReportTo[2]->setChecked(true);
        w->txtStarting->clear();
        if (hostile.text.contains(QChar(0)))
            w->txtStarting->setText(hostile.text);
        else
            QTest::keyClicks(w->txtStarting, hostile.text);
        leave(w->txtStarting);
        ASSERT_EQ(w->Design.SelStartsWith[1], hostile.text);

        QFile::remove(path(QStringLiteral("generated.txt")));
        prompts.answerFile(path(QStringLiteral("generated.txt")));
        ASSERT_EQ(w->cmdGenerate_Click(), ReportOutcome::Produced);
        EXPECT_EQ(sortedLines(readAll(path(QStringLiteral("generated.txt")))),
                  sortedStartingWith(descriptions, hostile.text));

        prompts.answerFile(path(QStringLiteral("design.rpt")));
        QFile::remove(path(QStringLiteral("design.rpt")));
        w->mnuSaveAs_Click();
        if (hostile.text.contains(u';')) {
            // The file cannot hold it: refused with a message, nothing
            // written, and the design still counts as unsaved.
            EXPECT_FALSE(QFile::exists(path(QStringLiteral("design.rpt"))));
            EXPECT_TRUE(w->ReportChanged);
            ASSERT_EQ(shownMessages().size(), 1);
            EXPECT_TRUE(shownMessages().constFirst().contains(hostile.text));
            w->ReportChanged = false;
            continue;
        }
        EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join(u'\n').toStdString();
        w->mnuNew_Click();
        ASSERT_TRUE(w->Design.SelStartsWith[1].isEmpty());
        prompts.answerFile(path(QStringLiteral("design.rpt")));
        w->mnuOpen_Click();
        EXPECT_EQ(w->Design.SelStartsWith[1], hostile.text);
        EXPECT_EQ(w->txtStarting->text(), hostile.text);
        QFile::remove(path(QStringLiteral("fromfile.txt")));
        const ReportOutcome fromFile =
            runReportFile(household, path(QStringLiteral("design.rpt")), [this](const LoadedReport &) {
                return std::make_unique<TextReportWriter>(household, path(QStringLiteral("fromfile.txt")));
            });
        ASSERT_EQ(fromFile, ReportOutcome::Produced);
        EXPECT_EQ(readAll(path(QStringLiteral("fromfile.txt"))), readAll(path(QStringLiteral("generated.txt"))));
    }
    EXPECT_EQ(household.dbInventory()->scalar(QStringLiteral("select count(*) from items")).toInt(),
              descriptions.size());
    EXPECT_EQ(integrityOf(household.inventory()), QStringLiteral("ok"));
}

TEST_F(HostileDesigner, NumberCriteriaRefuseSqlAndKeepTheStoredValue)
{
    open();
    add(QStringLiteral("Purchase Price"));
    choose(QStringLiteral("Purchase Price"));
    const int id = specIdNamed(*w, QStringLiteral("Purchase Price"));
    for (const HostileText &hostile : sqlTexts()) {
        SCOPED_TRACE(hostile.name);
        prompts.clear();
        w->txtGreater->setText(hostile.text);
        EXPECT_FALSE(w->txtGreater_LostFocus());
        EXPECT_EQ(w->Design.SelGreater[id], QString());
        EXPECT_EQ(shownMessages(),
                  QStringList{QStringLiteral("Stowbook|You must enter a number or leave this selection field blank")});
    }
}
