#include "backup/BackupError.h"
#include "backup/BackupWriter.h"
#include "backup/RestoreBackup.h"
#include "copies/CopyCheck.h"
#include "copies/CopyError.h"
#include "copies/CopyRestore.h"
#include "copies/CopySettings.h"
#include "copies/CopySource.h"
#include "copies/CopyStore.h"
#include "copies/CopyWriter.h"
#include "data/Database.h"
#include "dates/LocaleFormats.h"
#include "program/BuildInfo.h"
#include "program/CountText.h"
#include "program/Household.h"
#include "program/ItemFiles.h"
#include "program/QtMessages.h"
#include "setup/DataFolderSetup.h"
#include "setup/ItemsFromFile.h"
#include "setup/SetupArguments.h"
#include "transfer/ImportPlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

static QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// --copy: 0 when a verified copy of the inventory as it is now exists (made
// now, or the newest version when nothing changed), else 1.
static int runCopy(const SetupArguments &arguments, QTextStream &out, QTextStream &err)
{
    const QString folder = QDir(arguments.folder).absolutePath();
    QString copies = arguments.copiesFolder;
    if (copies.isEmpty())
        copies = readCopySettings(folder).folder;
    if (copies.isEmpty()) {
        err << "stowbook-setup: no copies folder is chosen for " << native(folder)
            << "; name one with --to, or choose it in Stowbook under File > Automatic Copies.\n";
        return 1;
    }
    const Household household(folder);
    // Taken before the copy reads anything: a change made while it works
    // is one the next copy still sees.
    const QByteArray stamp = sourceStamp(folder);
    const CopyResult result = makeCopy(household, copies);
    // A copy into another folder than the one chosen for the inventory says
    // nothing of that folder: the program still copies there and still
    // warns when it stays missing.
    const QString chosen = readCopySettings(folder).folder;
    if (chosen.isEmpty() || QFileInfo(chosen).canonicalFilePath() == QFileInfo(copies).canonicalFilePath()) {
        noteVerifiedCopy(folder, QDateTime::currentDateTimeUtc());
        noteCopiedStamp(folder, stamp);
    }
    if (result.made)
        out << "Copied " << native(folder) << " into " << native(QDir(copies).absolutePath()) << " as version "
            << result.version << " (" << (result.bytesWritten + 1023) / 1024 << " kB written, "
            << countText(result.newStoredFiles, QStringLiteral("new file stored"), QStringLiteral("new files stored"))
            << "), read back and verified: " << figures(result.manifest.contents) << ".\n";
    else
        out << native(folder) << " has not changed since version " << result.version << " in "
            << native(QDir(copies).absolutePath()) << "; no new copy was needed.\n";
    if (!result.removedVersions.isEmpty())
        out << "Older versions let go as the retention allows: " << result.removedVersions.join(QStringLiteral(", "))
            << ".\n";
    for (const QString &name : result.skipped)
        err << "stowbook-setup: left out " << name << " (a link, or a name a copy cannot hold)\n";
    if (!result.upkeepProblem.isEmpty())
        err << "stowbook-setup: the copy stands, but older versions could not be let go: " << result.upkeepProblem
            << '\n';
    return 0;
}

// --verify of a copies folder: 0 when every version and stored file of
// every inventory in it is sound, 1 when anything is damaged or there are
// no copies.
static int verifyCopiesFolder(const QString &copiesFolder, QTextStream &out, QTextStream &err)
{
    const QList<CopyPlace> places = inventoriesIn(copiesFolder);
    if (places.isEmpty()) {
        err << "stowbook-setup: " << native(copiesFolder) << " holds no copies of an inventory.\n";
        return 1;
    }
    bool sound = true;
    for (const CopyPlace &place : places) {
        const CopiesCheck check = checkCopies(place);
        out << "Copies of " << native(check.dataFolder) << " in " << native(place.folder()) << ": "
            << countText(check.versions.size(), QStringLiteral("version"), QStringLiteral("versions")) << ", "
            << countText(check.storedFiles, QStringLiteral("stored file"), QStringLiteral("stored files"))
            << " (photos, documents, report files).\n";
        for (const VersionCheck &version : check.versions) {
            if (version.sound()) {
                out << "  " << version.version.name << (version.version.pinned ? " (pinned)" : "")
                    << " is sound: " << figures(version.version.manifest->contents) << ".\n";
                continue;
            }
            sound = false;
            err << "stowbook-setup: the version " << version.version.name << " in " << native(place.folder())
                << " is damaged:\n";
            for (const QString &problem : version.problems)
                err << "    " << problem << '\n';
        }
        for (const StoredCheck &stored : check.damagedStored) {
            sound = false;
            err << "stowbook-setup: the stored file " << native(place.folder() + u'/' + stored.name) << ' '
                << stored.problem << "; used as " << stored.usedBy.join(QStringLiteral(", ")) << ".\n";
        }
    }
    if (sound)
        out << "Every version and every stored file is sound.\n";
    return sound ? 0 : 1;
}

// --restore from a copies folder.
static int restoreFromCopies(const SetupArguments &arguments, QTextStream &out)
{
    const CopyPlace place = soleInventory(arguments.archive);
    const FoundVersion version = chooseVersion(place, arguments.versionChoice);
    const CopyManifest manifest = restoreCopy(place, version, arguments.folder);
    out << "Restored version " << version.name << " of " << native(place.folder()) << " as "
        << native(QDir(arguments.folder).absolutePath()) << ": " << figures(manifest.contents) << ".\n";
    return 0;
}

// --pin and --unpin: the version named by a name or a day.
static int pinCopy(const SetupArguments &arguments, QTextStream &out)
{
    const CopyPlace place = soleInventory(arguments.archive);
    const FoundVersion version = chooseVersion(place, arguments.versionChoice);
    const bool pin = arguments.action == SetupArguments::Action::Pin;
    pinVersion(place, version.name, pin);
    if (pin)
        out << "Version " << version.name << " in " << native(place.folder())
            << " is pinned: it is kept whatever the retention says, until --unpin.\n";
    else
        out << "Version " << version.name << " in " << native(place.folder())
            << " is no longer pinned: the retention decides how long it is kept.\n";
    return 0;
}

// --copy, --pin, --unpin, and --restore and --verify of a copies folder: 0
// done, 1 refused or failed.
static int runCopiesAction(const SetupArguments &arguments, QTextStream &out, QTextStream &err)
{
    try {
        switch (arguments.action) {
        case SetupArguments::Action::Copy:
            return runCopy(arguments, out, err);
        case SetupArguments::Action::Pin:
        case SetupArguments::Action::Unpin:
            return pinCopy(arguments, out);
        case SetupArguments::Action::Restore:
            return restoreFromCopies(arguments, out);
        case SetupArguments::Action::Verify:
            return verifyCopiesFolder(arguments.archive, out, err);
        default:
            break;
        }
    } catch (const CopyError &error) {
        out.flush();
        err << "stowbook-setup: " << error.message() << '\n';
        return 1;
    }
    return 2;
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
        case SetupArguments::Action::Copy:
        case SetupArguments::Action::Pin:
        case SetupArguments::Action::Unpin:
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
    // A folder where a backup file would be named is a copies folder.
    const bool copies = arguments.action == SetupArguments::Action::Copy
        || arguments.action == SetupArguments::Action::Pin || arguments.action == SetupArguments::Action::Unpin
        || ((arguments.action == SetupArguments::Action::Restore || arguments.action == SetupArguments::Action::Verify)
            && QFileInfo(arguments.archive).isDir());
    if (copies)
        return runCopiesAction(arguments, out, err);
    if (!arguments.versionChoice.isEmpty()) {
        err << "stowbook-setup: --version goes with a restore from a copies folder; " << native(arguments.archive)
            << " is no folder.\n";
        return 2;
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
