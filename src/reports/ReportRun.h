#pragma once

#include "reports/ReportFileReader.h"

#include <QString>
#include <functional>
#include <memory>

class Household;
class ReportOutput;

// How a report run ended.
enum class ReportOutcome {
    Produced,     // the output is complete
    InvalidFile,  // the report file was refused (the message was shown)
    NotChosen,    // no output: save dialog cancelled or replacing declined
    QueryFailed,  // the catalogue or the query failed (reported)
    NoRows,       // the query found nothing (the message was shown)
    OutputFailed, // the output could not be written (reported)
};

// "No records have been entered that may be included in the specified report"
inline const QString NoRecordsMessage =
    QStringLiteral("No records have been entered that may be included in the specified report");

// Produces the report of a checked design on the household's inventory
// database: builds the query and column layout, opens it, and hands every
// row and the totals row to output. A query that cannot be opened or read
// goes to the household's error handler and stops the run; so does a
// design the query builder refuses, with the invalid-file message. The
// destination is prepared only once a first row is known, so a run without
// rows leaves an open preview or an existing file as it was.
ReportOutcome produceReport(Household &household, const ReportSpec &spec, const ReportCatalogue &catalogue,
                            ReportOutput &output);

// Gives the destination for a design read from a file, or nullptr when the
// run should end quietly (the user cancelled the choice of a file).
using ReportOutputFactory = std::function<std::unique_ptr<ReportOutput>(const LoadedReport &report)>;

// Reads a report file of either kind (a designer's or the engine's own) with
// the household's catalogue, which is closed again before it returns. A
// ".rpt" file, saved by the designer, holds its sort keys as positions in
// the designer's sort lists and takes the currency setting from the
// catalogue; it is read that way. A catalogue that cannot be opened is
// reported (reportCatalogueFailure) and its DbError thrown on; a refused
// file gives std::nullopt, with the reason in *problem when asked.
std::optional<LoadedReport> loadReportFile(Household &household, const QString &path, QString *problem = nullptr);

// The whole run of a report file at path: reads and checks it with the
// household's catalogue and produces it to the output that makeOutput gives.
// Why a file was refused goes to *problem (for the command line).
ReportOutcome runReportFile(Household &household, const QString &path, const ReportOutputFactory &makeOutput,
                            QString *problem = nullptr);

// The save dialog and replace question for a text (ReportToTextFile) or
// HTML (ReportToHtmlFile) report: the chosen file name, or std::nullopt when
// the dialog was cancelled or the user kept the existing file.
std::optional<QString> chooseReportOutputFile(Household &household, const ReportSpec &spec);
