#include "app/BuildInfo.h"
#include "data/Database.h"
#include "setup/DataFolderSetup.h"
#include "setup/ItemsFromFile.h"
#include "setup/SetupArguments.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

// What the new folder holds, counted from the files themselves.
static void describe(const QString &folder, QTextStream &out)
{
    const QDir dir(folder);
    out << "Set up the data folder " << QDir::toNativeSeparators(dir.absolutePath()) << ":\n";
    try {
        auto inventory = Database::open(dir.filePath(QStringLiteral("stowbook.db")));
        const auto count = [&](const char *table) {
            return inventory->scalar(QStringLiteral("select count(*) from ") + QLatin1String(table)).toLongLong();
        };
        out << "  stowbook.db         " << count("items") << " items, " << count("categories")
            << " categories, " << count("locations") << " locations\n";
        inventory->close();
        auto catalogue = Database::open(dir.filePath(QStringLiteral("rptspec.db")));
        out << "  rptspec.db          "
            << catalogue->scalar(QStringLiteral("select count(*) from rptspec")).toLongLong()
            << " report fields\n";
        catalogue->close();
    } catch (const DbError &error) {
        out << "  (the databases could not be read back: " << error.number() << "  " << error.text() << ")\n";
    }
    const qsizetype pictures = QDir(dir.filePath(QStringLiteral("images")))
                                   .entryList({QStringLiteral("*.bmp")}, QDir::Files).size();
    out << "  images/             " << pictures << (pictures == 1 ? " picture\n" : " pictures\n");
    out << "  stowbook-help.html\n";
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const SetupArguments arguments = parseSetupArguments(QCoreApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        err << "stowbook-setup: " << arguments.error << "\n\n" << setupUsage();
        return 2;
    }
    if (arguments.showHelp) {
        out << setupUsage();
        return 0;
    }
    if (arguments.showVersion) {
        out << "stowbook-setup " << ProgramVersion << '\n';
        return 0;
    }
    try {
        if (!arguments.addItemsFile.isEmpty()) {
            addItemsToFolder(arguments.folder, arguments.addItemsFile, arguments.options.problemRows, out);
            return 0;
        }
        SetupOptions options = arguments.options;
        options.report = &out;
        createDataFolder(arguments.folder, options);
    } catch (const SetupError &error) {
        out.flush();
        err << "stowbook-setup: " << error.message() << '\n';
        return 1;
    }
    describe(arguments.folder, out);
    return 0;
}
