#include "DesignerFixture.h"

#include "data/Database.h"
#include "data/Inventory.h"
#include "reports/DesignerReportFile.h"
#include "reports/ReportFileText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <cmath>
#include <functional>

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static void writeLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((lines.join("\r\n") + "\r\n").toUtf8());
}

// A design that touches every setting the file keeps.
static void design(DesignerTest &, frmRptSpec &w)
{
    w.txtTitle->setText("Insured; items");
    w.optReportTo[2]->setChecked(true);
    w.optOrient[1]->setChecked(true);
    w.optWidth[1]->setChecked(true);
    w.cmbPageNum->setCurrentIndex(1);
    w.chkDate->setChecked(false);
    w.cmbSort1->setCurrentIndex(3);
    w.cmbSort2->setCurrentIndex(0);
    w.Design.FieldWidth[2] = 1.75f;
    w.Design.FieldHide[2] = true;
    w.Design.SelStartsWith[1] = "TV";
    w.Design.SelGreater[8] = "100.50";
    w.Design.FieldTotal[8] = true;
    w.Design.SelStart[7] = DateValue(45000);
    w.Design.SelTrue[12] = true;
}

TEST_F(DesignerTest, SaveThenOpenGivesBackTheDesign)
{
    open();
    for (const char *field : {"Notes", "Manufacturer", "Purchase Price"}) {
        add(field);
    }
    design(*this, *w);
    const ReportSpec saved = w->designForFile();
    const QString file = path("mine.rpt");
    prompts.answerFile(file);
    w->mnuSave_Click(); // never saved: Save As
    EXPECT_FALSE(w->ReportChanged);
    EXPECT_EQ(w->ReportFileName, file);
    EXPECT_EQ(w->windowTitle(), "Custom Report - " + path("mine"));
    const QByteArray first = readAll(file);

    w->mnuSave_Click(); // has a name: no dialog
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::SaveFile), 1);
    EXPECT_EQ(readAll(file), first);

    prompts.answerFile(file);
    w->mnuOpen_Click();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(w->designForFile(), saved);
    EXPECT_EQ(chosen(), (QStringList{"Notes", "Manufacturer", "Purchase Price"}));
    EXPECT_EQ(w->List2->currentRow(), 0);
    EXPECT_FALSE(w->ReportChanged);
    EXPECT_TRUE(w->fraFormat->isHidden());
}

TEST_F(DesignerTest, SavedSortPositionsReadBackAsTheSameFields)
{
    open();
    add("Model");
    w->cmbSort1->setCurrentIndex(w->cmbSort1->findText("Quantity"));
    w->cmbSort2->setCurrentIndex(w->cmbSort2->findText("Category"));
    prompts.answerFile(path("sorted.rpt"));
    w->mnuSaveAs_Click();
    auto catalogue = Database::open(path(CatalogueFileName));
    QString problem;
    const std::optional<LoadedReport> run = readDesignerReportFile(household, *catalogue, path("sorted.rpt"), &problem);
    ASSERT_TRUE(run) << problem.toStdString();
    EXPECT_EQ(run->spec.Sort1, specIdNamed(*w, "Quantity"));
    EXPECT_EQ(run->spec.Sort2, specIdNamed(*w, "Category"));
    EXPECT_EQ(run->spec.FieldIds, QList<qint16>{qint16(specIdNamed(*w, "Model"))});
}

// Captions that differ only in case tie in the designer's lists; each
// sort position saved must still name, for the report runner, the field
// the list showed there.
TEST_F(DesignerTest, EverySortPositionNamesTheSameFieldWhenCaptionsDifferOnlyInCase)
{
    executeOnCatalogue("update rptspec set \"Desc\" = case specid when 2 then 'model' when 4 then 'MODEL' "
                       "when 14 then 'notes' else \"Desc\" end");
    open();
    const QStringList listed = available();
    const qsizetype models = listed.indexOf("model");
    ASSERT_GE(models, 0);
    EXPECT_EQ(listed.mid(models, 3), (QStringList{"model", "Model", "MODEL"}));
    EXPECT_EQ(listed.mid(listed.indexOf("notes"), 2), (QStringList{"notes", "Notes"}));

    add("Description");
    prompts.answerFile(path("ties.rpt"));
    w->mnuSaveAs_Click();
    auto catalogue = Database::open(path(CatalogueFileName));
    const int count = w->cmbSort1->count();
    for (int position = 0; position < count; ++position) {
        SCOPED_TRACE(w->cmbSort1->itemText(position).toStdString());
        w->cmbSort1->setCurrentIndex(position);
        w->cmbSort2->setCurrentIndex(count - 1 - position);
        w->mnuSave_Click();
        QString problem;
        const std::optional<LoadedReport> run =
            readDesignerReportFile(household, *catalogue, path("ties.rpt"), &problem);
        ASSERT_TRUE(run) << problem.toStdString();
        EXPECT_EQ(run->spec.Sort1, w->cmbSort1->currentData().toInt());
        EXPECT_EQ(run->spec.Sort2, w->cmbSort2->currentData().toInt());
    }
    EXPECT_TRUE(prompts.messages().empty());
}

TEST_F(DesignerTest, OpenRefusesEachInvalidLine)
{
    open();
    add("Model");
    prompts.answerFile(path("good.rpt"));
    w->mnuSaveAs_Click();
    const QStringList good = splitFileLines(decodeUtf8Or1252(readAll(path("good.rpt"))));
    ASSERT_EQ(good.size(), 22);

    struct Case {
        int line; // counted from 1
        const char *text;
    };
    const Case cases[] = {
        {1, "nosuchsubject"},
        {1, "itemsitemsitemsitemsitems"},
        {3, "0"},
        {3, "4"},
        {3, "x"},
        {4, "2"},
        {5, "2"},
        {6, "3"},
        {7, "2"},
        {8, "-2"},
        {8, "15"},
        {9, "99999"},
        {10, "many"},
        {12, "2"},
        {13, "yes"},
        {15, "soon"},
        {16, "1;x"},
        {19, "wide"},
        {20, "0;0;-1"},
        {21, "true"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.text);
        QStringList lines = good;
        lines[c.line - 1] = QString::fromLatin1(c.text);
        writeLines(path("bad.rpt"), lines);
        prompts.clear();
        prompts.answerFile(path("bad.rpt"));
        w->ReportChanged = false;
        w->mnuOpen_Click();
        EXPECT_EQ(shownMessages(),
                  QStringList{"Invalid Report File|This does not appear to be a valid report file for this program."});
        EXPECT_EQ(w->ReportFileName, path("bad.rpt"));
    }
    // A file cut short is refused the same way.
    writeLines(path("short.rpt"), good.mid(0, 12));
    prompts.clear();
    w->ReportChanged = false;
    prompts.answerFile(path("short.rpt"));
    w->mnuOpen_Click();
    EXPECT_EQ(shownMessages().size(), 1);
}

// A file refused at a late line leaves what it gave before in the design;
// the field shown must show those values, or leaving a box would store the
// shown default over them.
TEST_F(DesignerTest, FileRefusedPartWayShowsWhatItStored)
{
    open();
    add("Description");
    add("Model");
    const int model = specIdNamed(*w, "Model");
    w->Design.FieldWidth[model] = 1.75f;
    w->Design.SelStartsWith[model] = "XL";
    prompts.answerFile(path("late.rpt"));
    w->mnuSaveAs_Click();
    QStringList lines = splitFileLines(decodeUtf8Or1252(readAll(path("late.rpt"))));
    lines[20] = "true"; // FieldTotal, after the widths and criteria
    writeLines(path("late.rpt"), lines);

    w->mnuNew_Click();
    prompts.answerFile(path("late.rpt"));
    w->mnuOpen_Click();
    ASSERT_EQ(shownMessages(),
              QStringList{"Invalid Report File|This does not appear to be a valid report file for this program."});
    ASSERT_EQ(w->List2->currentItem()->text(), "Model");
    EXPECT_EQ(w->txtWidth->text(), "1.75");
    EXPECT_EQ(w->txtStarting->text(), "XL");
    leave(w->txtWidth);
    leave(w->txtStarting);
    EXPECT_EQ(w->Design.FieldWidth[model], 1.75f);
    EXPECT_EQ(w->Design.SelStartsWith[model], "XL");
}

TEST_F(DesignerTest, OpenSkipsFieldsTheCatalogueDoesNotOffer)
{
    open();
    add("Model");
    add("Notes");
    prompts.answerFile(path("two.rpt"));
    w->mnuSaveAs_Click();
    QStringList lines = splitFileLines(decodeUtf8Or1252(readAll(path("two.rpt"))));
    lines[10] = "3;40;15";
    writeLines(path("two.rpt"), lines);
    prompts.answerFile(path("two.rpt"));
    w->mnuOpen_Click();
    EXPECT_TRUE(prompts.messages().empty());
    EXPECT_EQ(chosen(), (QStringList{"Model", "Notes"}));
}

TEST_F(DesignerTest, SaveAsOntoAnExistingFileAsks)
{
    open();
    const QString file = path("kept.rpt");
    writeLines(file, {"precious"});
    const QByteArray before = readAll(file);
    w->ReportChanged = true;
    prompts.answerFile(file);
    prompts.answer(Prompts::Answer::No);
    w->mnuSaveAs_Click();
    EXPECT_EQ(shownMessages(),
              QStringList{"File Exists|The report file '" + file + "' already exists.  Do you wish to replace it?"});
    EXPECT_EQ(readAll(file), before);
    EXPECT_TRUE(w->ReportFileName.isEmpty());
    EXPECT_TRUE(w->ReportChanged);

    prompts.answerFile(file);
    prompts.answer(Prompts::Answer::Yes);
    w->mnuSaveAs_Click();
    EXPECT_NE(readAll(file), before);
    EXPECT_EQ(w->ReportFileName, file);
}

TEST_F(DesignerTest, FailedSaveKeepsTheDesignMarkedChanged)
{
    open();
    prompts.answerFile(path("gone/mine.rpt")); // the folder does not exist
    w->txtTitle->setText("Unsaved");
    w->mnuSave_Click();
    EXPECT_TRUE(w->ReportChanged);
    EXPECT_TRUE(w->ReportFileName.isEmpty());
    EXPECT_EQ(w->windowTitle(), "Custom Report");
    EXPECT_EQ(shownMessages().size(), 1);
}

TEST_F(DesignerTest, ClosingAsksOnceAndYesOnANewDesignOffersSaveAs)
{
    open();
    add("Model");
    prompts.answer(Prompts::Answer::Yes);
    prompts.answerFile(std::nullopt); // cancelled: the closing goes on
    frmRptSpec::closeDesigner();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmRptSpec::instance(), nullptr);
    EXPECT_EQ(shownMessages(), QStringList{"Save Current Report|Do you wish to save the current report?"});
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::SaveFile), 1);
}

TEST_F(DesignerTest, ClosingAnUnchangedDesignAsksNothing)
{
    open();
    add("Model");
    prompts.answerFile(path("a.rpt"));
    w->mnuSaveAs_Click();
    prompts.answerFile(path("a.rpt"));
    w->mnuOpen_Click();
    frmRptSpec::closeDesigner();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmRptSpec::instance(), nullptr);
    EXPECT_TRUE(prompts.messages().empty());
}

// The designer's reading of a file's lines without its window.
static QStringList designerLines()
{
    return {"items",
            "Title",
            "2",
            "1",
            "0",
            "1",
            "1",
            " 3",
            "-1",
            "2",
            "13;4",
            "0;1",
            "",
            "TV",
            "0;0;0;0;0;0;45000",
            "",
            "",
            ";;;;;;;100.50",
            "2.5;1;1;1.75",
            "",
            "",
            "0"};
}

TEST(DesignerFileLines, ReadsEveryLineIntoCodesFieldsAndArrays)
{
    ReportSpec arrays;
    arrays.resizeFields(15);
    arrays.FieldWidth[15] = 3.0f; // a default the file leaves alone
    const DesignerFileLines read = readDesignerFileLines(designerLines(), 15, arrays);
    EXPECT_TRUE(read.valid);
    EXPECT_EQ(read.codes, (QList<qint16>{2, 1, 0, 1, 1, 3, -1, 2}));
    EXPECT_EQ(read.fieldIds, (QList<qint16>{13, 4}));
    EXPECT_TRUE(arrays.SelTrue[2]);
    EXPECT_EQ(arrays.SelStartsWith[1], QStringLiteral("TV"));
    EXPECT_EQ(arrays.SelStart[7], DateValue(45000));
    EXPECT_EQ(arrays.SelGreater[8], QStringLiteral("100.50"));
    EXPECT_EQ(arrays.FieldWidth[4], 1.75f);
    EXPECT_EQ(arrays.FieldWidth[15], 3.0f);
}

TEST(DesignerFileLines, KeepsWhatWasReadUpToTheFirstLineThatFails)
{
    const QString megabyteOfItems = QStringLiteral("1;").repeated(512 * 1024) + QStringLiteral("1");
    struct Case {
        const char *name;
        int line; // counted from 1
        QString text;
        int codes; // codes read
        bool valid;
        std::function<void(const DesignerFileLines &, const ReportSpec &)> check;
    };
    const Case cases[] = {
        {"a bad sort position", 9, "15", 6, false,
         [](const DesignerFileLines &read, const ReportSpec &) { EXPECT_TRUE(read.fieldIds.isEmpty()); }},
        {"a flag past the first items", 13, "0;1;2", 8, false,
         [](const DesignerFileLines &read, const ReportSpec &arrays) {
             EXPECT_EQ(read.fieldIds, (QList<qint16>{13, 4}));
             EXPECT_TRUE(arrays.SelTrue[2]) << "the line before is read";
             EXPECT_TRUE(arrays.SelFalse[2]) << "and the items before the bad one";
             EXPECT_TRUE(arrays.SelStartsWith[1].isEmpty()) << "the lines after are not";
         }},
        // A single-precision width of 10^40 would be infinite, and be saved
        // back as 0.
        {"a width no single precision holds", 19, "1" + QString(40, u'0'), 8, false, nullptr},
        {"a megabyte of items on a per-field line", 20, megabyteOfItems, 8, true,
         [](const DesignerFileLines &, const ReportSpec &arrays) {
             EXPECT_EQ(arrays.FieldHide.size(), 15);
             EXPECT_TRUE(arrays.FieldHide[15]);
         }},
        {"a megabyte of field numbers", 11, megabyteOfItems, 8, true,
         [](const DesignerFileLines &read, const ReportSpec &) { EXPECT_EQ(read.fieldIds, QList<qint16>{1}); }},
        {"field numbers no catalogue holds", 11, "0;16;-3;x;;7;7", 8, true,
         [](const DesignerFileLines &read, const ReportSpec &) { EXPECT_EQ(read.fieldIds, QList<qint16>{7}); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines = designerLines();
        lines[c.line - 1] = c.text;
        ReportSpec arrays;
        arrays.resizeFields(15);
        const DesignerFileLines read = readDesignerFileLines(lines, 15, arrays);
        EXPECT_EQ(read.codes.size(), c.codes);
        EXPECT_EQ(read.valid, c.valid);
        if (c.check)
            c.check(read, arrays);
    }
    ReportSpec arrays;
    arrays.resizeFields(15);
    EXPECT_FALSE(readDesignerFileLines(designerLines().mid(0, 20), 15, arrays).valid) << "20 lines";
}

TEST_F(DesignerTest, OpenRefusesAWidthNoSinglePrecisionHolds)
{
    open();
    add("Model");
    prompts.answerFile(path("good.rpt"));
    w->mnuSaveAs_Click();
    QStringList lines = splitFileLines(decodeUtf8Or1252(readAll(path("good.rpt"))));
    lines[18] = "1" + QString(40, u'0');
    writeLines(path("wide.rpt"), lines);
    prompts.clear();
    prompts.answerFile(path("wide.rpt"));
    w->mnuOpen_Click();
    EXPECT_EQ(shownMessages(),
              QStringList{"Invalid Report File|This does not appear to be a valid report file for this program."});
    EXPECT_TRUE(std::isfinite(w->Design.FieldWidth[1]));
}

// Sort keys in a designer's file are list positions, which the report
// runner reads so only from a ".rpt" file; the subject is a name whose case
// does not matter; file dialogs start in the data folder, then where the
// last file was chosen.
TEST_F(DesignerTest, SaveAsKeepsTheDesignersExtensionAndDialogsRememberTheirFolder)
{
    open();
    add("Model");
    w->cmbSort1->setCurrentIndex(w->cmbSort1->findText("Category"));
    ASSERT_TRUE(QDir().mkpath(path("sub")));
    prompts.answerFile(path("sub/x.srp"));
    w->mnuSaveAs_Click();
    EXPECT_EQ(w->ReportFileName, path("sub/x.srp.rpt"));
    EXPECT_FALSE(QFile::exists(path("sub/x.srp")));
    const QStringList saved = splitFileLines(decodeUtf8Or1252(readAll(path("sub/x.srp.rpt"))));
    ASSERT_EQ(saved.size(), 22);
    EXPECT_TRUE(isDesignerReportFile(w->ReportFileName));
    // A name already ending in ".rpt", in any case, is taken as it is.
    EXPECT_EQ(designerReportFileName("/a/B.RPT"), "/a/B.RPT");

    QStringList capitals = saved;
    capitals[0] = "ITEMS";
    writeLines(path("sub/capitals.rpt"), capitals);
    prompts.answerFile(path("sub/capitals.rpt"));
    w->mnuOpen_Click();
    EXPECT_TRUE(shownMessages().isEmpty()) << shownMessages().join('\n').toStdString();
    EXPECT_EQ(chosen(), QStringList{"Model"});
    EXPECT_EQ(w->cmbSort1->currentText(), "Category");
    w->mnuSave_Click();
    EXPECT_EQ(splitFileLines(decodeUtf8Or1252(readAll(path("sub/capitals.rpt")))).value(0), "items");

    std::vector<QString> folders;
    for (const ScriptedPrompts::Call &call : prompts.calls())
        if (call.kind == ScriptedPrompts::Kind::SaveFile || call.kind == ScriptedPrompts::Kind::OpenFile)
            folders.push_back(call.dialog.initialFolder);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[0], m_folder->path());
    EXPECT_EQ(folders[1], path("sub"));
    EXPECT_EQ(prompts.calls().front().dialog.filter, "Report Files (*.rpt)|*.rpt");
}
