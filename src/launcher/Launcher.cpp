#include "launcher/Launcher.h"

#include "data/Inventory.h"
#include "program/CommandLine.h"
#include "program/Prompts.h"
#include "setup/DataFolderSetup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString programUsage()
{
    return QStringLiteral("Usage: stowbook [-d FOLDER]\n"
                          "       stowbook --home\n"
                          "       stowbook (-h | --help | --version)\n"
                          "Keeps the inventory of a household's possessions for insurance claims.\n"
                          "\n"
                          "  -d FOLDER   work on the data folder FOLDER: everything after \"-d\" and one\n"
                          "              blank, to the end of the command line, blanks and all;\n"
                          "              without -d, the current directory\n"
                          "  --home      work on your own data folder, Stowbook in your documents folder;\n"
                          "              on the first start, choose the demo household or an empty\n"
                          "              inventory and it is set up there (the menu entry starts so)\n"
                          "  -h, --help  show this text\n"
                          "  --version   show the version\n");
}

bool isHomeStart(const QStringList &arguments)
{
    return soleOption({QCommandLineOption(HomeOption)}, arguments) == HomeOption;
}

QString homeDataFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir::cleanPath(documents + QStringLiteral("/Stowbook"));
}

// A link to an inventory counts: it is the user's, and the main window
// reports it when it cannot be opened.
static bool holdsInventory(const QString &folder)
{
    const QFileInfo inventory(QDir(folder).filePath(InventoryFileName));
    return inventory.exists() || inventory.isSymLink();
}

static std::optional<SetupOptions> askWhatToStartWith(const QString &folder)
{
    const QString question =
        QStringLiteral("Stowbook keeps your inventory in this folder:\n\n%1\n\n"
                       "There is no inventory there yet. Would you like to start with the demo household, "
                       "a made-up inventory to try Stowbook on?\n\n"
                       "Yes: start with the demo household.\n"
                       "No: start with an empty inventory of your own.\n"
                       "Cancel: close Stowbook and set up nothing.")
            .arg(QDir::toNativeSeparators(folder));
    switch (prompts().message(question, Prompts::Buttons::YesNoCancel, Prompts::Icon::Question, ProgramTitle)) {
    case Prompts::Answer::Yes:
        return SetupOptions{.demo = true};
    case Prompts::Answer::No:
        return SetupOptions{};
    case Prompts::Answer::Cancel:
    case Prompts::Answer::Ok:
        break;
    }
    return std::nullopt;
}

HomeStart prepareHomeStart(const QString &folder)
{
    const HomeStart goOn{QStringList{QStringLiteral("-d"), folder}};
    if (holdsInventory(folder))
        return goOn;

    const std::optional<SetupOptions> options = askWhatToStartWith(folder);
    if (!options)
        return HomeStart{std::nullopt, 0};
    try {
        BusyCursor busy;
        createDataFolder(folder, *options);
    } catch (const SetupError &error) {
        prompts().message(QStringLiteral("Stowbook could not set up the folder %1.\n\n%2")
                              .arg(QDir::toNativeSeparators(folder), error.message()),
                          Prompts::Buttons::Ok, Prompts::Icon::Critical, ProgramTitle);
        return HomeStart{std::nullopt, 1};
    }
    HomeStart laidOut = goOn;
    laidOut.laidOut = true;
    return laidOut;
}
