#include "reports/viewer/RunReport.h"

#include "program/Globals.h"
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
    PreviewReportOutput() : ScreenReportOutput(nullptr, todayForReports()) {}

    bool begin(const ReportSpec &spec, const ReportQuery &query) override
    {
        m_busy = std::make_unique<BusyCursor>();
        setDocument(frmOutput::instance()->PrintPreview);
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
    std::unique_ptr<BusyCursor> m_busy;
};

} // namespace

std::unique_ptr<ReportOutput> reportOutputFor(const ReportSpec &spec)
{
    if (spec.ReportTo == ReportToScreen)
        return std::make_unique<PreviewReportOutput>();
    const std::optional<QString> path = chooseReportOutputFile(spec);
    if (!path)
        return nullptr;
    if (spec.ReportTo == ReportToHtmlFile)
        return std::make_unique<HtmlReportWriter>(*path);
    return std::make_unique<TextReportWriter>(*path);
}

ReportOutcome RunReport(const QString &fileName)
{
    return runReportFile(DataFolder + fileName,
                         [](const LoadedReport &report) { return reportOutputFor(report.spec); });
}
