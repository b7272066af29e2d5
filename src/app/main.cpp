#include "app/Globals.h"
#include "app/QtPrompts.h"
#include "app/frmMain.h"
#include "app/help/HelpKey.h"
#include "focus/ButtonPress.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stowbook"));
    QApplication::setApplicationVersion(QStringLiteral("1.3"));
    // A "C"/POSIX system locale is taken as United States English.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    QtPrompts realPrompts;
    setPrompts(&realPrompts);
    installHelpKey(&app, [] { return HelpFilePath; });
    installButtonRules(&app);

    auto *window = new frmMain(QApplication::arguments().mid(1));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->Form_Load();
    window->show();
    const int code = QApplication::exec();
    resetGlobals();
    return code;
}
