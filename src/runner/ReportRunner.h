#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Household;

// Exit codes of stowbook-report.
enum RunnerExit : int {
    ExitProduced = 0,      // the output file is complete
    ExitInvalidReport = 1, // the report file was refused, or no such report
    ExitUsage = 2,         // wrong arguments, or an output extension it cannot write
    ExitDatabase = 3,      // a database could not be opened or read
    ExitNoRows = 4,        // the report found no record; no file was written
    ExitOutputFailed = 5,  // the output file could not be written
};

// The names that run the fixed reports instead of a report file (PDF only).
inline const QString ValueByCategoryName = QStringLiteral("value-by-category");
inline const QString ValueByLocationName = QStringLiteral("value-by-location");
inline const QString SerialNumbersName = QStringLiteral("serial-numbers");
// The name that writes every item to a CSV file (.csv only).
inline const QString ItemsExportName = QStringLiteral("items");
// The items that would weaken a claim, as PDF or CSV.
inline const QString ReadinessName = QStringLiteral("readiness");
// The command that writes the insurance claim (see ClaimCommand.h).
inline const QString ClaimCommandName = QStringLiteral("claim");

// Runs "-d DIR REPORT OUTPUT" (the arguments after the program's name): the
// report goes to OUTPUT as text (.txt), HTML (.htm, .html) or PDF (.pdf),
// whatever destination the report file names; REPORT "items" writes every
// item to OUTPUT as CSV (.csv, and only then). An existing OUTPUT is
// replaced, but only by a complete report. Messages go through the
// installed prompts. The data folder is opened as household. Needs a
// QGuiApplication for the fonts.
int runReportCommand(Household &household, const QStringList &arguments);

// Makes folder the household's data folder (absolute, ending with "/") and
// opens its inventory under the error trap; false when it could not be
// opened, after the trap has said why.
bool openRunnerDataFolder(Household &household, const QString &folder);

// The report file that REPORT (or the claim's --report) names: anything with
// a "/" in it is a path; a bare name is a file of the household's data
// folder, and one typed without its extension ("bycat") is the report file
// of that name there, .srp before .rpt. When a name without an extension
// names no report there, the user is told which reports the folder has, and
// the answer is empty.
std::optional<QString> reportFilePath(const Household &household, const QString &report);

// The usage text printed for wrong arguments.
QString runnerUsage();
