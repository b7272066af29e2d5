// Generate Report: the report engine's run, fed from the designer instead
// of a report file.
#include "designer/frmRptSpec.h"

#include "program/Prompts.h"
#include "reports/ReportNumbers.h"
#include "reports/ReportOutput.h"
#include "reports/ReportQuery.h"
#include "reports/ReportTable.h"
#include "reports/viewer/RunReport.h"

#include <QComboBox>
#include <QListWidget>

static void tell(const QString &text)
{
    prompts().message(text, Prompts::Buttons::Ok, Prompts::Icon::None, ProgramTitle);
}

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

bool frmRptSpec::designCanRun(const ReportSpec &spec)
{
    // No file is read here, so the report engine's "Invalid Report File"
    // would only puzzle: each refusal says what to change in the designer.
    bool visible = false;
    for (const qint16 id : spec.FieldIds) {
        if (spec.FieldHide.value(id))
            continue;
        visible = true;
        const QString caption = rsFields.contains(id) ? rsFields.field(id).desc : QString::number(id);
        const double width = spec.FieldWidth.value(id);
        if (width < 0 || width * twipsPerUnit(spec.WidthUnit) > MaxColumnWidth) {
            tell(QStringLiteral("The column \"%1\" cannot be %2 %3 wide. Select it in \"Fields to Report\" and enter "
                                "a width from 0 to %4.")
                     .arg(caption, withLocaleDecimalPoint(singleText(float(width))),
                          spec.WidthUnit == WidthInCentimetres ? QStringLiteral("centimetres")
                                                               : QStringLiteral("inches"),
                          spec.WidthUnit == WidthInCentimetres ? QStringLiteral("254") : QStringLiteral("100")));
            return false;
        }
    }
    if (!visible) {
        tell(
            QStringLiteral("Every field in \"Fields to Report\" is hidden, so the report would have no columns. Select "
                           "a field there and clear its \"Hide Field\" box."));
        return false;
    }
    QString problem;
    if (!buildReportQuery(spec, rsFields, &problem)) {
        tell(problem + QStringLiteral(" Change it in the designer and generate the report again."));
        return false;
    }
    return true;
}

ReportOutcome frmRptSpec::cmdGenerate_Click()
{
    // A value typed into a detail control counts once it is left; pressing
    // the button leaves it.
    if (!leavePendingEdit())
        return ReportOutcome::NotChosen;
    if (List2->count() == 0) {
        tell(QStringLiteral("You have not selected any fields to include in the report"));
        return ReportOutcome::NotChosen;
    }
    const ReportSpec spec = designToRun();
    if (!designCanRun(spec))
        return ReportOutcome::NotChosen;
    const std::unique_ptr<ReportOutput> output = reportOutputFor(m_household, spec);
    if (!output)
        return ReportOutcome::NotChosen;
    return produceReport(m_household, spec, rsFields, *output);
}
