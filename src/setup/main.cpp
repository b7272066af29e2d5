#include "backup/BackupError.h"
#include "backup/BackupWriter.h"
#include "backup/RestoreBackup.h"
#include "data/Database.h"
#include "dates/LocaleFormats.h"
#include "program/BuildInfo.h"
#include "program/CountText.h"
#include "program/ItemFiles.h"
#include "program/QtMessages.h"
#include "setup/DataFolderSetup.h"
#include "setup/ItemsFromFile.h"
#include "setup/SetupArguments.h"
#include "transfer/ImportPlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTextStream>

// What the new folder holds, counted from the files themselves.
static void describe(const QString &folder, QTextStream &out)
{
    const QDir dir(folder);
    out << "Set up the data folder " << QDir::toNativeSeparators(dir.absolutePath()) << ":\n";
    try {
        auto inventory = Database::open(dir.filePath(QStringLiteral("stowbook.db")));
        // Counted as the import counts what it stored: "1 location", "20,000 items".
        const auto count = [&](const char *table, const char *one) {
            const qint64 n =
                inventory->scalar(QStringLiteral("select count(*) from ") + QLatin1String(table)).toLongLong();
            return countOf(n, QLatin1String(one), QLatin1String(table));
        };
        out << "  stowbook.db         " << count("items", "item") << ", " << count("categories", "category") << ", "
            << count("locations", "location") << '\n';
        inventory->close();
        auto catalogue = Database::open(dir.filePath(QStringLiteral("rptspec.db")));
        out << "  rptspec.db          "
            << catalogue->scalar(QStringLiteral("select count(*) from rptspec")).toLongLong() << " report fields\n";
        catalogue->close();
    } catch (const DbError &error) {
        out << "  (the databases could not be read back: " << error.number() << "  " << error.text() << ")\n";
    }
    const qsizetype pictures = ItemFiles(dir.path()).names().size();
    out << "  images/             " << pictures << (pictures == 1 ? " picture\n" : " pictures\n");
    out << "  stowbook-help.html\n";
}

static QString figures(const BackupManifest &manifest)
{
    qsizetype pictures = 0;
    for (const BackupMember &member : manifest.members) {
        if (member.name.startsWith(PictureMemberPrefix))
            ++pictures;
    }
    const QDateTime made = manifest.created.toLocalTime();
    return QStringLiteral("%1 worth %2, %3, %4 in all; made %5 %6 by Stowbook %7")
        .arg(countText(manifest.itemCount, QStringLiteral("item"), QStringLiteral("items")),
             formatCurrency(manifest.totalValue),
             countText(pictures, QStringLiteral("picture"), QStringLiteral("pictures")),
             countText(manifest.members.size(), QStringLiteral("file"), QStringLiteral("files")),
             formatShortDate(DateValue::fromDate(made.date())), QLocale().toString(made.time(), QLocale::ShortFormat),
             manifest.programVersion);
}

// --backup, --restore and --verify: 0 done, 1 refused or failed.
static int runArchiveAction(const SetupArguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString archive = QDir::toNativeSeparators(arguments.archive);
    try {
        switch (arguments.action) {
        case SetupArguments::Action::Backup: {
            const BackupSummary summary = writeBackup(arguments.folder, arguments.archive);
            out << "Backed up " << QDir::toNativeSeparators(QDir(arguments.folder).absolutePath()) << " to " << archive
                << " (" << (summary.archiveBytes + 1023) / 1024 << " kB): " << figures(summary.manifest) << ".\n";
            for (const QString &name : summary.skipped)
                err << "stowbook-setup: left out " << name << " (a link, or a name a backup cannot hold)\n";
            return 0;
        }
        case SetupArguments::Action::Restore: {
            const BackupManifest manifest = restoreBackup(arguments.archive, arguments.folder);
            out << "Restored " << archive << " as " << QDir::toNativeSeparators(QDir(arguments.folder).absolutePath())
                << ": " << figures(manifest) << ".\n";
            return 0;
        }
        case SetupArguments::Action::Verify: {
            const BackupManifest manifest = verifyBackup(arguments.archive);
            out << archive << " is sound: every file matches its checksum and the databases pass their "
                << "integrity check. " << figures(manifest) << ".\n";
            return 0;
        }
        case SetupArguments::Action::Setup:
            break;
        }
    } catch (const BackupError &error) {
        err << "stowbook-setup: " << error.message() << '\n';
        return 1;
    }
    return 2;
}

int main(int argc, char **argv)
{
    showOnlyQtProblems();
    QCoreApplication app(argc, argv);
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
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
    if (arguments.action != SetupArguments::Action::Setup)
        return runArchiveAction(arguments, out, err);
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
