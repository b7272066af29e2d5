#include "RunWindowFixture.h"

#include "program/Household.h"
#include "reports/viewer/RunReport.h"

#include <QFile>

using ReportFiles = RunWindowTest;

TEST_F(ReportFiles, SaveDialogChoosesTheFileAndItsQuestionsCanStopTheRun)
{
    addFixedInventory();
    putFile(QStringLiteral("list.srp"), reportFileBytesOf(reportLines({1}, QStringLiteral("3"))));
    const QString chosen = folder.file(QStringLiteral("chosen.htm"));

    prompts.answerFile(std::nullopt); // cancelled
    EXPECT_EQ(RunReport(household, QStringLiteral("list.srp")), ReportOutcome::NotChosen);
    EXPECT_FALSE(QFile::exists(chosen));
    const ScriptedPrompts::Call &dialog = prompts.calls().back();
    EXPECT_EQ(dialog.kind, ScriptedPrompts::Kind::SaveFile);
    EXPECT_EQ(dialog.dialog.fileName, QStringLiteral("items.htm"));
    EXPECT_EQ(dialog.dialog.filter, QStringLiteral("Html Files (*.htm)|*.htm|All Files (*.*)|*.*"));

    prompts.answerFile(chosen); // written
    EXPECT_EQ(RunReport(household, QStringLiteral("list.srp")), ReportOutcome::Produced);
    QFile file(chosen);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("<html>\r\n"));
    file.close();

    putFile(QStringLiteral("chosen.htm"), "keep me");
    prompts.clear();
    prompts.answerFile(chosen); // exists: "No" keeps it
    prompts.answer(Prompts::Answer::No);
    EXPECT_EQ(RunReport(household, QStringLiteral("list.srp")), ReportOutcome::NotChosen);
    ASSERT_EQ(prompts.messages().size(), 1u);
    EXPECT_EQ(prompts.messages()[0].title, QStringLiteral("File Exists"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
}
