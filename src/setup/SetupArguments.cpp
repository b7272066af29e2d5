#include "setup/SetupArguments.h"

#include "program/CommandLine.h"

QString setupUsage()
{
    return QStringLiteral(
               "Usage: stowbook-setup [--demo | --items N | --import FILE] [--seed S] [--rows good|all] FOLDER\n"
               "       stowbook-setup --add-items FILE [--rows good|all] FOLDER\n"
               "       stowbook-setup --backup FOLDER FILE.zip\n"
               "       stowbook-setup --restore FILE.zip FOLDER\n"
               "       stowbook-setup --verify FILE.zip\n"
               "       stowbook-setup --copy FOLDER [--to COPIES]\n"
               "       stowbook-setup --restore COPIES FOLDER [--version DATE]\n"
               "       stowbook-setup --verify COPIES\n"
               "       stowbook-setup (--pin | --unpin) COPIES VERSION\n"
               "       stowbook-setup (-h | --help | --version)\n"
               "Lays out a new Stowbook data folder FOLDER: the inventory database stowbook.db,\n"
               "the report field catalogue rptspec.db, the images folder and the help file.\n"
               "A folder that already holds stowbook.db or rptspec.db is left untouched.\n"
               "\n"
               "  --demo       fill in a household inventory of about sixty items with pictures\n"
               "  --items N    fill in N made-up items (1 to %1), for trying out large inventories\n"
               "  --seed S     the starting number for --items; the same S gives the same items\n"
               "  --import FILE     fill in the items of a CSV file (comma, semicolon or tab\n"
               "                    separated, with a heading row), with their categories and\n"
               "                    locations\n"
               "  --add-items FILE  add the items of a CSV file to the inventory already in FOLDER\n"
               "  --rows good|all   with --import or --add-items: import only the rows without\n"
               "                    problems, or every row that has a description; without it\n"
               "                    a file with any problem is refused and nothing is stored\n"
               "  --backup     write the data folder FOLDER into one backup file FILE.zip (replaced\n"
               "               when it exists, once the new one is complete); Stowbook may be open\n"
               "  --restore    check the backup FILE.zip whole and restore it as the new data\n"
               "               folder FOLDER, which must not exist or be empty\n"
               "  --verify     check every file and database of the backup FILE.zip\n"
               "  --copy       make a versioned copy of the data folder FOLDER in the copies folder\n"
               "               COPIES named with --to, else the one chosen in Stowbook; nothing is\n"
               "               made when nothing changed since the last copy\n"
               "  --restore COPIES FOLDER [--version DATE]\n"
               "               restore the newest version in the copies folder COPIES, or the one\n"
               "               named (\"2026-12-08T093015Z\", or a day: the newest of \"2026-12-08\")\n"
               "  --verify COPIES   check every version and every photo of the copies folder\n"
               "  --pin COPIES VERSION\n"
               "               keep the version (a name, or a day: its newest version) whatever the\n"
               "               retention says; --unpin lets the retention decide again\n"
               "  -h, --help   show this text\n"
               "  --version    show the version\n")
        .arg(MaxGeneratedItems);
}

// The two or one names that --backup, --restore and --verify take.
static SetupArguments archiveArguments(SetupArguments result, const QStringList &names, bool fillOptions)
{
    using Action = SetupArguments::Action;
    const char *const forms[] = {"",
                                 "--backup FOLDER FILE.zip",
                                 "--restore FILE.zip FOLDER",
                                 "--verify FILE.zip",
                                 "--copy FOLDER [--to COPIES]",
                                 "--pin COPIES VERSION",
                                 "--unpin COPIES VERSION"};
    if (fillOptions) {
        result.error =
            QStringLiteral("--demo, --items, --seed, --import, --add-items and --rows do not go with a backup.");
        return result;
    }
    const qsizetype wanted = result.action == Action::Verify || result.action == Action::Copy ? 1 : 2;
    if (names.size() != wanted) {
        result.error = QStringLiteral("Use %1.").arg(QLatin1String(forms[int(result.action)]));
        return result;
    }
    switch (result.action) {
    case Action::Backup:
        result.folder = names[0];
        result.archive = names[1];
        break;
    case Action::Restore:
        result.archive = names[0];
        result.folder = names[1];
        break;
    case Action::Copy:
        result.folder = names[0];
        break;
    case Action::Pin:
    case Action::Unpin:
        result.archive = names[0];
        result.versionChoice = names[1];
        break;
    default:
        result.archive = names[0];
        break;
    }
    return result;
}

// The options of the setup program, as QCommandLineParser reads them: only
// their names and whether a value follows count, the usage text is our own.
static QList<QCommandLineOption> setupOptions()
{
    const auto option = [](const QStringList &names, const QString &valueName = QString()) {
        return QCommandLineOption(names, QString(), valueName);
    };
    return {
        option({QStringLiteral("h"), QStringLiteral("help")}),
        option({QStringLiteral("version")}),
        option({QStringLiteral("demo")}),
        option({QStringLiteral("items")}, QStringLiteral("N")),
        option({QStringLiteral("seed")}, QStringLiteral("S")),
        option({QStringLiteral("import")}, QStringLiteral("FILE")),
        option({QStringLiteral("add-items")}, QStringLiteral("FILE")),
        option({QStringLiteral("rows")}, QStringLiteral("good|all")),
        option({QStringLiteral("backup")}),
        option({QStringLiteral("restore")}),
        option({QStringLiteral("verify")}),
        option({QStringLiteral("copy")}),
        option({QStringLiteral("pin")}),
        option({QStringLiteral("unpin")}),
        option({QStringLiteral("to")}, QStringLiteral("COPIES")),
    };
}

SetupArguments parseSetupArguments(const QStringList &arguments)
{
    using Kind = CommandLineWord::Kind;
    SetupArguments result;
    bool seenItems = false;
    bool seenSeed = false;
    bool seenRows = false;
    QStringList folders;
    // "--version" alone shows the version; with --restore from copies, the
    // word after it names the version to restore.
    bool afterVersion = false;
    std::optional<QString> versionWord;
    qsizetype versionWordPlace = 0; // among the folders, where it was typed

    // In the order typed: the first mistake is the one reported.
    for (const CommandLineWord &word : readCommandLine(setupOptions(), arguments)) {
        if (word.kind == Kind::Argument) {
            if (afterVersion && !versionWord) {
                versionWord = word.text;
                versionWordPlace = folders.size();
            } else {
                folders << word.text;
            }
            afterVersion = false;
            continue;
        }
        afterVersion = word.kind == Kind::Option && word.option == u"version";
        if (word.kind == Kind::Unknown) {
            result.error = QStringLiteral("Unknown option \"%1\".").arg(word.text);
            return result;
        }
        const QString &name = word.option;
        const QString value = word.value.value_or(QString());
        if (name == u"help") {
            result.showHelp = true;
        } else if (name == u"version") {
            result.showVersion = true;
        } else if (name == u"demo") {
            result.options.demo = true;
        } else if (name == u"backup" || name == u"restore" || name == u"verify" || name == u"copy" || name == u"pin"
                   || name == u"unpin") {
            if (result.action != SetupArguments::Action::Setup) {
                const bool pinning = name == u"pin" || name == u"unpin" || result.action == SetupArguments::Action::Pin
                    || result.action == SetupArguments::Action::Unpin;
                result.error = pinning
                    ? QStringLiteral("Choose one of --pin, --unpin, --copy, --backup, --restore and --verify.")
                    : name == u"copy" || result.action == SetupArguments::Action::Copy
                    ? QStringLiteral("Choose either --copy or --backup, --restore or --verify.")
                    : QStringLiteral("Choose one of --backup, --restore and --verify.");
                return result;
            }
            result.action = name == u"backup" ? SetupArguments::Action::Backup
                : name == u"restore"          ? SetupArguments::Action::Restore
                : name == u"copy"             ? SetupArguments::Action::Copy
                : name == u"pin"              ? SetupArguments::Action::Pin
                : name == u"unpin"            ? SetupArguments::Action::Unpin
                                              : SetupArguments::Action::Verify;
        } else if (name == u"to") {
            if (value.isEmpty()) {
                result.error = QStringLiteral("--to needs the copies folder.");
                return result;
            }
            if (!result.copiesFolder.isEmpty()) {
                result.error = QStringLiteral("--to is given twice.");
                return result;
            }
            result.copiesFolder = value;
        } else if (name == u"items") {
            if (seenItems) {
                result.error = QStringLiteral("--items is given twice.");
                return result;
            }
            if (!word.value) {
                result.error = QStringLiteral("--items needs the number of items.");
                return result;
            }
            bool ok = false;
            const qlonglong count = value.toLongLong(&ok);
            if (!ok || count < 1 || count > MaxGeneratedItems) {
                result.error = QStringLiteral("--items needs a whole number from 1 to %1, not \"%2\".")
                                   .arg(MaxGeneratedItems)
                                   .arg(value);
                return result;
            }
            result.options.generatedItems = int(count);
            seenItems = true;
        } else if (name == u"seed") {
            if (seenSeed) {
                result.error = QStringLiteral("--seed is given twice.");
                return result;
            }
            if (!word.value) {
                result.error = QStringLiteral("--seed needs a number.");
                return result;
            }
            bool ok = false;
            const uint seed = value.toUInt(&ok);
            if (!ok) {
                result.error =
                    QStringLiteral("--seed needs a whole number from 0 to 4294967295, not \"%1\".").arg(value);
                return result;
            }
            result.options.seed = seed;
            seenSeed = true;
        } else if (name == u"import" || name == u"add-items") {
            if (!result.options.importFile.isEmpty() || !result.addItemsFile.isEmpty()) {
                result.error = QStringLiteral("Name one file to import, with --import or --add-items.");
                return result;
            }
            if (value.isEmpty()) {
                result.error = QStringLiteral("--%1 needs the CSV file to read.").arg(name);
                return result;
            }
            (name == u"import" ? result.options.importFile : result.addItemsFile) = value;
        } else if (name == u"rows") {
            if (seenRows) {
                result.error = QStringLiteral("--rows is given twice.");
                return result;
            }
            if (value != u"good" && value != u"all") {
                result.error = QStringLiteral("--rows needs \"good\" or \"all\".");
                return result;
            }
            result.options.problemRows = value == u"good" ? ProblemRows::Skip : ProblemRows::Keep;
            seenRows = true;
        }
    }

    if (result.action == SetupArguments::Action::Restore && result.showVersion) {
        if (!versionWord) {
            result.error = QStringLiteral("--version needs the version to restore, such as 2026-12-08.");
            return result;
        }
        result.showVersion = false;
        result.versionChoice = *versionWord;
    } else if (versionWord) {
        folders.insert(versionWordPlace, *versionWord);
    }
    if (!result.copiesFolder.isEmpty() && result.action != SetupArguments::Action::Copy) {
        result.error = QStringLiteral("--to goes with --copy.");
        return result;
    }
    if (result.showHelp || result.showVersion)
        return result;
    if (result.action != SetupArguments::Action::Setup)
        return archiveArguments(result, folders,
                                result.options.demo || seenItems || seenSeed || seenRows
                                    || !result.options.importFile.isEmpty() || !result.addItemsFile.isEmpty());
    if (result.options.demo && seenItems) {
        result.error = QStringLiteral("Choose either --demo or --items, not both.");
        return result;
    }
    const bool importing = !result.options.importFile.isEmpty() || !result.addItemsFile.isEmpty();
    if (importing && (result.options.demo || seenItems)) {
        result.error = QStringLiteral("Choose either the items of a file or --demo or --items, not both.");
        return result;
    }
    if (seenRows && !importing) {
        result.error = QStringLiteral("--rows goes with --import or --add-items.");
        return result;
    }
    if (folders.isEmpty()) {
        result.error = QStringLiteral("Name the data folder to set up.");
        return result;
    }
    if (folders.size() > 1) {
        result.error =
            QStringLiteral("Name only one data folder, not \"%1\".").arg(folders.join(QStringLiteral("\", \"")));
        return result;
    }
    result.folder = folders.first();
    return result;
}
