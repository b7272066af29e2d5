#pragma once

#include "reports/ReportRun.h"

#include <QString>

class Household;

// The report engine as the Reports menu calls it: runs the report file
// fileName of the household's data folder ("bycat.srp") to the destination
// its design names: the output window, or a text or HTML file chosen in the
// save dialog. Every message of the run is shown on the way; the outcome is
// for callers that care (tests).
ReportOutcome RunReport(Household &household, const QString &fileName);

// The destination of a design read from a file, as RunReport chooses it:
// the output window for ReportToScreen, else the save dialog and replace
// question, nullptr when they end the run.
std::unique_ptr<ReportOutput> reportOutputFor(Household &household, const ReportSpec &spec);
