#include "DesignerFixture.h"

#include "reports/PageLayout.h"
#include "reports/ReportFileOutput.h"
#include "reports/viewer/frmOutput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>

static QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(DesignerTest, GenerateWithoutFieldsOnlyTellsSo)
{
    open();
    EXPECT_EQ(w->cmdGenerate_Click(), ReportOutcome::NotChosen);
    EXPECT_EQ(shownMessages(), QStringList{"Stowbook|You have not selected any fields to include in the report"});
    EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::SaveFile), 0);
}

TEST_F(DesignerTest, GenerateMatchesTheSavedDesignRunFromItsFile)
{
    useDemoInventory();
    open();
    for (const char *field : {"Description", "Category", "Purchase Price", "Receipt"})
        add(field);
    w->Design.FieldTotal[specIdNamed(*w, "Purchase Price")] = true;
    w->Design.SelGreater[specIdNamed(*w, "Purchase Price")] = "10";
    w->cmbSort1->setCurrentIndex(w->cmbSort1->findText("Category"));
    w->cmbSort2->setCurrentIndex(w->cmbSort2->findText("Description"));
    w->optReportTo[2]->setChecked(true);
    const ReportSpec before = w->designForFile();

    prompts.answerFile(path("generated.txt"));
    EXPECT_EQ(w->cmdGenerate_Click(), ReportOutcome::Produced);
    EXPECT_EQ(w->designForFile(), before);
    EXPECT_TRUE(w->ReportChanged);

    prompts.answerFile(path("design.rpt"));
    w->mnuSaveAs_Click();
    QString problem;
    const ReportOutcome fromFile = runReportFile(
        household, path("design.rpt"),
        [this](const LoadedReport &) { return std::make_unique<TextReportWriter>(household, path("fromfile.txt")); },
        &problem);
    ASSERT_EQ(fromFile, ReportOutcome::Produced) << problem.toStdString();
    const QByteArray generated = readAll(path("generated.txt"));
    EXPECT_FALSE(generated.isEmpty());
    EXPECT_EQ(generated, readAll(path("fromfile.txt")));
}

TEST_F(DesignerTest, ClosingAfterGenerateStillAsks)
{
    useDemoInventory();
    open();
    add("Description");
    w->optReportTo[3]->setChecked(true);
    prompts.answerFile(path("out.htm"));
    EXPECT_EQ(w->cmdGenerate_Click(), ReportOutcome::Produced);
    prompts.answer(Prompts::Answer::No);
    frmRptSpec::closeDesigner();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmRptSpec::instance(), nullptr);
    EXPECT_EQ(shownMessages(), QStringList{"Save Current Report|Do you wish to save the current report?"});
}

TEST_F(DesignerTest, CentimetreWidthsUseTheReportFactor)
{
    useDemoInventory();
    open();
    add("Description");
    w->txtWidth->setText("2");
    leave(w->txtWidth);
    struct Case {
        int unit;
        const char *twips;
    };
    // 2 inches are 2880 twips; 2 cm are 2 x 561.6. The preview's pages
    // begin with the heading row in the report's columns.
    for (const Case c : {Case{0, "2880"}, Case{1, "1123.2"}}) {
        w->optWidth[std::size_t(c.unit)]->setChecked(true);
        w->optReportTo[1]->setChecked(true);
        ASSERT_EQ(w->cmdGenerate_Click(), ReportOutcome::Produced);
        ASSERT_NE(frmOutput::current(), nullptr);
        const std::optional<PageLayout::RepeatedHeading> &heading =
            frmOutput::current()->PrintPreview->repeatedHeading();
        ASSERT_TRUE(heading.has_value());
        EXPECT_EQ(heading->format, QString::fromLatin1(c.twips) + ";");
    }
    delete frmOutput::current();
}

// No report file is read by Generate, so no design is ever called an
// invalid report file: each one the engine could not run is refused with
// a message that says what to change, and nothing is asked or produced.
TEST_F(DesignerTest, GenerateSaysWhatToChangeInADesignThatCannotRun)
{
    useDemoInventory();
    struct Case {
        const char *name;
        std::function<void(frmRptSpec &)> spoil;
        const char *told; // part of the message
    };
    const Case cases[] = {
        {"every field hidden", [](frmRptSpec &d) { d.Design.FieldHide = PerField<bool>(d.MaxSpecId, true); },
         "Hide Field"},
        // 200 typed as centimetres, then the unit switched to inches.
        {"wider than any page",
         [](frmRptSpec &d) {
             d.Design.FieldWidth[8] = 200;
             d.optWidth[0]->setChecked(true);
         },
         "\"Purchase Price\" cannot be 200 inches wide"},
        {"negative width from a file", [](frmRptSpec &d) { d.Design.FieldWidth[1] = -1; },
         "\"Description\" cannot be -1"},
        {"criterion from a file that is no number", [](frmRptSpec &d) { d.Design.SelGreater[8] = "abc"; }, "\"abc\""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        add("Description");
        add("Purchase Price");
        c.spoil(*w);
        prompts.clear();
        EXPECT_EQ(w->cmdGenerate_Click(), ReportOutcome::NotChosen);
        const QStringList shown = shownMessages();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown.first().startsWith("Stowbook|")) << shown.first().toStdString();
        EXPECT_TRUE(shown.first().contains(QLatin1String(c.told))) << shown.first().toStdString();
        EXPECT_EQ(prompts.count(ScriptedPrompts::Kind::SaveFile), 0);
        delete w;
    }
}
