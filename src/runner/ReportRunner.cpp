#include "runner/ReportRunner.h"
#include "claim/ClaimReadiness.h"
#include "data/DbError.h"
#include "data/Inventory.h"

#include "program/CommandLine.h"
#include "program/Household.h"
#include "program/Prompts.h"
#include "reports/PageLayout.h"
#include "reports/ReportFileOutput.h"
#include "reports/ReportRun.h"
#include "reports/ReportTableHeading.h"
#include "runner/ClaimCommand.h"
#include "runner/ConsolePrompts.h"
#include "runner/PdfReportOutput.h"
#include "transfer/ItemExport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <stdexcept>

#include "reports/SerialNumberReport.h"
#include "reports/ValueSummaryReport.h"

QString runnerUsage()
{
    return QStringLiteral(
        "usage: stowbook-report [-d DATAFOLDER] REPORT OUTPUT\n"
        "       stowbook-report [-d DATAFOLDER] claim OUTPUT.pdf [--category NAME | --location NAME | --report FILE]\n"
        "       stowbook-report (-h | --help | --version)\n"
        "  REPORT  a report file: a name in the data folder (bycat.srp, or bycat) or a path;\n"
        "          or value-by-category, value-by-location, serial-numbers (PDF only);\n"
        "          or items: every item with every field, as a CSV file (.csv only)\n"
        "          or readiness: the items that would weaken a claim (.pdf or .csv)\n"
        "  OUTPUT  the file to write: .txt (tab-separated text), .htm or .html, .pdf, or .csv\n"
        "  claim   the insurance claim of all items, or of one category, one location or\n"
        "          the items a report file selects, with the claimant details of the folder\n"
        "  -h, --help  show this text\n"
        "  --version  show the version");
}

namespace {

enum class OutputKind { Text, Html, Pdf, Csv };

std::optional<OutputKind> outputKindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"txt")
        return OutputKind::Text;
    if (suffix == u"htm" || suffix == u"html")
        return OutputKind::Html;
    if (suffix == u"pdf")
        return OutputKind::Pdf;
    if (suffix == u"csv")
        return OutputKind::Csv;
    return std::nullopt;
}

int exitFor(ReportOutcome outcome)
{
    switch (outcome) {
    case ReportOutcome::Produced:
        return ExitProduced;
    case ReportOutcome::InvalidFile:
        return ExitInvalidReport;
    case ReportOutcome::NotChosen:
        return ExitUsage;
    case ReportOutcome::QueryFailed:
        return ExitDatabase;
    case ReportOutcome::NoRows:
        return ExitNoRows;
    case ReportOutcome::OutputFailed:
        return ExitOutputFailed;
    }
    return ExitDatabase;
}

// A fixed report (value summary or serial number list) to a PDF file.
int runFixedReport(Household &household, const QString &name, const QString &output)
{
    PageLayout document;
    QObject::connect(&document, &PageLayout::newPage, &document, [&document] { addRepeatedHeading(document); });
    // Each starts, fills and ends the document itself.
    if (name == SerialNumbersName)
        buildSerialNumberList(household, document);
    else
        buildValueSummary(household, document, name == ValueByCategoryName ? 1 : 2);
    if (document.isDocOpen())
        document.endDoc();
    if (document.rowCount() == 0)
        return ExitNoRows;
    return writeDocumentPdf(household, document, output) ? ExitProduced : ExitOutputFailed;
}

// "-d DATAFOLDER", and the claim's selections, which only the claim takes:
// known on the whole line all the same, so that the word after one is its
// value wherever it stands.
QList<QCommandLineOption> runnerOptions()
{
    QList<QCommandLineOption> options{QCommandLineOption(QStringLiteral("d"), QString(), QStringLiteral("DATAFOLDER"))};
    for (const QString &name : ClaimSelectionOptions)
        options << QCommandLineOption(name, QString(), QStringLiteral("NAME"));
    return options;
}

// Every item to a CSV file; an empty inventory gives the heading row alone.
int runItemsExport(Household &household, const QString &output)
{
    try {
        exportItems(household.inventory(), output);
        return ExitProduced;
    } catch (const DbError &error) {
        household.HandleDbError(error);
        return error.number() == DbError::PathFileAccess ? ExitOutputFailed : ExitDatabase;
    }
}

// The items that would weaken a claim, with the choices kept in the folder.
int runReadiness(Household &household, const QString &output, bool csv)
{
    std::optional<Readiness> readiness;
    ReadinessChoices choices;
    try {
        choices = readReadinessChoices(household);
        readiness = checkReadiness(household, choices);
    } catch (const DbError &error) {
        household.HandleDbError(error);
        return ExitDatabase;
    } catch (const std::overflow_error &) {
        household.HandleDbError(DbError::overflow());
        return ExitDatabase;
    }
    if (readiness->itemCount == 0) {
        printError(QStringLiteral("There are no items to check."));
        return ExitNoRows;
    }
    if (csv) {
        QString error;
        if (writeReadinessCsv(output, *readiness, &error))
            return ExitProduced;
        printError(QStringLiteral("The file \"%1\" could not be written (%2).").arg(output, error));
        return ExitOutputFailed;
    }
    PageLayout document;
    buildReadinessDocument(document, *readiness, choices, QDate::currentDate());
    return writeDocumentPdf(household, document, output) ? ExitProduced : ExitOutputFailed;
}

} // namespace

std::optional<QString> reportFilePath(const Household &household, const QString &report)
{
    if (report.contains(u'/'))
        return QFileInfo(report).absoluteFilePath();
    const QString path = household.DataFolder() + report;
    if (QFileInfo(path).isFile() || !QFileInfo(report).suffix().isEmpty())
        return path;
    for (const QLatin1String extension : {QLatin1String(".srp"), QLatin1String(".rpt")}) {
        if (QFileInfo(path + extension).isFile())
            return path + extension;
    }
    const QString folder = QDir::toNativeSeparators(household.DataFolder());
    const QStringList reports =
        QDir(household.DataFolder())
            .entryList({QStringLiteral("*.srp"), QStringLiteral("*.rpt")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    if (reports.isEmpty())
        printError(QStringLiteral("There is no report \"%1\" in %2, and the folder holds no report files (.srp, .rpt).")
                       .arg(report, folder));
    else
        printError(QStringLiteral("There is no report \"%1\" in %2. Its reports are: %3.")
                       .arg(report, folder, reports.join(QStringLiteral(", "))));
    return std::nullopt;
}

bool openRunnerDataFolder(Household &household, const QString &folder)
{
    household.setDataFolder(QDir::fromNativeSeparators(QFileInfo(folder).absoluteFilePath()));
    bool opened = false;
    household.trapDb([&] {
        household.openInventory();
        opened = true;
    });
    return opened;
}

int runReportCommand(Household &household, const QStringList &arguments)
{
    using Kind = CommandLineWord::Kind;
    const QList<CommandLineWord> words = readCommandLine(runnerOptions(), arguments);
    QString folder = QDir::currentPath();
    // The names in order; an empty one stands for a word that is refused,
    // which makes the command line wrong whatever follows.
    QStringList positional;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const CommandLineWord &word = words[i];
        if (word.kind == Kind::Option && word.option == u"d" && word.value) {
            folder = *word.value;
        } else if (word.kind == Kind::Argument && positional.isEmpty() && word.text == ClaimCommandName) {
            // The claim takes options of its own; -d may still come first.
            return runClaimCommand(household, folder, words.mid(i + 1));
        } else if (word.kind == Kind::Argument) {
            positional << word.text;
        } else {
            // An unknown switch, -d without its folder, or an option that
            // only the claim takes.
            positional << QString();
        }
    }
    if (positional.size() != 2 || positional.contains(QString())) {
        printError(runnerUsage());
        return ExitUsage;
    }
    const QString &report = positional[0];
    const QString output = QFileInfo(positional[1]).absoluteFilePath();
    const std::optional<OutputKind> kind = outputKindOf(output);
    if (!kind) {
        printError(
            QStringLiteral("The output file \"%1\" must end in .txt, .htm, .html, .pdf or .csv.").arg(positional[1]));
        return ExitUsage;
    }
    if (report == ReadinessName) {
        if (*kind != OutputKind::Pdf && *kind != OutputKind::Csv) {
            printError(QStringLiteral("The readiness report can only be written as a PDF (.pdf) or CSV file (.csv)."));
            return ExitUsage;
        }
    } else if ((report == ItemsExportName) != (*kind == OutputKind::Csv)) {
        printError(report == ItemsExportName ? QStringLiteral("The items can only be written as a CSV file (.csv).")
                                             : QStringLiteral("Only \"%1\" can be written as a CSV file, and \"%2\".")
                                                   .arg(ItemsExportName, ReadinessName));
        return ExitUsage;
    }

    if (!openRunnerDataFolder(household, folder))
        return ExitDatabase;

    if (report == ItemsExportName)
        return runItemsExport(household, output);
    if (report == ReadinessName)
        return runReadiness(household, output, *kind == OutputKind::Csv);

    const bool fixed = report == ValueByCategoryName || report == ValueByLocationName || report == SerialNumbersName;
    if (fixed) {
        if (*kind != OutputKind::Pdf) {
            printError(QStringLiteral("The report \"%1\" can only be written as a PDF file.").arg(report));
            return ExitUsage;
        }
        return runFixedReport(household, report, output);
    }

    const std::optional<QString> found = reportFilePath(household, report);
    if (!found)
        return ExitInvalidReport;
    const QString &path = *found;
    QString problem;
    const ReportOutcome outcome = runReportFile(
        household, path,
        [&](const LoadedReport &) -> std::unique_ptr<ReportOutput> {
            switch (*kind) {
            case OutputKind::Text:
                return std::make_unique<TextReportWriter>(household, output);
            case OutputKind::Html:
                return std::make_unique<HtmlReportWriter>(household, output);
            case OutputKind::Pdf:
                return std::make_unique<PdfReportOutput>(household, output);
            case OutputKind::Csv:
                break;
            }
            return nullptr;
        },
        &problem);
    if (outcome == ReportOutcome::InvalidFile && !problem.isEmpty())
        printError(QStringLiteral("%1: %2").arg(path, problem));
    return exitFor(outcome);
}
