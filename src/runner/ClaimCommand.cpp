#include "runner/ClaimCommand.h"

#include "claim/ClaimDocument.h"
#include "claim/ClaimItems.h"
#include "claim/ClaimantDetails.h"
#include "data/Inventory.h"
#include "program/Household.h"
#include "reports/PageLayout.h"
#include "runner/ConsolePrompts.h"
#include "runner/PdfReportOutput.h"
#include "runner/ReportRunner.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace {

struct ClaimArguments {
    QString folder;
    QString output;
    ClaimSelection selection;
    QString error;
};

ClaimArguments parseClaimArguments(const QString &dataFolder, const QList<CommandLineWord> &words)
{
    using Kind = CommandLineWord::Kind;
    ClaimArguments parsed{dataFolder, {}, {}, {}};
    bool chosen = false;
    for (const CommandLineWord &word : words) {
        if (word.kind == Kind::Option && word.option == u"d" && word.value) {
            parsed.folder = *word.value;
        } else if (word.kind == Kind::Option && word.option != u"d") {
            if (chosen) {
                parsed.error = QStringLiteral("Choose one of --category, --location and --report.");
                return parsed;
            }
            const QString value = word.value.value_or(QString());
            if (value.isEmpty()) {
                parsed.error = QStringLiteral("--%1 needs a name.").arg(word.option);
                return parsed;
            }
            const ClaimSelection::Kind kind = word.option == u"category" ? ClaimSelection::Kind::Category
                : word.option == u"location"                             ? ClaimSelection::Kind::Location
                                                                         : ClaimSelection::Kind::ReportFile;
            parsed.selection = ClaimSelection{kind, value};
            chosen = true;
        } else if (word.kind != Kind::Argument) {
            // An unknown option, or -d at the end without its folder.
            parsed.error = QStringLiteral("Unknown option \"%1\".").arg(word.text);
            return parsed;
        } else if (parsed.output.isEmpty()) {
            parsed.output = word.text;
        } else {
            parsed.error = QStringLiteral("Name one output file, not \"%1\" and \"%2\".").arg(parsed.output, word.text);
            return parsed;
        }
    }
    if (parsed.output.isEmpty())
        parsed.error = QStringLiteral("Name the PDF file to write the claim to.");
    else if (QFileInfo(parsed.output).suffix().toLower() != u"pdf")
        parsed.error =
            QStringLiteral("The claim is written as a PDF file; \"%1\" must end in .pdf.").arg(parsed.output);
    return parsed;
}

} // namespace

int runClaimCommand(Household &household, const QString &dataFolder, const QList<CommandLineWord> &words)
{
    ClaimArguments parsed = parseClaimArguments(dataFolder, words);
    if (!parsed.error.isEmpty()) {
        printError(parsed.error);
        printError(runnerUsage());
        return ExitUsage;
    }
    const QString output = QFileInfo(parsed.output).absoluteFilePath();
    if (!openRunnerDataFolder(household, parsed.folder))
        return ExitDatabase;
    if (parsed.selection.kind == ClaimSelection::Kind::ReportFile) {
        // A bare name is a report file of the data folder, as for reports.
        const std::optional<QString> path = reportFilePath(household, parsed.selection.name);
        if (!path)
            return ExitInvalidReport;
        parsed.selection.name = *path;
    }

    QString problem;
    const ClaimantDetails claimant = readClaimantDetails(household.DataFolder(), &problem);
    if (!problem.isEmpty())
        printError(QStringLiteral("The claimant details in %1 could not be read (%2); the claim is made without them.")
                       .arg(household.DataFolder() + ClaimantFileName, problem));

    std::optional<QList<ClaimItem>> items;
    bool read = false;
    household.trapDb([&] {
        items = selectClaimItems(household, parsed.selection, &problem, claimant.dateOfLoss);
        read = true;
    });
    if (!read)
        return ExitDatabase;
    if (!items) {
        if (!problem.isEmpty())
            printError(problem);
        return ExitInvalidReport;
    }
    if (items->isEmpty()) {
        printError(QStringLiteral("No items have been entered that may be included in the claim."));
        return ExitNoRows;
    }
    PageLayout document;
    try {
        buildClaimDocument(document, claimant, parsed.selection, *items, QDate::currentDate());
    } catch (const std::overflow_error &) {
        printError(QStringLiteral("The total value of the items is too large to be shown."));
        return ExitDatabase;
    }
    return writeDocumentPdf(household, document, output) ? ExitProduced : ExitOutputFailed;
}
