#include "DesignerFixture.h"

#include "reports/ReportFileOutput.h"
#include "reports/ReportGlobals.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>

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
    w->FieldTotal[specIdNamed(*w, "Purchase Price")] = true;
    w->SelGreater[specIdNamed(*w, "Purchase Price")] = "10";
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
        path("design.rpt"),
        [this](const LoadedReport &) { return std::make_unique<TextReportWriter>(path("fromfile.txt")); }, &problem);
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
    // 2 inches are 2880 twips; 2 cm are 2 x 561.6.
    for (const Case c : {Case{0, "2880"}, Case{1, "1123.2"}}) {
        w->optWidth[std::size_t(c.unit)]->setChecked(true);
        w->optReportTo[2]->setChecked(true);
        prompts.answerFile(path(QStringLiteral("w%1.txt").arg(c.unit)));
        ASSERT_EQ(w->cmdGenerate_Click(), ReportOutcome::Produced);
        EXPECT_EQ(TableFormat, QString::fromLatin1(c.twips) + ";");
    }
}
