#include "program/Household.h"
#include "program/InformationSwitches.h"
#include "program/QtMessages.h"
#include "runner/ConsolePrompts.h"
#include "runner/ReportRunner.h"

#include <QGuiApplication>
#include <QLocale>

// stowbook-report: a report to a file without any window, for scheduled
// exports and backups of the lists.
int main(int argc, char **argv)
{
    showOnlyQtProblems();
    if (const auto code = answerInformationRequest(argc, argv, QStringLiteral("stowbook-report"), runnerUsage()))
        return *code;
    // The fonts need a GUI application, but nothing is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("Stowbook"));
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    ConsolePrompts consolePrompts;
    setPrompts(&consolePrompts);
    int code = 0;
    {
        Household household;
        try {
            code = runReportCommand(household, QGuiApplication::arguments().mid(1));
        } catch (const RunnerEnded &ended) {
            code = ended.exitCode == 0 ? ExitDatabase : ended.exitCode;
        }
    }
    setPrompts(nullptr);
    return code;
}
