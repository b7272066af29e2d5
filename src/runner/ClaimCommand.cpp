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
    QString output;
    ClaimSelection selection;
    QString error;
};

ClaimArguments parseClaimArguments(const QStringList &arguments)
{
    ClaimArguments parsed;
    bool chosen = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        std::optional<ClaimSelection::Kind> kind;
        QString option;
        for (const auto &[name, k] : {std::pair{"--category", ClaimSelection::Kind::Category},
                                      std::pair{"--location", ClaimSelection::Kind::Location},
                                      std::pair{"--report", ClaimSelection::Kind::ReportFile}}) {
            const QString flag = QLatin1String(name);
            if (argument == flag || argument.startsWith(flag + u'=')) {
                kind = k;
                option = flag;
            }
        }
        if (kind) {
            if (chosen) {
                parsed.error = QStringLiteral("Choose one of --category, --location and --report.");
                return parsed;
            }
            QString value;
            if (argument.size() > option.size()) {
                value = argument.mid(option.size() + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            }
            if (value.isEmpty()) {
                parsed.error = QStringLiteral("%1 needs a name.").arg(option);
                return parsed;
            }
            parsed.selection = ClaimSelection{*kind, value};
            chosen = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            parsed.error = QStringLiteral("Unknown option \"%1\".").arg(argument);
            return parsed;
        } else if (parsed.output.isEmpty()) {
            parsed.output = argument;
        } else {
            parsed.error = QStringLiteral("Name one output file, not \"%1\" and \"%2\".").arg(parsed.output, argument);
            return parsed;
        }
    }
    if (parsed.output.isEmpty())
        parsed.error = QStringLiteral("Name the PDF file to write the claim to.");
    else if (QFileInfo(parsed.output).suffix().toLower() != u"pdf")
        parsed.error = QStringLiteral("The claim is written as a PDF file; \"%1\" must end in .pdf.").arg(parsed.output);
    return parsed;
}

} // namespace

int runClaimCommand(Household &household, const QString &dataFolder, const QStringList &arguments)
{
    ClaimArguments parsed = parseClaimArguments(arguments);
    if (!parsed.error.isEmpty()) {
        printError(parsed.error);
        printError(runnerUsage());
        return ExitUsage;
    }
    const QString output = QFileInfo(parsed.output).absoluteFilePath();
    if (!openRunnerDataFolder(household, dataFolder))
        return ExitDatabase;
    if (parsed.selection.kind == ClaimSelection::Kind::ReportFile) {
        // A bare name is a report file of the data folder, as for reports.
        const QString &name = parsed.selection.name;
        parsed.selection.name =
            name.contains(u'/') ? QFileInfo(name).absoluteFilePath() : household.DataFolder() + name;
    }

    QString problem;
    const ClaimantDetails claimant = readClaimantDetails(household.DataFolder(), &problem);
    if (!problem.isEmpty())
        printError(QStringLiteral("The claimant details in %1 could not be read (%2); the claim is made without them.")
                       .arg(household.DataFolder() + ClaimantFileName, problem));

    std::optional<QList<ClaimItem>> items;
    bool read = false;
    household.trapDb([&] {
        items = selectClaimItems(household, parsed.selection, &problem);
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
