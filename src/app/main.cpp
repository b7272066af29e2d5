#include "app/QtPrompts.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "focus/ButtonPress.h"
#include "help/viewer/HelpKey.h"
#include "launcher/Launcher.h"
#include "program/BuildInfo.h"
#include "program/Household.h"
#include "program/InformationSwitches.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QPointer>
#include <QTimer>

int main(int argc, char **argv)
{
    if (const auto code = answerInformationRequest(argc, argv, QStringLiteral("stowbook"), programUsage()))
        return *code;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stowbook"));
    QApplication::setApplicationVersion(ProgramVersion);
    // Ties the windows to the menu entry, so the desktop shows its icon.
    QGuiApplication::setDesktopFileName(DesktopEntryId);
    // An X11 panel takes the icon from the window itself, in the sizes it
    // draws: the About window's picture, drawn for each.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(frmAbout::productPicture(size));
    QApplication::setWindowIcon(icon);
    // A "C"/POSIX system locale is taken as United States English.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    QtPrompts realPrompts;
    setPrompts(&realPrompts);
    // The one household of the run: every window is handed it, and it
    // outlives them all.
    Household household;
    installHelpKey(&app, [&household] { return household.HelpFilePath(); });
    installButtonRules(&app);

    // "--help", "--version" and "--home" count only as the whole command
    // line. Every other command line goes to the main window as it is: its
    // data folder is the text after the first "-d" anywhere on the line, even
    // inside another word, to the end, blanks and all (CommandLine.h), which
    // no option parser reads that way.
    QStringList arguments = QApplication::arguments().mid(1);
    bool firstStart = false;
    if (isHomeStart(arguments)) {
        const HomeStart start = prepareHomeStart(homeDataFolder());
        if (!start.arguments)
            return start.exitCode;
        arguments = *start.arguments;
        firstStart = start.laidOut;
    }
    QPointer<frmMain> window = new frmMain(household, arguments);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    window->show();
    // A new inventory is the moment to choose where its copies go.
    if (firstStart)
        QTimer::singleShot(0, window, [window] {
            if (window)
                window->mnuCopies_Click();
        });
    const int code = QApplication::exec();
    // The windows go before the household they use.
    delete window;
    return code;
}
