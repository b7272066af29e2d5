// Generate Report: the report engine's run, fed from the designer instead
// of a report file.
#include "designer/frmRptSpec.h"

#include "app/Prompts.h"
#include "reports/ReportOutput.h"
#include "reports/RunReport.h"

#include <QComboBox>
#include <QListWidget>

// The specid a sort list names, or NoSort.
static qint16 sortKeyOf(const QComboBox *list)
{
    return list->currentIndex() < 0 ? NoSort : qint16(list->currentData().toInt());
}

ReportSpec frmRptSpec::designToRun() const
{
    ReportSpec spec = designForFile();
    spec.Sort1 = sortKeyOf(cmbSort1);
    spec.Sort2 = sortKeyOf(cmbSort2);
    return spec;
}

ReportOutcome frmRptSpec::cmdGenerate_Click()
{
    if (List2->count() == 0) {
        prompts().message(QStringLiteral("You have not selected any fields to include in the report"),
                          Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
        return ReportOutcome::NotChosen;
    }
    const ReportSpec spec = designToRun();
    const std::unique_ptr<ReportOutput> output = reportOutputFor(spec);
    if (!output)
        return ReportOutcome::NotChosen;
    return produceReport(spec, rsFields, *output);
}
