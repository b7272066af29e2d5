#include "setup/SetupArguments.h"

QString setupUsage()
{
    return QStringLiteral(
        "Usage: stowbook-setup [--demo | --items N | --import FILE] [--seed S] DIR\n"
        "       stowbook-setup --add-items FILE [--rows good|all] DIR\n"
        "       stowbook-setup --backup DIR FILE.zip\n"
        "       stowbook-setup --restore FILE.zip DIR\n"
        "       stowbook-setup --verify FILE.zip\n"
        "Lays out a new Stowbook data folder DIR: the inventory database stowbook.db,\n"
        "the report field catalogue rptspec.db, the images folder and the help file.\n"
        "A folder that already holds stowbook.db or rptspec.db is left untouched.\n"
        "\n"
        "  --demo       fill in a household inventory of about sixty items with pictures\n"
        "  --items N    fill in N made-up items (1 to %1), for trying out large inventories\n"
        "  --seed S     the starting number for --items; the same S gives the same items\n"
        "  --import FILE     fill in the items of a CSV file (comma, semicolon or tab\n"
        "                    separated, with a heading row), with their categories and\n"
        "                    locations\n"
        "  --add-items FILE  add the items of a CSV file to the inventory already in DIR\n"
        "  --rows good|all   with --import or --add-items: import only the rows without\n"
        "                    problems, or every row that has a description; without it\n"
        "                    a file with any problem is refused and nothing is stored\n"
        "  --backup     write the data folder DIR into one backup file FILE.zip (replaced\n"
        "               when it exists, once the new one is complete); Stowbook may be open\n"
        "  --restore    check the backup FILE.zip whole and restore it as the new data\n"
        "               folder DIR, which must not exist or be empty\n"
        "  --verify     check every file and database of the backup FILE.zip\n"
        "  -h, --help   show this text\n"
        "  --version    show the version\n")
        .arg(MaxGeneratedItems);
}

// Splits "--name=value" and "--name value"; returns false when the value is missing.
static bool takeValue(const QStringList &arguments, qsizetype &i, const QString &name, QString &value)
{
    const QString &argument = arguments.at(i);
    if (argument.startsWith(name + QLatin1Char('='))) {
        value = argument.mid(name.size() + 1);
        return true;
    }
    if (i + 1 >= arguments.size())
        return false;
    value = arguments.at(++i);
    return true;
}

// The two or one names that --backup, --restore and --verify take.
static SetupArguments archiveArguments(SetupArguments result, const QStringList &names, bool fillOptions)
{
    using Action = SetupArguments::Action;
    const char *const forms[] = {"", "--backup DIR FILE.zip", "--restore FILE.zip DIR", "--verify FILE.zip"};
    if (fillOptions) {
        result.error = QStringLiteral("--demo, --items, --seed, --import, --add-items and --rows do not go with a backup.");
        return result;
    }
    const qsizetype wanted = result.action == Action::Verify ? 1 : 2;
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
    default:
        result.archive = names[0];
        break;
    }
    return result;
}

SetupArguments parseSetupArguments(const QStringList &arguments)
{
    SetupArguments result;
    bool seenItems = false;
    bool seenSeed = false;
    bool seenRows = false;
    QStringList folders;
    bool onlyFoldersFollow = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const auto is = [&](const char *name) {
            const QString option = QLatin1String(name);
            return argument == option || argument.startsWith(option + QLatin1Char('='));
        };
        if (onlyFoldersFollow || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            folders << argument;
        } else if (argument == QLatin1String("--")) {
            onlyFoldersFollow = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            result.showHelp = true;
        } else if (argument == QLatin1String("--version")) {
            result.showVersion = true;
        } else if (argument == QLatin1String("--demo")) {
            result.options.demo = true;
        } else if (argument == QLatin1String("--backup") || argument == QLatin1String("--restore")
                   || argument == QLatin1String("--verify")) {
            if (result.action != SetupArguments::Action::Setup) {
                result.error = QStringLiteral("Choose one of --backup, --restore and --verify.");
                return result;
            }
            result.action = argument == QLatin1String("--backup")    ? SetupArguments::Action::Backup
                            : argument == QLatin1String("--restore") ? SetupArguments::Action::Restore
                                                                     : SetupArguments::Action::Verify;
        } else if (is("--items")) {
            QString value;
            if (seenItems) {
                result.error = QStringLiteral("--items is given twice.");
                return result;
            }
            if (!takeValue(arguments, i, QStringLiteral("--items"), value)) {
                result.error = QStringLiteral("--items needs the number of items.");
                return result;
            }
            bool ok = false;
            const qlonglong count = value.toLongLong(&ok);
            if (!ok || count < 1 || count > MaxGeneratedItems) {
                result.error = QStringLiteral("--items needs a whole number from 1 to %1, not \"%2\".")
                                   .arg(MaxGeneratedItems).arg(value);
                return result;
            }
            result.options.generatedItems = int(count);
            seenItems = true;
        } else if (is("--seed")) {
            QString value;
            if (seenSeed) {
                result.error = QStringLiteral("--seed is given twice.");
                return result;
            }
            if (!takeValue(arguments, i, QStringLiteral("--seed"), value)) {
                result.error = QStringLiteral("--seed needs a number.");
                return result;
            }
            bool ok = false;
            const uint seed = value.toUInt(&ok);
            if (!ok) {
                result.error = QStringLiteral("--seed needs a whole number from 0 to 4294967295, not \"%1\".")
                                   .arg(value);
                return result;
            }
            result.options.seed = seed;
            seenSeed = true;
        } else if (is("--import") || is("--add-items")) {
            const QString name = argument.section(u'=', 0, 0);
            QString value;
            if (!result.options.importFile.isEmpty() || !result.addItemsFile.isEmpty()) {
                result.error = QStringLiteral("Name one file to import, with --import or --add-items.");
                return result;
            }
            if (!takeValue(arguments, i, name, value) || value.isEmpty()) {
                result.error = QStringLiteral("%1 needs the CSV file to read.").arg(name);
                return result;
            }
            (name == u"--import" ? result.options.importFile : result.addItemsFile) = value;
        } else if (is("--rows")) {
            QString value;
            if (seenRows) {
                result.error = QStringLiteral("--rows is given twice.");
                return result;
            }
            if (!takeValue(arguments, i, QStringLiteral("--rows"), value) || (value != u"good" && value != u"all")) {
                result.error = QStringLiteral("--rows needs \"good\" or \"all\".");
                return result;
            }
            result.options.problemRows = value == u"good" ? ProblemRows::Skip : ProblemRows::Keep;
            seenRows = true;
        } else {
            result.error = QStringLiteral("Unknown option \"%1\".").arg(argument);
            return result;
        }
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
        result.error = QStringLiteral("Name only one data folder, not \"%1\".").arg(folders.join(QStringLiteral("\", \"")));
        return result;
    }
    result.folder = folders.first();
    return result;
}
