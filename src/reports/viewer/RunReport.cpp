#include "reports/viewer/RunReport.h"

#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/ReportFileOutput.h"
#include "reports/ScreenReport.h"
#include "reports/viewer/frmOutput.h"

#include <memory>

namespace {

// The screen destination on the output window's document: the hourglass
// while the document is built, the window shown when it is complete. The
// window is made only when there is something to show.
class PreviewReportOutput : public ScreenReportOutput {
public:
    explicit PreviewReportOutput(Household &household)
        : ScreenReportOutput(nullptr, todayForReports())
        , m_household(household)
    {
    }

    bool begin(const ReportSpec &spec, const ReportQuery &query) override
    {
        m_busy = std::make_unique<BusyCursor>();
        setDocument(frmOutput::instance(m_household)->PrintPreview);
        return ScreenReportOutput::begin(spec, query);
    }
    bool finish() override
    {
        ScreenReportOutput::finish();
        frmOutput::showOutput();
        m_busy.reset();
        return true;
    }

private:
    Household &m_household;
    std::unique_ptr<BusyCursor> m_busy;
};

} // namespace

std::unique_ptr<ReportOutput> reportOutputFor(Household &household, const ReportSpec &spec)
{
    if (spec.ReportTo == ReportToScreen)
        return std::make_unique<PreviewReportOutput>(household);
    const std::optional<QString> path = chooseReportOutputFile(household, spec);
    if (!path)
        return nullptr;
    if (spec.ReportTo == ReportToHtmlFile)
        return std::make_unique<HtmlReportWriter>(household, *path);
    return std::make_unique<TextReportWriter>(household, *path);
}

ReportOutcome RunReport(Household &household, const QString &fileName)
{
    return runReportFile(household, household.DataFolder() + fileName,
                         [&household](const LoadedReport &report) { return reportOutputFor(household, report.spec); });
}
