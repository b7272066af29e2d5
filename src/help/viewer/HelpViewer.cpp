#include "help/viewer/HelpViewer.h"

#include "help/viewer/HelpWindow.h"
#include "program/Prompts.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

static QPointer<HelpWindow> s_helpWindow;
static QString s_lastHelpFile;

static HelpWindow *openHelpWindow(QWidget *owner)
{
    if (s_helpWindow)
        return s_helpWindow;
    s_helpWindow = new HelpWindow(nullptr);
    // Help open beside the main window must not keep the program running.
    s_helpWindow->setAttribute(Qt::WA_QuitOnClose, false);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, s_helpWindow, [] { closeHelpWindow(); });
    if (owner) {
        const QRect ownerFrame = owner->window()->frameGeometry();
        s_helpWindow->move(ownerFrame.center() - s_helpWindow->rect().center());
    }
    return s_helpWindow;
}

void ShowHelp(QWidget *owner, const QString &helpFile, int command, int data)
{
    if (command == HelpQuit) {
        if (s_helpWindow)
            s_helpWindow->close();
        return;
    }
    if (command != HelpContext && command != HelpIndex && command != HelpHelpOnHelp && command != HelpPartialKey)
        return;

    QString path = helpFile;
    if (path.isEmpty())
        path = s_lastHelpFile.isEmpty() ? BuiltInHelpFile : s_lastHelpFile;

    QString reason;
    const std::optional<HelpBook> book = HelpBook::fromFile(path, &reason);
    if (!book) {
        prompts().message(QStringLiteral("Help cannot be shown: the help file \"%1\" could not be read.\n\n%2")
                              .arg(QDir::toNativeSeparators(path), reason),
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation, ProgramTitle);
        return;
    }
    s_lastHelpFile = path;

    HelpWindow *window = openHelpWindow(owner);
    window->setBook(*book, path);
    switch (command) {
    case HelpContext:
        window->showTopic(data);
        break;
    case HelpIndex:
        window->showContents();
        break;
    case HelpHelpOnHelp:
        window->showUsingHelp();
        break;
    case HelpPartialKey:
        window->showSearch(QString());
        break;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

HelpWindow *helpWindow()
{
    return s_helpWindow;
}

void closeHelpWindow()
{
    delete s_helpWindow;
    s_lastHelpFile.clear();
}
