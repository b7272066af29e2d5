// The screen report of "bycat.srp" on a large inventory, offscreen: the time
// until the output window shows its first page, and the peak memory.
//   stowbook-report-bench DATAFOLDER [RUNS]     the table
//   stowbook-report-bench DATAFOLDER --sql      the report's statement, for
//                                               the command-line shell
#include "BenchProgram.h"
#include "QuietPrompts.h"
#include "Timings.h"

#include "program/Household.h"
#include "reports/PageLayout.h"
#include "reports/ReportFileReader.h"
#include "reports/ReportQuery.h"
#include "reports/viewer/RunReport.h"
#include "reports/viewer/frmOutput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <cstdio>
#include <sys/resource.h>

static double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

static int printStatement(Household &household)
{
    auto catalogueDb = household.openCatalogue();
    ReportFileReader reader(household, *catalogueDb);
    const auto report = reader.read(household.DataFolder() + QStringLiteral("bycat.srp"));
    const auto query = report ? buildReportQuery(report->spec, report->catalogue) : std::nullopt;
    if (!query || !query->params.isEmpty())
        return 1;
    std::printf("%s;\n", qPrintable(query->sql));
    return 0;
}

int main(int argc, char **argv)
{
    BenchApplication<QApplication> app(argc, argv);
    const QStringList args = app.args();
    if (args.isEmpty()) {
        std::fputs("usage: stowbook-report-bench DATAFOLDER [RUNS | --sql]\n", stderr);
        return 2;
    }
    QuietPrompts quiet;
    setPrompts(&quiet);
    Household household(args[0]);
    if (args.value(1) == u"--sql")
        return printStatement(household);
    const int runs = args.size() > 1 ? args[1].toInt() : 3;
    household.openInventory();

    int pages = 0;
    const Timing firstPage = timeRuns(QStringLiteral("screen bycat"), 1000, runs, nullptr, [&] {
        RunReport(household, QStringLiteral("bycat.srp"));
        frmOutput *window = frmOutput::current();
        if (!window)
            return;
        // Visible means painted: render the window as the screen would.
        const QPixmap shown = window->grab();
        pages = window->PrintPreview->pageCount();
        Q_UNUSED(shown);
    });
    std::printf("%s\n", qPrintable(timingTable({firstPage})));
    std::printf("pages %d, peak memory %.1f MB (target <= 300 MB)%s\n", pages, peakMegabytes(),
                quiet.messages.isEmpty() ? "" : "  MESSAGES SHOWN");
    for (const QString &message : std::as_const(quiet.messages))
        std::printf("  message: %s\n", qPrintable(message));
    delete frmOutput::current();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
